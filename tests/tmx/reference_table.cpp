// SPDX-License-Identifier: GPL-3.0-or-later
#include "reference_table.h"

#include "support/reference_text.h"

namespace solandre::reference {
namespace {

constexpr size_t kQuoteSearch = size_t(1) << 20;

bool stops(char c)
{
    return c == '\t' || c == '\r' || c == '\n';
}

// UTF-8 as characters: a byte sequence that is no character gives one
// U+FFFD for the longest beginning of a character it holds (at least one
// byte), or for the rest of the text when the text ends inside one.
Chars utf8Characters(std::string_view bytes)
{
    Chars out;
    for (size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                         : lead >= 0xF0 && lead <= 0xF4                                   ? 4
                                                                                                          : 0;
        if (length == 0) {
            out += 0xFFFD;
            ++i;
            continue;
        }
        unsigned low = 0x80, high = 0xBF;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
        char32_t c = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        size_t k = 1;
        for (; k < length && i + k < bytes.size(); ++k) {
            const auto b = static_cast<unsigned char>(bytes[i + k]);
            if (k == 1 ? (b < low || b > high) : (b < 0x80 || b > 0xBF)) break;
            c = (c << 6) | (b & 0x3F);
        }
        if (k == length) {
            out += c;
            i += length;
        } else if (i + k == bytes.size()) {
            out += 0xFFFD;
            i = bytes.size();
        } else {
            out += 0xFFFD;
            i += k;
        }
    }
    return out;
}

// A field's text as a segment: each line break (CR LF counting as one) and
// each tab a blank, brackets as angle brackets.
std::string cleaned(std::string_view bytes, TableEncoding encoding)
{
    const Chars text = encoding == TableEncoding::Utf8 ? utf8Characters(bytes) : decode(bytes, Encoding::Windows1252);
    Chars out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        if (c == '\r' || c == '\n' || c == '\t' || c == 0x85 || c == 0x2028 || c == 0x2029) out += ' ';
        else if (c == '[') out += '<';
        else if (c == ']') out += '>';
        else out += c;
    }
    return encode(out, Encoding::Utf8);
}

} // namespace

std::vector<SegmentPair> tableRows(std::string_view bytes, TableEncoding encoding)
{
    if (encoding == TableEncoding::Utf8 && bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    std::vector<SegmentPair> rows;
    size_t p = 0;
    while (p < bytes.size()) {
        SegmentPair row;
        row.hasSource = true;
        for (int field = 0;; ++field) {
            std::string text;
            size_t end = p; // where the field's stop stands
            bool quoted = false;
            if (p < bytes.size() && bytes[p] == '"') {
                const size_t limit = std::min(bytes.size(), p + kQuoteSearch);
                for (size_t q = p + 1; q < limit;) {
                    if (bytes[q] != '"') {
                        ++q;
                        continue;
                    }
                    if (q + 1 == bytes.size() || stops(bytes[q + 1])) {
                        quoted = true;
                        end = q + 1;
                        for (size_t k = p + 1; k < q; ++k) {
                            text += bytes[k];
                            if (bytes[k] == '"') ++k;
                        }
                        break;
                    }
                    if (bytes[q + 1] != '"') break;
                    q += 2;
                }
            }
            if (!quoted) {
                end = p;
                while (end < bytes.size() && !stops(bytes[end])) ++end;
                text = std::string(bytes.substr(p, end - p));
            }
            std::string& side = field == 0 ? row.source : row.target;
            if (field > 1) side += ' ';
            side += cleaned(text, encoding);
            if (end < bytes.size() && bytes[end] == '\t') {
                row.hasTarget = true;
                p = end + 1;
                continue;
            }
            p = end == bytes.size() ? end : end + (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n' ? 2 : 1);
            break;
        }
        rows.push_back(row);
    }
    return rows;
}

} // namespace solandre::reference
