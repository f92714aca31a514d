// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/candidates.h"

#include "common/brackets.h"
#include "common/text_file.h"
#include "common/word_breaks.h"
#include "search/concordance.h"
#include "search/word_chars.h"
#include "viewer/record_table.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <unordered_map>

namespace solandre {
namespace {

// Sentence numbers as ranges: a numbered text's are one range, however long.
class NumberSet {
public:
    void add(std::uint64_t n)
    {
        if (!ranges_.empty() && n >= ranges_.back().first && n <= ranges_.back().second + 1) {
            ranges_.back().second = std::max(ranges_.back().second, n);
            return;
        }
        ranges_.push_back({n, n});
        sorted_ = false;
    }
    // Call once every number is in, before contains().
    void seal()
    {
        if (sorted_) return;
        std::sort(ranges_.begin(), ranges_.end());
        std::vector<std::pair<std::uint64_t, std::uint64_t>> merged;
        for (const auto& r : ranges_) {
            if (!merged.empty() && r.first <= merged.back().second + 1)
                merged.back().second = std::max(merged.back().second, r.second);
            else
                merged.push_back(r);
        }
        ranges_ = std::move(merged);
        sorted_ = true;
    }
    bool contains(std::uint64_t n) const
    {
        const auto after = std::upper_bound(ranges_.begin(), ranges_.end(), n,
                                            [](std::uint64_t v, const auto& r) { return v < r.first; });
        return after != ranges_.begin() && n <= (after - 1)->second;
    }

private:
    std::vector<std::pair<std::uint64_t, std::uint64_t>> ranges_;
    bool sorted_ = true;
};

// Calls `take(number, body)` for each record whose marker is written "[n]":
// the body is what follows the marker up to the next "[". False when stopped.
template <class Take>
bool forEachRecord(std::string_view text, const Progress& progress, double from, double share, Take take)
{
    size_t pos = text.find('[');
    size_t nextReport = 0;
    while (pos != std::string_view::npos && pos < text.size()) {
        if (pos >= nextReport) {
            nextReport = pos + (size_t(4) << 20);
            if (!goOn(progress, from + share * double(pos) / double(text.size()))) return false;
        }
        const size_t close = findBracket(text, pos + 1);
        if (close == text.size()) break;
        if (text[close] == '[') { // the later "[" opens the marker
            pos = close;
            continue;
        }
        const size_t next = std::min(text.find('[', close + 1), text.size());
        if (const auto number = markerNumber(text.substr(pos, close - pos + 1)))
            take(*number, text.substr(close + 1, next - close - 1));
        pos = next;
    }
    return true;
}

// The distinct lower-cased words of more than one letter (combining marks
// aside) of a piece of text, cut into words as the word index cuts them.
template <class Chars> class WordReader {
public:
    // A closed dictionary takes no new word: the words it lacks are passed over.
    WordReader(std::unordered_map<std::string, std::uint32_t>& dictionary, bool closed)
        : dictionary_(dictionary), closed_(closed)
    {
    }

    // The ids of the body's words, each once.
    const std::vector<std::uint32_t>& read(std::string_view body)
    {
        ids_.clear();
        const auto* p = reinterpret_cast<const unsigned char*>(body.data());
        const auto* end = p + body.size();
        size_t i = 0;
        while (i < body.size()) {
            CharAt c = chars_.at(p + i, end);
            if (!c.letter) {
                i += c.length;
                continue;
            }
            // A run of letters, joiners between two of them included.
            const size_t start = i;
            bool unspaced = false;
            for (;;) {
                unspaced = unspaced || c.unspaced;
                i += c.length;
                if (i >= body.size()) break;
                c = chars_.at(p + i, end);
                if (c.joiner && i + c.length < body.size() && chars_.at(p + i + c.length, end).letter) continue;
                if (!c.letter) break;
            }
            size_t from = start;
            if (unspaced) {
                cuts_.clear();
                breaker_.cutRun(body.substr(start, i - start), cuts_);
                for (const std::uint32_t cut : cuts_) {
                    take(body.substr(from, start + cut - from));
                    from = start + cut;
                }
            }
            take(body.substr(from, i - from));
        }
        std::sort(ids_.begin(), ids_.end());
        ids_.erase(std::unique(ids_.begin(), ids_.end()), ids_.end());
        return ids_;
    }

private:
    void take(std::string_view word)
    {
        if (chars_.letterCount(word) < 2) return;
        lowered_.clear();
        chars_.lower(word, lowered_);
        if (closed_) {
            if (const auto it = dictionary_.find(lowered_); it != dictionary_.end()) ids_.push_back(it->second);
            return;
        }
        const auto [it, added] = dictionary_.try_emplace(lowered_, std::uint32_t(dictionary_.size()));
        ids_.push_back(it->second);
    }

    std::unordered_map<std::string, std::uint32_t>& dictionary_;
    bool closed_;
    Chars chars_;
    WordBreaker breaker_;
    std::vector<std::uint32_t> cuts_;
    std::vector<std::uint32_t> ids_;
    std::string lowered_;
};

double xLogX(double x) { return x > 0 ? x * std::log(x) : 0.0; }

template <class Chars>
bool countTarget(CandidateCounts& counts, const NumberSet& sourceNumbers, const NumberSet& formNumbers,
                 std::string_view target, const Progress& progress)
{
    // A text numbered as the numbering numbers has its numbers in ascending
    // order, each once. In any other, a number may come back, and what
    // follows each of its markers is one sentence, as the viewer shows it.
    bool ascending = true, any = false;
    std::uint64_t last = 0;
    if (!forEachRecord(target, progress, 0.2, 0.05, [&](std::uint64_t number, std::string_view) {
            ascending = ascending && (!any || number > last);
            last = number;
            any = true;
        }))
        return false;

    auto& dictionary = counts.words;
    auto& withWord = counts.withWord;
    auto& joint = counts.joint;
    WordReader<Chars> reader(dictionary, counts.closed);
    auto count = [&](std::uint64_t number, const std::vector<std::uint32_t>& ids) {
        ++counts.pairs;
        const bool withForm = formNumbers.contains(number);
        counts.withForm += withForm;
        if (withWord.size() < dictionary.size()) {
            withWord.resize(dictionary.size(), 0);
            joint.resize(dictionary.size(), 0);
        }
        for (const std::uint32_t id : ids) {
            ++withWord[id];
            joint[id] += withForm;
        }
    };
    std::map<std::uint64_t, std::vector<std::uint32_t>> parts;
    const bool whole = forEachRecord(target, progress, 0.25, 0.7, [&](std::uint64_t number, std::string_view body) {
        if (!sourceNumbers.contains(number)) return;
        const auto& ids = reader.read(body);
        if (ascending) {
            count(number, ids);
        } else {
            auto& sentence = parts[number];
            sentence.insert(sentence.end(), ids.begin(), ids.end());
        }
    });
    if (!whole) return false;
    for (auto& [number, ids] : parts) {
        std::sort(ids.begin(), ids.end());
        ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
        count(number, ids);
    }
    return goOn(progress, 1.0);
}

} // namespace

double logLikelihood(std::uint64_t joint, std::uint64_t withForm, std::uint64_t withWord, std::uint64_t pairs)
{
    const double k11 = double(joint), a = double(withForm), b = double(withWord), n = double(pairs);
    const double k12 = a - k11, k21 = b - k11, k22 = n - a - b + k11;
    const double g2 = 2.0 * (xLogX(k11) + xLogX(k12) + xLogX(k21) + xLogX(k22) - xLogX(a) - xLogX(n - a) -
                             xLogX(b) - xLogX(n - b) + xLogX(n));
    return std::max(g2, 0.0); // rounding can leave a hair below zero
}

double candidateScore(std::uint64_t joint, std::uint64_t withForm, std::uint64_t withWord, std::uint64_t pairs)
{
    if (withWord == 0 || withWord >= pairs) return 0.0;
    return logLikelihood(joint, withForm, withWord, pairs) * std::log(double(pairs) / double(withWord));
}

std::vector<std::string> candidateCells(const Candidate& candidate)
{
    char score[32], g2[32];
    std::snprintf(score, sizeof score, "%.2f", candidate.score);
    std::snprintf(g2, sizeof g2, "%.2f", candidate.g2);
    return {candidate.word, score, g2, std::to_string(candidate.joint), std::to_string(candidate.inTarget)};
}

void CandidateCounts::keepWordsWithForm()
{
    std::unordered_map<std::string, std::uint32_t> kept;
    std::vector<std::uint64_t> keptWithWord, keptJoint;
    for (auto& [word, id] : words) {
        if (id >= joint.size() || joint[id] == 0) continue;
        kept.emplace(word, std::uint32_t(kept.size()));
        keptWithWord.push_back(withWord[id]);
        keptJoint.push_back(joint[id]);
    }
    words = std::move(kept);
    withWord = std::move(keptWithWord);
    joint = std::move(keptJoint);
    closed = true;
}

bool countCandidates(CandidateCounts& counts, const WordIndex& source, const WordList& hits,
                     std::string_view target, Encoding targetEncoding, const Progress& progress)
{
    NumberSet sourceNumbers, formNumbers;
    if (!forEachRecord(source.text(), progress, 0.0, 0.15,
                       [&](std::uint64_t number, std::string_view) { sourceNumbers.add(number); }))
        return false;
    sourceNumbers.seal();
    // A hit counts for the sentence its marker names.
    std::uint32_t run = 0;
    WordId last = 0;
    for (size_t k = 0; k < hits.size(); ++k) {
        if (k % 65536 == 0 && !goOn(progress, 0.15 + 0.05 * double(k) / double(hits.size()))) return false;
        const WordId word = hits[k];
        run = k > 0 && word >= last ? source.markerRunFrom(word, run) : source.markerRun(word);
        last = word;
        if (const auto number = markerNumber(source.markerOfRun(run))) formNumbers.add(*number);
    }
    formNumbers.seal();
    return targetEncoding == Encoding::Utf8
               ? countTarget<Utf8Chars>(counts, sourceNumbers, formNumbers, target, progress)
               : countTarget<Cp1252Chars>(counts, sourceNumbers, formNumbers, target, progress);
}

CandidateList rankCandidates(const CandidateCounts& counts, size_t top)
{
    CandidateList list;
    list.pairs = counts.pairs;
    list.withForm = counts.withForm;
    for (const auto& [word, id] : counts.words) {
        if (id >= counts.joint.size()) continue; // a word of sentences no pair counted
        const std::uint64_t ab = counts.joint[id], b = counts.withWord[id];
        // Only words met with the form more often than chance would have it.
        if (ab == 0 || double(ab) * double(list.pairs) <= double(list.withForm) * double(b)) continue;
        list.best.push_back({word, candidateScore(ab, list.withForm, b, list.pairs),
                             logLikelihood(ab, list.withForm, b, list.pairs), ab, b});
    }
    auto better = [](const Candidate& x, const Candidate& y) {
        if (x.score != y.score) return x.score > y.score;
        if (x.joint != y.joint) return x.joint > y.joint;
        return x.word < y.word;
    };
    const size_t kept = std::min(top, list.best.size());
    std::partial_sort(list.best.begin(), list.best.begin() + std::ptrdiff_t(kept), list.best.end(), better);
    list.best.resize(kept);
    return list;
}

std::optional<CandidateList> findCandidates(const WordIndex& source, const WordList& hits,
                                            std::string_view target, Encoding targetEncoding, size_t top,
                                            const Progress& progress)
{
    CandidateCounts counts;
    if (!countCandidates(counts, source, hits, target, targetEncoding, progress)) return std::nullopt;
    return rankCandidates(counts, top);
}

Result<CandidateList> candidatesOf(const WordIndex& source, const QString& typed, const FileRef& target,
                                   size_t top, const Progress& progress)
{
    WordList hits;
    findHits(source, typed, hits);
    return candidatesOf(source, hits, target, top, progress);
}

Result<CandidateList> candidatesOf(const WordIndex& source, const WordList& hits, const FileRef& target,
                                   size_t top, const Progress& progress)
{
    Result<TextFile> read = TextFile::open(target);
    if (!read) return read.error();
    auto list = findCandidates(source, hits, read.value().text(), read.value().encoding(), top, progress);
    if (!list) return Error::cancelledByUser();
    return std::move(*list);
}

} // namespace solandre
