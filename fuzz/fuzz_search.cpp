// The word index, the pattern and the search against the plain rules: the
// first line is the typed form, the rest the text. Also the sort by form.
#include "common/cp1252.h"
#include "common/letters.h"
#include "fuzz_input.h"
#include "search/concordance.h"
#include "search/reference_search.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace solandre;

namespace {

void check(bool ok, const char* what)
{
    if (ok) return;
    std::fprintf(stderr, "mismatch: %s\n", what);
    std::abort();
}

std::vector<reference::Entry> rows(const ResultGrid& grid)
{
    std::vector<reference::Entry> out;
    for (size_t r = 1; r < grid.rows(); ++r)
        out.push_back({std::string(grid.text(r, 0)), std::string(grid.text(r, 1))});
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto [typed, text] = fuzz::argumentAndText(data, size);
    const auto words = reference::wordIndex(text);

    Concordance concordance(text);
    concordance.search(fromCp1252(typed));
    auto expected = reference::search(words, typed);
    check(rows(concordance.grid()) == expected, "search");

    concordance.sortByForm();
    std::stable_sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) {
        const std::string x = toLower(a.form), y = toLower(b.form);
        return x != y ? x < y : a.marker < b.marker;
    });
    check(rows(concordance.grid()) == expected, "sort");
    return 0;
}
