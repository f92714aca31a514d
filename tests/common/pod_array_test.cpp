// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/bytes.h"
#include "common/pod_array.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace solandre {
namespace {

// Growing moves a big block's pages rather than copying them: what was
// written must be there after, whichever side of the big-block size the
// block was and is.
TEST(PodArray, GrowingKeepsTheValues)
{
    constexpr size_t kMiB = size_t(1) << 20;
    struct Case {
        const char* name;
        size_t from, to; // bytes
    };
    const Case cases[] = {
        {"small to small", 4096, 65536},
        {"small to big", 65536, 3 * kMiB},
        {"big to big, same pages", 3 * kMiB, 3 * kMiB + 4096},
        {"big to bigger", 3 * kMiB, 9 * kMiB},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PodArray<std::uint32_t> values;
        const size_t n = c.from / sizeof(std::uint32_t);
        for (size_t k = 0; k < n; ++k) values.push_back(std::uint32_t(k * 2654435761u));
        values.reserve(c.to / sizeof(std::uint32_t));
        ASSERT_GE(values.capacity(), c.to / sizeof(std::uint32_t));
        ASSERT_EQ(values.size(), n);
        size_t wrong = 0;
        for (size_t k = 0; k < n; ++k) wrong += values[k] != std::uint32_t(k * 2654435761u);
        EXPECT_EQ(wrong, 0u);
        // The room grown is writable to its end.
        values.resize(values.capacity());
        values.back() = 7;
        EXPECT_EQ(values.back(), 7u);
    }
}

TEST(Bytes, GrowingKeepsTheBytesAndTheirSize)
{
    Bytes bytes(5 << 20);
    for (size_t k = 0; k < bytes.size(); k += 4096) bytes.data()[k] = char(k >> 12);
    bytes.grow(11 << 20);
    ASSERT_EQ(bytes.size(), size_t(11) << 20);
    size_t wrong = 0;
    for (size_t k = 0; k < (size_t(5) << 20); k += 4096) wrong += bytes.data()[k] != char(k >> 12);
    EXPECT_EQ(wrong, 0u);
    bytes.data()[bytes.size() - 1] = 'x';
    EXPECT_EQ(bytes.view().back(), 'x');
}

} // namespace
} // namespace solandre
