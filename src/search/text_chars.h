// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The characters of an indexed text in its encoding, read forwards from a
// character's start or backwards from the end of one, for the concordance
// lines; words end where the word index ends them, at its cuts too.

#include "search/word_chars.h"
#include "search/word_index.h"

#include <array>
#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

namespace solandre {

class TextChars {
public:
    explicit TextChars(const WordIndex& index)
        : index_(&index), text_(index.text()), utf8_(index.encoding() == Encoding::Utf8),
          begin_(reinterpret_cast<const unsigned char*>(text_.data())), end_(begin_ + text_.size()),
          cp1252_(&cp1252Classes()), cuts_(index.hasCuts()), bytes_(&byteClasses(utf8_))
    {
    }

    size_t size() const { return text_.size(); }
    std::string_view text() const { return text_; }
    char byte(size_t i) const { return text_[i]; }
    std::string_view slice(size_t from, size_t to) const { return text_.substr(from, to - from); }
    // Where a text place is, for the index's words, which point into the text.
    size_t placeOf(std::string_view inText) const { return size_t(inText.data() - text_.data()); }

    CharAt at(size_t i) const
    {
        return utf8_ ? Utf8Chars().at(begin_ + i, end_) : CharAt{cp1252_->letter[begin_[i]], 1};
    }
    // Whether the character at `i` belongs to a word: a letter, or a joiner
    // between two letters.
    bool wordCharAt(size_t i) const
    {
        if (i >= size()) return false;
        const CharAt c = at(i);
        if (c.letter || !c.joiner || i == 0) return c.letter;
        bool before;
        previousRaw(i, &before);
        return before && i + c.length < size() && at(i + c.length).letter;
    }
    // Whether a word ends at `i` though a letter follows.
    bool cutAt(size_t i) const { return index_->cutAt(i); }
    // The start of the character that ends at `i`, and whether it belongs
    // to a word.
    size_t previous(size_t i, bool* inWord) const
    {
        const size_t start = previousRaw(i, inWord);
        if (!*inWord && utf8_ && start > 0 && at(start).joiner) {
            bool before;
            previousRaw(start, &before);
            *inWord = before && i < size() && at(i).letter;
        }
        return start;
    }
    // The end of the word that starts at `start`.
    size_t wordEnd(size_t start) const
    {
        size_t i = start;
        while (i < size()) {
            // Bytes that are whole characters, with no cut to look for: the
            // most of the millions of words a sort reads.
            if (!cuts_) {
                i = firstOutside(bytes_->oneByteLetter, i);
                if (i >= size() || !utf8_ || begin_[i] < 0x80) break;
            }
            if (i > start && cutAt(i)) break;
            const CharAt c = at(i);
            if (!c.letter && !(c.joiner && i > start && i + c.length < size() && at(i + c.length).letter)) break;
            i += c.length;
        }
        return i;
    }
    // The first letter at or after `from`, or the end of the text.
    size_t nextLetter(size_t from) const
    {
        while (from < size()) {
            from = firstOutside(bytes_->gap, from);
            if (from >= size() || bytes_->oneByteLetter[begin_[from]]) break;
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
    using ByteSet = std::array<bool, 256>;
    struct ByteClasses {
        ByteSet oneByteLetter;
        // Neither a one-byte letter nor a byte the general reading must decode.
        ByteSet gap;
    };
    static const ByteClasses& byteClasses(bool utf8)
    {
        static const auto make = [](bool utf8) {
            ByteClasses classes{};
            for (int b = 0; b < 256; ++b) {
                const auto c = static_cast<unsigned char>(b);
                classes.oneByteLetter[b] = utf8 ? isAsciiLetter(c) : cp1252Classes().letter[c];
                // In UTF-8, a byte from 0x80 on starts or continues a character.
                classes.gap[b] = !classes.oneByteLetter[b] && !(utf8 && c >= 0x80);
            }
            return classes;
        };
        static const ByteClasses forUtf8 = make(true), forCp1252 = make(false);
        return utf8 ? forUtf8 : forCp1252;
    }

    // The first byte from `i` on that is not in `set`, or the end: eight
    // bytes at a time and without a branch a byte, as words and the gaps
    // between them are short and of any length.
    size_t firstOutside(const ByteSet& set, size_t i) const
    {
        for (; i + 8 <= size(); i += 8) {
            std::uint64_t in = 0;
            for (size_t k = 0; k < 8; ++k) in |= std::uint64_t(set[begin_[i + k]]) << k;
            if (in != 0xFF) return i + size_t(std::countr_one(in));
        }
        while (i < size() && set[begin_[i]]) ++i;
        return i;
    }

    // The same for the letters alone, joiners being none.
    size_t previousRaw(size_t i, bool* letter) const
    {
        if (!utf8_) {
            *letter = cp1252_->letter[begin_[i - 1]];
            return i - 1;
        }
        const unsigned char* p = begin_ + i;
        const char32_t c = previousUtf8(p, begin_);
        *letter = c != kBadChar && (c < 0x80 ? isAsciiLetter(static_cast<unsigned char>(c)) : isLetter(c));
        return size_t(p - begin_);
    }

    const WordIndex* index_;
    std::string_view text_;
    bool utf8_;
    const unsigned char* begin_;
    const unsigned char* end_;
    // Held, not asked for at every character: the sorts read millions.
    const Cp1252Classes* cp1252_;
    bool cuts_;
    const ByteClasses* bytes_;
};

} // namespace solandre
