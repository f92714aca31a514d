// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/word_breaks.h"

#include "common/encoding.h"
#include "common/letters.h"

#include <unicode/brkiter.h>
#include <unicode/utext.h>

#include <algorithm>
#include <mutex>

namespace solandre {
namespace {

// Stretches longer than this go to ICU a piece at a time, each piece
// starting at the last cut of the one before: a text of one script and no
// punctuation must not become one string of a gigabyte.
constexpr size_t kPiece = 4096;

// A code unit where no word may begin: the second half of a pair, the blank
// after a stretch, a joiner.
constexpr std::uint32_t kNoCut = 0xFFFFFFFF;

// ICU's word rules for no language in particular; each breaker works on a
// copy of its own, as ICU's iterators are not shared between threads.
icu::BreakIterator* copyOfRootWordRules()
{
    static std::mutex guard;
    static icu::BreakIterator* const prototype = [] {
        UErrorCode status = U_ZERO_ERROR;
        icu::BreakIterator* rules = icu::BreakIterator::createWordInstance(icu::Locale::getRoot(), status);
        if (U_FAILURE(status)) {
            delete rules;
            return static_cast<icu::BreakIterator*>(nullptr);
        }
        return rules;
    }();
    std::lock_guard lock(guard);
    return prototype ? prototype->clone() : nullptr;
}

void appendUtf16(std::u16string& units, char32_t c)
{
    if (c >= 0x10000 && c <= 0x10FFFF) {
        units += char16_t(0xD800 + ((c - 0x10000) >> 10));
        units += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
        units += char16_t(c <= 0xFFFF ? c : 0xFFFD);
    }
}

} // namespace

class WordBreaker::Dictionaries {
public:
    Dictionaries() : rules_(copyOfRootWordRules()) {}
    ~Dictionaries()
    {
        utext_close(&text_);
        delete rules_;
    }

    // ICU's boundaries strictly inside `units`, in code units, ascending.
    template <class Take> void breaks(const std::u16string& units, Take take)
    {
        if (!rules_ || units.empty()) return;
        UErrorCode status = U_ZERO_ERROR;
        utext_openUChars(&text_, reinterpret_cast<const UChar*>(units.data()), int64_t(units.size()), &status);
        if (U_FAILURE(status)) return;
        rules_->setText(&text_, status);
        if (U_FAILURE(status)) return;
        for (int32_t at = rules_->next(); at != icu::BreakIterator::DONE; at = rules_->next())
            if (at > 0 && size_t(at) < units.size()) take(size_t(at));
    }

private:
    icu::BreakIterator* rules_;
    UText text_ = UTEXT_INITIALIZER;
};

WordBreaker::WordBreaker() = default;
WordBreaker::~WordBreaker() = default;

WordBreaker::Dictionaries& WordBreaker::dictionaries()
{
    if (!icu_) icu_ = std::make_unique<Dictionaries>();
    return *icu_;
}

void WordBreaker::cutRun(std::string_view run, std::vector<std::uint32_t>& cuts)
{
    std::vector<std::uint32_t> found, ends;
    addRun(run);
    cutAdded(found, ends);
    cuts.insert(cuts.end(), found.begin(), found.end());
}

void WordBreaker::cutRun(std::u16string_view run, std::vector<std::uint32_t>& cuts)
{
    chars_.clear();
    starts_.clear();
    for (size_t i = 0; i < run.size();) {
        starts_.push_back(std::uint32_t(i));
        const char16_t u = run[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < run.size() && run[i + 1] >= 0xDC00 && run[i + 1] <= 0xDFFF) {
            chars_.push_back(0x10000 + ((char32_t(u) - 0xD800) << 10) + (run[i + 1] - 0xDC00));
            i += 2;
        } else {
            chars_.push_back(u);
            ++i;
        }
    }
    starts_.push_back(std::uint32_t(run.size()));
    addDecoded();
    std::vector<std::uint32_t> found, ends;
    cutAdded(found, ends);
    cuts.insert(cuts.end(), found.begin(), found.end());
}

void WordBreaker::addRun(std::string_view run)
{
    chars_.clear();
    starts_.clear();
    const auto* begin = reinterpret_cast<const unsigned char*>(run.data());
    const auto* end = begin + run.size();
    for (const unsigned char* p = begin; p < end;) {
        starts_.push_back(std::uint32_t(p - begin));
        chars_.push_back(nextUtf8(p, end));
    }
    starts_.push_back(std::uint32_t(run.size()));
    addDecoded();
}

void WordBreaker::addDecoded()
{
    // Each stretch of one class, unspaced or not; followers and joiners
    // take the class of the letter before them.
    bool unspaced = false;
    size_t stretch = 0;
    for (size_t k = 0; k < chars_.size(); ++k) {
        bool here = false;
        switch (wordClass(chars_[k])) {
        case WordClass::Unspaced: here = true; break;
        case WordClass::Follower:
        case WordClass::Joiner: here = k > 0 && unspaced; break;
        default: break;
        }
        if (k > 0 && here != unspaced) {
            if (unspaced) addStretch(stretch, k);
            found_.push_back({runs_, starts_[k]});
            stretch = k;
        }
        unspaced = here;
    }
    if (unspaced) addStretch(stretch, chars_.size());
    ++runs_;
}

void WordBreaker::addStretch(size_t from, size_t to)
{
    if (to - from > kPiece) {
        cutLongStretch(from, to);
        return;
    }
    stretches_.push_back({std::uint32_t(units_.size()), runs_});
    for (size_t k = from; k < to; ++k) {
        const size_t before = units_.size();
        appendUtf16(units_, chars_[k]);
        unitPlace_.push_back(isWordJoiner(chars_[k]) ? kNoCut : starts_[k]);
        if (units_.size() - before == 2) unitPlace_.push_back(kNoCut);
    }
    // A blank between stretches: ICU reads each as if alone.
    units_ += u' ';
    unitPlace_.push_back(kNoCut);
}

void WordBreaker::cutLongStretch(size_t from, size_t to)
{
    Dictionaries& icu = dictionaries();
    while (from < to) {
        const size_t last = std::min(to, from + kPiece);
        piece_.clear();
        pieceChar_.clear();
        for (size_t k = from; k < last; ++k) {
            appendUtf16(piece_, chars_[k]);
            pieceChar_.resize(piece_.size(), std::uint32_t(k));
        }
        size_t lastCut = from;
        icu.breaks(piece_, [&](size_t unit) {
            const size_t k = pieceChar_[unit];
            // A joiner ends no word: it goes with the letter before it.
            if (k <= lastCut || isWordJoiner(chars_[k])) return;
            found_.push_back({runs_, starts_[k]});
            lastCut = k;
        });
        if (last == to) return;
        // The piece's last word may go on past it: read again from its start.
        if (lastCut == from) {
            found_.push_back({runs_, starts_[last]});
            lastCut = last;
        }
        from = lastCut;
    }
}

void WordBreaker::cutAdded(std::vector<std::uint32_t>& cuts, std::vector<std::uint32_t>& ends)
{
    size_t stretch = 0;
    if (!units_.empty())
        dictionaries().breaks(units_, [&](size_t unit) {
            while (stretch + 1 < stretches_.size() && stretches_[stretch + 1].firstUnit <= unit) ++stretch;
            if (unit == stretches_[stretch].firstUnit || unitPlace_[unit] == kNoCut) return;
            found_.push_back({stretches_[stretch].run, unitPlace_[unit]});
        });
    std::sort(found_.begin(), found_.end());
    cuts.clear();
    ends.assign(runs_, 0);
    for (const auto& [run, place] : found_) {
        cuts.push_back(place);
        ++ends[run];
    }
    for (size_t k = 1; k < ends.size(); ++k) ends[k] += ends[k - 1];
    units_.clear();
    unitPlace_.clear();
    stretches_.clear();
    found_.clear();
    runs_ = 0;
}

} // namespace solandre
