// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The frequency list of a search window's current search, in its two roads:
// frmfrequences beside Frmcontexte and frmfrequences02 beside Frmcontexte02.
// Each distinct matching form, lower-cased, with its number of hits, by
// count or alphabetically; Enter on a form opens the viewer on its first
// hit. The window follows its search window's searches.

#include "search/frequencies.h"
#include "windows/study/study_road.h"
#include "windows/study/study_window.h"

#include <cstdint>
#include <memory>

namespace solandre {

class ResultGridView;
class WindowedTable;

class FrequencyWindow : public StudyWindow {
    Q_OBJECT
public:
    FrequencyWindow(FormRegistry& forms, const StudyRoad& road);
    ~FrequencyWindow() override;

    void Form_Load() override;
    void trier_nombre_Click();
    void trier_alpha_Click();
    void formes_Enter(size_t row);
    void exporter_Click();
    void fermer_Click();
    void about_Click();

private:
    class Rows;

    ResultGridView* gridView();
    void followSearch();

    const StudyRoad& road_;
    const WordIndex* index_ = nullptr;
    std::vector<FormFrequency> list_;
    FrequencyOrder order_ = FrequencyOrder::ByCount;
    std::uint64_t hitsVersion_ = ~std::uint64_t(0);
    std::unique_ptr<Rows> rows_;
    QLabel* total_;
    WindowedTable* view_;
};

} // namespace solandre
