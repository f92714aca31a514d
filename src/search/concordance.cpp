// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/concordance.h"

#include "common/word_form.h"

namespace solandre {

Concordance::Concordance()
    : index_(std::make_unique<WordIndex>()), grid_(std::make_unique<ResultGrid>(*index_))
{
}

Concordance::Concordance(std::string_view numbered)
    : text_(TextFile::fromBytes(std::string(numbered))),
      index_(std::make_unique<WordIndex>(WordIndex::build(text_.text(), text_.encoding()))),
      grid_(std::make_unique<ResultGrid>(*index_))
{
}

Status Concordance::load(const FileRef& file, const Progress& progress, IndexCache* cache, Keeping keeping)
{
    *index_ = WordIndex();
    grid_->prepare();
    text_ = TextFile();
    const QString& name = file.name();
    Result<TextFile> read = TextFile::open(file);
    if (!read) return read.error();
    if (read.value().text().empty()) return Error::reading(name, QStringLiteral("el fichero está vacío"));
    if (read.value().text().size() > WordIndex::kMaxText)
        return Error::reading(name, QStringLiteral("el fichero pasa de 4 GB"));
    std::optional<WordIndex> built = cache ? cache->load(read.value()) : std::nullopt;
    if (!built) {
        // A big text is not kept in memory behind the scan: the index
        // reads it again only where it is asked to.
        const TextFile& text = read.value();
        built = WordIndex::build(text.text(), text.encoding(), progress,
                                 [&text](size_t from, size_t to) { text.release(from, to); });
        if (!built) return Error::cancelledByUser();
        if (cache && keeping == Keeping::InBackground) cache->storeLater(read.value(), *built);
        if (cache && keeping == Keeping::MappedFromCache && cache->store(read.value(), *built))
            // What cannot be read back is simply kept in memory.
            if (std::optional<WordIndex> mapped = cache->load(read.value())) built = std::move(mapped);
    }
    text_ = std::move(read.value());
    *index_ = std::move(*built);
    return success();
}

void Concordance::releaseMemory() const
{
    index_->releaseMemory();
    text_.release(text_.text().size());
}

bool Concordance::looksNumbered() const { return text().starts_with("[1] "); }

QString notNumberedWarning(const QString& name, NumberingRoad road)
{
    const QString how = road == NumberingRoad::Menu
                            ? QStringLiteral("use \"Referenciación y concordancias\" en el menú \"Aplicación\"")
                            : QStringLiteral("use \"solandre-cli number\"");
    return QStringLiteral("El fichero \"%1\" no parece un texto numerado: no empieza por "
                          "\"[1] \". Se buscará en él tal como está; para numerar un texto, %2.")
        .arg(name, how);
}

namespace {

// A form typed with combining accents is the code page's accented letter.
QString composed(const QString& typed)
{
    std::string nfc;
    appendNfc(nfc, typed.toStdString());
    return QString::fromStdString(nfc);
}

} // namespace

void findHits(const WordIndex& index, const QString& typed, WordList& hits, std::vector<std::uint32_t>* forms)
{
    QueryHits found;
    found.first = std::move(hits);
    // The pattern syntax never fails to read.
    findQueryHits(index, Query::read(composed(typed)).value(), found);
    hits = std::move(found.first);
    if (forms) *forms = std::move(found.forms);
}

size_t Concordance::search(const QString& typed)
{
    SearchRequest request;
    request.typed = typed;
    return search(request).value();
}

Result<size_t> Concordance::search(const SearchRequest& request, const Progress& progress)
{
    QueryHits hits;
    hits.first = grid_->takeRows();
    grid_->setRow(0);
    grid_->setCol(0);
    Result<Query> query = Query::read(composed(request.typed), request.syntax);
    if (!query) return query.error();
    query_ = std::move(query.value());
    std::shared_ptr<const Query> condition;
    if (request.condition) {
        Result<Query> read = Query::read(request.condition->typed, request.syntax);
        if (!read) return read.error();
        condition = std::make_shared<const Query>(std::move(read.value()));
    }
    const double share = condition ? 0.5 : 1.0;
    bool whole = findQueryHits(*index_, query_, hits, [&](double done) { return goOn(progress, share * done); });
    if (whole && condition) {
        static const Concordance nothing;
        const Concordance& target = request.condition->target ? *request.condition->target : nothing;
        whole = keepByTranslation(*index_, hits, target.index(), *condition, request.condition->test,
                                  [&](double done) { return goOn(progress, 0.5 + 0.5 * done); });
    }
    if (!whole) return Error::cancelledByUser();
    const size_t count = hits.first.size();
    grid_->showHits(std::move(hits.first), std::move(hits.forms), hits.words);
    if (condition && request.condition->test == TranslationTest::Contains) grid_->setTranslationMatch(condition);
    return count;
}

void Concordance::sortByForm()
{
    grid_->setColSel(0);
    grid_->sort();
}

} // namespace solandre
