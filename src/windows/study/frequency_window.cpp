// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/study/frequency_window.h"

#include "common/encoding.h"
#include "forms/wait_cursor.h"
#include "windows/search/result_grid_view.h"
#include "study/list_export.h"
#include "windows/search/export_dialog.h"
#include "windows/search/hit_display.h"
#include "windows/search/searched_query.h"
#include "windows/study/study_window.h"
#include "windows/widgets/windowed_table.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

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
    : Form(forms, QStringLiteral("Quillarne - Concordancias VXT")), road_(road),
      rows_(std::make_unique<Rows>(list_, index_))
{
    auto* layout = new QVBoxLayout(client());
    auto* captions = new QHBoxLayout;
    layout->addLayout(captions);
    QLabel* caption = label(client(), QStringLiteral("label3"), QStringLiteral("Frecuencias de : "), 0, 0, 0, 0);
    total_ = label(client(), QStringLiteral("label4"), QString(), 0, 0, 0, 0);
    for (QLabel* l : {caption, total_}) l->setFont(timesFont(12, true, true));
    setTextColour(caption, colours::kDarkBlue);
    setTextColour(total_, colours::kDarkRed);
    captions->addWidget(caption);
    captions->addWidget(total_, 1);

    QGroupBox* frame1 = frame(client(), QStringLiteral("Frame1"), QStringLiteral("Formas distintas :"), 0, 0, 0, 0);
    layout->addWidget(frame1, 1);
    QBoxLayout* lists = frameLayout(frame1, QBoxLayout::LeftToRight);
    view_ = new WindowedTable(*rows_, frame1);
    view_->setObjectName(QStringLiteral("formes"));
    view_->setFont(timesFont(9.75));
    view_->setColumnShares({1, 0}); // the count as wide as it needs, the forms the rest
    view_->setMinimumSize(twips(2400), twips(2400));
    lists->addWidget(view_, 1);
    connect(view_, &WindowedTable::rowActivated, this, [this](size_t row) { formes_Enter(row); });

    QGroupBox* frame3 = frame(frame1, QStringLiteral("Frame3"), QStringLiteral("Clasificación :"), 0, 0, 0, 0);
    frame3->setFont(timesFont(12, true, true));
    lists->addWidget(frame3);
    QBoxLayout* buttons = frameLayout(frame3, QBoxLayout::TopToBottom);
    const QFont sansBold(QStringLiteral("MS Sans Serif"), 10, QFont::Bold);
    QPushButton* byCount = button(frame3, QStringLiteral("trier_nombre"), QStringLiteral("Por &número"), 0, 0, 0, 0,
                                  [this] { trier_nombre_Click(); });
    QPushButton* alphabetical = button(frame3, QStringLiteral("trier_alpha"), QStringLiteral("Alfa&bético"), 0, 0,
                                       0, 0, [this] { trier_alpha_Click(); });
    for (QPushButton* b : {byCount, alphabetical}) {
        b->setFont(sansBold);
        b->setMinimumSize(twips(1740), twips(495));
        buttons->addWidget(b);
    }
    buttons->addStretch(1);

    QMenu* fichier = menu(QStringLiteral("fichier"), QStringLiteral("&Fichero"));
    item(fichier, QStringLiteral("exporter"), QStringLiteral("&Exportar..."), [this] { exporter_Click(); });
    separator(fichier, QStringLiteral("vide"));
    item(fichier, QStringLiteral("fermer"), QStringLiteral("&Cerrar"), [this] { fermer_Click(); });
    QMenu* aide = menu(QStringLiteral("aide"), QStringLiteral("&Ayuda"));
    item(aide, QStringLiteral("about"), QStringLiteral("&A propósito de ..."), [this] { about_Click(); });

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
    // Named by the search made, whatever the box holds since.
    const std::optional<QString> query = search ? search->searchedQuery() : std::nullopt;
    total_->setText(searchCaption(
        query, QStringLiteral("%1 forma(s), %2 ocurrencia(s)").arg(list_.size()).arg(grid.hitCount())));
    view_->setEmptyText(query ? noHitText(*query) : QString());
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
