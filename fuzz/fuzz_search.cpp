// SPDX-License-Identifier: GPL-3.0-or-later
// The word index, the pattern and the search against the plain rules: the
// first line is the typed form, the rest the text. Also the sort by form.
#include "common/encoding.h"
#include "fuzz_input.h"
#include "search/concordance.h"
#include "search/reference_search.h"
#include "support/reference_text.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace solandre;
using fuzz::check;

namespace {


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
    // The text read by the encoding rule (a UTF-16 text as UTF-8), once by
    // the product and once by the plain rule; the typed form as UTF-8.
    Concordance concordance(text);
    const reference::ReadText read = reference::asRead(text);
    check(concordance.encoding() == read.encoding, "encoding");
    const Encoding encoding = read.encoding;
    const auto words = reference::wordIndex(read.text, encoding);
    const std::string typedUtf8 = toUtf8(typed, Encoding::Windows1252);
    // Several words are the query fuzzer's: here only the single form's rule.
    if (!Query::read(QString::fromStdString(typedUtf8)).value().singleForm()) return 0;
    concordance.search(QString::fromStdString(typedUtf8));
    auto expected = reference::search(words, typedUtf8, encoding);
    check(rows(concordance.grid()) == expected, "search");

    concordance.sortByForm();
    reference::sortByForm(expected, encoding);
    check(rows(concordance.grid()) == expected, "sort");
    return 0;
}
