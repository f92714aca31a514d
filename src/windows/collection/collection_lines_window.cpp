// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/collection/collection_lines_window.h"

#include "common/encoding.h"
#include "forms/long_work.h"
#include "forms/form_names.h"
#include "forms/wait_cursor.h"
#include "windows/collection/collection_search_window.h"
#include "windows/study/line_sort_buttons.h"
#include "windows/study/study_window.h"
#include "windows/widgets/windowed_table.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <algorithm>

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
        switch (role) {
        case Qt::DisplayRole: {
            if (column == 0) return lines_.nameOf(row);
            if (row != cached_) {
                line_ = lines_.line(row);
                cached_ = row;
            }
            const std::string_view texts[] = {line_.left, line_.form, line_.right, line_.marker};
            return decodeText(texts[column - 1], lines_.encodingOf(row));
        }
        case Qt::TextAlignmentRole:
            if (column == 2) return int(Qt::AlignCenter);
            return int((column == 1 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        case Qt::FontRole:
            if (column == 2) return timesFont(9.75, true);
            return {};
        case Qt::ForegroundRole:
            if (column == 0) return QColor(0, 0, 160); // as the search window names the texts
            if (column == 2) return QColor(0, 0, 255);
            return {};
        default:
            return {};
        }
    }

private:
    const CollectionLines& lines_;
    mutable size_t cached_ = WindowedTable::kNone;
    mutable ConcordanceLine line_;
};

CollectionLinesWindow::CollectionLinesWindow(FormRegistry& forms)
    : Form(forms, QStringLiteral("Quillarne - Concordancias VXT")), rows_(std::make_unique<Rows>(lines_))
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
    view_->setColumnShares({0, 1, 0, 1, 0}); // the contexts share what the rest leaves
    view_->setElideMode(1, Qt::ElideLeft);
    view_->setMinimumSize(twips(7200), twips(2400));
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
    QPushButton* close = button(frame3, QStringLiteral("fermer"), QStringLiteral("&Cerrar"), 0, 0, 0, 0,
                                [this] { fermer_Click(); });
    close->setMinimumSize(twips(1860), twips(495));
    buttons->addWidget(close);

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

    growWithWindow(this, client(), 14400, 8520);
    closeOnEscape(this, [this] { fermer_Click(); });
}

CollectionLinesWindow::~CollectionLinesWindow()
{
    // The table reads the lines through the rows until it is gone.
    delete view_;
}

CollectionSearchWindow* CollectionLinesWindow::search()
{
    return dynamic_cast<CollectionSearchWindow*>(forms().find(names::frmcollection_recherche));
}

void CollectionLinesWindow::Form_Load()
{
    if (CollectionSearchWindow* s = search()) {
        connect(s, &CollectionSearchWindow::hitsChanged, this, [this] { followSearch(); });
        connect(s, &CollectionSearchWindow::hitsSorted, this, [this] { followSearch(); });
        // The lines read the search's indexes: nothing once they are gone.
        connect(s, &QObject::destroyed, this, [this] {
            lines_ = CollectionLines();
            rows_->forget();
            view_->refresh();
            hide();
            deleteLater();
        });
    }
    followSearch();
}

void CollectionLinesWindow::followSearch()
{
    CollectionSearchWindow* s = search();
    if (!s) return;
    lines_ = CollectionLines::ofHits(s->concordance());
    rows_->forget();
    const bool searched = !s->searched().isEmpty();
    total_->setText(searched ? s->searched() + QStringLiteral(" = ") + QString::number(lines_.size()) : QString());
    view_->setEmptyText(searched ? QStringLiteral("Ninguna ocurrencia de «%1» en la colección.").arg(s->searched())
                                 : QString());
    view_->refresh();
    translation_->clear();
}

void CollectionLinesWindow::trier_Click(LineKey key)
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

void CollectionLinesWindow::showTranslation(size_t line)
{
    CollectionSearchWindow* s = search();
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
    CollectionSearchWindow* s = search();
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
