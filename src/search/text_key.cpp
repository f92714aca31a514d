// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/text_key.h"

#include <algorithm>
#include <cstring>
#include <future>

namespace solandre {
namespace {

// Four lanes, so the loop is not one long chain of multiplications. Each
// piece read is handed to `done`, as [from, to) of `data`.
template <class Done> std::uint64_t checksumInOne(const char* data, size_t size, Done&& done)
{
    constexpr size_t kPiece = size_t(8) << 20; // a multiple of 32
    std::uint64_t lanes[4] = {1, 2, 3, 4};
    size_t i = 0;
    while (i + 32 <= size) {
        const size_t from = i, to = i + std::min(kPiece, (size - i) / 32 * 32);
        for (; i < to; i += 32) {
            for (int k = 0; k < 4; ++k) {
                std::uint64_t v;
                std::memcpy(&v, data + i + 8 * k, 8);
                lanes[k] = (lanes[k] ^ v) * 0x9E3779B97F4A7C15ull;
            }
        }
        done(from, to);
    }
    std::uint64_t h = size;
    for (std::uint64_t lane : lanes) h = mixChecksums(h, lane);
    for (; i < size; ++i) h = mixChecksums(h, static_cast<unsigned char>(data[i]));
    return h;
}

std::uint64_t checksumInOne(const char* data, size_t size)
{
    return checksumInOne(data, size, [](size_t, size_t) {});
}

// Two threads: the checksum of a big block must not eat the time it saves.
template <class Done> std::uint64_t checksumInTwo(const char* data, size_t size, Done&& done)
{
    if (size < (size_t(16) << 20)) return checksumInOne(data, size, done);
    const size_t half = (size / 2) & ~size_t(31);
    auto second = std::async(std::launch::async, [&] {
        return checksumInOne(data + half, size - half, [&](size_t from, size_t to) { done(half + from, half + to); });
    });
    return mixChecksums(checksumInOne(data, half, done), second.get());
}

// A whole text's checksum gives its pages back behind it: the text stays
// readable from its file, and checking a big text does not hold it all in
// memory beside its index.
std::uint64_t checksumOfText(const TextFile& text)
{
    return checksumInTwo(text.text().data(), text.text().size(),
                         [&text](size_t from, size_t to) { text.release(from, to); });
}

// Pieces of the text spread over it. A piece read maps the file's pages
// around it too (a page cache's block may be megabytes): those go back at
// once, or a few kilobytes read would keep most of a big text in memory.
std::uint64_t sampleOf(const TextFile& text)
{
    constexpr size_t kPiece = 4096;
    constexpr size_t kAround = size_t(2) << 20;
    const std::string_view bytes = text.text();
    std::uint64_t h = bytes.size();
    if (bytes.size() <= 64 * kPiece) return mixChecksums(h, checksumInOne(bytes.data(), bytes.size()));
    for (size_t k = 0; k < 64; ++k) {
        const size_t at = (bytes.size() - kPiece) / 63 * k;
        h = mixChecksums(h, checksumInOne(bytes.data() + at, kPiece));
        text.release(at / kAround * kAround, (at + kPiece + kAround - 1) / kAround * kAround);
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

std::uint64_t checksumOf(const char* data, size_t size)
{
    return checksumInTwo(data, size, [](size_t, size_t) {});
}

std::optional<TextKey> TextKey::of(const TextFile& text)
{
    if (!text.stamp()) return std::nullopt;
    TextKey key;
    key.stamp = *text.stamp();
    key.encoding = std::uint64_t(text.encoding());
    key.sample = sampleOf(text);
    key.checkWhole = key.stamp.mayHideAChange();
    if (key.checkWhole) key.whole = checksumOfText(text);
    return key;
}

bool TextKey::describes(const TextFile& text) const
{
    if (!text.stamp() || !stamp.sameFileAs(*text.stamp()) || encoding != std::uint64_t(text.encoding()) ||
        sample != sampleOf(text))
        return false;
    return !checkWhole || whole == checksumOfText(text);
}

} // namespace solandre
