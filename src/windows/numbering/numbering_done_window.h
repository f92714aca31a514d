// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The numbering-done window: loading it numbers the texts; it then offers the
// way on to the search of the freshly numbered texts.

#include "align/numbered_pair.h"
#include "forms/form.h"

#include <optional>

class QGroupBox;
class QPushButton;

namespace solandre {

class NumberingDoneWindow : public Form {
    Q_OBJECT
public:
    explicit NumberingDoneWindow(FormRegistry& forms);

    void Form_Load() override;
    void Form_Unload() override;
    void Command2_Click(); // "Concordancias"
    void quitter_Click();
    void about_Click();
    void aligner_Click(); // "Alinear": rewrites both copies aligned
    void revoir_Click();  // "Revisar la alineación..."

private:
    // False, after the message, when a pass failed.
    bool numberTexts();
    // After numbering both texts: whether they pair one to one, and if not,
    // the offer to align them.
    void checkPairing(const QString& sourceOut, const QString& targetOut);
    void showAlignmentOffer(bool shown);

    bool numbered_ = false;
    QLabel* written_; // the files written and their sentence counts
    QGroupBox* frame2_;
    QLabel* alignment_;
    QPushButton* alignButton_;
    QPushButton* reviewButton_;
    std::optional<PairAlignment> pair_; // until "Alinear" has written it
};

} // namespace solandre
