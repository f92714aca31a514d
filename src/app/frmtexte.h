#pragma once
// The main window: the source and target paths and the search title, and the
// way to the numbering and the search windows.

#include "app/forms/form.h"

namespace solandre {

class frmtexte : public Form {
    Q_OBJECT
public:
    explicit frmtexte(FormRegistry& forms);

    void Ouvrir_latin_Click();
    void Ouvrir_francais_Click();
    void Text_latin_Change();
    void Text_francais_Change();
    void numconcordance_Click();
    void concordance_Click();
    void reset_Click();
    void about_Click();
    void quitter_Click();
    void Form_Unload() override;

private:
    // Both open handlers: choose a file, prove it opens, store its name.
    void chooseText(QLineEdit* box, const QString& filter);
    void applyMenuInvariant();

    QLineEdit* Text_latin_;
    QLineEdit* Text_francais_;
    QLineEdit* References_;
    QAction* numconcordance_;
    QAction* concordance_;
};

} // namespace solandre
