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
    // False, after the message, when a pass failed or the user kept the
    // aligned copies the numbering would replace.
    bool numberTexts();
    // After numbering both texts: whether they pair one to one, and if not,
    // the offer to align them.
    void checkPairing(const QString& sourceOut, const QString& targetOut);
    // The note under the files written, with or without the alignment offer.
    void showNote(const QString& text, bool offerAlignment);
    // Once the copies are aligned, by "Alinear" or by the review: no
    // "Alinear" over them, the records they now hold said.
    void copiesAligned(const QString& source, const QString& target, qulonglong pairs);

    bool numbered_ = false;
    QLabel* written_; // the files written and their sentence counts
    QGroupBox* frame2_;
    QLabel* alignment_;
    QPushButton* alignButton_;
    QPushButton* reviewButton_;
    QString sourceOut_, targetOut_;
    size_t sourceSentences_ = 0, targetSentences_ = 0;
    std::optional<PairAlignment> pair_; // until the copies are aligned
};

} // namespace solandre
