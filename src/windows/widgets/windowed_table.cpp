// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/widgets/windowed_table.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QWheelEvent>
#include <algorithm>
#include <climits>
#include <functional>
#include <map>
#include <optional>
#include <tuple>

namespace solandre {

// The rows from `top` on, as many as fit.
class TableWindowModel : public QAbstractTableModel {
public:
    TableWindowModel(const TableRows& rows, const size_t& current, const int& currentColumn, const bool& cellMode,
                     QObject* parent)
        : QAbstractTableModel(parent), rows_(rows), current_(current), currentColumn_(currentColumn),
          cellMode_(cellMode)
    {
    }

    size_t top = 0;
    int capacity = 0;
    // Whether a cell's text is cut at its column's width.
    std::function<bool(int column, const QString& text, const QVariant& font)> isCut;
    // What was on screen when frozen: cells by row, column and role.
    std::optional<std::map<std::tuple<int, int, int>, QVariant>> frozen;
    int frozenRows = 0;

    void freeze()
    {
        std::map<std::tuple<int, int, int>, QVariant> cells;
        frozenRows = rowCount({});
        for (int r = 0; r < frozenRows; ++r)
            for (int c = 0; c < rows_.columnCount(); ++c)
                for (int role : {Qt::DisplayRole, Qt::FontRole, Qt::TextAlignmentRole, Qt::ForegroundRole,
                                 Qt::BackgroundRole, Qt::ToolTipRole})
                    cells[{r, c, role}] = data(index(r, c), role);
        frozen = std::move(cells);
    }

    void reset(size_t newTop, int newCapacity)
    {
        beginResetModel();
        top = newTop;
        capacity = newCapacity;
        endResetModel();
    }

    int rowCount(const QModelIndex& parent) const override
    {
        if (parent.isValid()) return 0;
        if (frozen) return frozenRows;
        if (top >= rows_.rowCount()) return 0;
        return int(std::min<size_t>(size_t(capacity), rows_.rowCount() - top));
    }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : rows_.columnCount(); }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (frozen) {
            const auto it = frozen->find({index.row(), index.column(), role});
            return it == frozen->end() ? QVariant() : it->second;
        }
        const size_t row = top + size_t(index.row());
        const bool current = row == current_ && (!cellMode_ || index.column() == currentColumn_);
        if (current && role == Qt::BackgroundRole) return QColor(0, 0, 128);
        if (current && role == Qt::ForegroundRole) return QColor(Qt::white);
        if (role == Qt::ToolTipRole) {
            const QVariant own = rows_.cell(row, index.column(), role);
            if (own.isValid() || !isCut) return own;
            const QString text = rows_.cell(row, index.column(), Qt::DisplayRole).toString();
            return isCut(index.column(), text, rows_.cell(row, index.column(), Qt::FontRole)) ? QVariant(text)
                                                                                             : QVariant();
        }
        return rows_.cell(row, index.column(), role);
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || section < 0 || section >= rows_.columnCount()) return {};
        if (role == Qt::DisplayRole) return rows_.header(section);
        if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
        return {};
    }

private:
    const TableRows& rows_;
    const size_t& current_;
    const int& currentColumn_;
    const bool& cellMode_;
};

namespace {

// Qt's item views leave this much room on either side of a cell's text.
int textMargin(const QWidget* view)
{
    return view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
}

// Each column shortens its text at its own end.
class ElidingDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    std::map<int, Qt::TextElideMode> modes;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const auto it = modes.find(index.column());
        if (it != modes.end()) option->textElideMode = it->second;
        // The current row is the table's one mark: no focus frame on a cell besides.
        option->state &= ~QStyle::State_HasFocus;
    }
};

} // namespace

WindowedTable::WindowedTable(const TableRows& rows, QWidget* parent)
    : QWidget(parent), rows_(rows), model_(new TableWindowModel(rows, current_, currentColumn_, cellMode_, this)), table_(new QTableView(this)),
      scrollBar_(new QScrollBar(Qt::Vertical, this)), empty_(new QLabel(table_->viewport()))
{
    empty_->setObjectName(QStringLiteral("vide"));
    empty_->setAlignment(Qt::AlignCenter);
    empty_->setWordWrap(true);
    empty_->hide();
    model_->isCut = [this](int column, const QString& text, const QVariant& font) {
        return cut(column, text, font);
    };
    // Tab reaches the table, never its scroll bar, and leaves it for the next control.
    setFocusProxy(table_);
    table_->setTabKeyNavigation(false);
    scrollBar_->setFocusPolicy(Qt::NoFocus);
    table_->setObjectName(QStringLiteral("table"));
    scrollBar_->setObjectName(QStringLiteral("scrollBar"));
    table_->setModel(model_);
    table_->setItemDelegate(new ElidingDelegate(table_));
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setWordWrap(false);
    table_->setShowGrid(false);
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
        const size_t row = model_->top + size_t(index.row());
        if (cellMode_) currentColumn_ = index.column();
        setCurrentRow(row);
        emit rowClicked(row);
        emit cellClicked(row, index.column());
    });
    connect(scrollBar_, &QScrollBar::valueChanged, this,
            [this](int value) { model_->reset(size_t(value), model_->capacity); });
    // A reset of the model sets the columns back to their default widths.
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { applyShares(); });
}

WindowedTable::~WindowedTable() = default;

size_t WindowedTable::topRow() const { return model_->top; }
int WindowedTable::visibleRows() const { return model_->capacity; }

void WindowedTable::freeze()
{
    model_->freeze();
    scrollBar_->setEnabled(false);
}

void WindowedTable::thaw()
{
    model_->frozen.reset();
    scrollBar_->setEnabled(true);
}

void WindowedTable::refresh()
{
    current_ = kNone;
    layoutRows();
    scrollTo(0);
    measureContent();
    applyShares();
    showEmptyText();
}

void WindowedTable::setEmptyText(const QString& text)
{
    empty_->setText(text);
    showEmptyText();
}

QString WindowedTable::emptyText() const { return empty_->isVisible() ? empty_->text() : QString(); }

void WindowedTable::showEmptyText()
{
    empty_->setGeometry(table_->viewport()->rect());
    empty_->setVisible(rows_.rowCount() == 0 && !empty_->text().isEmpty());
}

bool WindowedTable::cut(int column, const QString& text, const QVariant& font) const
{
    const QFontMetrics metrics(font.isValid() ? font.value<QFont>() : table_->font());
    return metrics.horizontalAdvance(text) > table_->columnWidth(column) - 2 * textMargin(table_);
}

void WindowedTable::measureContent()
{
    contentWidths_.assign(size_t(rows_.columnCount()), 0);
    if (shares_.empty()) return;
    const QFontMetrics headerMetrics(table_->horizontalHeader()->font());
    const size_t rows = rows_.rowCount();
    // The rows first shown and those on screen: a list of millions is not read through.
    std::vector<size_t> sample;
    for (size_t r = 0; r < std::min<size_t>(rows, 200); ++r) sample.push_back(r);
    for (size_t r = model_->top; r < std::min(rows, model_->top + size_t(std::max(model_->capacity, 0))); ++r)
        sample.push_back(r);
    for (int c = 0; c < rows_.columnCount() && size_t(c) < shares_.size(); ++c) {
        if (shares_[size_t(c)] != 0) continue;
        int widest = headerMetrics.horizontalAdvance(rows_.header(c)) + 4 * textMargin(table_);
        for (const size_t r : sample) {
            const QVariant font = rows_.cell(r, c, Qt::FontRole);
            const QFontMetrics metrics(font.isValid() ? font.value<QFont>() : table_->font());
            widest = std::max(widest, metrics.horizontalAdvance(rows_.cell(r, c, Qt::DisplayRole).toString()) +
                                          2 * textMargin(table_) + 2);
        }
        contentWidths_[size_t(c)] = widest;
    }
}

void WindowedTable::rowsEdited()
{
    const size_t rows = rows_.rowCount();
    if (current_ != kNone && current_ >= rows) current_ = rows ? rows - 1 : kNone;
    layoutRows();
}

void WindowedTable::setCurrentRow(size_t row)
{
    if (model_->frozen || rows_.rowCount() == 0) return;
    current_ = std::min(row, rows_.rowCount() - 1);
    const size_t fit = size_t(std::max(model_->capacity, 1));
    if (current_ < model_->top)
        scrollTo(current_);
    else if (current_ >= model_->top + fit)
        scrollTo(current_ - fit + 1);
    else
        model_->reset(model_->top, model_->capacity);
    emit currentRowChanged(current_);
}

void WindowedTable::setCurrentCell(size_t row, int column, bool reveal)
{
    if (model_->frozen) return;
    current_ = row < rows_.rowCount() ? row : kNone;
    currentColumn_ = column;
    const size_t fit = size_t(std::max(model_->capacity, 1));
    if (reveal && current_ != kNone && current_ < model_->top)
        scrollTo(current_);
    else if (reveal && current_ != kNone && current_ >= model_->top + fit)
        scrollTo(current_ - fit + 1);
    else
        model_->reset(model_->top, model_->capacity);
}

void WindowedTable::setColumnShares(std::vector<int> shares)
{
    shares_ = std::move(shares);
    measureContent();
    applyShares();
}

void WindowedTable::setElideMode(int column, Qt::TextElideMode mode)
{
    static_cast<ElidingDelegate*>(table_->itemDelegate())->modes[column] = mode;
}

void WindowedTable::applyShares()
{
    if (shares_.empty()) return;
    const int width = table_->width() - 2 * table_->frameWidth();
    // Content first, but never more than half the width for one column.
    int fitted = 0, shares = 0;
    for (size_t c = 0; c < shares_.size(); ++c) {
        if (shares_[c] == 0)
            fitted += std::min(c < contentWidths_.size() ? contentWidths_[c] : 0, width / 2);
        shares += shares_[c];
    }
    const int rest = std::max(0, width - fitted);
    int given = 0, seen = 0;
    for (size_t c = 0; c < shares_.size(); ++c) {
        int w;
        if (shares_[c] == 0) {
            w = std::min(c < contentWidths_.size() ? contentWidths_[c] : 0, width / 2);
        } else {
            seen += shares_[c];
            // The last share takes what rounding left.
            w = seen == shares ? rest - given : rest * shares_[c] / std::max(shares, 1);
            given += w;
        }
        table_->setColumnWidth(int(c), std::max(w, 0));
    }
}

void WindowedTable::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        table_->setFont(font());
        table_->verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 6);
        layoutRows();
        measureContent();
        applyShares();
    }
    QWidget::changeEvent(event);
}

void WindowedTable::resizeEvent(QResizeEvent*)
{
    const int bar = scrollBar_->sizeHint().width();
    table_->setGeometry(0, 0, width() - bar, height());
    scrollBar_->setGeometry(width() - bar, 0, bar, height());
    layoutRows();
    applyShares();
    showEmptyText();
}

void WindowedTable::layoutRows()
{
    if (model_->frozen) return;
    // From the table's own height: its viewport has not been laid out
    // before the window first shows.
    const int rowHeight = std::max(1, table_->verticalHeader()->defaultSectionSize());
    int room = table_->height() - table_->horizontalHeader()->sizeHint().height() - 2 * table_->frameWidth();
    if (table_->horizontalScrollBar()->isVisible()) room -= table_->horizontalScrollBar()->height();
    const int capacity = std::max(1, room / rowHeight);
    const size_t rows = rows_.rowCount();
    const size_t maxTop = rows > size_t(capacity) ? rows - size_t(capacity) : 0;
    scrollBar_->blockSignals(true);
    scrollBar_->setRange(0, int(std::min<size_t>(maxTop, size_t(INT_MAX))));
    scrollBar_->setPageStep(capacity);
    scrollBar_->setSingleStep(1);
    scrollBar_->blockSignals(false);
    const size_t top = std::min(model_->top, maxTop);
    scrollBar_->setValue(int(top));
    model_->reset(top, capacity);
}

void WindowedTable::scrollTo(size_t top)
{
    if (model_->frozen) return;
    top = std::min<size_t>(top, size_t(scrollBar_->maximum()));
    if (scrollBar_->value() != int(top))
        scrollBar_->setValue(int(top)); // resets the model
    else
        model_->reset(top, model_->capacity);
}

bool WindowedTable::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == table_->viewport() && event->type() == QEvent::Wheel) {
        const int steps = static_cast<QWheelEvent*>(event)->angleDelta().y() / 40;
        scrollTo(size_t(std::max<long long>(0, (long long)model_->top - steps)));
        return true;
    }
    if (watched == table_ && event->type() == QEvent::KeyPress) {
        const long long page = std::max(1, model_->capacity - 1);
        const long long all = (long long)rows_.rowCount();
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up: moveCurrent(-1); return true;
        case Qt::Key_Down: moveCurrent(1); return true;
        case Qt::Key_PageUp: moveCurrent(-page); return true;
        case Qt::Key_PageDown: moveCurrent(page); return true;
        case Qt::Key_Home: moveCurrent(-all); return true;
        case Qt::Key_End: moveCurrent(all); return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (current_ != kNone && !model_->frozen) emit rowActivated(current_);
            return true;
        default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void WindowedTable::moveCurrent(long long rows)
{
    if (model_->frozen || rows_.rowCount() == 0) return;
    const long long from = current_ == kNone ? (rows > 0 ? -1 : 0) : (long long)current_;
    setCurrentRow(size_t(std::clamp<long long>(from + rows, 0, (long long)rows_.rowCount() - 1)));
}

} // namespace solandre
