// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/study/frequency_window.h"

#include "common/encoding.h"
#include "forms/wait_cursor.h"
#include "windows/search/result_grid_view.h"
#include "study/list_export.h"
#include "windows/search/export_dialog.h"
#include "windows/search/hit_display.h"
#include "windows/search/searched_query.h"
#include "windows/widgets/windowed_table.h"

namespace solandre {

class FrequencyWindow::Rows : public TableRows {
public:
    Rows(const std::vector<FormFrequency>& list, const WordIndex* const& index) : list_(list), index_(index) {}

    size_t rowCount() const override { return list_.size(); }
    int columnCount() const override { return 2; }
    QString header(int column) const override { return QString::fromUtf8(kFrequencyHeader[column]); }
    QVariant cell(size_t row, int column, int role) const override
    {
        if (role == Qt::DisplayRole) {
            // The vocabulary holds its forms in UTF-8, whatever the text's encoding.
            if (column == 0) return decodeText(frequencyText(*index_, list_[row]), Encoding::Utf8);
            return QString::number(list_[row].count);
        }
        if (role == Qt::TextAlignmentRole) return int((column == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
        return {};
    }

private:
    const std::vector<FormFrequency>& list_;
    const WordIndex* const& index_;
};

FrequencyWindow::FrequencyWindow(FormRegistry& forms, const StudyRoad& road)
    : StudyWindow(forms), road_(road), rows_(std::make_unique<Rows>(list_, index_))
{
    const FrequencyControls shown = layOutFrequencies(*rows_, {.byCount = [this] { trier_nombre_Click(); },
                                                               .alphabetical = [this] { trier_alpha_Click(); },
                                                               .open = [this](size_t row) { formes_Enter(row); }});
    total_ = shown.total;
    view_ = shown.view;
    addMenus([this] { exporter_Click(); }, [this] { fermer_Click(); }, [this] { about_Click(); });

    growWithWindow(this, client(), 6960, 7440);
    closeOnEscape(this, [this] { fermer_Click(); });
}

FrequencyWindow::~FrequencyWindow()
{
    // The table reads the list through the rows until it is gone.
    delete view_;
}

ResultGridView* FrequencyWindow::gridView()
{
    return searchGrid(forms(), road_.searchWindow);
}

void FrequencyWindow::Form_Load()
{
    if (ResultGridView* view = gridView())
        connect(view, &ResultGridView::rowsChanged, this, [this] { followSearch(); });
    followSearch();
}

void FrequencyWindow::followSearch()
{
    ResultGridView* view = gridView();
    const SearchedQuery* search = searchedQuery(forms(), road_.searchWindow);
    if (!view || (search && search->searching()) || view->grid().hitsVersion() == hitsVersion_) return;
    const ResultGrid& grid = view->grid();
    hitsVersion_ = grid.hitsVersion();
    index_ = &grid.index();
    list_ = countForms(grid);
    sortFrequencies(list_, order_);
    nameBySearch(total_, view_, search ? search->searchedQuery() : std::nullopt,
                 QStringLiteral("%1 forma(s), %2 ocurrencia(s)").arg(list_.size()).arg(grid.hitCount()),
                 QStringLiteral("el texto"));
    view_->refresh();
}

void FrequencyWindow::formes_Enter(size_t row)
{
    ResultGridView* view = gridView();
    if (!view || row >= list_.size()) return;
    // The viewer on the form's first hit in the grid's order.
    ResultGrid& grid = view->grid();
    const std::uint32_t rank = list_[row].rank;
    size_t hit = 1;
    while (hit < grid.rows() && !(grid.isHit(hit) && grid.index().formRank(grid.hit(hit)) == rank)) ++hit;
    if (hit == grid.rows()) return;
    grid.setRow(hit);
    grid.setCol(0);
    view->showCurrent();
    if (!forms().load(road_.viewer) || !forms().isLoaded(road_.viewer)) return; // its opening was cancelled
    if (auto* viewer = dynamic_cast<HitDisplay*>(forms().find(road_.viewer))) viewer->showCurrentHit();
    forms().show(road_.viewer);
}

void FrequencyWindow::exporter_Click()
{
    if (!index_) return;
    exportWithDialogs(this, desktop(),
                      {forms().text(road_.texts.form, road_.texts.source), forms().text(road_.texts.form, road_.texts.target)},
                      [this](const QString& file, ExportFormat format, const Progress& progress) {
                          return exportFrequencies(file, *index_, list_, format, progress);
                      });
}

void FrequencyWindow::trier_nombre_Click()
{
    WaitCursor wait;
    order_ = FrequencyOrder::ByCount;
    sortFrequencies(list_, order_);
    view_->refresh();
}

void FrequencyWindow::trier_alpha_Click()
{
    WaitCursor wait;
    order_ = FrequencyOrder::Alphabetical;
    sortFrequencies(list_, order_);
    view_->refresh();
}

void FrequencyWindow::fermer_Click() { forms().unload(objectName()); }
void FrequencyWindow::about_Click() { forms().show(names::frmAbout); }

} // namespace solandre
