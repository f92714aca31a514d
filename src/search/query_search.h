// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A query run over the word index, never over the text: each word of the
// query becomes the forms of the vocabulary it takes (through the prefix and
// suffix orders where it can, a pass over the vocabulary where it cannot),
// and a phrase is the words of those forms that follow one another in one
// sentence, found from the rarest word of the phrase out.

#include "common/progress.h"
#include "search/query.h"
#include "search/word_index.h"

#include <cstdint>
#include <vector>

namespace solandre {

struct QueryHits {
    WordList first;           // each hit's first word, in text order
    std::uint32_t words = 1;  // the words of every hit
    // A one-word query's forms, ascending: every word of them is a hit.
    // Empty for a phrase, or when the hits were filtered.
    std::vector<std::uint32_t> forms;
};

// The forms of the vocabulary that one word of a query takes, ascending.
// Nothing when `progress` stopped it.
std::optional<std::vector<std::uint32_t>> formsOf(const WordIndex& index, const QueryWord& word,
                                                  const Progress& progress = {});

// Replaces `hits` with those of `query`. False, `hits` empty, when
// `progress` stopped it. Not for concurrent use on one index.
bool findQueryHits(const WordIndex& index, const Query& query, QueryHits& hits, const Progress& progress = {});

enum class TranslationTest {
    Contains, // "contiene": the translated sentence holds a match
    Lacks,    // "no contiene": it holds none
};

// Keeps the hits whose translated sentence, the record of the same marker
// in `target`, holds a hit of `targetQuery` (or, for Lacks, none). False
// when `progress` stopped it.
bool keepByTranslation(const WordIndex& source, QueryHits& hits, const WordIndex& target,
                       const Query& targetQuery, TranslationTest test, const Progress& progress = {});

} // namespace solandre
