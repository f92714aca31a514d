// SPDX-License-Identifier: GPL-3.0-or-later
// The fast byte sort against a plain comparison sort, on the strings that
// trouble it: ties past eight bytes, prefixes, and NUL bytes that look like
// the end of a string.
#include "search/byte_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <numeric>
#include <string>

namespace solandre {
namespace {

using namespace std::string_literals;

struct Case {
    const char* name;
    std::vector<std::string> strings;
};

// Enough strings to be sorted by radix passes rather than by comparisons.
std::vector<std::string> many(std::vector<std::string> seeds)
{
    std::vector<std::string> out;
    for (int k = 0; out.size() < 200; ++k)
        for (const std::string& s : seeds) out.push_back(k % 3 == 0 ? s : s + std::string(size_t(k % 5), char('a' + k % 7)));
    return out;
}

std::vector<Case> cases()
{
    const std::vector<std::string> nuls = {"[1\0]"s, "[1\0\0]"s, "[1"s, "[1\0"s, "[12345\0\0z]"s, "[12345\0\0a]"s,
                                           "[12345\0\0"s, "[12345\0"s, "[1234567\0"s, "[1234567"s, "\0"s, ""s};
    const std::vector<std::string> prefixes = {"abcdefgh", "abcdefghi", "abcdefg", "abcdefghabcdefgh",
                                               "abcdefghabcdefg", "b", "abcdefgh\xE9", "abcdefgh\x89"};
    return {
        {"FewWithNulBytes", nuls},
        {"ManyWithNulBytes", many(nuls)},
        {"FewPrefixesPastEightBytes", prefixes},
        {"ManyPrefixesPastEightBytes", many(prefixes)},
    };
}

class ByteOrder : public ::testing::TestWithParam<Case> {};

// With no ranks, byte order is std::string's (bytes compared unsigned); with
// ranks that reverse the bytes above NUL, the order must follow them.
TEST_P(ByteOrder, AgreesWithAComparisonSort)
{
    const std::vector<std::string>& strings = GetParam().strings;
    std::array<unsigned char, 256> reversed{};
    for (int b = 1; b < 256; ++b) reversed[size_t(b)] = static_cast<unsigned char>(256 - b);
    using Ranks = const std::array<unsigned char, 256>*;
    for (const Ranks rank : std::vector<Ranks>{nullptr, &reversed}) {
        std::vector<std::uint32_t> ids(strings.size());
        std::iota(ids.begin(), ids.end(), 0u);
        sortByBytes(ids, [&](std::uint32_t id) { return std::string_view(strings[id]); }, rank);
        std::vector<std::string> got, expected = strings;
        for (const std::uint32_t id : ids) got.push_back(strings[id]);
        std::sort(expected.begin(), expected.end(), [rank](const std::string& x, const std::string& y) {
            return std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end(), [rank](char a, char b) {
                const auto p = static_cast<unsigned char>(a), q = static_cast<unsigned char>(b);
                return rank ? (*rank)[p] < (*rank)[q] : p < q;
            });
        });
        EXPECT_EQ(got, expected) << (rank ? "with ranks" : "in byte order");
    }
}

INSTANTIATE_TEST_SUITE_P(Strings, ByteOrder, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace solandre
