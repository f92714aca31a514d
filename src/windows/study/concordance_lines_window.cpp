// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/study/concordance_lines_window.h"

#include "common/encoding.h"
#include "forms/long_work.h"
#include "forms/wait_cursor.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "windows/search/hit_display.h"
#include "windows/search/export_dialog.h"
#include "windows/search/result_grid_view.h"
#include "windows/search/searched_query.h"
#include "windows/study/line_sort_buttons.h"
#include "windows/study/study_window.h"
#include "windows/widgets/windowed_table.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTextEdit>
#include <algorithm>

namespace solandre {

// The lines as the table reads them, a line's text made once for its cells.
class ConcordanceLinesWindow::Rows : public TableRows {
public:
    explicit Rows(const ConcordanceLines& lines) : lines_(lines) {}

    void forget() { cached_ = WindowedTable::kNone; }

    size_t rowCount() const override { return lines_.size(); }
    int columnCount() const override { return 4; }
    QString header(int column) const override
    {
        static const char* const titles[] = {"Contexto izquierdo", "Forma", "Contexto derecho", "Referencia"};
        return QString::fromUtf8(titles[column]);
    }

    QVariant cell(size_t row, int column, int role) const override
    {
        switch (role) {
        case Qt::DisplayRole: {
            if (row != cached_) {
                line_ = lines_.line(row);
                cached_ = row;
            }
            const Encoding encoding = lines_.index()->encoding();
            const std::string_view texts[] = {line_.left, line_.form, line_.right, line_.marker};
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

private:
    const ConcordanceLines& lines_;
    mutable size_t cached_ = WindowedTable::kNone;
    mutable ConcordanceLine line_;
};


ConcordanceLinesWindow::ConcordanceLinesWindow(FormRegistry& forms, const StudyRoad& road)
    : Form(forms, QStringLiteral("Quillarne - Concordancias VXT")), road_(road), rows_(std::make_unique<Rows>(lines_))
{
    auto* layout = new QVBoxLayout(client());
    auto* captions = new QHBoxLayout;
    layout->addLayout(captions);
    QLabel* caption = label(client(), QStringLiteral("label3"), QStringLiteral("Líneas de concordancia de : "),
                            0, 0, 0, 0);
    total_ = label(client(), QStringLiteral("label4"), QString(), 0, 0, 0, 0);
    for (QLabel* l : {caption, total_}) l->setFont(timesFont(12, true, true));
    setTextColour(caption, colours::kDarkBlue);
    setTextColour(total_, colours::kDarkRed);
    captions->addWidget(caption);
    captions->addWidget(total_, 1);

    QGroupBox* frame1 = frame(client(), QStringLiteral("Frame1"), QStringLiteral("Líneas :"), 0, 0, 0, 0);
    layout->addWidget(frame1, 3);
    QBoxLayout* lists = frameLayout(frame1, QBoxLayout::LeftToRight);
    view_ = new WindowedTable(*rows_, frame1);
    view_->setObjectName(QStringLiteral("lignes"));
    view_->setFont(timesFont(9.75));
    view_->setColumnShares({1, 0, 1, 0}); // the contexts share what the form and the marker leave
    view_->setElideMode(0, Qt::ElideLeft);
    view_->setMinimumSize(twips(6000), twips(2400));
    lists->addWidget(view_, 1);
    connect(view_, &WindowedTable::rowClicked, this, [this](size_t line) { lignes_Click(line); });
    connect(view_, &WindowedTable::rowActivated, this, [this](size_t line) { lignes_Click(line); });
    connect(view_, &WindowedTable::currentRowChanged, this, [this](size_t line) { showTranslation(line); });

    QGroupBox* frame3 = frame(frame1, QStringLiteral("Frame3"), QStringLiteral("Clasificación :"), 0, 0, 0, 0);
    frame3->setFont(timesFont(12, true, true));
    lists->addWidget(frame3);
    QBoxLayout* buttons = frameLayout(frame3, QBoxLayout::TopToBottom);
    for (const LineSortButton& b : kLineSortButtons) {
        QPushButton* button = this->button(frame3, QString::fromLatin1(b.name), QString::fromUtf8(b.caption), 0, 0,
                                           0, 0, [this, key = b.key] { trier_Click(key); });
        button->setFont(QFont(QStringLiteral("MS Sans Serif"), 10, QFont::Bold));
        button->setToolTip(QStringLiteral("Ordena por %1").arg(QString::fromUtf8(b.tip)));
        button->setMinimumSize(twips(1860), twips(495));
        buttons->addWidget(button);
    }
    buttons->addStretch(1);

    QGroupBox* frame2 = frame(client(), QStringLiteral("Frame2"), QStringLiteral("Texto en lengua meta :"), 0, 0,
                              0, 0);
    frame2->setFont(timesFont(9.75, true, true));
    setCaptionColour(frame2, colours::kDarkBlue);
    layout->addWidget(frame2, 1);
    translation_ = new QTextEdit(frame2);
    translation_->setObjectName(QStringLiteral("traduction"));
    translation_->setFont(timesFont(9.75));
    translation_->setReadOnly(true);
    translation_->setMinimumHeight(twips(900));
    frameLayout(frame2, QBoxLayout::TopToBottom)->addWidget(translation_);

    QMenu* fichier = menu(QStringLiteral("fichier"), QStringLiteral("&Fichero"));
    item(fichier, QStringLiteral("exporter"), QStringLiteral("&Exportar..."), [this] { exporter_Click(); });
    separator(fichier, QStringLiteral("vide"));
    item(fichier, QStringLiteral("fermer"), QStringLiteral("&Cerrar"), [this] { fermer_Click(); });
    QMenu* aide = menu(QStringLiteral("aide"), QStringLiteral("&Ayuda"));
    item(aide, QStringLiteral("about"), QStringLiteral("&A propósito de ..."), [this] { about_Click(); });

    growWithWindow(this, client(), 13200, 8520);
    closeOnEscape(this, [this] { fermer_Click(); });
    setTabOrder(view_, frame3->findChild<QPushButton*>(QString::fromLatin1(kLineSortButtons[0].name)));
}

ConcordanceLinesWindow::~ConcordanceLinesWindow()
{
    // The table reads the lines through the rows until it is gone.
    delete view_;
}

ResultGridView* ConcordanceLinesWindow::gridView()
{
    return searchGrid(forms(), road_.searchWindow);
}

void ConcordanceLinesWindow::Form_Load()
{
    ResultGridView* grid = gridView();
    const QString target = grid ? grid->texts().counterpart : QString();
    if (!target.isEmpty()) {
        bool cancelled = false;
        Status opened = success();
        runLongWork(this, QStringLiteral("Abriendo %1").arg(QFileInfo(target).fileName()), Cancel::Allowed,
                    [&](const Progress& progress) {
                        Result<TextFile> text = TextFile::open(target);
                        if (!text) {
                            opened = text.error();
                            return;
                        }
                        targetText_ = std::move(text.value());
                        auto table = SentenceTable::build(targetText_.text(), targetText_.encoding(), progress);
                        if (table)
                            target_ = std::move(*table);
                        else
                            cancelled = true;
                    });
        if (cancelled) {
            forms().unload(objectName());
            return;
        }
        if (!opened)
            desktop().dialogs.message(this, {opened.error().message, QStringLiteral("Solandre"), Buttons::Ok,
                                             Icon::Information});
    }
    if (ResultGridView* view = gridView())
        connect(view, &ResultGridView::rowsChanged, this, [this] { followSearch(); });
    followSearch();
}

void ConcordanceLinesWindow::followSearch()
{
    ResultGridView* view = gridView();
    const SearchedQuery* search = searchedQuery(forms(), road_.searchWindow);
    if (!view || (search && search->searching()) || view->grid().hitsVersion() == hitsVersion_) return;
    hitsVersion_ = view->grid().hitsVersion();
    lines_ = ConcordanceLines::ofGrid(view->grid());
    rows_->forget();
    // Named by the search made, whatever the box holds since.
    const std::optional<QString> query = search ? search->searchedQuery() : std::nullopt;
    total_->setText(searchCaption(query, QString::number(lines_.size())));
    view_->setEmptyText(query ? noHitText(*query) : QString());
    view_->refresh();
    translation_->clear();
}

size_t ConcordanceLinesWindow::currentStep() const
{
    return view_->currentRow() < lines_.size() ? view_->currentRow() : kNone;
}

void ConcordanceLinesWindow::setCurrentStep(size_t step)
{
    if (step < lines_.size()) view_->setCurrentRow(step);
}

void ConcordanceLinesWindow::trier_Click(LineKey key)
{
    if (lines_.size() < 2) return;
    WaitCursor wait;
    const auto* b = std::find_if(std::begin(kLineSortButtons), std::end(kLineSortButtons),
                                 [key](const LineSortButton& s) { return s.key == key; });
    view_->freeze();
    runLongWork(this, QStringLiteral("Ordenando por %1").arg(QString::fromUtf8(b->tip)), Cancel::Allowed,
                [&](const Progress& progress) { lines_.sort(key, progress); });
    view_->thaw();
    rows_->forget();
    view_->refresh();
    translation_->clear();
}

void ConcordanceLinesWindow::showTranslation(size_t line)
{
    if (line >= lines_.size()) return;
    const Encoding encoding = lines_.index()->encoding();
    const std::string_view marker = lines_.index()->marker(lines_.hit(line));
    const std::string sentence = target_.sentence(marker, encoding);
    translation_->setPlainText(sentence.empty() ? QString()
                                                : decodeText(marker, encoding) + QLatin1Char(' ') +
                                                      decodeText(sentence, target_.encoding())
                                                          .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void ConcordanceLinesWindow::lignes_Click(size_t line)
{
    ResultGridView* view = gridView();
    if (!view || line >= lines_.size()) return;
    // The viewer shows the grid's current row: the line's hit becomes it.
    ResultGrid& grid = view->grid();
    size_t row = 1;
    while (row < grid.rows() && !(grid.isHit(row) && grid.hit(row) == lines_.hit(line))) ++row;
    if (row == grid.rows()) return;
    grid.setRow(row);
    grid.setCol(0);
    view->showCurrent();
    view_->setCurrentRow(line);
    // Loaded first, so that it steps in the lines' order from the start.
    if (!forms().load(road_.viewer) || !forms().isLoaded(road_.viewer)) return; // its opening was cancelled
    if (auto* viewer = dynamic_cast<HitDisplay*>(forms().find(road_.viewer))) viewer->showCurrentHit(objectName());
    forms().show(road_.viewer);
}

void ConcordanceLinesWindow::exporter_Click()
{
    ResultGridView* grid = gridView();
    if (!grid) return;
    const auto [searched, counterpart] = grid->texts();
    exportLinesWithDialogs(this, desktop(), lines_, searched, counterpart);
}

void ConcordanceLinesWindow::fermer_Click() { forms().unload(objectName()); }
void ConcordanceLinesWindow::about_Click() { forms().show(names::frmAbout); }

} // namespace solandre
