// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/text_features.h"

#include "common/encoding.h"
#include "common/letters.h"
#include "common/word_breaks.h"

#include <QChar>
#include <QString>
#include <bit>
#include <unordered_map>

#include <cstring>

namespace solandre::align {

namespace {

enum class CharClass : std::uint8_t { Space, Letter, Joiner, Digit, Other };

// Letters as every reader of words has them (letters.h).
CharClass classify(char32_t c)
{
    if (c < 0x80) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return CharClass::Letter;
        if (c >= '0' && c <= '9') return CharClass::Digit;
        if (c == ' ' || (c >= 0x09 && c <= 0x0D)) return CharClass::Space;
        return CharClass::Other;
    }
    if (c == kBadChar) return CharClass::Other;
    if (QChar::isSpace(c)) return CharClass::Space;
    if (isLetter(c)) return CharClass::Letter;
    if (isWordJoiner(c)) return CharClass::Joiner;
    if (QChar::category(c) == QChar::Number_DecimalDigit) return CharClass::Digit;
    return CharClass::Other;
}

// The marks a translation tends to keep, folded across scripts and
// typographic conventions ("«" and "„" are both a quote).
const char* markForm(char32_t c)
{
    switch (c) {
    case U'?':
    case U'\u00BF':
    case U'\uFF1F':
        return "?";
    case U'!':
    case U'\u00A1':
    case U'\uFF01':
        return "!";
    case U':':
    case U'\uFF1A':
        return ":";
    case U'"':
    case U'\u00AB':
    case U'\u00BB':
    case U'\u201C':
    case U'\u201D':
    case U'\u201E':
    case U'\u2039':
    case U'\u203A':
    case U'\u300C':
    case U'\u300D':
        return "\"";
    case U'(':
    case U'[':
    case U'\uFF08':
        return "(";
    case U'%':
        return "%";
    default:
        return nullptr;
    }
}

// Distinct forms of the sentence being read, in first-seen order.
class SentenceForms {
public:
    void add(std::uint32_t form, std::vector<std::uint32_t>& out)
    {
        if (form >= seen_.size()) seen_.resize(form + 1 + form / 2, 0);
        if (seen_[form] == stamp_) return;
        seen_[form] = stamp_;
        out.push_back(form);
    }
    void next() { ++stamp_; }

private:
    std::vector<std::uint32_t> seen_;
    std::uint32_t stamp_ = 1;
};

// Spellings seen so far and the forms they stand for, by open addressing,
// the spellings copied side by side: the table of a usual text stays in the
// cache, where a lookup through the text it was read from would not.
class SpellingIds {
public:
    // The form of `spelling`, from `make()` the first time it is seen.
    template <class Make> std::uint32_t find(std::string_view spelling, Make&& make)
    {
        const std::uint64_t hash = hashOf(spelling);
        for (std::size_t at = hash & (slots_.size() - 1);; at = (at + 1) & (slots_.size() - 1)) {
            Slot& slot = slots_[at];
            if (slot.length == kEmpty) {
                const std::uint32_t id = make();
                slot = {hash, spellings_.size(), static_cast<std::uint32_t>(spelling.size()), id};
                spellings_.append(spelling);
                if (++count_ * 2 > slots_.size()) grow();
                return id;
            }
            if (slot.hash == hash && slot.length == spelling.size() &&
                std::memcmp(spellings_.data() + slot.offset, spelling.data(), spelling.size()) == 0)
                return slot.id;
        }
    }

private:
    static constexpr std::uint32_t kEmpty = UINT32_MAX;
    struct Slot {
        std::uint64_t hash = 0;
        std::size_t offset = 0; // in spellings_
        std::uint32_t length = kEmpty, id = 0;
    };

    static std::uint64_t hashOf(std::string_view bytes)
    {
        std::uint64_t hash = 14695981039346656037ull; // FNV-1a, then mixed
        for (const char c : bytes)
            hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        return hash ^ (hash >> 29);
    }
    void grow()
    {
        std::vector<Slot> old(slots_.size() * 2);
        old.swap(slots_);
        for (const Slot& slot : old) {
            if (slot.length == kEmpty) continue;
            std::size_t at = slot.hash & (slots_.size() - 1);
            while (slots_[at].length != kEmpty)
                at = (at + 1) & (slots_.size() - 1);
            slots_[at] = slot;
        }
    }

    std::vector<Slot> slots_ = std::vector<Slot>(1024);
    std::string spellings_;
    std::size_t count_ = 0;
};

} // namespace

std::uint32_t FormTable::intern(std::string_view normalized, FormKind kind)
{
    constexpr std::uint32_t kEmpty = UINT32_MAX;
    // At most half full.
    if (slots_.size() < 2 * (size() + 1)) rehash(std::max<std::size_t>(1024, std::bit_ceil(4 * (size() + 1))));
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = std::hash<std::string_view>{}(normalized) & mask;; at = (at + 1) & mask) {
        const std::uint32_t form = slots_[at];
        if (form == kEmpty) {
            const auto id = static_cast<std::uint32_t>(size());
            slots_[at] = id;
            chars_.append(normalized);
            start_.push_back(static_cast<std::uint32_t>(chars_.size()));
            kind_.push_back(kind);
            return id;
        }
        if (view(form) == normalized) return form;
    }
}

void FormTable::rehash(std::size_t count)
{
    slots_.assign(count, UINT32_MAX);
    const std::size_t mask = count - 1;
    for (std::uint32_t form = 0; form < size(); ++form) {
        std::size_t at = std::hash<std::string_view>{}(view(form)) & mask;
        while (slots_[at] != UINT32_MAX)
            at = (at + 1) & mask;
        slots_[at] = form;
    }
}

std::string normalizeWord(std::string_view utf8)
{
    bool ascii = true;
    for (const char c : utf8)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) {
        std::string lowered(utf8);
        for (char& c : lowered)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return lowered;
    }
    const QString decomposed = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))
                                   .normalized(QString::NormalizationForm_KD);
    QString bare;
    bare.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        const QChar::Category category = c.category();
        if (category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
            category == QChar::Mark_Enclosing)
            continue;
        // Case folding keeps "ß", but Swiss and capitalized spellings write "ss".
        if (c.unicode() == 0x00DF || c.unicode() == 0x1E9E)
            bare += QStringLiteral("ss");
        else
            bare += c;
    }
    return bare.toCaseFolded().toStdString();
}

void absorbForms(FormTable& into, const FormTable& from, SideText& side)
{
    std::vector<std::uint32_t> renumbered(from.size());
    for (std::uint32_t form = 0; form < from.size(); ++form)
        renumbered[form] = into.intern(from.view(form), from.kind(form));
    for (std::uint32_t& form : side.forms)
        form = renumbered[form];
}

void FormTable::compact()
{
    slots_ = {};
    chars_.shrink_to_fit();
    start_.shrink_to_fit();
    kind_.shrink_to_fit();
}

SideText readSide(const std::vector<std::string_view>& sentences, FormTable& table)
{
    SideText side;
    side.length.reserve(sentences.size());
    side.formBegin.reserve(sentences.size() + 1);
    side.formBegin.push_back(0);

    // Normalizing is the costly part, so it is done once per distinct spelling.
    SpellingIds wordIds;
    std::unordered_map<std::string, std::uint32_t> numberIds;
    SentenceForms seen;
    std::string digits;
    WordBreaker breaker;
    std::vector<std::uint32_t> cuts;

    for (const std::string_view sentence : sentences) {
        const auto* p = reinterpret_cast<const unsigned char*>(sentence.data());
        const auto* end = p + sentence.size();
        std::uint32_t length = 0;
        const unsigned char* wordStart = nullptr;
        bool unspaced = false; // the open run holds letters of the unspaced scripts
        digits.clear();

        auto addWord = [&](std::string_view raw) {
            seen.add(wordIds.find(raw, [&] { return table.intern(normalizeWord(raw), FormKind::Word); }),
                     side.forms);
        };
        auto closeWord = [&](const unsigned char* at) {
            if (!wordStart) return;
            const std::string_view run(reinterpret_cast<const char*>(wordStart),
                                       static_cast<std::size_t>(at - wordStart));
            wordStart = nullptr;
            if (!unspaced) {
                addWord(run);
                return;
            }
            cuts.clear();
            breaker.cutRun(run, cuts);
            std::size_t from = 0;
            for (const std::uint32_t cut : cuts) {
                addWord(run.substr(from, cut - from));
                from = cut;
            }
            addWord(run.substr(from));
        };
        auto closeNumber = [&] {
            if (digits.empty()) return;
            auto found = numberIds.find(digits);
            if (found == numberIds.end())
                found =
                    numberIds.emplace(digits, table.intern("#" + digits, FormKind::Number)).first;
            seen.add(found->second, side.forms);
            digits.clear();
        };

        while (p < end) {
            const unsigned char* at = p;
            const char32_t c = nextUtf8(p, end);
            const CharClass cls = classify(c);
            if (cls != CharClass::Space) ++length;
            // A joiner belongs to a word between two letters.
            const bool joined = cls == CharClass::Joiner && wordStart && p < end && [&] {
                const unsigned char* q = p;
                const char32_t next = nextUtf8(q, end);
                return next != kBadChar && isLetter(next);
            }();
            if (cls == CharClass::Letter || joined) {
                closeNumber();
                if (!wordStart) {
                    wordStart = at;
                    unspaced = false;
                }
                unspaced = unspaced || wordClass(c) == WordClass::Unspaced;
                continue;
            }
            closeWord(at);
            if (cls == CharClass::Digit) {
                const int value = c < 0x80 ? static_cast<int>(c - '0') : QChar::digitValue(c);
                digits += static_cast<char>('0' + value);
                continue;
            }
            closeNumber();
            if (const char* mark = markForm(c))
                seen.add(table.intern(mark, FormKind::Mark), side.forms);
        }
        closeWord(end);
        closeNumber();
        seen.next();
        side.length.push_back(length);
        side.formBegin.push_back(static_cast<std::uint32_t>(side.forms.size()));
    }
    side.forms.shrink_to_fit();
    return side;
}

} // namespace solandre::align
