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
#include "search/result_grid.h"
#include "search/word_index.h"

#include <QString>
#include <memory>
#include <string_view>

namespace solandre {

class Concordance {
public:
    // An empty index: every search finds nothing.
    Concordance();
    // The index of a text already in memory, its encoding guessed.
    explicit Concordance(std::string_view numbered);

    // Reads and indexes a numbered text, replacing the index in place, so
    // whoever holds the grid keeps it. On failure or cancel the index is
    // empty. With a cache, an index kept from an earlier opening is taken
    // from it, and a new one kept in it.
    Status load(const FileRef& file, const Progress& progress = {}, IndexCache* cache = nullptr);

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
    ResultGrid& grid() { return *grid_; }
    const ResultGrid& grid() const { return *grid_; }

    // Lists the hits of `typed` in text order; returns their number. In a
    // Windows-1252 text a form the code page cannot write finds nothing.
    size_t search(const QString& typed);
    // "Formas": by form, and by marker too when the current column is the marker's.
    void sortByForm();

private:
    TextFile text_;
    std::unique_ptr<WordIndex> index_;
    std::unique_ptr<ResultGrid> grid_; // reads index_
};

// The words of `index` that match `typed`, in text order, and the ranks of
// their forms, as every search finds them: in a Windows-1252 text a form the
// code page cannot write finds nothing.
void findHits(const WordIndex& index, const QString& typed, WordList& hits,
              std::vector<std::uint32_t>* forms = nullptr);

// What the user is told about a text that does not look numbered.
QString notNumberedWarning(const QString& name);

} // namespace solandre
