// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/search/result_grid_view.h"

#include "common/encoding.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTableView>
#include <QWheelEvent>
#include <algorithm>
#include <optional>
#include <vector>
#include <climits>

namespace solandre {
namespace {
const QColor kFixedBackground(255, 255, 128);
const QColor kFixedText(0, 0, 160);
} // namespace

// The rows of the grid from `top` on, as many as fit.
class GridWindowModel : public QAbstractTableModel {
public:
    explicit GridWindowModel(const ResultGrid& grid, QObject* parent)
        : QAbstractTableModel(parent), grid_(grid)
    {
    }

    size_t top = 0;      // the result row (1-based) shown first
    int capacity = 0;    // rows that fit
    // Cells on screen when frozen: row by row, two columns.
    std::optional<std::vector<QVariant>> frozen;
    int frozenRows = 0;

    void freeze()
    {
        std::vector<QVariant> cells;
        frozenRows = rowCount({});
        for (int r = 0; r < frozenRows; ++r)
            for (int c = 0; c < ResultGrid::kColumns; ++c) cells.push_back(data(index(r, c), Qt::DisplayRole));
        frozen = std::move(cells);
    }

    size_t resultRows() const { return grid_.rows() - 1; }
    size_t gridRow(int modelRow) const { return top + size_t(modelRow); }

    void reset(size_t newTop, int newCapacity)
    {
        beginResetModel();
        top = newTop;
        capacity = newCapacity;
        endResetModel();
    }

    int rowCount(const QModelIndex& parent) const override
    {
        if (frozen) return parent.isValid() ? 0 : frozenRows;
        if (parent.isValid() || top > resultRows()) return 0;
        return int(std::min<size_t>(size_t(capacity), resultRows() - top + 1));
    }
    int columnCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : ResultGrid::kColumns;
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (frozen) {
            if (role != Qt::DisplayRole) return {};
            return (*frozen)[size_t(index.row() * ResultGrid::kColumns + index.column())];
        }
        const size_t row = gridRow(index.row());
        const int col = index.column();
        const bool current = row == grid_.row() && col == grid_.col();
        switch (role) {
        case Qt::DisplayRole:
            return decodeText(grid_.text(row, col), grid_.encoding());
        case Qt::BackgroundRole:
            if (current) return QColor(0, 0, 128);
            return col == 0 ? QVariant(kFixedBackground) : QVariant();
        case Qt::ForegroundRole:
            if (current) return QColor(Qt::white);
            return col == 0 ? QVariant(kFixedText) : QVariant();
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || section < 0 || section >= ResultGrid::kColumns)
            return {};
        if (role == Qt::DisplayRole) return QString::fromLatin1(ResultGrid::kHeader[section]);
        if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
        return {};
    }

private:
    const ResultGrid& grid_;
};

ResultGridView::ResultGridView(ResultGrid& grid, QWidget* parent)
    : QWidget(parent), grid_(grid), model_(new GridWindowModel(grid, this)),
      table_(new QTableView(this)), scrollBar_(new QScrollBar(Qt::Vertical, this))
{
    table_->setObjectName(QStringLiteral("table"));
    scrollBar_->setObjectName(QStringLiteral("scrollBar"));
    table_->setModel(model_);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* header = table_->horizontalHeader();
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setStyleSheet(QStringLiteral("QHeaderView::section { background-color: #FFFF80; "
                                         "color: #0000A0; border: 1px solid #A0A0A0; }"));
    table_->viewport()->installEventFilter(this);
    table_->installEventFilter(this);

    connect(table_, &QTableView::clicked, this, [this](const QModelIndex& index) {
        const size_t row = model_->gridRow(index.row());
        grid_.setRow(row);
        grid_.setCol(index.column());
        model_->reset(model_->top, model_->capacity);
        emit cellClicked(row, index.column());
    });
    connect(scrollBar_, &QScrollBar::valueChanged, this,
            [this](int value) { model_->reset(1 + size_t(value), model_->capacity); });
    model_->top = 1;
}

ResultGridView::~ResultGridView() = default;

void ResultGridView::freeze()
{
    model_->freeze();
    scrollBar_->setEnabled(false);
}

void ResultGridView::thaw()
{
    model_->frozen.reset();
    scrollBar_->setEnabled(true);
}

size_t ResultGridView::topRow() const { return model_->top; }
int ResultGridView::visibleRows() const { return model_->capacity; }

void ResultGridView::refresh()
{
    layoutRows();
    scrollTo(1);
    emit rowsChanged();
}

void ResultGridView::showCurrent()
{
    if (model_->frozen) return; // the grid is someone else's meanwhile
    const size_t row = std::max<size_t>(grid_.row(), 1);
    if (row < model_->top)
        scrollTo(row);
    else if (row >= model_->top + size_t(std::max(model_->capacity, 1)))
        scrollTo(row - size_t(std::max(model_->capacity, 1)) + 1);
    else
        model_->reset(model_->top, model_->capacity);
}

void ResultGridView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        table_->setFont(font());
        table_->verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 6);
        layoutRows();
    }
    QWidget::changeEvent(event);
}

void ResultGridView::resizeEvent(QResizeEvent*)
{
    const int bar = scrollBar_->sizeHint().width();
    table_->setGeometry(0, 0, width() - bar, height());
    scrollBar_->setGeometry(width() - bar, 0, bar, height());
    layoutRows();
}

void ResultGridView::layoutRows()
{
    if (model_->frozen) return; // the grid is someone else's meanwhile
    const int rowHeight = std::max(1, table_->verticalHeader()->defaultSectionSize());
    int room = table_->viewport()->height();
    if (room <= 0) room = table_->height() - table_->horizontalHeader()->sizeHint().height() - 4;
    const int capacity = std::max(1, room / rowHeight);
    const size_t results = model_->resultRows();
    const size_t maxTop = results > size_t(capacity) ? results - size_t(capacity) : 0;
    // The scroll bar counts rows; beyond what an int holds it would need
    // scaling, far past any text that fits in memory.
    scrollBar_->blockSignals(true);
    scrollBar_->setRange(0, int(std::min<size_t>(maxTop, size_t(INT_MAX))));
    scrollBar_->setPageStep(capacity);
    scrollBar_->setSingleStep(1);
    scrollBar_->blockSignals(false);
    const size_t top = std::clamp<size_t>(model_->top, 1, maxTop + 1);
    scrollBar_->setValue(int(top - 1));
    model_->reset(top, capacity);
}

void ResultGridView::scrollTo(size_t top)
{
    if (model_->frozen) return; // the grid is someone else's meanwhile
    top = std::clamp<size_t>(top, 1, size_t(scrollBar_->maximum()) + 1);
    if (scrollBar_->value() != int(top - 1))
        scrollBar_->setValue(int(top - 1)); // resets the model
    else
        model_->reset(top, model_->capacity);
}

bool ResultGridView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == table_->viewport() && event->type() == QEvent::Wheel) {
        const int steps = static_cast<QWheelEvent*>(event)->angleDelta().y() / 40;
        scrollTo(size_t(std::max<long long>(1, (long long)model_->top - steps)));
        return true;
    }
    if (watched == table_ && event->type() == QEvent::KeyPress) {
        const int page = std::max(1, model_->capacity - 1);
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up: moveCurrent(-1); return true;
        case Qt::Key_Down: moveCurrent(1); return true;
        case Qt::Key_PageUp: moveCurrent(-page); return true;
        case Qt::Key_PageDown: moveCurrent(page); return true;
        case Qt::Key_Home: moveCurrent(-(long long)grid_.rows()); return true;
        case Qt::Key_End: moveCurrent((long long)grid_.rows()); return true;
        default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ResultGridView::moveCurrent(long long rows)
{
    if (model_->frozen) return; // the grid is someone else's meanwhile
    // The keys move the current cell as the mouse would, without opening anything.
    const long long last = (long long)grid_.rows() - 1;
    if (last < 1) return;
    const long long from = (long long)std::max<size_t>(grid_.row(), 1);
    grid_.setRow(size_t(std::clamp<long long>(from + rows, 1, last)));
    showCurrent();
}

} // namespace solandre
