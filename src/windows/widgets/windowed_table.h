// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A table of any number of rows that shows only those that fit, at the
// position of a scroll bar of its own, so millions of rows open and scroll at
// once: the search grid and the lists of the study windows. One row (or, in
// cell mode, one cell of it) may be the current one; a click makes it current
// and says so, the keys move it without a click, Enter says it is chosen.
// The current row is the only mark of where the keys are: the table draws
// no focus frame of its own on a cell. A cell too narrow for its text shows
// it whole in its tooltip.

#include <QVariant>
#include <QWidget>
#include <vector>

class QLabel;
class QScrollBar;
class QTableView;

namespace solandre {

// The rows a table shows, asked for only while they are on screen.
class TableRows {
public:
    virtual size_t rowCount() const = 0;
    virtual int columnCount() const = 0;
    // Any role but the background and text colours of the current row.
    virtual QVariant cell(size_t row, int column, int role) const = 0;
    virtual QString header(int column) const = 0;

protected:
    ~TableRows() = default;
};

class TableWindowModel;

class WindowedTable : public QWidget {
    Q_OBJECT
public:
    static constexpr size_t kNone = size_t(-1);

    WindowedTable(const TableRows& rows, QWidget* parent);
    ~WindowedTable() override;

    // Call after the rows have changed: no current row, the list at its top.
    void refresh();
    // Call after rows were corrected in place, some added or taken away: the
    // current row and the list stay where they were, as far as they still can.
    void rowsEdited();
    size_t currentRow() const { return current_; }
    // Makes a row current and scrolls it into view.
    void setCurrentRow(size_t row);
    // In cell mode only the current row's current column is drawn current,
    // and a click also moves the column.
    void setCellMode(bool on) { cellMode_ = on; }
    int currentColumn() const { return currentColumn_; }
    // The current cell set from outside (kNone: none); `reveal` scrolls it
    // into view. Says nothing: the caller knows.
    void setCurrentCell(size_t row, int column, bool reveal);

    // The columns' widths: a share of 0 makes a column as wide as its
    // content (its header and the rows first shown, measured at each
    // refresh); the others share what is left in proportion to theirs.
    void setColumnShares(std::vector<int> shares);
    // What the table says while it has no rows (nothing by default).
    void setEmptyText(const QString& text);
    QString emptyText() const;
    // How a column shortens text too long for it (the right end by default).
    void setElideMode(int column, Qt::TextElideMode mode);

    // While other work changes the rows, the table shows what it showed,
    // from a copy, and reads nothing of them; thaw() and refresh.
    void freeze();
    void thaw();

    size_t topRow() const;
    int visibleRows() const;
    QTableView* table() const { return table_; }

signals:
    void rowClicked(size_t row);
    void cellClicked(size_t row, int column);
    // The keys or a click moved the current row.
    void currentRowChanged(size_t row);
    // Enter on the current row.
    void rowActivated(size_t row);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layoutRows();
    void scrollTo(size_t top);
    void moveCurrent(long long rows);
    void applyShares();
    void measureContent();
    void showEmptyText();
    // Whether a cell's text is cut at the column's width.
    bool cut(int column, const QString& text, const QVariant& font) const;

    const TableRows& rows_;
    TableWindowModel* model_;
    QTableView* table_;
    QScrollBar* scrollBar_;
    size_t current_ = kNone;
    int currentColumn_ = 0;
    bool cellMode_ = false;
    std::vector<int> shares_;
    std::vector<int> contentWidths_; // of the columns that fit their content
    QLabel* empty_;
};

} // namespace solandre
