// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The translation candidates of a form or a phrase, in the two roads:
// frmcandidats beside Frmcontexte and frmcandidats02 beside Frmcontexte02.
// The search window and the viewer fill its box with the searched form or the
// form of the hit shown and press its button (for a regular expression or a
// condition, the search window's hits are counted as they are); the best ten words of the translated
// sentences are listed with their scores and counts, and the viewer marks
// them in its translated sentence.

#include "forms/form.h"
#include "windows/search/candidates_display.h"
#include "windows/study/study_road.h"
#include "study/candidates.h"

class QTableWidget;

namespace solandre {

class CandidatesWindow : public Form, public CandidatesDisplay {
    Q_OBJECT
public:
    static constexpr size_t kListed = 10;

    CandidatesWindow(FormRegistry& forms, const StudyRoad& road);

    void showCandidatesOf(const QString& form) override;
    void showCandidatesOfHits(const QString& shown) override;
    QStringList bestWords(int count) const override;

    void Form_Unload() override;
    void Command1_Click(); // "Calcular"
    void fermer_Click();
    void about_Click();

private:
    void fillList();

    const StudyRoad& road_;
    CandidateList list_;
    // The box shows the search window's query: its grid's hits are counted,
    // until the box is edited.
    bool ofHits_ = false;
    QLineEdit* form_;
    QLabel* counts_;
    QTableWidget* table_;
};

} // namespace solandre
