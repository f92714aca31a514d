// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/collection/collection_lines_window.h"

#include "common/encoding.h"
#include "windows/collection/collection_search_window.h"
#include "windows/widgets/windowed_table.h"

#include <QLabel>
#include <QTextEdit>

namespace solandre {

// The lines as the table reads them, a line's text made once for its cells.
class CollectionLinesWindow::Rows : public TableRows {
public:
    explicit Rows(const CollectionLines& lines) : lines_(lines) {}

    void forget() { cached_ = WindowedTable::kNone; }

    size_t rowCount() const override { return lines_.size(); }
    int columnCount() const override { return 5; }
    QString header(int column) const override
    {
        static const char* const titles[] = {"Texto", "Contexto izquierdo", "Forma", "Contexto derecho",
                                             "Referencia"};
        return QString::fromUtf8(titles[column]);
    }

    QVariant cell(size_t row, int column, int role) const override
    {
        if (column == 0) {
            if (role == Qt::DisplayRole) return lines_.nameOf(row);
            if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
            if (role == Qt::ForegroundRole) return QColor(0, 0, 160); // as the search window names the texts
            return {};
        }
        if (role == Qt::DisplayRole && row != cached_) {
            line_ = lines_.line(row);
            cached_ = row;
        }
        return lineCell(line_, column - 1, role, lines_.encodingOf(row));
    }

private:
    const CollectionLines& lines_;
    mutable size_t cached_ = WindowedTable::kNone;
    mutable ConcordanceLine line_;
};

CollectionLinesWindow::CollectionLinesWindow(FormRegistry& forms)
    : StudyWindow(forms), rows_(std::make_unique<Rows>(lines_))
{
    // The contexts share what the rest leaves.
    const LinesControls shown =
        layOutLines(*rows_, {.columnShares = {0, 1, 0, 1, 0}, .leftContext = 1, .widthTwips = 7200},
                    {.sort = [this](LineKey key) { trier_Click(key); },
                     .open = [this](size_t line) { lignes_Click(line); },
                     .current = [this](size_t line) { showTranslation(line); },
                     .close = [this] { fermer_Click(); }});
    total_ = shown.total;
    view_ = shown.view;
    translation_ = shown.translation;

    growWithWindow(this, client(), 14400, 8520);
    closeOnEscape(this, [this] { fermer_Click(); });
}

CollectionLinesWindow::~CollectionLinesWindow()
{
    // The table reads the lines through the rows until it is gone.
    delete view_;
}

void CollectionLinesWindow::Form_Load()
{
    // The lines read the search's indexes: nothing once they are gone.
    followCollectionSearch(forms(), this, HitsRead::InOrder, [this] { followSearch(); }, [this] {
        lines_ = CollectionLines();
        rows_->forget();
        view_->refresh();
    });
}

void CollectionLinesWindow::followSearch()
{
    CollectionSearchWindow* s = collectionSearch(forms());
    if (!s) return;
    lines_ = CollectionLines::ofHits(s->concordance());
    rows_->forget();
    nameBySearch(total_, view_, collectionQuery(*s), QString::number(lines_.size()), QStringLiteral("la colección"));
    view_->refresh();
    translation_->clear();
}

void CollectionLinesWindow::trier_Click(LineKey key)
{
    if (lines_.size() < 2) return;
    sortLines(view_, key, [&](const Progress& progress) { lines_.sort(key, progress); });
    rows_->forget();
    view_->refresh();
    translation_->clear();
}

void CollectionLinesWindow::showTranslation(size_t line)
{
    CollectionSearchWindow* s = collectionSearch(forms());
    if (!s || line >= lines_.size()) return;
    const CollectionLines::Entry& e = lines_.entry(line);
    if (e.member != targetOf_) {
        targetOf_ = e.member;
        target_ = SentenceTable();
        Result<TextFile> text = TextFile::open(FileRef(s->concordance().pair(e.member).pair.target));
        targetText_ = text ? std::move(text.value()) : TextFile();
        if (auto table = SentenceTable::build(targetText_.text(), targetText_.encoding())) target_ = std::move(*table);
    }
    const Encoding encoding = lines_.encodingOf(line);
    const std::string_view marker = s->concordance().concordance(e.member).index().marker(e.hit);
    const std::string sentence = target_.sentence(marker, encoding);
    translation_->setPlainText(sentence.empty()
                                   ? QString()
                                   : lines_.nameOf(line) + QLatin1Char(' ') + decodeText(marker, encoding) +
                                         QLatin1Char(' ') +
                                         decodeText(sentence, target_.encoding())
                                             .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void CollectionLinesWindow::lignes_Click(size_t line)
{
    CollectionSearchWindow* s = collectionSearch(forms());
    if (!s || line >= lines_.size()) return;
    view_->setCurrentRow(line);
    // The search window's row of the same hit.
    const CollectionConcordance& c = s->concordance();
    const CollectionLines::Entry& e = lines_.entry(line);
    for (size_t k = 0; k < c.hitCount(); ++k) {
        const CollectionConcordance::Hit& h = c.hit(k);
        if (h.member == e.member && c.concordance(h.member).grid().hit(h.row) == e.hit) {
            s->showHitAt(k);
            return;
        }
    }
}

void CollectionLinesWindow::fermer_Click() { forms().unload(objectName()); }

} // namespace solandre
