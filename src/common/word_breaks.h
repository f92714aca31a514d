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

    // The same for many runs at once, which ICU does faster than one at a
    // time: runs added, then all cut. The cuts of the k-th run added are
    // cuts[ends[k - 1]] to cuts[ends[k]] (from 0 for the first); both
    // vectors are replaced.
    void addRun(std::string_view run);
    void cutAdded(std::vector<std::uint32_t>& cuts, std::vector<std::uint32_t>& ends);
    // How much waits for ICU, in UTF-16 code units.
    size_t waiting() const { return units_.size(); }

private:
    class Dictionaries;

    void addDecoded();
    void addStretch(size_t from, size_t to);
    void cutLongStretch(size_t from, size_t to);
    Dictionaries& dictionaries();

    std::unique_ptr<Dictionaries> icu_; // made when first needed
    // The run being added: its characters, where each starts, and its end.
    std::vector<char32_t> chars_;
    std::vector<std::uint32_t> starts_;
    // What waits: the unspaced stretches of the runs added, a blank after
    // each; for each code unit, the place in its run of the character it
    // starts, or kNoCut; each stretch's first unit and run.
    std::u16string units_;
    std::vector<std::uint32_t> unitPlace_;
    struct Stretch {
        std::uint32_t firstUnit, run;
    };
    std::vector<Stretch> stretches_;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> found_; // run, place
    std::uint32_t runs_ = 0;
    std::u16string piece_; // a long stretch's piece
    std::vector<std::uint32_t> pieceChar_;
};

} // namespace solandre
