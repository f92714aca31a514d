// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the two numbered texts go: proposes names from the main window's
// paths, lets the user choose others, and starts the numbering.

#include "forms/form.h"

namespace solandre {

class NumberingWindow : public Form {
    Q_OBJECT
public:
    explicit NumberingWindow(FormRegistry& forms);

    void Form_Load() override;
    void Ouvrir_source_Click();
    void ouvrir_cible_Click();
    void Command2_Click(); // "Numeración de frases"
    void reset_Click();
    void quitter_Click();
    void about_Click();

private:
    struct Side;
    void chooseOutput(const Side& side);
    // After the in-use message, when `output` is one of the texts or the
    // other output.
    bool refusedAsInUse(const QString& output, const QString& otherOutput);
    // False, after a message naming the path, when the path has no stem.
    bool proposeName(QLineEdit* box, const QString& input, const QString& suffix);

    QLineEdit* sourceOutput_;
    QLineEdit* targetOutput_;
    QWidget* targetFrame_;
    QWidget* buttonFrame_;
    QWidget* numberButton_;
    QAction* chooseTargetItem_;
    QAction* numberItem_;
};

} // namespace solandre
