// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The result grid on screen: a table whose header is the grid's row 0 and
// whose form column is drawn in the fixed-cell colours. The table's model
// shows only the rows that fit, at the position of a scroll bar of its own,
// so a list of millions of hits opens and scrolls at once: a table model with
// one row per hit would keep a record per row in the table's header.

#include "windows/search/result_grid_control.h"

#include <QWidget>

class QScrollBar;
class QTableView;

namespace solandre {

class GridWindowModel;

class ResultGridView : public QWidget, public ResultGridControl {
    Q_OBJECT
public:
    ResultGridView(ResultGrid& grid, QWidget* parent);
    ~ResultGridView() override;

    ResultGrid& grid() override { return grid_; }

    // Call after the grid's rows have changed; the list starts at its top.
    void refresh();
    // Call after the grid's current cell has moved: it is scrolled into view.
    void showCurrent() override;

    // While other work changes the grid's rows, the view shows what it
    // showed, from a copy, and reads nothing of the grid; thaw() and refresh.
    void freeze();
    void thaw();

    // The first result row on screen, and how many result rows fit.
    size_t topRow() const;
    int visibleRows() const;
    QTableView* table() const { return table_; }

signals:
    // A click on a cell; the grid's current cell is already on it.
    void cellClicked(size_t row, int col);
    // After refresh(): the windows that keep a copy of the hits look again.
    void rowsChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layoutRows();
    void scrollTo(size_t top);
    void moveCurrent(long long rows);

    ResultGrid& grid_;
    GridWindowModel* model_;
    QTableView* table_;
    QScrollBar* scrollBar_;
};

} // namespace solandre
