// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The result grid on screen: the grid's rows over a windowed table, whose
// header is the grid's row 0, whose form column is drawn in the fixed-cell
// colours and whose current cell is the grid's. The table shows only the rows
// that fit, so a list of millions of hits opens and scrolls at once.

#include "windows/search/result_grid_control.h"
#include "windows/widgets/windowed_table.h"

#include <functional>
#include <memory>

class QTableView;

namespace solandre {

class FormRegistry;

class ResultGridView : public QWidget, public ResultGridControl {
    Q_OBJECT
public:
    ResultGridView(ResultGrid& grid, QWidget* parent);
    ~ResultGridView() override;

    ResultGrid& grid() override { return grid_; }
    SearchedTexts texts() const override { return texts_ ? texts_() : SearchedTexts(); }
    // Where texts() reads them, for the search window to say.
    void setTexts(std::function<SearchedTexts()> texts) { texts_ = std::move(texts); }

    // Call after the grid's rows have changed; the list starts at its top.
    void refresh();
    // Call after the grid's current cell has moved: it is scrolled into view.
    void showCurrent() override;

    // While other work changes the grid's rows, the view shows what it
    // showed, from a copy, and reads nothing of the grid; thaw() and refresh.
    void freeze();
    void thaw();

    // The first result row on screen (1-based, as the grid counts), and how
    // many result rows fit.
    size_t topRow() const;
    int visibleRows() const;
    QTableView* table() const;

signals:
    // A click on a cell; the grid's current cell is already on it.
    void cellClicked(size_t row, int col);
    // After refresh(): the windows that keep a copy of the hits look again.
    void rowsChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    class Rows;

    ResultGrid& grid_;
    std::function<SearchedTexts()> texts_;
    std::unique_ptr<Rows> rows_;
    WindowedTable* table_;
};

// The one road from any window to a search window's grid (loading the window
// hidden, as reading any control does).
ResultGridView* searchGrid(FormRegistry& forms, const char* searchWindow);

} // namespace solandre
