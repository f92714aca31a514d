// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: the source and target paths and the search title, and the
// way to the numbering and the search windows.

#include "forms/form.h"

namespace solandre {

class MainWindow : public Form {
    Q_OBJECT
public:
    explicit MainWindow(FormRegistry& forms);

    void Ouvrir_latin_Click();
    void Ouvrir_francais_Click();
    void Text_latin_Change();
    void Text_francais_Change();
    void numconcordance_Click();
    void concordance_Click();
    void alignement_Click(); // "Alineación": the review of the alignment of the two texts
    // "Abrir una memoria de traducción...": a TMX or a bilingual table made a
    // numbered pair beside it, then searched as prepared texts.
    void memoire_Click();
    void collection_Click(); // "Abrir una colección..."
    void reset_Click();
    void about_Click();
    void quitter_Click();
    void Form_Unload() override;
    // Ending the program asks every window holding unsaved work first.
    bool Form_QueryUnload() override;

private:
    // Both open handlers: choose a file, prove it opens, store its name.
    void chooseText(QLineEdit* box, const QString& filter);
    void applyMenuInvariant();
    // Whether `path` may be written: it does not exist, or the user agrees.
    bool mayReplace(const QString& path);

    QLineEdit* sourcePath_;
    QLineEdit* targetPath_;
    QLineEdit* title_;
    QAction* numberingItem_;
    QAction* searchItem_;
    QAction* alignmentItem_;
};

} // namespace solandre
