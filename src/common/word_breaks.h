// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The cutting of a run of letters into words. A run of letters (a joiner
// between two of its letters belongs to it, see letters.h) is one word as
// long as it holds no letter of the unspaced scripts. A run that does is cut
// where its letters change between those scripts and the others (a mark, a
// joiner or a letter of no script of its own goes with the letter before
// it), and each stretch of unspaced letters is cut where ICU's word break
// rules, with their dictionaries, cut it: «我爱中国人民» gives «我», «爱»,
// «中国», «人民».
//
// Every reader of words (the word index, the candidates, the marking, the
// aligner) cuts through here, so all agree on where a word ends.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace solandre {

class WordBreaker {
public:
    WordBreaker();
    ~WordBreaker();
    WordBreaker(const WordBreaker&) = delete;
    WordBreaker& operator=(const WordBreaker&) = delete;

    // Appends to `cuts` the places strictly inside `run`, ascending, where
    // one word ends and the next begins, in code units of the run. `run` is a
    // whole run of letters, from the character after a non-letter to the
    // one before the next.
    void cutRun(std::string_view run, std::vector<std::uint32_t>& cuts);
    void cutRun(std::u16string_view run, std::vector<std::uint32_t>& cuts);

private:
    class Dictionaries;

    void cutDecoded(std::vector<std::uint32_t>& cuts);
    void cutUnspaced(size_t from, size_t to, std::vector<std::uint32_t>& cuts);

    std::unique_ptr<Dictionaries> icu_; // made when first needed
    std::vector<char32_t> chars_;       // the run's characters
    std::vector<std::uint32_t> starts_; // where each starts in the run, and its end
    std::u16string units_;
    std::vector<std::uint32_t> charOfUnit_;
};

} // namespace solandre
