#include "search/concordance.h"

#include "common/cp1252.h"

namespace solandre {

Concordance::Concordance()
    : index_(std::make_unique<WordIndex>()), grid_(std::make_unique<ResultGrid>(*index_))
{
}

Concordance::Concordance(std::string_view numbered)
    : index_(std::make_unique<WordIndex>(WordIndex::build(numbered))),
      grid_(std::make_unique<ResultGrid>(*index_))
{
}

Status Concordance::load(const QString& path)
{
    Result<WordIndex> read = readWordIndex(path);
    *index_ = read ? std::move(read.value()) : WordIndex();
    grid_->prepare();
    if (!read) return read.error();
    return success();
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
