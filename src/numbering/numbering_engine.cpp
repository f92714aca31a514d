// SPDX-License-Identifier: GPL-3.0-or-later
#include "numbering/numbering_engine.h"

#include "common/letters.h"

#include <algorithm>
#include <array>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace solandre {
namespace {

// Records are handed on in pieces of about this size, so the buffer is
// reused instead of growing with the text.
constexpr size_t kChunk = size_t(1) << 20;

enum class Kind : unsigned char { Other, Letter, Stop, Question, Bracket };

struct Char {
    Kind kind;
    bool lower;
    size_t length; // in bytes
};

// Windows-1252: one byte, one character.
struct Cp1252Text {
    static constexpr std::array<unsigned char, 5> kStops = {'.', '?', '!', '[', ']'};
    const Cp1252Classes& classes = cp1252Classes();

    Char at(const unsigned char* p, const unsigned char*) const
    {
        const unsigned char b = *p;
        if (classes.letter[b]) return {Kind::Letter, classes.lower[b], 1};
        if (b == '.') return {Kind::Stop, false, 1};
        if (b == '?' || b == '!') return {Kind::Question, false, 1};
        if (b == '[' || b == ']') return {Kind::Bracket, false, 1};
        return {Kind::Other, false, 1};
    }
};

// UTF-8: ASCII by table, the rest decoded. Bytes that start no valid
// character are single non-letters, copied as they are.
struct Utf8Text {
    // Besides ASCII marks and brackets, the lead bytes of the other marks:
    // 。 E3, ． ？ ！ EF, । ॥ E0, ؟ D8.
    static constexpr std::array<unsigned char, 9> kStops = {'.', '?', '!', '[', ']',
                                                           0xE3, 0xEF, 0xE0, 0xD8};

    Char at(const unsigned char* p, const unsigned char* end) const
    {
        const unsigned char b = *p;
        if (b < 0x80) {
            if (isAsciiLetter(b)) return {Kind::Letter, b >= 'a', 1};
            if (b == '.') return {Kind::Stop, false, 1};
            if (b == '?' || b == '!') return {Kind::Question, false, 1};
            if (b == '[' || b == ']') return {Kind::Bracket, false, 1};
            return {Kind::Other, false, 1};
        }
        const unsigned char* q = p;
        const char32_t c = nextUtf8(q, end);
        const size_t length = size_t(q - p);
        if (c == kBadChar) return {Kind::Other, false, length};
        if (isLetter(c)) return {Kind::Letter, isLowerLetter(c), length};
        switch (endMark(c)) {
        case EndMark::Stop: return {Kind::Stop, false, length};
        case EndMark::Question: return {Kind::Question, false, length};
        case EndMark::None: break;
        }
        return {Kind::Other, false, length};
    }
};

// The first stop byte at or after `i`, or `n`.
template <size_t N>
size_t findStop(const unsigned char* p, size_t i, size_t n, const std::array<unsigned char, N>& stops)
{
#if defined(__SSE2__)
    __m128i wanted[N];
    for (size_t k = 0; k < N; ++k) wanted[k] = _mm_set1_epi8(char(stops[k]));
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        __m128i hit = _mm_cmpeq_epi8(v, wanted[0]);
        for (size_t k = 1; k < N; ++k) hit = _mm_or_si128(hit, _mm_cmpeq_epi8(v, wanted[k]));
        if (const int mask = _mm_movemask_epi8(hit)) return i + size_t(__builtin_ctz(unsigned(mask)));
    }
#endif
    for (; i < n; ++i)
        for (const unsigned char s : stops)
            if (p[i] == s) return i;
    return n;
}

bool isTrailingBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

template <class Text> class Numbering {
public:
    Numbering(std::string_view text, const NumberedSink& sink, const NumberingProgress& progress)
        : p_(reinterpret_cast<const unsigned char*>(text.data())), n_(text.size()), sink_(sink),
          progress_(progress)
    {
        out_.reserve(std::min(n_, kChunk) + kChunk / 8);
    }

    std::optional<SentenceNumber> run()
    {
        SentenceNumber counter = 1;
        appendRecordPrefix(out_, counter);
        size_t i = 0;
        size_t nextReport = kChunk;
        while (i < n_) {
            if (i >= nextReport) {
                nextReport = i + kChunk;
                if (progress_ && !progress_(i)) return std::nullopt;
            }
            Char c;
            if (!atSentenceStart_) {
                // A megabyte at most at a time, so that a sentence without end
                // is handed on as it grows.
                const size_t limit = std::min(n_, i + kChunk);
                const size_t j = findStop(p_, i, limit, Text::kStops);
                out_.append(reinterpret_cast<const char*>(p_) + i, j - i);
                i = j;
                if (out_.size() >= 2 * kChunk) flushOpenRecord();
                if (i == limit) continue;
                c = text_.at(p_ + i, p_ + n_);
                if (c.kind == Kind::Bracket) {
                    out_ += p_[i] == '[' ? '<' : '>';
                    ++i;
                    continue;
                }
                if (c.kind != Kind::Stop && c.kind != Kind::Question) {
                    out_.append(reinterpret_cast<const char*>(p_) + i, c.length);
                    i += c.length;
                    continue;
                }
            } else {
                // Drop everything up to the next letter or end mark.
                c = text_.at(p_ + i, p_ + n_);
                if (c.kind == Kind::Letter) {
                    out_.append(reinterpret_cast<const char*>(p_) + i, c.length);
                    i += c.length;
                    atSentenceStart_ = false;
                    continue;
                }
                if (c.kind != Kind::Stop && c.kind != Kind::Question) {
                    i += c.length;
                    continue;
                }
            }

            // An end mark.
            out_.append(reinterpret_cast<const char*>(p_) + i, c.length);
            if (c.kind == Kind::Stop || !sentenceGoesOn(i + c.length)) {
                out_ += "\r\n";
                ++counter;
                if (out_.size() >= kChunk) flush(out_.size());
                recordStart_ = letterChecked_ = out_.size();
                openHasLetter_ = false;
                appendRecordPrefix(out_, counter);
                atSentenceStart_ = true;
            }
            i += c.length;
        }
        if (progress_ && !progress_(n_)) return std::nullopt;
        return finish(counter);
    }

private:
    // "?" or "!" before `from`: does the sentence go on, i.e. is the next
    // letter lower-case or missing? The next letter's place is remembered, so
    // a run of marks before one letter is read once: the pass stays linear.
    bool sentenceGoesOn(size_t from)
    {
        if (!nextLetterKnown_ || nextLetter_ < from) {
            size_t j = from;
            nextLower_ = true;
            while (j < n_) {
                const Char c = text_.at(p_ + j, p_ + n_);
                if (c.kind == Kind::Letter) {
                    nextLower_ = c.lower;
                    break;
                }
                j += c.length;
            }
            nextLetter_ = j;
            nextLetterKnown_ = true;
        }
        return nextLetter_ == n_ || nextLower_;
    }

    void flush(size_t upTo)
    {
        sink_(std::string_view(out_).substr(0, upTo));
        out_.erase(0, upTo);
    }

    // Whether the record being collected holds a letter so far.
    bool openRecordHasLetter()
    {
        const auto* q = reinterpret_cast<const unsigned char*>(out_.data());
        const auto* end = q + out_.size();
        // Past the record's prefix "[n] ", of which nothing is a letter.
        for (q += std::max(recordStart_, letterChecked_); q < end;) {
            const Char c = text_.at(q, end);
            if (c.kind == Kind::Letter) return true;
            q += c.length;
        }
        // The last bytes may be a character cut in two: read them again.
        letterChecked_ = std::max(recordStart_, out_.size() - std::min<size_t>(out_.size(), 3));
        return false;
    }

    // A sentence long enough to fill the buffer is handed on as it grows,
    // once it is sure to be written: all but its trailing blanks.
    void flushOpenRecord()
    {
        if (!openRecordHasLetter()) return;
        size_t keep = out_.size();
        while (keep > recordStart_ && isTrailingBlank(out_[keep - 1])) --keep;
        flush(keep);
        recordStart_ = letterChecked_ = 0;
        openHasLetter_ = true;
    }

    SentenceNumber finish(SentenceNumber counter)
    {
        if (openHasLetter_ || openRecordHasLetter()) {
            while (out_.size() > recordStart_ && isTrailingBlank(out_.back())) out_.pop_back();
            out_ += "\r\n";
        } else {
            out_.resize(recordStart_);
            --counter;
        }
        if (!out_.empty()) sink_(out_);
        return counter;
    }

    const unsigned char* p_;
    size_t n_;
    const NumberedSink& sink_;
    const NumberingProgress& progress_;
    Text text_;
    std::string out_;
    size_t recordStart_ = 0;   // where the open record begins in out_
    size_t letterChecked_ = 0; // out_ before this holds no letter of the open record
    bool openHasLetter_ = false; // part of the open record was handed on already
    bool atSentenceStart_ = false; // the first record keeps its leading characters
    size_t nextLetter_ = 0;
    bool nextLower_ = false;
    bool nextLetterKnown_ = false;
};

} // namespace

std::optional<SentenceNumber> numberText(std::string_view text, Encoding encoding,
                                         const NumberedSink& sink, const NumberingProgress& progress)
{
    if (encoding == Encoding::Utf8) return Numbering<Utf8Text>(text, sink, progress).run();
    return Numbering<Cp1252Text>(text, sink, progress).run();
}

std::string numberText(std::string_view text, Encoding encoding)
{
    std::string numbered;
    numberText(text, encoding, [&](std::string_view piece) { numbered += piece; });
    return numbered;
}

} // namespace solandre
