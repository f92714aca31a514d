// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/encoding.h"

#include "common/cp1252.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace solandre {

std::optional<EncodingGuess> encodingFromMark(std::string_view head)
{
    if (head.starts_with(kUtf8Mark)) return EncodingGuess{FileEncoding::Utf8, 3};
    if (head.starts_with("\xFF\xFE")) return EncodingGuess{FileEncoding::Utf16LE, 2};
    if (head.starts_with("\xFE\xFF")) return EncodingGuess{FileEncoding::Utf16BE, 2};
    return std::nullopt;
}

EncodingGuess guessEncoding(std::string_view bytes)
{
    if (auto marked = encodingFromMark(bytes)) return *marked;
    Utf8Census census;
    census.count(bytes);
    if (!census.isUtf8()) return {FileEncoding::Windows1252, 0};
    return {FileEncoding::Utf8, 0, census.invalid, size_t(census.firstInvalid)};
}

bool hasHighByte(std::string_view bytes)
{
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    for (; end - p >= 8; p += 8) {
        std::uint64_t v;
        std::memcpy(&v, p, 8);
        if (v & 0x8080808080808080ull) return true;
    }
    for (; p < end; ++p)
        if (static_cast<unsigned char>(*p) >= 0x80) return true;
    return false;
}

char32_t nextUtf8(const unsigned char*& p, const unsigned char* end)
{
    const unsigned char b = *p;
    if (b < 0x80) {
        ++p;
        return b;
    }
    size_t length;
    char32_t c;
    char32_t least;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2, c = b & 0x1F, least = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3, c = b & 0x0F, least = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4, c = b & 0x07, least = 0x10000;
    } else {
        ++p;
        return kBadChar;
    }
    if (size_t(end - p) < length) {
        ++p;
        return kBadChar;
    }
    for (size_t k = 1; k < length; ++k) {
        if ((p[k] & 0xC0) != 0x80) {
            ++p;
            return kBadChar;
        }
        c = (c << 6) | (p[k] & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++p;
        return kBadChar;
    }
    p += length;
    return c;
}

char32_t previousUtf8(const unsigned char*& p, const unsigned char* begin)
{
    const unsigned char* start = p - 1;
    while (start > begin && p - start < 4 && (*start & 0xC0) == 0x80) --start;
    const unsigned char* q = start;
    const char32_t c = nextUtf8(q, p);
    if (q == p) {
        p = start;
        return c;
    }
    --p; // not one whole character: take the last byte alone
    return kBadChar;
}

namespace {

// The second byte after E0, ED, F0 and F4 has a narrower range: what rules
// out overlong forms, surrogates and characters past U+10FFFF.
bool secondByteFits(unsigned char lead, unsigned char second)
{
    switch (lead) {
    case 0xE0: return second >= 0xA0 && second <= 0xBF;
    case 0xED: return second >= 0x80 && second <= 0x9F;
    case 0xF0: return second >= 0x90 && second <= 0xBF;
    case 0xF4: return second >= 0x80 && second <= 0x8F;
    default: return true;
    }
}

// The sequences of two bytes or more of valid UTF-8, or -1 for invalid.
std::int64_t validSequencesPlain(const unsigned char* p, const unsigned char* end)
{
    std::int64_t sequences = 0;
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        if (nextUtf8(p, end) == kBadChar) return -1;
        ++sequences;
    }
    return sequences;
}

std::int64_t validSequences(std::string_view bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    std::int64_t sequences = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time: every continuation byte must stand where the
    // lead bytes before it (in this block or the last) want one, and nowhere
    // else; no byte may be C0, C1 or F5-FF.
    std::uint32_t wanted = 0; // continuations owed to the next block, bits 0-2
    auto inRange = [](__m128i v, unsigned char low, unsigned char high) {
        const __m128i shifted = _mm_sub_epi8(v, _mm_set1_epi8(char(low)));
        const __m128i width = _mm_set1_epi8(char(high - low));
        return std::uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(shifted, width), shifted)));
    };
    for (; end - p >= 16; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const std::uint32_t high = std::uint32_t(_mm_movemask_epi8(v));
        if (!high && !wanted) continue;
        const std::uint32_t continuation = inRange(v, 0x80, 0xBF);
        const std::uint32_t two = inRange(v, 0xC2, 0xDF);
        const std::uint32_t three = inRange(v, 0xE0, 0xEF);
        const std::uint32_t four = inRange(v, 0xF0, 0xF4);
        if (high & ~(continuation | two | three | four)) return -1;
        const std::uint32_t expected =
            wanted | (two << 1) | (three << 1) | (three << 2) | (four << 1) | (four << 2) | (four << 3);
        if ((expected & 0xFFFF) != continuation) return -1;
        wanted = expected >> 16;
        sequences += std::popcount(two | three | four);
        // The rare leads whose second byte has a narrower range.
        std::uint32_t special = (three | four) &
                                (inRange(v, 0xE0, 0xE0) | inRange(v, 0xED, 0xED) |
                                 inRange(v, 0xF0, 0xF0) | inRange(v, 0xF4, 0xF4));
        while (special) {
            const int at = std::countr_zero(special);
            special &= special - 1;
            if (p + at + 1 < end && !secondByteFits(p[at], p[at + 1])) return -1;
        }
    }
    // The last few bytes, and the continuations the last block still owed.
    if (wanted) {
        for (int k = 0; k < 3; ++k) {
            if (!(wanted & (1u << k))) continue;
            if (p + k >= end || (p[k] & 0xC0) != 0x80) return -1;
        }
        p += 32 - std::countl_zero(wanted); // past the continuations owed, no further
    }
#endif
    const std::int64_t rest = validSequencesPlain(p, end);
    return rest < 0 ? -1 : sequences + rest;
}

} // namespace

bool isValidUtf8(std::string_view bytes) { return validSequences(bytes) >= 0; }

namespace {
// How often a census of text that is not all UTF-8 asks whether it still could be.
constexpr std::ptrdiff_t kCheckEvery = 64 * 1024;
} // namespace

bool Utf8Census::count(std::string_view piece, std::uint64_t after)
{
    const auto* begin = reinterpret_cast<const unsigned char*>(piece.data());
    const auto* end = begin + piece.size();
    if (const std::int64_t valid = validSequences(piece); valid >= 0) {
        sequences += std::uint64_t(valid);
        counted += piece.size();
        return true;
    }
    const unsigned char* nextCheck = begin + kCheckEvery;
    for (const unsigned char* p = begin; p < end;) {
        if (end - p >= 8) {
            std::uint64_t v;
            std::memcpy(&v, p, 8);
            const std::uint64_t high = v & 0x8080808080808080ull;
            if (!high) {
                p += 8;
                continue;
            }
            // Straight to the first high byte (the bytes are in memory order).
            if constexpr (std::endian::native == std::endian::little) p += std::countr_zero(high) / 8;
        }
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const unsigned char* at = p;
        // In a text that is not UTF-8, most high bytes start no sequence at
        // all, no continuation byte after them: told without decoding.
        const bool lone = *p < 0xC2 || *p > 0xF4 || end - p < 2 || (p[1] & 0xC0) != 0x80;
        if (lone)
            ++p;
        if (!lone && nextUtf8(p, end) != kBadChar) {
            ++sequences;
        } else if (invalid++ == 0) {
            firstInvalid = counted + std::uint64_t(at - begin);
        }
        if (p >= nextCheck) {
            nextCheck = p + kCheckEvery;
            if (!couldBeUtf8(std::uint64_t(end - p) + after)) {
                counted += std::uint64_t(p - begin);
                return false;
            }
        }
    }
    counted += piece.size();
    return couldBeUtf8(after);
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

void appendAsUtf8(std::string& out, std::string_view bytes, Encoding from)
{
    if (from == Encoding::Windows1252) {
        for (const char b : bytes) appendUtf8(out, cp1252ToUnicode(static_cast<unsigned char>(b)));
        return;
    }
    if (isValidUtf8(bytes)) {
        out.append(bytes);
        return;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        const char32_t c = nextUtf8(p, end);
        appendUtf8(out, c == kBadChar ? U'\uFFFD' : c);
    }
}

std::string toUtf8(std::string_view bytes, Encoding from)
{
    std::string out;
    out.reserve(bytes.size());
    appendAsUtf8(out, bytes, from);
    return out;
}

QString decodeText(std::string_view bytes, Encoding from)
{
    if (from == Encoding::Windows1252) return fromCp1252(bytes);
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

std::optional<std::string> encodeText(QStringView text, Encoding to)
{
    if (to == Encoding::Utf8) return text.toUtf8().toStdString();
    std::string bytes;
    bytes.reserve(size_t(text.size()));
    for (const QChar ch : text) {
        const unsigned char b = unicodeToCp1252(ch.unicode());
        if (b == '?' && ch != QLatin1Char('?')) return std::nullopt;
        bytes += char(b);
    }
    return bytes;
}

std::string utf16ToUtf8(std::string_view bytes, bool bigEndian)
{
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t units = bytes.size() / 2;
    auto unit = [&](size_t k) {
        return bigEndian ? char16_t(p[2 * k] << 8 | p[2 * k + 1]) : char16_t(p[2 * k + 1] << 8 | p[2 * k]);
    };
    for (size_t k = 0; k < units; ++k) {
        const char16_t u = unit(k);
        if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units && unit(k + 1) >= 0xDC00 && unit(k + 1) <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (unit(k + 1) - 0xDC00));
            ++k;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            appendUtf8(out, U'\uFFFD');
        } else {
            appendUtf8(out, u);
        }
    }
    if (bytes.size() % 2) appendUtf8(out, U'\uFFFD');
    return out;
}

} // namespace solandre
