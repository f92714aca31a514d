// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The concordance lines of a collection's search (frmcollection_lignes):
// every hit of every pair as one line, its text first, sorted as the lines of
// one pair by the form or the words around it, across texts; under the list
// the translated sentence of the current line from its own pair. A click or
// Enter on a line makes it the search window's current hit. The window
// follows the search window's searches.

#include "collection/collection_lines.h"
#include "common/text_file.h"
#include "study/sentence_table.h"
#include "windows/study/study_window.h"

#include <memory>

class QTextEdit;

namespace solandre {

class WindowedTable;

class CollectionLinesWindow : public StudyWindow {
    Q_OBJECT
public:
    explicit CollectionLinesWindow(FormRegistry& forms);
    ~CollectionLinesWindow() override;

    void Form_Load() override;
    void trier_Click(LineKey key); // the five sort buttons
    void lignes_Click(size_t line);
    void fermer_Click();

    const CollectionLines& lines() const { return lines_; }

private:
    class Rows;

    void followSearch();
    void showTranslation(size_t line);

    CollectionLines lines_;
    // The translation of the pair of the line shown last: one pair, whatever
    // the collection's size.
    std::uint32_t targetOf_ = ~std::uint32_t(0);
    TextFile targetText_;
    SentenceTable target_;
    std::unique_ptr<Rows> rows_;
    QLabel* total_;
    WindowedTable* view_;
    QTextEdit* translation_;
};

} // namespace solandre
