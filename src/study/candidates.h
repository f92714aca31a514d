// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Translation candidates: the words of the translated sentences that go with
// a searched form far more often than chance. Sentence n of the source pairs
// with sentence n of the target, by their markers "[n]"; over all the pairs,
// a target word's association with the form is Dunning's log-likelihood
// ratio (G²) of the two-by-two table of the sentence pairs: with the form or
// not, with the word or not. Only words that occur with the form more often
// than chance count. G² alone ranks a word found in most sentences (an
// article, a preposition) high whenever the form is frequent; the rank
// weighs G² by the word's specificity, the log of how rare it is among the
// target sentences (ln(pairs / pairs with the word)), so a word met
// everywhere scores nothing and never outranks the translation. Target
// words are lower-cased as the search lower-cases forms; words of one letter
// (elisions, initials) are left out.

#include "common/encoding.h"
#include "common/fileio.h"
#include "common/progress.h"
#include "common/result.h"
#include "search/word_index.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace solandre {

struct Candidate {
    std::string word;      // lower-cased, UTF-8
    double score;          // the rank: G² weighed by specificity
    double g2;             // the association alone
    std::uint64_t joint;   // pairs with both the form and the word
    std::uint64_t inTarget; // pairs with the word
};

struct CandidateList {
    std::uint64_t pairs = 0;    // target sentences whose number the source has too
    std::uint64_t withForm = 0; // of them, those whose source sentence holds the form
    std::vector<Candidate> best; // best first; equal scores by joint count, then by word
};

// The columns of a candidate as the window lists them, the command line
// prints them and the export writes them: its word, its rank, its G², the
// pairs with both and the pairs with the word.
inline constexpr const char* kCandidateHeader[] = {"Candidato", "Puntuación", "G²", "Con la forma",
                                                   "En la traducción"};
inline constexpr int kCandidateColumns = 5;
// The cells of a candidate, in UTF-8; the scores with two decimals.
std::vector<std::string> candidateCells(const Candidate& candidate);

// G² of a two-by-two table: `joint` pairs with both, `withForm` with the
// form, `withWord` with the word, of `pairs` in all.
double logLikelihood(std::uint64_t joint, std::uint64_t withForm, std::uint64_t withWord, std::uint64_t pairs);

// The rank of a word of that table: its G² times ln(pairs / withWord).
double candidateScore(std::uint64_t joint, std::uint64_t withForm, std::uint64_t withWord, std::uint64_t pairs);

// What candidates are ranked from, which adds up over several pairs of texts
// (a collection): the sentence pairs, those whose source holds the form, and
// for each target word the pairs with it and the pairs with it and the form.
struct CandidateCounts {
    std::uint64_t pairs = 0;
    std::uint64_t withForm = 0;
    std::unordered_map<std::string, std::uint32_t> words; // lower-cased UTF-8, and its place below
    std::vector<std::uint64_t> withWord, joint;
    // Once closed, pairs add to the words there and bring no others.
    bool closed = false;

    // Leaves out the words never met with the form, which no pair without
    // the form can make candidates, and closes the counts: the pairs whose
    // source lacks the form then cost no memory for their vocabulary.
    void keepWordsWithForm();
};

// Adds the sentence pairs of the source words `hits` (any order) and the
// numbered `target` to `counts`. False when `progress` stopped it.
bool countCandidates(CandidateCounts& counts, const WordIndex& source, const WordList& hits,
                     std::string_view target, Encoding targetEncoding, const Progress& progress = {});

// The best `top` candidates of the counts.
CandidateList rankCandidates(const CandidateCounts& counts, size_t top);

// The best `top` candidates for the source words `hits` (any order) in
// the numbered `target`. Nothing when `progress` stopped it.
std::optional<CandidateList> findCandidates(const WordIndex& source, const WordList& hits,
                                            std::string_view target, Encoding targetEncoding, size_t top,
                                            const Progress& progress = {});

// As the windows and the command line run it: the words of `typed` searched
// in the source's index (a phrase by the first word of each hit), the
// numbered target read from its file.
Result<CandidateList> candidatesOf(const WordIndex& source, const QString& typed, const FileRef& target,
                                   size_t top, const Progress& progress = {});
// The same for the hits a search already found (any order).
Result<CandidateList> candidatesOf(const WordIndex& source, const WordList& hits, const FileRef& target,
                                   size_t top, const Progress& progress = {});

} // namespace solandre
