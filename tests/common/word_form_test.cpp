// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/word_form.h"
#include "support/reference_text.h"

#include <gtest/gtest.h>

namespace solandre {
namespace {

TEST(FoldedForm, CanonicallyEquivalentSpellingsAreOneForm)
{
    struct Case { const char* name; const char* word; const char* form; };
    const Case cases[] = {
        {"ASCII", "CASA", "casa"},
        {"precomposed", "Café", "café"},
        {"decomposed", "Cafe\u0301", "café"},
        {"capital decomposed", "CAFE\u0301", "café"},
        {"Vietnamese decomposed, two marks", "Tie\u0302\u0301ng", "tiếng"},
        {"marks in the other order", "Vie\u0323\u0302t", "việt"},
        {"Hebrew points in canonical order", "\u05D1\u05BC\u05B0", "\u05D1\u05B0\u05BC"},
        {"Greek with ypogegrammeni", "\u0391\u0345", "\u1FB3"},
        {"final sigma", "ΣΟΦΌΣ", "σοφόσ"},
        {"Hangul jamo compose", "\u1112\u1161\u11AB", "\uD55C"},
        {"a stray byte passes as it is", "caf\xE9", "caf\xE9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(foldedForm(c.word), c.form);
        const reference::Chars chars = reference::decode(c.word, Encoding::Utf8);
        if (reference::encode(chars, Encoding::Utf8) == c.word && std::string_view(c.word).find('\xE9') == std::string_view::npos)
            EXPECT_EQ(reference::encode(reference::fold(chars), Encoding::Utf8), c.form) << "the plain reading";
    }
}

TEST(FoldedForm, NfcOfTextLeavesStrayBytesAndComposesTheRest)
{
    std::string out;
    appendNfc(out, "e\u0301\xFF" "e\u0301");
    EXPECT_EQ(out, "é\xFF" "é");
    EXPECT_FALSE(mayChangeInNfc("canción"));
    EXPECT_TRUE(mayChangeInNfc("cafe\u0301"));
}

} // namespace
} // namespace solandre
