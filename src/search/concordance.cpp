#include "search/concordance.h"

#include "common/cp1252.h"
#include "common/text_kind.h"

namespace solandre {

Concordance::Concordance()
    : index_(std::make_unique<WordIndex>()), grid_(std::make_unique<ResultGrid>(*index_))
{
}

Concordance::Concordance(std::string_view numbered)
    : text_(numbered.size()), index_(std::make_unique<WordIndex>(WordIndex::build(numbered))),
      grid_(std::make_unique<ResultGrid>(*index_))
{
    std::copy(numbered.begin(), numbered.end(), text_.data());
}

Status Concordance::load(const FileRef& file)
{
    *index_ = WordIndex();
    text_ = Bytes();
    file_ = file;
    const QString& name = file.name();
    grid_->prepare();
    Result<Bytes> read = readWholeFile(file);
    if (!read) return read.error();
    if (read.value().empty()) return Error::reading(name, QStringLiteral("el fichero está vacío"));
    if (Status isText = checkLooksLikeText(name, read.value().view()); !isText) return isText;
    if (read.value().size() > WordIndex::kMaxText)
        return Error::reading(name, QStringLiteral("el fichero pasa de 4 GB"));
    text_ = std::move(read.value());
    *index_ = WordIndex::build(text_.view());
    return success();
}

bool Concordance::looksNumbered() const
{
    std::string_view head = text();
    if (head.starts_with("\xEF\xBB\xBF")) head.remove_prefix(3);
    return head.starts_with("[1] ");
}

QString notNumberedWarning(const QString& name)
{
    return QStringLiteral("El fichero \"%1\" no parece un texto numerado: no empieza por "
                          "\"[1] \". Se buscará en él tal como está; para numerar un texto, "
                          "use \"Referenciación y concordancias\" en el menú \"Aplicación\".")
        .arg(name);
}

size_t Concordance::search(const QString& typed)
{
    WordList hits = grid_->takeRows();
    grid_->setRow(0);
    grid_->setCol(0);
    index_->search(parsePattern(toCp1252(typed)), hits);
    const size_t count = hits.size();
    grid_->showHits(std::move(hits));
    return count;
}

void Concordance::sortByForm()
{
    grid_->setColSel(0);
    grid_->sort();
}

} // namespace solandre
