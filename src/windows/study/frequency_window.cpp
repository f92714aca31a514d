// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/study/frequency_window.h"

#include "common/encoding.h"
#include "forms/wait_cursor.h"
#include "windows/search/result_grid_view.h"
#include "windows/widgets/windowed_table.h"

#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

namespace solandre {

class FrequencyWindow::Rows : public TableRows {
public:
    Rows(const std::vector<FormFrequency>& list, const WordIndex* const& index) : list_(list), index_(index) {}

    size_t rowCount() const override { return list_.size(); }
    int columnCount() const override { return 2; }
    QString header(int column) const override
    {
        return column == 0 ? QStringLiteral("Forma") : QStringLiteral("Ocurrencias");
    }
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
    setClientSize(6960, 7440);
    QLabel* caption = label(client(), QStringLiteral("label3"), QStringLiteral("Frecuencias de : "), 240, 120,
                            1800, 315);
    total_ = label(client(), QStringLiteral("label4"), QString(), 2040, 120, 4800, 315);
    for (QLabel* l : {caption, total_}) l->setFont(timesFont(12, true, true));
    setTextColour(caption, colours::kDarkBlue);
    setTextColour(total_, colours::kDarkRed);

    QGroupBox* frame1 = frame(client(), QStringLiteral("Frame1"), QStringLiteral("Formas distintas :"), 120, 480,
                              6720, 6840);
    view_ = new WindowedTable(*rows_, frame1);
    view_->setObjectName(QStringLiteral("formes"));
    view_->setFont(timesFont(9.75));
    view_->setColumnShares({68, 32});
    place(view_, 240, 360, 4200, 6240);

    QGroupBox* frame3 = frame(frame1, QStringLiteral("Frame3"), QStringLiteral("Clasificación :"), 4560, 240,
                              2040, 1575);
    frame3->setFont(timesFont(12, true, true));
    const QFont sansBold(QStringLiteral("MS Sans Serif"), 10, QFont::Bold);
    button(frame3, QStringLiteral("trier_nombre"), QStringLiteral("Por número"), 150, 360, 1740, 495,
           [this] { trier_nombre_Click(); })
        ->setFont(sansBold);
    button(frame3, QStringLiteral("trier_alpha"), QStringLiteral("Alfabético"), 150, 960, 1740, 495,
           [this] { trier_alpha_Click(); })
        ->setFont(sansBold);

    QMenu* fichier = menu(QStringLiteral("fichier"), QStringLiteral("&Fichero"));
    item(fichier, QStringLiteral("fermer"), QStringLiteral("&Cerrar"), [this] { fermer_Click(); });
    QMenu* aide = menu(QStringLiteral("aide"), QStringLiteral("&Ayuda"));
    item(aide, QStringLiteral("about"), QStringLiteral("&A propósito de ..."), [this] { about_Click(); });
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
    if (!view || view->grid().hitsVersion() == hitsVersion_) return;
    const ResultGrid& grid = view->grid();
    hitsVersion_ = grid.hitsVersion();
    index_ = &grid.index();
    list_ = countForms(grid);
    sortFrequencies(list_, order_);
    total_->setText(QStringLiteral("%1 = %2 forma(s), %3 ocurrencia(s)")
                        .arg(forms().text(road_.searchWindow, QStringLiteral("Text1")))
                        .arg(list_.size())
                        .arg(grid.hitCount()));
    view_->refresh();
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
