// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The concordance lines of a search window's current search, in its two
// roads: frmlignes beside Frmcontexte and frmlignes02 beside Frmcontexte02.
// Each hit is a line, its left context right-aligned against the form; the
// lines sort by the form or the words around it; under the list stands the
// translated sentence of the current line, and a click or Enter on a line
// opens the viewer on that hit, which then steps through the hits in the
// lines' order. The window follows its search window's searches.

#include "common/text_file.h"
#include "search/concordance_lines.h"
#include "windows/search/hit_order.h"
#include "windows/study/study_road.h"
#include "windows/study/study_window.h"
#include "study/sentence_table.h"

#include <cstdint>

class QTextEdit;

namespace solandre {

class ResultGridView;
class WindowedTable;

class ConcordanceLinesWindow : public StudyWindow, public HitOrder {
    Q_OBJECT
public:
    ConcordanceLinesWindow(FormRegistry& forms, const StudyRoad& road);
    ~ConcordanceLinesWindow() override;

    void Form_Load() override;
    void trier_Click(LineKey key); // the five sort buttons
    void lignes_Click(size_t line);
    void exporter_Click();
    void fermer_Click();
    void about_Click();

    const ConcordanceLines& lines() const { return lines_; }

    size_t hitCount() const override { return lines_.size(); }
    WordId hitAt(size_t step) const override { return lines_.hit(step); }
    size_t currentStep() const override;
    void setCurrentStep(size_t step) override;

private:
    class Rows;

    ResultGridView* gridView();
    // Takes the search window's hits again when its search has changed.
    void followSearch();
    void showTranslation(size_t line);

    const StudyRoad& road_;
    ConcordanceLines lines_;
    std::uint64_t hitsVersion_ = ~std::uint64_t(0);
    TextFile targetText_;
    SentenceTable target_;
    std::unique_ptr<Rows> rows_;
    QLabel* total_;
    WindowedTable* view_;
    QTextEdit* translation_;
};

} // namespace solandre
