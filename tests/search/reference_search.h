#pragma once
// The word index, the match rules and the results file's segment lookup
// transcribed step by step, character by character, without any of the fast
// code's structures: the oracle for the search tests and the fuzzers.

#include <string>
#include <string_view>
#include <vector>

namespace solandre::reference {

struct Entry {
    std::string form;
    std::string marker;
    bool operator==(const Entry&) const = default;
};

std::vector<Entry> wordIndex(std::string_view text);

// The entries that match the typed text, in index order.
std::vector<Entry> search(const std::vector<Entry>& index, std::string_view typed);

// The segment lookup of the results file: the whole text scanned for one
// marker, the token of brackets followed character by character.
std::string segment(std::string_view text, const std::string& marker);

} // namespace solandre::reference
