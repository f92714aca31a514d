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

Status Concordance::load(const FileRef& file, const Progress& progress, IndexCache* cache)
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
        built = WordIndex::build(read.value().text(), read.value().encoding(), progress);
        if (!built) return Error::cancelledByUser();
        if (cache) cache->storeLater(read.value(), *built);
    }
    text_ = std::move(read.value());
    *index_ = std::move(*built);
    return success();
}

bool Concordance::looksNumbered() const { return text().starts_with("[1] "); }

QString notNumberedWarning(const QString& name)
{
    return QStringLiteral("El fichero \"%1\" no parece un texto numerado: no empieza por "
                          "\"[1] \". Se buscará en él tal como está; para numerar un texto, "
                          "use \"Referenciación y concordancias\" en el menú \"Aplicación\".")
        .arg(name);
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
    hits.clear();
    if (forms) forms->clear();
    if (index.encoding() == Encoding::Utf8 || encodeText(composed(typed), Encoding::Windows1252))
        index.search(parsePattern(typed), hits, forms);
}

size_t Concordance::search(const QString& typed)
{
    WordList hits = grid_->takeRows();
    grid_->setRow(0);
    grid_->setCol(0);
    std::vector<std::uint32_t> forms;
    findHits(*index_, typed, hits, &forms);
    const size_t count = hits.size();
    grid_->showHits(std::move(hits), std::move(forms));
    return count;
}

void Concordance::sortByForm()
{
    grid_->setColSel(0);
    grid_->sort();
}

} // namespace solandre
