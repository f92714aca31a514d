// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/form_dictionary.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <string>

namespace solandre {
namespace {

std::uint32_t intern(FormDictionary& d, const std::string& form)
{
    const std::string padded = form + std::string(8, '\x7F');
    return d.intern(std::string_view(padded).substr(0, form.size()));
}

std::vector<std::string> sortedForms(const FormDictionary& d)
{
    const FormDictionary::Sorted s = d.sorted();
    std::vector<std::string> out;
    for (const std::uint32_t id : s.ids) out.emplace_back(d.form(id));
    return out;
}

// Forms that share long beginnings, differ in their ninth byte or later,
// run past eight bytes or stop short of them, and hold bytes above 0x7F.
std::vector<std::string> awkwardForms(size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    const std::string letters = "ab\xC3\xA9z";
    std::vector<std::string> forms;
    for (size_t k = 0; k < count; ++k) {
        std::string form = random() % 2 ? "abcdefgh" : "";
        for (size_t n = 1 + random() % 12; n > 0; --n) form += letters[random() % letters.size()];
        forms.push_back(form);
    }
    return forms;
}

TEST(FormDictionary, AFormMetAgainKeepsItsNumberAcrossTheTableGrowing)
{
    FormDictionary d;
    std::vector<std::string> forms;
    for (size_t k = 0; k < 50'000; ++k) forms.push_back("w" + std::to_string(k * 7919));
    for (size_t k = 0; k < forms.size(); ++k) ASSERT_EQ(intern(d, forms[k]), k);
    d.expect(200'000);
    for (size_t k = 0; k < forms.size(); ++k) ASSERT_EQ(intern(d, forms[k]), k) << forms[k];
    EXPECT_EQ(d.size(), forms.size());
    for (size_t k = 0; k < forms.size(); ++k) ASSERT_EQ(d.form(std::uint32_t(k)), forms[k]);
}

TEST(FormDictionary, FormsSortInByteOrderSmallAndBig)
{
    struct Case {
        const char* name;
        size_t count; // the sort takes another road from a few thousand forms on
    };
    for (const Case& c : {Case{"few", 300}, Case{"many", 40'000}}) {
        SCOPED_TRACE(c.name);
        FormDictionary d;
        std::set<std::string> expected;
        for (const std::string& form : awkwardForms(c.count, 7)) {
            intern(d, form);
            expected.insert(form);
        }
        const std::vector<std::string> got = sortedForms(d);
        EXPECT_EQ(got, std::vector<std::string>(expected.begin(), expected.end()));
        const FormDictionary::Sorted s = d.sorted();
        for (size_t k = 0; k < s.ids.size(); ++k)
            ASSERT_EQ(s.keys[k], FormDictionary::keyOf(d.form(s.ids[k]))) << k;
    }
}

TEST(FormDictionary, TwoPartsWalkedTogetherGiveEachFormOnceWithItsNumberInEach)
{
    FormDictionary a, b;
    const std::vector<std::string> first = awkwardForms(6'000, 1), second = awkwardForms(6'000, 2);
    for (const std::string& f : first) intern(a, f);
    for (const std::string& f : second) intern(b, f);
    std::set<std::string> all(first.begin(), first.end());
    all.insert(second.begin(), second.end());

    std::vector<std::string> walked;
    forEachMerged(a, a.sorted(), b, b.sorted(), [&](std::uint32_t x, std::uint32_t y) {
        ASSERT_TRUE(x != kAbsent || y != kAbsent);
        if (x != kAbsent && y != kAbsent) {
            ASSERT_EQ(a.form(x), b.form(y));
        }
        walked.emplace_back(x != kAbsent ? a.form(x) : b.form(y));
        if (x == kAbsent) {
            ASSERT_EQ(std::count(first.begin(), first.end(), walked.back()), 0);
        }
        if (y == kAbsent) {
            ASSERT_EQ(std::count(second.begin(), second.end(), walked.back()), 0);
        }
    });
    EXPECT_EQ(walked, std::vector<std::string>(all.begin(), all.end()));
}

TEST(FormDictionary, PartsOfTwoListsWalkedBackwardGiveTheForwardWalkReversed)
{
    FormDictionary a, b;
    for (const std::string& f : awkwardForms(3'000, 3)) intern(a, f);
    for (const std::string& f : awkwardForms(3'000, 4)) intern(b, f);
    const FormDictionary::Sorted sa = a.sorted(), sb = b.sorted();
    struct Case {
        const char* name;
        size_t iBegin, iEnd, jBegin, jEnd;
    };
    const size_t na = sa.ids.size(), nb = sb.ids.size();
    const Case cases[] = {
        {"whole lists", 0, na, 0, nb},
        {"back halves", na / 2, na, nb / 3, nb},
        {"one list empty", 100, 900, 7, 7},
        {"both empty", 5, 5, 9, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::pair<std::uint32_t, std::uint32_t>> forward, backward;
        forEachMerged(a, sa, c.iBegin, c.iEnd, b, sb, c.jBegin, c.jEnd,
                      [&](std::uint32_t x, std::uint32_t y) { forward.emplace_back(x, y); });
        forEachMerged<true>(a, sa, c.iBegin, c.iEnd, b, sb, c.jBegin, c.jEnd,
                            [&](std::uint32_t x, std::uint32_t y) { backward.emplace_back(x, y); });
        std::reverse(backward.begin(), backward.end());
        EXPECT_EQ(backward, forward);
        size_t fromA = 0, fromB = 0;
        for (const auto& [x, y] : forward) {
            fromA += x != kAbsent;
            fromB += y != kAbsent;
        }
        EXPECT_EQ(fromA, c.iEnd - c.iBegin);
        EXPECT_EQ(fromB, c.jEnd - c.jBegin);
    }
}

TEST(FormDictionary, FormsEqualOnTheirFirstEightBytesCompareByTheRest)
{
    struct Case {
        const char* name;
        std::string a, b;
        int order;
    };
    const Case cases[] = {
        {"shorter first", "abcdefgh", "abcdefghi", -1},
        {"same", "abcdefghij", "abcdefghij", 0},
        {"ninth byte", "abcdefghz", "abcdefgh\xC3", -1},
        {"short and equal", "ab", "ab", 0},
        {"first byte above 0x7F", "\xC3\xA1", "z", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string a = c.a + std::string(8, '\x55'), b = c.b + std::string(8, '\x66');
        const std::string_view va = std::string_view(a).substr(0, c.a.size());
        const std::string_view vb = std::string_view(b).substr(0, c.b.size());
        EXPECT_EQ(compareForms(FormDictionary::keyOf(va), va, FormDictionary::keyOf(vb), vb), c.order);
        EXPECT_EQ(compareForms(FormDictionary::keyOf(vb), vb, FormDictionary::keyOf(va), va), -c.order);
    }
}

} // namespace
} // namespace solandre
