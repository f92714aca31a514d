// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The translation candidates of a collection's search
// (frmcollection_candidats): the words of the translated sentences that go
// with the hits far more often than chance, each pair read against its own
// translation and the counts of all ranked once. It follows the search
// window's searches; any form may be typed in its box.

#include "study/candidates.h"
#include "windows/study/study_window.h"

#include <functional>

namespace solandre {

class CollectionCandidatesWindow : public StudyWindow {
    Q_OBJECT
public:
    static constexpr size_t kListed = 10;

    explicit CollectionCandidatesWindow(FormRegistry& forms);

    void Form_Load() override;
    void Command1_Click(); // "Calcular"
    void fermer_Click();

    const CandidateList& candidates() const { return list_; }

private:
    void followSearch();
    // Runs `find` as long work and lists what it found; `form` names it.
    void list(const QString& form, const std::function<Result<CandidateList>(const Progress&)>& find);

    CandidateList list_;
    CandidatesControls shown_;
};

} // namespace solandre
