// SPDX-License-Identifier: GPL-3.0-or-later
// Concordance lines against their reading off the text character by
// character: the first line is the typed form (its first byte also sets the
// width of the contexts), the rest the text, read by the encoding rule. Also
// a sort by each key, against a stable alphabetical sort of the key words.
#include "fuzz_input.h"
#include "search/concordance.h"
#include "search/concordance_lines.h"
#include "search/reference_lines.h"
#include "support/reference_text.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace solandre;
using fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto [typed, text] = fuzz::argumentAndText(data, size);
    const std::string typedUtf8 = toUtf8(typed, Encoding::Windows1252);
    Concordance concordance(text);
    if (!Query::read(QString::fromStdString(typedUtf8)).value().singleForm()) return 0;
    const reference::ReadText read = reference::asRead(text);
    check(concordance.encoding() == read.encoding, "encoding");
    concordance.search(QString::fromStdString(typedUtf8));
    ConcordanceLines lines = ConcordanceLines::ofGrid(concordance.grid());
    const size_t width = typed.empty() ? ConcordanceLines::kContext : 1 + static_cast<unsigned char>(typed[0]) % 16;
    auto expected = reference::concordanceLines(read.text, typedUtf8, read.encoding, width);
    check(lines.size() == expected.size(), "number of lines");
    const LineKey keys[] = {LineKey::Form, LineKey::Left1, LineKey::Left2, LineKey::Right1, LineKey::Right2};
    for (size_t k = 0; k < lines.size(); ++k) {
        const ConcordanceLine line = lines.line(k, width);
        const reference::Line& e = expected[k];
        check(lines.hit(k) == e.word, "hit");
        check(line.left == e.left && line.form == e.form && line.right == e.right && line.marker == e.marker,
              "line");
        for (int key = 0; key < reference::kKeyWords; ++key) check(lines.keyWord(k, keys[key]) == e.keys[key], "key word");
    }
    for (int key = 0; key < reference::kKeyWords; ++key) {
        check(lines.sort(keys[key]), "sort");
        // Alphabetically, as the sorts are documented: by the root collation,
        // which puts Han of the later blocks after the first block's.
        std::stable_sort(expected.begin(), expected.end(), [key](const auto& x, const auto& y) {
            return reference::alphabeticallyBefore(x.keys[key], y.keys[key]);
        });
        for (size_t k = 0; k < lines.size(); ++k) check(lines.hit(k) == expected[k].word, "sorted lines");
    }
    return 0;
}
