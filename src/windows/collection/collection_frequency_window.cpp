// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/collection/collection_frequency_window.h"

#include "common/encoding.h"
#include "forms/form_names.h"
#include "forms/wait_cursor.h"
#include "study/list_export.h"
#include "windows/collection/collection_search_window.h"
#include "windows/study/study_window.h"
#include "windows/widgets/windowed_table.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace solandre {

class CollectionFrequencyWindow::Rows : public TableRows {
public:
    explicit Rows(const std::vector<CollectionConcordance::Frequency>& list) : list_(list) {}

    size_t rowCount() const override { return list_.size(); }
    int columnCount() const override { return 2; }
    QString header(int column) const override { return QString::fromUtf8(kFrequencyHeader[column]); }
    QVariant cell(size_t row, int column, int role) const override
    {
        if (role == Qt::DisplayRole) {
            if (column == 0) return decodeText(list_[row].form, Encoding::Utf8);
            return QString::number(list_[row].count);
        }
        if (role == Qt::TextAlignmentRole) return int((column == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
        return {};
    }

private:
    const std::vector<CollectionConcordance::Frequency>& list_;
};

CollectionFrequencyWindow::CollectionFrequencyWindow(FormRegistry& forms)
    : Form(forms, QStringLiteral("Quillarne - Concordancias VXT")), rows_(std::make_unique<Rows>(list_))
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
    view_->setColumnShares({1, 0});
    view_->setMinimumSize(twips(2400), twips(2400));
    lists->addWidget(view_, 1);

    QGroupBox* frame3 = frame(frame1, QStringLiteral("Frame3"), QStringLiteral("Clasificación :"), 0, 0, 0, 0);
    frame3->setFont(timesFont(12, true, true));
    lists->addWidget(frame3);
    QBoxLayout* buttons = frameLayout(frame3, QBoxLayout::TopToBottom);
    const QFont sansBold(QStringLiteral("MS Sans Serif"), 10, QFont::Bold);
    QPushButton* byCount = button(frame3, QStringLiteral("trier_nombre"), QStringLiteral("Por &número"), 0, 0, 0, 0,
                                  [this] { trier_nombre_Click(); });
    QPushButton* alphabetical = button(frame3, QStringLiteral("trier_alpha"), QStringLiteral("Alfa&bético"), 0, 0,
                                       0, 0, [this] { trier_alpha_Click(); });
    QPushButton* close = button(frame3, QStringLiteral("fermer"), QStringLiteral("&Cerrar"), 0, 0, 0, 0,
                                [this] { fermer_Click(); });
    for (QPushButton* b : {byCount, alphabetical}) b->setFont(sansBold);
    for (QPushButton* b : {byCount, alphabetical, close}) b->setMinimumSize(twips(1740), twips(495));
    buttons->addWidget(byCount);
    buttons->addWidget(alphabetical);
    buttons->addStretch(1);
    buttons->addWidget(close);

    growWithWindow(this, client(), 6960, 7440);
    closeOnEscape(this, [this] { fermer_Click(); });
}

CollectionFrequencyWindow::~CollectionFrequencyWindow()
{
    // The table reads the list through the rows until it is gone.
    delete view_;
}

CollectionSearchWindow* CollectionFrequencyWindow::search()
{
    return dynamic_cast<CollectionSearchWindow*>(forms().find(names::frmcollection_recherche));
}

void CollectionFrequencyWindow::Form_Load()
{
    if (CollectionSearchWindow* s = search()) {
        connect(s, &CollectionSearchWindow::hitsChanged, this, [this] { followSearch(); });
        connect(s, &QObject::destroyed, this, [this] {
            hide();
            deleteLater();
        });
    }
    followSearch();
}

void CollectionFrequencyWindow::followSearch()
{
    CollectionSearchWindow* s = search();
    if (!s) return;
    list_ = s->concordance().frequencies(order_);
    const bool searched = !s->searched().isEmpty();
    total_->setText(searched ? QStringLiteral("%1 = %2 forma(s), %3 ocurrencia(s)")
                                   .arg(s->searched())
                                   .arg(list_.size())
                                   .arg(s->concordance().hitCount())
                             : QString());
    view_->setEmptyText(searched ? QStringLiteral("Ninguna ocurrencia de «%1» en la colección.").arg(s->searched())
                                 : QString());
    view_->refresh();
}

void CollectionFrequencyWindow::trier_nombre_Click()
{
    WaitCursor wait;
    order_ = FrequencyOrder::ByCount;
    followSearch();
}

void CollectionFrequencyWindow::trier_alpha_Click()
{
    WaitCursor wait;
    order_ = FrequencyOrder::Alphabetical;
    followSearch();
}

void CollectionFrequencyWindow::fermer_Click() { forms().unload(objectName()); }

} // namespace solandre
