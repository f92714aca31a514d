// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The content of a search window's result grid, which the saving, the
// printing and the context viewer read as well. Row 0 is the header, each
// further row one hit (or, before any search, one empty row); a cell's text is
// looked up in the word index when asked for, so a list of millions of hits
// costs four bytes a row. A hit is known by its first word; every hit of a
// search has the same number of words.

#include "search/query.h"
#include "search/word_index.h"

#include <memory>

#include <string_view>
#include <vector>

namespace solandre {

class ResultGrid {
public:
    static constexpr int kColumns = 2;
    static constexpr std::string_view kHeader[kColumns] = {"Forma(s)", "Referencia(s)"};

    // The grid reads its hits' text from `index`, which must outlive it.
    explicit ResultGrid(const WordIndex& index);

    size_t rows() const { return 1 + rows_.size(); }
    size_t hitCount() const;
    // Cell text in the text's encoding: header, form as written (a hit of
    // several words from its first letter to its last, line breaks as
    // blanks), marker; "" for an empty row.
    std::string text(size_t row, int col) const;
    Encoding encoding() const { return index_.encoding(); }
    const WordIndex& index() const { return index_; }
    bool isHit(size_t row) const { return row >= 1 && row < rows() && rows_[row - 1] != kEmpty; }
    WordId hit(size_t row) const { return rows_[row - 1]; }
    // The words of each hit: 1 but for a phrase.
    std::uint32_t hitWords() const { return hitWords_; }
    // The query the translation of every hit holds a match of, when the
    // search asked for one ("contiene"): what the viewer marks there.
    const std::shared_ptr<const Query>& translationMatch() const { return translationMatch_; }
    void setTranslationMatch(std::shared_ptr<const Query> query) { translationMatch_ = std::move(query); }

    // The current cell, and the end of the selection that starts there.
    // Moving the current cell collapses the selection onto it.
    size_t row() const { return row_; }
    int col() const { return col_; }
    size_t rowSel() const { return rowSel_; }
    void setRow(size_t row);
    void setCol(int col);
    void setColSel(int col) { colSel_ = col; }

    // The header and one empty row, current cell (0, 1).
    void prepare();
    // The hits of a search, in the order given; the current cell becomes the
    // last hit's marker, or (0, 0) when there is none. `forms`: the ranks of
    // the forms whose words the hits are, all of them and in text order, as a
    // search gives them; without it the rows are taken as they come.
    // `words`: the words of each hit.
    void showHits(WordList&& hits, std::vector<std::uint32_t> forms = {}, std::uint32_t words = 1);
    // Hands the rows' storage to the next search so it can be reused.
    WordList takeRows();
    // The ranks of the forms whose words the rows are, ascending, as the
    // search gave them; empty when the rows came without them.
    const std::vector<std::uint32_t>& hitForms() const { return forms_; }
    // Changes whenever the rows are replaced, not when they are sorted: the
    // windows that keep a copy of the hits know when to take a new one.
    std::uint64_t hitsVersion() const { return hitsVersion_; }

    // Ascending, stable sort of the result rows; the keys are the selected
    // columns, leftmost first, from the form's column ("Formas" selects it)
    // to the current column. Forms (a phrase's whole text) compare
    // lower-cased, by code point, markers as text, by code point too ("[12]"
    // before "[3]", "[1§]" before "[1‰]" whatever the encoding).
    void sort();

private:
    static constexpr WordId kEmpty = ~WordId(0);

    // What the rows' order is known to be.
    enum class Order { Given, Text, ByForm, ByFormAndMarker };

    void groupByForm();
    void sortGroupsByMarker();
    void groupByFormAndMarker();

    const WordIndex& index_;
    WordList rows_; // rows 1 ... rows() - 1
    Order order_ = Order::Given;
    std::vector<std::uint32_t> forms_; // with Order::Text: the forms of the rows
    std::vector<size_t> groupEnds_;    // with Order::ByForm...: where each form's rows end
    std::uint64_t hitsVersion_ = 0;
    std::uint32_t hitWords_ = 1;
    std::shared_ptr<const Query> translationMatch_;
    size_t row_ = 0;
    int col_ = 0;
    size_t rowSel_ = 0;
    int colSel_ = 0;
};

} // namespace solandre
