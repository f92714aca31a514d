#include "common/encoding.h"

#include "common/cp1252.h"

#include <cstring>

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
    const bool utf8 = hasHighByte(bytes) && isValidUtf8(bytes);
    return {utf8 ? FileEncoding::Utf8 : FileEncoding::Windows1252, 0};
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

bool isValidUtf8(std::string_view bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        // ASCII eight bytes at a time.
        while (end - p >= 8) {
            std::uint64_t v;
            std::memcpy(&v, p, 8);
            if (v & 0x8080808080808080ull) break;
            p += 8;
        }
        if (p == end) break;
        if (*p < 0x80) {
            ++p;
            continue;
        }
        if (nextUtf8(p, end) == kBadChar) return false;
    }
    return true;
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
