// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/text_key.h"

#include <cstring>
#include <future>

namespace solandre {
namespace {

// Four lanes, so the loop is not one long chain of multiplications.
std::uint64_t checksumInOne(const char* data, size_t size)
{
    std::uint64_t lanes[4] = {1, 2, 3, 4};
    size_t i = 0;
    for (; i + 32 <= size; i += 32) {
        for (int k = 0; k < 4; ++k) {
            std::uint64_t v;
            std::memcpy(&v, data + i + 8 * k, 8);
            lanes[k] = (lanes[k] ^ v) * 0x9E3779B97F4A7C15ull;
        }
    }
    std::uint64_t h = size;
    for (std::uint64_t lane : lanes) h = mixChecksums(h, lane);
    for (; i < size; ++i) h = mixChecksums(h, static_cast<unsigned char>(data[i]));
    return h;
}

std::uint64_t sampleOf(std::string_view text)
{
    constexpr size_t kPiece = 4096;
    std::uint64_t h = text.size();
    if (text.size() <= 64 * kPiece) return mixChecksums(h, checksumInOne(text.data(), text.size()));
    for (size_t k = 0; k < 64; ++k) {
        const size_t at = (text.size() - kPiece) / 63 * k;
        h = mixChecksums(h, checksumInOne(text.data() + at, kPiece));
    }
    return h;
}

} // namespace

std::uint64_t mixChecksums(std::uint64_t h, std::uint64_t v)
{
    h ^= v;
    h *= 0x9E3779B97F4A7C15ull;
    return h ^ (h >> 29);
}

// Two threads: the checksum of a big block must not eat the time it saves.
std::uint64_t checksumOf(const char* data, size_t size)
{
    if (size < (size_t(16) << 20)) return checksumInOne(data, size);
    const size_t half = (size / 2) & ~size_t(31);
    auto second = std::async(std::launch::async, [&] { return checksumInOne(data + half, size - half); });
    return mixChecksums(checksumInOne(data, half), second.get());
}

std::optional<TextKey> TextKey::of(const TextFile& text)
{
    if (!text.stamp()) return std::nullopt;
    TextKey key;
    key.stamp = *text.stamp();
    key.encoding = std::uint64_t(text.encoding());
    key.sample = sampleOf(text.text());
    key.checkWhole = key.stamp.mayHideAChange();
    if (key.checkWhole) key.whole = checksumOf(text.text().data(), text.text().size());
    return key;
}

bool TextKey::describes(const TextFile& text) const
{
    if (!text.stamp() || !stamp.sameFileAs(*text.stamp()) || encoding != std::uint64_t(text.encoding()) ||
        sample != sampleOf(text.text()))
        return false;
    return !checkWhole || whole == checksumOf(text.text().data(), text.text().size());
}

} // namespace solandre
