#include "numbering/numbering_engine.h"

#include "common/letters.h"
#include "common/marker.h"

#include <array>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace solandre {
namespace {

enum : unsigned char { kPlain = 0, kLetter = 1, kEndMark = 2, kBracket = 4 };

constexpr std::array<unsigned char, 256> kClass = [] {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c) t[c] = isLetter(static_cast<unsigned char>(c)) ? kLetter : kPlain;
    t['.'] = t['?'] = t['!'] = kEndMark;
    t['['] = t[']'] = kBracket;
    return t;
}();

// Records are handed to the sink in pieces of about this size, so the buffer
// is reused instead of growing with the text.
constexpr size_t kChunk = size_t(1) << 20;

// Index of the first end mark or bracket at or after `i`, or `n`.
size_t findMarkOrBracket(const unsigned char* p, size_t i, size_t n)
{
#if defined(__SSE2__)
    const __m128i dot = _mm_set1_epi8('.'), question = _mm_set1_epi8('?'),
                  bang = _mm_set1_epi8('!'), open = _mm_set1_epi8('['),
                  close = _mm_set1_epi8(']');
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i hit = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(v, dot), _mm_cmpeq_epi8(v, question)),
            _mm_or_si128(_mm_cmpeq_epi8(v, bang),
                         _mm_or_si128(_mm_cmpeq_epi8(v, open), _mm_cmpeq_epi8(v, close))));
        if (const int mask = _mm_movemask_epi8(hit)) return i + size_t(__builtin_ctz(unsigned(mask)));
    }
#endif
    while (i < n && !(kClass[p[i]] & (kEndMark | kBracket))) ++i;
    return i;
}

// Answers "does the sentence go on after the '?' or '!' at `pos`?", i.e. is
// the next letter lower-case or missing. The position of the next letter is
// remembered, so a run of marks before one letter is scanned once, not once
// per mark: the whole pass stays linear.
class LookAhead {
public:
    explicit LookAhead(std::string_view text) : text_(text) {}

    bool sentenceGoesOn(size_t pos)
    {
        if (!known_ || nextLetter_ <= pos) {
            size_t j = pos + 1;
            while (j < text_.size() && !(kClass[uc(j)] & kLetter)) ++j;
            nextLetter_ = j;
            known_ = true;
        }
        return nextLetter_ == text_.size() || isLowerLetter(uc(nextLetter_));
    }

private:
    unsigned char uc(size_t i) const { return static_cast<unsigned char>(text_[i]); }

    std::string_view text_;
    size_t nextLetter_ = 0;
    bool known_ = false;
};

} // namespace

SentenceNumber numberText(std::string_view text, const NumberedSink& sink)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    std::string out;
    out.reserve(std::min(n, kChunk) + kChunk / 8);

    LookAhead lookAhead(text);
    SentenceNumber counter = 1;
    size_t recordStart = 0; // the record being collected is dropped if it never closes
    appendRecordPrefix(out, counter);
    bool atSentenceStart = false; // the first record keeps its leading characters

    size_t i = 0;
    while (i < n) {
        if (!atSentenceStart) {
            const size_t j = findMarkOrBracket(p, i, n);
            out.append(text.data() + i, j - i);
            i = j;
            if (i == n) break;
            if (kClass[p[i]] == kBracket) {
                out += p[i] == '[' ? '<' : '>';
                ++i;
                continue;
            }
        } else {
            // Drop everything up to the next letter or end mark.
            while (i < n && !(kClass[p[i]] & (kLetter | kEndMark))) ++i;
            if (i == n) break;
            if (kClass[p[i]] == kLetter) {
                out += static_cast<char>(p[i]);
                atSentenceStart = false;
                ++i;
                continue;
            }
        }

        // p[i] is an end mark.
        const char mark = static_cast<char>(p[i]);
        out += mark;
        if (mark == '.' || !lookAhead.sentenceGoesOn(i)) {
            out += "\r\n";
            if (out.size() >= kChunk) {
                sink(out);
                out.clear();
            }
            ++counter;
            recordStart = out.size();
            appendRecordPrefix(out, counter);
            atSentenceStart = true;
        }
        ++i;
    }
    out.resize(recordStart);
    if (!out.empty()) sink(out);
    return counter - 1;
}

std::string numberText(std::string_view text)
{
    std::string numbered;
    numberText(text, [&](std::string_view piece) { numbered += piece; });
    return numbered;
}

} // namespace solandre
