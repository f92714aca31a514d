// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/study/concordance_lines_window.h"

#include "forms/long_work.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "windows/search/hit_display.h"
#include "windows/search/export_dialog.h"
#include "windows/search/result_grid_view.h"
#include "windows/search/searched_query.h"
#include "windows/study/line_sort_buttons.h"
#include "windows/widgets/windowed_table.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>

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
        if (role == Qt::DisplayRole && row != cached_) {
            line_ = lines_.line(row);
            cached_ = row;
        }
        return lineCell(line_, column, role, lines_.index()->encoding());
    }

private:
    const ConcordanceLines& lines_;
    mutable size_t cached_ = WindowedTable::kNone;
    mutable ConcordanceLine line_;
};

ConcordanceLinesWindow::ConcordanceLinesWindow(FormRegistry& forms, const StudyRoad& road)
    : StudyWindow(forms), road_(road), rows_(std::make_unique<Rows>(lines_))
{
    // The contexts share what the form and the marker leave.
    const LinesControls shown =
        layOutLines(*rows_, {.columnShares = {1, 0, 1, 0}, .leftContext = 0, .widthTwips = 6000},
                    {.sort = [this](LineKey key) { trier_Click(key); },
                     .open = [this](size_t line) { lignes_Click(line); },
                     .current = [this](size_t line) { showTranslation(line); }});
    total_ = shown.total;
    view_ = shown.view;
    translation_ = shown.translation;
    addMenus([this] { exporter_Click(); }, [this] { fermer_Click(); }, [this] { about_Click(); });

    growWithWindow(this, client(), 13200, 8520);
    closeOnEscape(this, [this] { fermer_Click(); });
    setTabOrder(view_, findChild<QPushButton*>(QString::fromLatin1(kLineSortButtons[0].name)));
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
    // Searching the translation, the sentence below is the original's.
    if (grid && grid->texts().translationSearched)
        findChild<QGroupBox*>(QStringLiteral("Frame2"))->setTitle(QStringLiteral("Texto en lengua de origen :"));
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
    nameBySearch(total_, view_, search ? search->searchedQuery() : std::nullopt, QString::number(lines_.size()),
                 QStringLiteral("el texto"));
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
    sortLines(view_, key, [&](const Progress& progress) { lines_.sort(key, progress); });
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
    const auto [searched, counterpart, swapped] = grid->texts();
    exportLinesWithDialogs(this, desktop(), lines_, searched, counterpart);
}

void ConcordanceLinesWindow::fermer_Click() { forms().unload(objectName()); }
void ConcordanceLinesWindow::about_Click() { forms().show(names::frmAbout); }

} // namespace solandre
