// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What an index kept in the cache was made from, and whether a text opened
// now is still that text. The file's stamp (which file, its size, its times
// of modification and of status change to the nanosecond) changes with any
// edit, whatever times a tool puts back; a sample of the content backs it
// up, and where file times are too coarse to tell a change made just after
// the stamp, every byte is compared.

#include "common/text_file.h"

#include <cstdint>
#include <optional>

namespace solandre {

struct TextKey {
    FileStamp stamp;
    std::uint64_t encoding = 0;
    std::uint64_t sample = 0; // the head, the tail and 62 pieces between
    bool checkWhole = false;
    std::uint64_t whole = 0;  // of every byte, when checkWhole

    // Nothing for a text that is no regular file (a stream, a text in memory).
    static std::optional<TextKey> of(const TextFile& text);
    // Whether `text` is the very text the key was made of.
    bool describes(const TextFile& text) const;
};

// A checksum of bytes, in two threads for big blocks.
std::uint64_t checksumOf(const char* data, size_t size);
std::uint64_t mixChecksums(std::uint64_t h, std::uint64_t v);

} // namespace solandre
