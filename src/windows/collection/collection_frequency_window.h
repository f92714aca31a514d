// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The frequency list of a collection's search (frmcollection_frequences):
// each distinct form found, lower-cased, with its hits in every text, by
// count or alphabetically. It follows the search window's searches.

#include "collection/collection_concordance.h"
#include "windows/study/study_window.h"

#include <memory>
#include <vector>

namespace solandre {

class WindowedTable;

class CollectionFrequencyWindow : public StudyWindow {
    Q_OBJECT
public:
    explicit CollectionFrequencyWindow(FormRegistry& forms);
    ~CollectionFrequencyWindow() override;

    void Form_Load() override;
    void trier_nombre_Click();
    void trier_alpha_Click();
    void fermer_Click();

private:
    class Rows;

    void followSearch();

    std::vector<CollectionConcordance::Frequency> list_;
    FrequencyOrder order_ = FrequencyOrder::ByCount;
    std::unique_ptr<Rows> rows_;
    QLabel* total_;
    WindowedTable* view_;
};

} // namespace solandre
