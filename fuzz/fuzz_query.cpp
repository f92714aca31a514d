// SPDX-License-Identifier: GPL-3.0-or-later
// The query language over the word index against the sentence-by-sentence
// scan: the first line is the query, the rest the text; the query is also
// tried as the condition on the text taken as its own translation. Regular
// expressions are left out: the two engines read some of them differently.
#include "common/encoding.h"
#include "fuzz_input.h"
#include "search/concordance.h"
#include "search/reference_query.h"
#include "support/reference_text.h"

#include <cstdio>
#include <cstdlib>

using namespace solandre;
using fuzz::check;

namespace {


std::vector<reference::QueryHit> rows(const ResultGrid& grid)
{
    std::vector<reference::QueryHit> out;
    for (size_t r = 1; r < grid.rows(); ++r) out.push_back({grid.text(r, 0), grid.text(r, 1)});
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto [typed, text] = fuzz::argumentAndText(data, size);
    Concordance concordance(text);
    // The text as the plain encoding rule reads it.
    const reference::ReadText read = reference::asRead(text);
    check(concordance.encoding() == read.encoding, "encoding");
    const Encoding encoding = read.encoding;
    const std::string typedUtf8 = toUtf8(typed, Encoding::Windows1252);
    const std::string_view body = read.text;

    check(concordance.search(QString::fromStdString(typedUtf8)) == concordance.grid().hitCount(), "count");
    auto expected = reference::queryHits(body, encoding, typedUtf8).value();
    check(rows(concordance.grid()) == expected, "search");
    concordance.sortByForm();
    reference::sortHitsByText(expected, encoding);
    check(rows(concordance.grid()) == expected, "sort");

    // Every word, kept or dropped by the query on the same text.
    const Concordance translation(text);
    for (const TranslationTest test : {TranslationTest::Contains, TranslationTest::Lacks}) {
        SearchRequest request;
        request.typed = QStringLiteral("*");
        request.condition = TranslationCondition{test, QString::fromStdString(typedUtf8), &translation};
        check(concordance.search(request).ok(), "condition");
        const auto words = reference::queryHits(body, encoding, "*").value();
        const auto kept = reference::keepByTranslation(words, encoding, body, encoding, typedUtf8, false,
                                                       test == TranslationTest::Contains);
        check(rows(concordance.grid()) == kept, "condition");
    }
    return 0;
}
