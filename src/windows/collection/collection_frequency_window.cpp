// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/collection/collection_frequency_window.h"

#include "common/encoding.h"
#include "forms/wait_cursor.h"
#include "study/list_export.h"
#include "windows/collection/collection_search_window.h"
#include "windows/widgets/windowed_table.h"


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
    : StudyWindow(forms), rows_(std::make_unique<Rows>(list_))
{
    const FrequencyControls shown = layOutFrequencies(*rows_, {.byCount = [this] { trier_nombre_Click(); },
                                                               .alphabetical = [this] { trier_alpha_Click(); },
                                                               .close = [this] { fermer_Click(); }});
    total_ = shown.total;
    view_ = shown.view;

    growWithWindow(this, client(), 6960, 7440);
    closeOnEscape(this, [this] { fermer_Click(); });
}

CollectionFrequencyWindow::~CollectionFrequencyWindow()
{
    // The table reads the list through the rows until it is gone.
    delete view_;
}

void CollectionFrequencyWindow::Form_Load()
{
    followCollectionSearch(forms(), this, HitsRead::AsFound, [this] { followSearch(); });
}

void CollectionFrequencyWindow::followSearch()
{
    CollectionSearchWindow* s = collectionSearch(forms());
    if (!s) return;
    list_ = s->concordance().frequencies(order_);
    nameBySearch(total_, view_, collectionQuery(*s),
                 QStringLiteral("%1 forma(s), %2 ocurrencia(s)").arg(list_.size()).arg(s->concordance().hitCount()),
                 QStringLiteral("la colección"));
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
