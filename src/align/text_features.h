// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the aligner reads from a sentence: its length and the distinct token
// forms it holds. Forms are normalized (case-folded, accents removed) and
// interned in one table shared by both texts, so the same form has the same id
// on either side.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace solandre::align {

enum class FormKind : std::uint8_t { Word, Number, Mark };

class FormTable {
public:
    std::uint32_t intern(std::string_view normalized, FormKind kind);
    // Once every form is in: lets go of the lookup, which only interning
    // needs (a later intern builds it again).
    void compact();
    std::size_t size() const { return kind_.size(); }
    std::string_view view(std::uint32_t form) const
    {
        return std::string_view(chars_).substr(start_[form], start_[form + 1] - start_[form]);
    }
    std::string text(std::uint32_t form) const { return std::string(view(form)); }
    FormKind kind(std::uint32_t form) const { return kind_[form]; }

private:
    void rehash(std::size_t count);

    // Every form's bytes one after the other: a string of its own for each
    // would take more than the bytes.
    std::string chars_;
    std::vector<std::uint32_t> start_ = {0}; // one more than forms
    std::vector<FormKind> kind_;
    std::vector<std::uint32_t> slots_; // forms by the hash of their bytes, open addressing
};

struct SideText {
    std::vector<std::uint32_t> length;    // code points other than white space
    std::vector<std::uint32_t> formBegin; // offsets into forms, one more than sentences
    std::vector<std::uint32_t> forms;     // distinct forms of each sentence, first seen first

    std::size_t size() const { return length.size(); }
    const std::uint32_t* formsOf(std::size_t s) const { return forms.data() + formBegin[s]; }
    std::uint32_t formCount(std::size_t s) const { return formBegin[s + 1] - formBegin[s]; }
};

// Words are as every reader of words has them (letters.h, word_breaks.h),
// numbers runs of decimal digits; a few marks that translations keep ("?",
// "!", ":", quotes, brackets, "%") are forms too. Invalid UTF-8 bytes count as
// one character each and separate tokens.
SideText readSide(const std::vector<std::string_view>& sentences, FormTable& table);

// Moves the forms of `from` (read into a table of their own, so that two texts
// can be read at once) into `into`, renumbering them in `side`.
void absorbForms(FormTable& into, const FormTable& from, SideText& side);

// Case-folded, compatibility-decomposed, combining marks dropped: "Größe" -> "grosse".
std::string normalizeWord(std::string_view utf8);

} // namespace solandre::align
