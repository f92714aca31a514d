// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/collection/collection_search_window.h"

#include "common/encoding.h"
#include "forms/long_work.h"
#include "forms/wait_cursor.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "viewer/context_scan.h"
#include "windows/collection/collection_viewer.h"
#include "windows/search/advanced_search.h"
#include "windows/widgets/bidi_text.h"
#include "windows/widgets/windowed_table.h"

#include <QHBoxLayout>
#include <algorithm>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTextEdit>
#include <QVBoxLayout>

namespace solandre {

// The hits of the collection, each with its text's name first.
class CollectionSearchWindow::Rows : public TableRows {
public:
    explicit Rows(const CollectionConcordance& c) : c_(c) {}
    size_t rowCount() const override { return c_.hitCount(); }
    int columnCount() const override { return 3; }
    QString header(int column) const override
    {
        static const char* titles[] = {"Texto", "Forma(s)", "Referencia(s)"};
        return QString::fromUtf8(titles[column]);
    }
    QVariant cell(size_t row, int column, int role) const override
    {
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
            if (column == 0) return c_.nameOf(c_.hit(row).member);
            const std::string bytes = column == 1 ? c_.form(row) : c_.marker(row);
            return decodeText(bytes, c_.encodingOf(row)).replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        }
        if (role == Qt::ForegroundRole && column == 0) return QColor(0, 0, 160);
        return {};
    }

private:
    const CollectionConcordance& c_;
};

CollectionSearchWindow::CollectionSearchWindow(FormRegistry& forms)
    : Form(forms, QStringLiteral("Quillarne - Concordancias VXT")), rows_(std::make_unique<Rows>(concordance_))
{
    resize(twips(12000), twips(11400)); // laid out: the list grows with the window
    auto* layout = new QVBoxLayout(client());
    auto* ask = new QHBoxLayout;
    query_ = new QLineEdit(client());
    query_->setObjectName(QStringLiteral("Text1"));
    query_->setFont(timesFont(12));
    auto* search = new QPushButton(QStringLiteral("&Buscar"), client());
    search->setObjectName(QStringLiteral("Command1"));
    auto* forms_ = new QPushButton(QStringLiteral("&Formas"), client());
    forms_->setObjectName(QStringLiteral("formes"));
    auto* counts = new QPushButton(QStringLiteral("&Por texto"), client());
    counts->setObjectName(QStringLiteral("comptes"));
    auto* close = new QPushButton(QStringLiteral("&Cerrar"), client());
    close->setObjectName(QStringLiteral("fermer"));
    connect(query_, &QLineEdit::returnPressed, this, [this] { Command1_Click(); });
    connect(search, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(forms_, &QPushButton::clicked, this, [this] { formes_Click(); });
    connect(counts, &QPushButton::clicked, this, [this] { comptes_Click(); });
    connect(close, &QPushButton::clicked, this, [this] { fermer_Click(); });
    ask->addWidget(query_, 1);
    for (QPushButton* b : {search, forms_, counts, close}) ask->addWidget(b);

    // The query language as for one pair; the texts of a collection cannot
    // change places, so the translation is never the one searched.
    advanced_ = new AdvancedSearch(client(), 0, 0, 10500);
    advanced_->withoutTranslationSearch();
    advanced_->setMinimumHeight(twips(1455));
    connect(advanced_, &AdvancedSearch::searchAsked, this, [this] { Command1_Click(); });

    total_ = new QLabel(client());
    total_->setObjectName(QStringLiteral("label3"));
    total_->setFont(timesFont(12, true, true));
    setTextColour(total_, colours::kDarkRed);

    list_ = new WindowedTable(*rows_, client());
    list_->setObjectName(QStringLiteral("grille01"));
    list_->setFont(timesFont(9.75));
    list_->setColumnShares({30, 45, 25});
    connect(list_, &WindowedTable::currentRowChanged, this, [this](size_t row) { showHit(row); });

    source_ = new QTextEdit(client());
    source_->setObjectName(QStringLiteral("RichTextBox1"));
    target_ = new QTextEdit(client());
    target_->setObjectName(QStringLiteral("RichTextBox2"));
    for (QTextEdit* pane : {source_, target_}) {
        pane->setReadOnly(true);
        pane->setFont(timesFont(11));
    }
    auto* split = new QSplitter(Qt::Vertical, client());
    split->addWidget(list_);
    split->addWidget(source_);
    split->addWidget(target_);
    split->setStretchFactor(0, 3);
    split->setSizes({300, 90, 90}); // the list first: the panes hold one sentence
    layout->addLayout(ask);
    layout->addWidget(advanced_);
    layout->addLayout(viewButtons());
    layout->addWidget(total_);
    layout->addWidget(split, 1);
    addOutputCommands(layout);
}

CollectionSearchWindow::~CollectionSearchWindow()
{
    delete list_; // before the rows it reads
    list_ = nullptr;
}

bool CollectionSearchWindow::openCollection(const CollectionListing& listing)
{
    closeViews(); // they read the indexes about to be replaced
    texts_.clear();
    store_ = std::make_unique<CollectionStore>(listing.folder);
    Status loaded = Error::cancelledByUser();
    list_->freeze();
    runLongWork(this, QStringLiteral("Indexando la colección %1").arg(listing.folder), Cancel::Allowed,
                [&](const Progress& progress) { loaded = concordance_.load(listing, *store_, progress); });
    list_->thaw();
    list_->refresh();
    setWindowTitle(QStringLiteral("Quillarne - Concordancias VXT - %1").arg(listing.folder));
    total_->setText(concordance_.members() == 1 ? QStringLiteral("1 par")
                                                : QStringLiteral("%1 pares").arg(concordance_.members()));
    if (!loaded) {
        if (!loaded.error().cancelled) desktop().dialogs.message(this, {loaded.error().message});
        return false;
    }
    return true;
}

void CollectionSearchWindow::Command1_Click()
{
    SearchRequest request;
    request.typed = query_->text();
    request.syntax = advanced_->syntax();
    // Each pair's condition reads its own translation.
    if (const auto test = advanced_->test()) request.condition = TranslationCondition{*test, advanced_->condition(), nullptr};
    Result<size_t> found = size_t(0);
    {
        WaitCursor wait;
        list_->freeze();
        // A single form is a look-up; an expression or a condition may
        // open every translation, and may be stopped.
        if (request.syntax == QuerySyntax::Patterns && !request.condition)
            found = concordance_.search(request);
        else
            runLongWork(this, QStringLiteral("Buscando %1").arg(request.typed), Cancel::Allowed,
                        [&](const Progress& progress) { found = concordance_.search(request, progress); });
        list_->thaw();
    }
    searched_ = request.typed;
    list_->refresh();
    source_->clear();
    target_->clear();
    const size_t count = found ? found.value() : 0;
    total_->setText(QStringLiteral("%1 = %2").arg(amidLeftToRight(searched_)).arg(count));
    if (!found) {
        advanced_->say(found.error().cancelled ? QStringLiteral("Búsqueda interrumpida.") : found.error().message);
        if (!found.error().cancelled)
            desktop().dialogs.message(this, {found.error().message, QStringLiteral("Solandre"), Buttons::Ok,
                                             Icon::Information});
    } else if (concordance_.members() > 0) {
        advanced_->say(AdvancedSearch::reading(concordance_.concordance(0).lastQuery(), request));
    }
    if (count > 0) list_->setCurrentRow(0);
    emit hitsChanged();
}

void CollectionSearchWindow::formes_Click()
{
    if (concordance_.hitCount() == 0) return;
    WaitCursor wait;
    concordance_.sortByForm();
    list_->refresh();
    list_->setCurrentRow(0);
    emit hitsSorted();
}

void CollectionSearchWindow::comptes_Click()
{
    const std::vector<size_t> counts = concordance_.countsPerMember();
    QStringList lines{QStringLiteral("%1 = %2").arg(searched_).arg(concordance_.hitCount())};
    for (size_t m = 0; m < counts.size(); ++m)
        if (counts[m] > 0) lines << QStringLiteral("%1 : %2").arg(concordance_.nameOf(m)).arg(counts[m]);
    desktop().dialogs.message(this, {lines.join(QStringLiteral("\r\n")), QStringLiteral("Ocurrencias por texto")});
}

void CollectionSearchWindow::fermer_Click() { forms().unload(objectName()); }

const CollectionSearchWindow::PairTexts* CollectionSearchWindow::textsOf(size_t member)
{
    if (auto it = texts_.find(member); it != texts_.end()) return &it->second;
    // A few pairs kept: the hits of one text come together.
    if (texts_.size() >= 8) texts_.clear();
    PairTexts& texts = texts_[member];
    const Concordance& c = concordance_.concordance(member);
    if (auto table = SentenceTable::build(c.text(), c.encoding())) texts.source = std::move(*table);
    if (auto target = TextFile::open(FileRef(concordance_.pair(member).pair.target))) {
        texts.target = std::move(target.value());
        if (auto table = SentenceTable::build(texts.target.text(), texts.target.encoding()))
            texts.translated = std::move(*table);
    }
    return &texts;
}

void CollectionSearchWindow::showHit(size_t k)
{
    if (k >= concordance_.hitCount()) return;
    const size_t member = concordance_.hit(k).member;
    const PairTexts* texts = textsOf(member);
    const std::string marker = concordance_.marker(k);
    const Encoding encoding = concordance_.encodingOf(k);
    const QString shownMarker = decodeText(marker, encoding);
    const QString form = decodeText(concordance_.form(k), encoding);
    const QString sentence = decodeText(texts->source.sentence(marker, encoding), texts->source.encoding());
    const QString translated =
        decodeText(texts->translated.sentence(marker, encoding), texts->translated.encoding());
    const QString name = concordance_.nameOf(member);
    source_->setPlainText(name + QStringLiteral(" ") + shownMarker + QStringLiteral(" ") + sentence);
    target_->setPlainText(name + QStringLiteral(" ") + shownMarker + QStringLiteral(" ") + translated);
    // The form marked as the viewer marks it: bold and blue.
    QTextCharFormat marking;
    marking.setFontWeight(QFont::Bold);
    marking.setForeground(QColor(0, 0, 255));
    // Only in the sentence: the pair's name may hold the form too.
    const qsizetype start = name.size() + shownMarker.size() + 2;
    const QString shown = source_->toPlainText().mid(start) + QLatin1Char(' ');
    std::vector<std::pair<qsizetype, qsizetype>> marked;
    if (std::any_of(form.begin(), form.end(), [](QChar c) { return !c.isLetterOrNumber() && !c.isMark(); })) {
        // A phrase: the hit as it is written in its sentence.
        if (const qsizetype at = shown.indexOf(form); at >= 0) marked.emplace_back(at, form.size());
    } else {
        marked = wordsToMark(shown, form);
    }
    QTextCursor cursor(source_->document());
    for (const auto& [at, length] : marked) {
        cursor.setPosition(int(start + at));
        cursor.setPosition(int(start + at + length), QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(marking);
    }
}

} // namespace solandre
