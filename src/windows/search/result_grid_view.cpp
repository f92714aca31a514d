// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/search/result_grid_view.h"

#include "common/encoding.h"
#include "forms/form.h"
#include "forms/form_registry.h"
#include "windows/search/searched_query.h"

#include <QTableView>

namespace solandre {
namespace {
const QColor kFixedBackground(255, 255, 128);
const QColor kFixedText(0, 0, 160);
} // namespace

// The grid's result rows, row 0 of the table being the grid's row 1.
class ResultGridView::Rows : public TableRows {
public:
    explicit Rows(const ResultGrid& grid) : grid_(grid) {}

    size_t rowCount() const override { return grid_.rows() - 1; }
    int columnCount() const override { return ResultGrid::kColumns; }
    QString header(int column) const override { return QString::fromLatin1(ResultGrid::kHeader[column]); }

    QVariant cell(size_t row, int column, int role) const override
    {
        switch (role) {
        case Qt::DisplayRole: return decodeText(grid_.text(row + 1, column), grid_.encoding());
        case Qt::BackgroundRole: return column == 0 ? QVariant(kFixedBackground) : QVariant();
        case Qt::ForegroundRole: return column == 0 ? QVariant(kFixedText) : QVariant();
        default: return {};
        }
    }

private:
    const ResultGrid& grid_;
};

ResultGridView::ResultGridView(ResultGrid& grid, QWidget* parent)
    : QWidget(parent), grid_(grid), rows_(std::make_unique<Rows>(grid)), table_(new WindowedTable(*rows_, this))
{
    table_->setCellMode(true);
    table_->table()->setShowGrid(true);
    table_->table()->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(table_, &WindowedTable::cellClicked, this, [this](size_t row, int column) {
        grid_.setRow(row + 1);
        grid_.setCol(column);
        emit cellClicked(row + 1, column);
    });
    // The keys move the current cell as the mouse would, without opening anything.
    connect(table_, &WindowedTable::currentRowChanged, this, [this](size_t row) {
        if (grid_.row() != row + 1) grid_.setRow(row + 1);
    });
}

ResultGridView::~ResultGridView()
{
    delete table_; // before the rows it reads
    table_ = nullptr;
}

void ResultGridView::freeze() { table_->freeze(); }
void ResultGridView::thaw() { table_->thaw(); }
size_t ResultGridView::topRow() const { return table_->topRow() + 1; }
int ResultGridView::visibleRows() const { return table_->visibleRows(); }
QTableView* ResultGridView::table() const { return table_->table(); }

void ResultGridView::refresh()
{
    table_->refresh();
    table_->setCurrentCell(grid_.row() >= 1 ? grid_.row() - 1 : WindowedTable::kNone, grid_.col(), false);
    emit rowsChanged();
}

void ResultGridView::showCurrent()
{
    table_->setCurrentCell(std::max<size_t>(grid_.row(), 1) - 1, grid_.col(), true);
}

void ResultGridView::resizeEvent(QResizeEvent*) { table_->setGeometry(rect()); }

ResultGridView* searchGrid(FormRegistry& forms, const char* searchWindow)
{
    return forms.control<ResultGridView>(searchWindow, QStringLiteral("grille01"));
}

const SearchedQuery* searchedQuery(FormRegistry& forms, const char* searchWindow)
{
    return dynamic_cast<const SearchedQuery*>(forms.find(searchWindow));
}

} // namespace solandre
