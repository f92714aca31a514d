// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/word_form.h"

#include "common/encoding.h"
#include "common/letters.h"

#include <unicode/bytestream.h>
#include <unicode/normalizer2.h>

namespace solandre {
namespace {

const icu::Normalizer2* nfc()
{
    static const icu::Normalizer2* const instance = [] {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Normalizer2* n = icu::Normalizer2::getNFCInstance(status);
        return U_SUCCESS(status) ? n : nullptr;
    }();
    return instance;
}

bool isNfc(std::string_view text)
{
    if (!mayChangeInNfc(text) || !nfc()) return true;
    UErrorCode status = U_ZERO_ERROR;
    const bool normalized = nfc()->isNormalizedUTF8(icu::StringPiece(text.data(), int32_t(text.size())), status);
    return U_FAILURE(status) || normalized;
}

void appendLowered(std::string& out, std::string_view word)
{
    const auto* p = reinterpret_cast<const unsigned char*>(word.data());
    const auto* end = p + word.size();
    while (p < end) {
        if (*p < 0x80) {
            out += char((*p >= 'A' && *p <= 'Z') ? *p + 32 : *p);
            ++p;
            continue;
        }
        const unsigned char* start = p;
        const char32_t c = nextUtf8(p, end);
        if (c == kBadChar)
            out.append(reinterpret_cast<const char*>(start), size_t(p - start));
        else
            appendUtf8(out, lowerCase(c));
    }
}

} // namespace

void appendNfc(std::string& out, std::string_view text)
{
    if (isNfc(text)) {
        out.append(text);
        return;
    }
    // Valid UTF-8 only: ICU would turn a stray byte into U+FFFD.
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    const unsigned char* from = p;
    auto flush = [&](const unsigned char* to) {
        if (to == from) return;
        icu::StringByteSink<std::string> sink(&out);
        UErrorCode status = U_ZERO_ERROR;
        const size_t before = out.size();
        nfc()->normalizeUTF8(0, icu::StringPiece(reinterpret_cast<const char*>(from), int32_t(to - from)), sink,
                             nullptr, status);
        if (U_FAILURE(status)) {
            out.resize(before);
            out.append(reinterpret_cast<const char*>(from), size_t(to - from));
        }
    };
    while (p < end) {
        const unsigned char* at = p;
        if (nextUtf8(p, end) != kBadChar) continue;
        flush(at);
        out.append(reinterpret_cast<const char*>(at), size_t(p - at));
        from = p;
    }
    flush(end);
}

void appendFoldedForm(std::string& out, std::string_view word)
{
    if (!mayChangeInNfc(word)) {
        appendLowered(out, word);
        return;
    }
    // Composed first, so that canonically equivalent spellings lower alike;
    // lower-casing may leave a sequence to compose again.
    std::string composed;
    appendNfc(composed, word);
    std::string lowered;
    appendLowered(lowered, composed);
    appendNfc(out, lowered);
}

std::string foldedForm(std::string_view word)
{
    std::string out;
    appendFoldedForm(out, word);
    return out;
}

} // namespace solandre
