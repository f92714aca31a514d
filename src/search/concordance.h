// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The search of a numbered text as every caller runs it: the word index built
// once, a typed form searched, the result rows listed and sorted. The windows,
// the command line, the benchmarks, the fuzzers and the tests all go through
// here, so the rules live in one place.

#include "common/fileio.h"
#include "common/progress.h"
#include "common/result.h"
#include "common/text_file.h"
#include "search/index_cache.h"
#include "search/query.h"
#include "search/query_search.h"
#include "search/result_grid.h"
#include "search/word_index.h"

#include <QString>
#include <memory>
#include <optional>
#include <string_view>

namespace solandre {

class Concordance;

// A second query, in the same syntax, on the translated sentence of each hit.
struct TranslationCondition {
    TranslationTest test = TranslationTest::Contains;
    QString typed;
    // The numbered target text, opened; the caller keeps it.
    const Concordance* target = nullptr;
};

// A search as the windows and the command line ask for it.
struct SearchRequest {
    QString typed;
    QuerySyntax syntax = QuerySyntax::Patterns;
    std::optional<TranslationCondition> condition;
};

class Concordance {
public:
    // An empty index: every search finds nothing.
    Concordance();
    // The index of a text already in memory, its encoding guessed.
    explicit Concordance(std::string_view numbered);

    // How a new index is kept in the cache: written on a thread of its own,
    // so that a window opens at once; or written before load() returns and
    // then used from the file, so that none of it stays in the process's
    // own memory (a collection holds a thousand of them).
    enum class Keeping { InBackground, MappedFromCache };

    // Reads and indexes a numbered text, replacing the index in place, so
    // whoever holds the grid keeps it. On failure or cancel the index is
    // empty. With a cache, an index kept from an earlier opening is taken
    // from it, and a new one kept in it.
    Status load(const FileRef& file, const Progress& progress = {}, IndexCache* cache = nullptr,
                Keeping keeping = Keeping::InBackground);

    // The numbered text as it was indexed, and where it was read from.
    const TextFile& textFile() const { return text_; }
    std::string_view text() const { return text_.text(); }
    Encoding encoding() const { return text_.encoding(); }
    const FileRef& file() const { return text_.file(); }
    const QString& name() const { return text_.name(); }
    // Whether the text begins as numbered texts do, with "[1] ". A text that
    // does not is still searched: hand-made files keep working.
    bool looksNumbered() const;

    const WordIndex& index() const { return *index_; }
    // The index's releaseMemory(), and the pages read of a mapped text.
    void releaseMemory() const;
    ResultGrid& grid() { return *grid_; }
    const ResultGrid& grid() const { return *grid_; }

    // Lists the hits of `typed` in text order; returns their number. In a
    // Windows-1252 text a form the code page cannot write finds nothing.
    size_t search(const QString& typed);
    // The same for any query, with its condition on the translation. Fails
    // on a malformed regular expression, naming it, or when `progress`
    // stopped it; the grid is then empty.
    Result<size_t> search(const SearchRequest& request, const Progress& progress = {});
    // The query of the last search, as it was read.
    const Query& lastQuery() const { return query_; }
    // "Formas": by form, and by marker too when the current column is the marker's.
    void sortByForm();

private:
    TextFile text_;
    std::unique_ptr<WordIndex> index_;
    std::unique_ptr<ResultGrid> grid_; // reads index_
    Query query_;
};

// The hits of `typed` in `index`, by their first words in text order, and
// the ranks of their forms for a one-word query, as every search finds
// them: in a Windows-1252 text a form the code page cannot write finds
// nothing.
void findHits(const WordIndex& index, const QString& typed, WordList& hits,
              std::vector<std::uint32_t>* forms = nullptr);

// What the user is told about a text that does not look numbered, with the
// way to number one where they are: a menu of the program, or a command.
enum class NumberingRoad { Menu, CommandLine };
QString notNumberedWarning(const QString& name, NumberingRoad road = NumberingRoad::Menu);

} // namespace solandre
