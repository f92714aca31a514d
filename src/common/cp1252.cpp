// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/cp1252.h"

#include <array>

namespace solandre {
namespace {

// 0x80..0x9F; the rest of the code page is Latin-1.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

char16_t cp1252ToUnicode(unsigned char c)
{
    return (c >= 0x80 && c <= 0x9F) ? kHigh[c - 0x80] : char16_t(c);
}

unsigned char unicodeToCp1252(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<unsigned char>(u);
    for (size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == u) return static_cast<unsigned char>(0x80 + i);
    return '?';
}

QString fromCp1252(std::string_view bytes)
{
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (size_t i = 0; i < bytes.size(); ++i)
        out[i] = QChar(cp1252ToUnicode(static_cast<unsigned char>(bytes[i])));
    return text;
}

std::string toCp1252(QStringView text)
{
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        // A surrogate pair is one character the code page cannot hold: one '?'.
        if (ch.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
        bytes += static_cast<char>(unicodeToCp1252(ch.unicode()));
    }
    return bytes;
}

} // namespace solandre
