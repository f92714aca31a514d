// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The translation candidates of a form, in the two roads: frmcandidats
// beside Frmcontexte and frmcandidats02 beside Frmcontexte02. It follows
// its search window's searches, listing the candidates of each query
// searched; the viewer asks for the form of the hit it shows, and any form
// may be typed in its box. The best ten words of the translated sentences
// are listed with their scores and counts, and the viewer marks them in its
// translated sentence.

#include "windows/search/candidates_display.h"
#include "windows/study/study_road.h"
#include "windows/study/study_window.h"
#include "study/candidates.h"

#include <cstdint>

namespace solandre {

class CandidatesWindow : public StudyWindow, public CandidatesDisplay {
    Q_OBJECT
public:
    static constexpr size_t kListed = 10;

    CandidatesWindow(FormRegistry& forms, const StudyRoad& road);

    void showCandidatesOf(const QString& form) override;
    void showCandidatesOfHits(const QString& shown) override;
    QStringList bestWords(int count) const override;

    void Form_Load() override;
    void Form_Unload() override;
    void Command1_Click(); // "Calcular"
    void exporter_Click();
    void fermer_Click();
    void about_Click();

private:
    // The candidates of the search window's hits when its search has changed.
    void followSearch();
    QString counterpart();
    // Runs `find` as long work and lists what it found; `form` names it.
    void list(const QString& form, const std::function<Result<CandidateList>(const Progress&)>& find);

    const StudyRoad& road_;
    CandidateList list_;
    std::uint64_t hitsVersion_ = ~std::uint64_t(0);
    CandidatesControls shown_;
};

} // namespace solandre
