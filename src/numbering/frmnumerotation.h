#pragma once
// Where the two numbered texts go: proposes names from the main window's
// paths, lets the user choose others, and starts the numbering.

#include "app/forms/form.h"

namespace solandre {

class frmnumerotation : public Form {
    Q_OBJECT
public:
    explicit frmnumerotation(FormRegistry& forms);

    void Form_Load() override;
    void Ouvrir_source_Click();
    void ouvrir_cible_Click();
    void Command2_Click();
    void reset_Click();
    void quitter_Click();
    void about_Click();

private:
    struct Side;
    void chooseOutput(const Side& side);
    // False, after a message naming the path, when the path has no stem.
    bool proposeName(QLineEdit* box, const QString& input, const QString& suffix);

    QLineEdit* Text_source_bis_;
    QLineEdit* Text_cible_bis_;
    QWidget* Frame2_;
    QWidget* Frame3_;
    QWidget* Command2_;
    QAction* enregistrer_cible_;
    QAction* numerotation_;
};

} // namespace solandre
