// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/study/study_window.h"

#include "forms/long_work.h"
#include "forms/wait_cursor.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "windows/study/line_sort_buttons.h"
#include "windows/widgets/bidi_text.h"
#include "windows/widgets/windowed_table.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QTextEdit>
#include <algorithm>

namespace solandre {

StudyWindow::StudyWindow(FormRegistry& forms) : Form(forms, QStringLiteral("Quillarne - Concordancias VXT")) {}

StudyWindow::ListFrame StudyWindow::layOutListFrame(const TableRows& rows, const QString& caption,
                                                const QString& listCaption, int stretch, const QString& tableName,
                                                int widthTwips)
{
    ListFrame list;
    list.layout = new QVBoxLayout(client());
    auto* captions = new QHBoxLayout;
    list.layout->addLayout(captions);
    QLabel* title = label(client(), QStringLiteral("label3"), caption, 0, 0, 0, 0);
    list.total = label(client(), QStringLiteral("label4"), QString(), 0, 0, 0, 0);
    for (QLabel* l : {title, list.total}) l->setFont(timesFont(12, true, true));
    setTextColour(title, colours::kDarkBlue);
    setTextColour(list.total, colours::kDarkRed);
    captions->addWidget(title);
    captions->addWidget(list.total, 1);

    QGroupBox* frame1 = frame(client(), QStringLiteral("Frame1"), listCaption, 0, 0, 0, 0);
    list.layout->addWidget(frame1, stretch);
    QBoxLayout* lists = frameLayout(frame1, QBoxLayout::LeftToRight);
    list.view = new WindowedTable(rows, frame1);
    list.view->setObjectName(tableName);
    list.view->setFont(timesFont(9.75));
    list.view->setMinimumSize(twips(widthTwips), twips(2400));
    lists->addWidget(list.view, 1);

    list.sorts = frame(frame1, QStringLiteral("Frame3"), QStringLiteral("Clasificación :"), 0, 0, 0, 0);
    list.sorts->setFont(timesFont(12, true, true));
    lists->addWidget(list.sorts);
    list.buttons = frameLayout(list.sorts, QBoxLayout::TopToBottom);
    return list;
}

StudyWindow::LinesControls StudyWindow::layOutLines(const TableRows& rows, const LinesLayout& shape,
                                                    const LinesHandlers& on)
{
    const ListFrame list = layOutListFrame(rows, QStringLiteral("Líneas de concordancia de : "),
                                           QStringLiteral("Líneas :"), 3, QStringLiteral("lignes"), shape.widthTwips);
    WindowedTable* view = list.view;
    view->setColumnShares(shape.columnShares);
    view->setElideMode(shape.leftContext, Qt::ElideLeft);
    connect(view, &WindowedTable::rowClicked, this, on.open);
    connect(view, &WindowedTable::rowActivated, this, on.open);
    connect(view, &WindowedTable::currentRowChanged, this, on.current);

    for (const LineSortButton& b : kLineSortButtons) {
        QPushButton* button = this->button(list.sorts, QString::fromLatin1(b.name), QString::fromUtf8(b.caption), 0,
                                           0, 0, 0, [sort = on.sort, key = b.key] { sort(key); });
        button->setFont(QFont(QStringLiteral("MS Sans Serif"), 10, QFont::Bold));
        button->setToolTip(QStringLiteral("Ordena por %1").arg(QString::fromUtf8(b.tip)));
        button->setMinimumSize(twips(1860), twips(495));
        list.buttons->addWidget(button);
    }
    list.buttons->addStretch(1);
    if (on.close) {
        QPushButton* close =
            button(list.sorts, QStringLiteral("fermer"), QStringLiteral("&Cerrar"), 0, 0, 0, 0, on.close);
        close->setMinimumSize(twips(1860), twips(495));
        list.buttons->addWidget(close);
    }

    QGroupBox* frame2 = frame(client(), QStringLiteral("Frame2"), QStringLiteral("Texto en lengua meta :"), 0, 0,
                              0, 0);
    frame2->setFont(timesFont(9.75, true, true));
    setCaptionColour(frame2, colours::kDarkBlue);
    list.layout->addWidget(frame2, 1);
    auto* translation = new QTextEdit(frame2);
    translation->setObjectName(QStringLiteral("traduction"));
    translation->setFont(timesFont(9.75));
    translation->setReadOnly(true);
    translation->setMinimumHeight(twips(900));
    frameLayout(frame2, QBoxLayout::TopToBottom)->addWidget(translation);
    return {list.total, view, translation};
}

void StudyWindow::sortLines(WindowedTable* view, LineKey key, const std::function<void(const Progress&)>& sort)
{
    WaitCursor wait;
    const auto* b = std::find_if(std::begin(kLineSortButtons), std::end(kLineSortButtons),
                                 [key](const LineSortButton& s) { return s.key == key; });
    view->freeze();
    runLongWork(this, QStringLiteral("Ordenando por %1").arg(QString::fromUtf8(b->tip)), Cancel::Allowed, sort);
    view->thaw();
}

StudyWindow::FrequencyControls StudyWindow::layOutFrequencies(const TableRows& rows, const FrequencyHandlers& on)
{
    const ListFrame list = layOutListFrame(rows, QStringLiteral("Frecuencias de : "),
                                           QStringLiteral("Formas distintas :"), 1, QStringLiteral("formes"), 2400);
    list.view->setColumnShares({1, 0}); // the count as wide as it needs, the forms the rest
    if (on.open) connect(list.view, &WindowedTable::rowActivated, this, on.open);

    const QFont sansBold(QStringLiteral("MS Sans Serif"), 10, QFont::Bold);
    QPushButton* byCount =
        button(list.sorts, QStringLiteral("trier_nombre"), QStringLiteral("Por &número"), 0, 0, 0, 0, on.byCount);
    QPushButton* alphabetical =
        button(list.sorts, QStringLiteral("trier_alpha"), QStringLiteral("Alfa&bético"), 0, 0, 0, 0, on.alphabetical);
    QPushButton* close =
        on.close ? button(list.sorts, QStringLiteral("fermer"), QStringLiteral("&Cerrar"), 0, 0, 0, 0, on.close)
                 : nullptr;
    for (QPushButton* b : {byCount, alphabetical}) {
        b->setFont(sansBold);
        b->setMinimumSize(twips(1740), twips(495));
        list.buttons->addWidget(b);
    }
    list.buttons->addStretch(1);
    if (close) {
        close->setMinimumSize(twips(1740), twips(495));
        list.buttons->addWidget(close);
    }
    return {list.total, list.view};
}

StudyWindow::CandidatesControls StudyWindow::layOutCandidates(const std::function<void()>& calculate,
                                                              const std::function<void()>& close)
{
    CandidatesControls shown;
    auto* layout = new QVBoxLayout(client());
    QGroupBox* frame2 = frame(client(), QStringLiteral("Frame2"), QStringLiteral("Candidatos de traducción de :"),
                              0, 0, 0, 0);
    layout->addWidget(frame2);
    QBoxLayout* line = frameLayout(frame2, QBoxLayout::LeftToRight);
    shown.form = textBox(frame2, QStringLiteral("Text1"), 0, 0, 0, 0);
    shown.form->setFont(timesFont(9.75));
    shown.form->setMinimumWidth(twips(2400));
    line->addWidget(shown.form, 1);
    QPushButton* calculateButton = button(frame2, QStringLiteral("Command1"), QStringLiteral("&Calcular"), 0, 0, 0,
                                          0, calculate);
    calculateButton->setFont(QFont(QStringLiteral("MS Sans Serif"), 10, QFont::Bold));
    calculateButton->setMinimumSize(twips(2400), twips(495));
    line->addWidget(calculateButton);
    connect(shown.form, &QLineEdit::returnPressed, this, calculate);

    shown.counts = label(client(), QStringLiteral("label3"), QString(), 0, 0, 0, 0);
    shown.counts->setFont(timesFont(10, true, true));
    setTextColour(shown.counts, colours::kDarkBlue);
    layout->addWidget(shown.counts);
    shown.nothing = label(client(), QStringLiteral("label5"), QString(), 0, 0, 0, 0);
    shown.nothing->setFont(timesFont(10, false, true));
    shown.nothing->setWordWrap(true);
    shown.nothing->hide();
    layout->addWidget(shown.nothing);

    QTableWidget* table = shown.table = new QTableWidget(0, kCandidateColumns, client());
    table->setObjectName(QStringLiteral("liste"));
    table->setFont(timesFont(9.75));
    QStringList header;
    for (const char* title : kCandidateHeader) header << QString::fromUtf8(title);
    table->setHorizontalHeaderLabels(header);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setTabKeyNavigation(false); // Tab goes on to the next control
    table->verticalHeader()->hide();
    // Each column as wide as its content; the last takes what is left.
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setMinimumHeight(twips(2400));
    layout->addWidget(table, 1);
    if (close)
        layout->addWidget(button(client(), QStringLiteral("fermer"), QStringLiteral("C&errar"), 0, 0, 0, 0, close), 0,
                          Qt::AlignRight);
    return shown;
}

std::optional<CandidateList>
StudyWindow::findCandidates(const QString& work, const std::function<Result<CandidateList>(const Progress&)>& find)
{
    Result<CandidateList> found = CandidateList();
    {
        WaitCursor wait;
        runLongWork(this, work, Cancel::Allowed, [&](const Progress& progress) { found = find(progress); });
    }
    if (!found) {
        if (!found.error().cancelled) desktop().dialogs.message(this, {found.error().message});
        return std::nullopt;
    }
    return std::move(found.value());
}

void StudyWindow::showCandidates(const CandidatesControls& shown, const CandidateList& list, const QString& absent,
                                 const QString& unmatched)
{
    shown.counts->setText(
        QStringLiteral("Pares de frases : %1    con la forma : %2").arg(list.pairs).arg(list.withForm));
    QTableWidget* table = shown.table;
    table->setRowCount(int(list.best.size()));
    for (int row = 0; row < int(list.best.size()); ++row) {
        const std::vector<std::string> cells = candidateCells(list.best[size_t(row)]);
        for (int column = 0; column < kCandidateColumns; ++column) {
            const QString text = QString::fromStdString(cells[size_t(column)]);
            auto* cell = new QTableWidgetItem(text);
            cell->setToolTip(text); // whole, should the column be narrower than it
            cell->setTextAlignment((column == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
            if (column == 0) {
                cell->setForeground(QColor(0, 128, 0)); // as the viewer marks them
                cell->setFont(timesFont(9.75, true));
            }
            table->setItem(row, column, cell);
        }
    }
    if (list.withForm == 0)
        shown.nothing->setText(absent);
    else if (list.best.empty())
        shown.nothing->setText(unmatched);
    shown.nothing->setVisible(list.best.empty());
}

void StudyWindow::addMenus(const std::function<void()>& exportList, const std::function<void()>& close,
                           const std::function<void()>& about)
{
    QMenu* fichier = menu(QStringLiteral("fichier"), QStringLiteral("&Fichero"));
    item(fichier, QStringLiteral("exporter"), QStringLiteral("&Exportar..."), exportList);
    separator(fichier, QStringLiteral("vide"));
    item(fichier, QStringLiteral("fermer"), QStringLiteral("&Cerrar"), close);
    QMenu* aide = menu(QStringLiteral("aide"), QStringLiteral("&Ayuda"));
    item(aide, QStringLiteral("about"), QStringLiteral("&A propósito de ..."), about);
}

void growWithWindow(QMainWindow* window, QWidget* client, int widthTwips, int heightTwips)
{
    client->setMinimumSize(twips(widthTwips), twips(heightTwips));
    window->adjustSize();
}

void closeOnEscape(QWidget* window, std::function<void()> close)
{
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    escape->setObjectName(QStringLiteral("escape"));
    QObject::connect(escape, &QShortcut::activated, window, [close = std::move(close)] { close(); });
}

QBoxLayout* frameLayout(QGroupBox* frame, QBoxLayout::Direction direction)
{
    auto* layout = new QBoxLayout(direction, frame);
    // The frame's contents already start below its caption.
    layout->setContentsMargins(twips(120), twips(120), twips(120), twips(120));
    return layout;
}

void nameBySearch(QLabel* total, WindowedTable* view, const std::optional<QString>& query, const QString& counts,
                  const QString& where)
{
    total->setText(query ? amidLeftToRight(*query) + QStringLiteral(" = ") + counts : QString());
    view->setEmptyText(query ? QStringLiteral("Ninguna ocurrencia de «%1» en %2.").arg(*query, where) : QString());
}

QVariant lineCell(const ConcordanceLine& line, int column, int role, Encoding encoding)
{
    switch (role) {
    case Qt::DisplayRole: {
        const std::string_view texts[] = {line.left, line.form, line.right, line.marker};
        return decodeText(texts[column], encoding);
    }
    case Qt::TextAlignmentRole:
        // The forms in a column of their own, the contexts against them.
        if (column == 1) return int(Qt::AlignCenter);
        return int((column == 0 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    case Qt::FontRole:
        if (column == 1) return timesFont(9.75, true);
        return {};
    case Qt::ForegroundRole:
        if (column == 1) return QColor(0, 0, 255); // the form, as the viewer marks it
        return {};
    default:
        return {};
    }
}

} // namespace solandre
