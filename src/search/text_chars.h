// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The characters of an indexed text in its encoding, read forwards from a
// character's start or backwards from the end of one, for the concordance
// lines; forwards they are read exactly as the word index reads them.

#include "search/word_chars.h"
#include "search/word_index.h"

#include <string>
#include <string_view>

namespace solandre {

class TextChars {
public:
    explicit TextChars(const WordIndex& index)
        : text_(index.text()), utf8_(index.encoding() == Encoding::Utf8),
          begin_(reinterpret_cast<const unsigned char*>(text_.data())), end_(begin_ + text_.size())
    {
    }

    size_t size() const { return text_.size(); }
    char byte(size_t i) const { return text_[i]; }
    std::string_view slice(size_t from, size_t to) const { return text_.substr(from, to - from); }
    // Where a text place is, for the index's words, which point into the text.
    size_t placeOf(std::string_view inText) const { return size_t(inText.data() - text_.data()); }

    CharAt at(size_t i) const
    {
        return utf8_ ? Utf8Chars().at(begin_ + i, end_) : Cp1252Chars().at(begin_ + i, end_);
    }
    // The start of the character that ends at `i`, and whether it is a letter.
    size_t previous(size_t i, bool* letter) const
    {
        if (!utf8_) {
            *letter = Cp1252Chars().at(begin_ + i - 1, end_).letter;
            return i - 1;
        }
        const unsigned char* p = begin_ + i;
        const char32_t c = previousUtf8(p, begin_);
        *letter = c != kBadChar && (c < 0x80 ? isAsciiLetter(static_cast<unsigned char>(c)) : isLetter(c));
        return size_t(p - begin_);
    }
    // The end of the word that starts at `start`.
    size_t wordEnd(size_t start) const
    {
        while (start < size()) {
            const CharAt c = at(start);
            if (!c.letter) break;
            start += c.length;
        }
        return start;
    }
    // The first letter at or after `from`, or the end of the text.
    size_t nextLetter(size_t from) const
    {
        while (from < size()) {
            const CharAt c = at(from);
            if (c.letter) break;
            from += c.length;
        }
        return from;
    }
    void lower(size_t from, size_t to, std::string& out) const
    {
        if (utf8_)
            Utf8Chars().lower(slice(from, to), out);
        else
            Cp1252Chars().lower(slice(from, to), out);
    }

private:
    std::string_view text_;
    bool utf8_;
    const unsigned char* begin_;
    const unsigned char* end_;
};

} // namespace solandre
