// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/word_breaks.h"

#include "common/encoding.h"
#include "common/letters.h"

#include <unicode/brkiter.h>
#include <unicode/utext.h>

#include <mutex>

namespace solandre {
namespace {

// Stretches longer than this go to ICU a piece at a time, each piece
// starting at the last cut of the one before: a text of one script and no
// punctuation must not become one string of a gigabyte.
constexpr size_t kPiece = 4096;

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

} // namespace

class WordBreaker::Dictionaries {
public:
    Dictionaries() : rules_(copyOfRootWordRules()) {}
    ~Dictionaries()
    {
        utext_close(&text_);
        delete rules_;
    }

    // ICU's boundaries strictly inside `units`, in code units.
    template <class Take> void breaks(const std::u16string& units, Take take)
    {
        if (!rules_) return;
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

void WordBreaker::cutRun(std::string_view run, std::vector<std::uint32_t>& cuts)
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
    cutDecoded(cuts);
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
    cutDecoded(cuts);
}

void WordBreaker::cutDecoded(std::vector<std::uint32_t>& cuts)
{
    // Each stretch of one class, unspaced or not; followers and joiners
    // take the class of the letter before them.
    bool unspaced = false;
    size_t stretch = 0;
    for (size_t k = 0; k < chars_.size(); ++k) {
        bool here = unspaced;
        switch (wordClass(chars_[k])) {
        case WordClass::Unspaced: here = true; break;
        case WordClass::Follower:
        case WordClass::Joiner: here = k > 0 && unspaced; break;
        default: here = false; break;
        }
        if (k > 0 && here != unspaced) {
            if (unspaced) cutUnspaced(stretch, k, cuts);
            cuts.push_back(starts_[k]);
            stretch = k;
        }
        unspaced = here;
    }
    if (unspaced) cutUnspaced(stretch, chars_.size(), cuts);
}

void WordBreaker::cutUnspaced(size_t from, size_t to, std::vector<std::uint32_t>& cuts)
{
    if (!icu_) icu_ = std::make_unique<Dictionaries>();
    while (from < to) {
        const size_t last = std::min(to, from + kPiece);
        units_.clear();
        charOfUnit_.clear();
        for (size_t k = from; k < last; ++k) {
            const char32_t c = chars_[k];
            charOfUnit_.push_back(std::uint32_t(k));
            if (c >= 0x10000 && c <= 0x10FFFF) {
                units_ += char16_t(0xD800 + ((c - 0x10000) >> 10));
                units_ += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
                charOfUnit_.push_back(std::uint32_t(k));
            } else {
                units_ += char16_t(c <= 0xFFFF ? c : 0xFFFD);
            }
        }
        size_t lastCut = from;
        icu_->breaks(units_, [&](size_t unit) {
            const size_t k = charOfUnit_[unit];
            // A joiner ends no word: it goes with the letter before it.
            if (k <= lastCut || isWordJoiner(chars_[k])) return;
            cuts.push_back(starts_[k]);
            lastCut = k;
        });
        if (last == to) return;
        // The piece's last word may go on past it: read again from its start.
        if (lastCut == from) {
            cuts.push_back(starts_[last]);
            lastCut = last;
        }
        from = lastCut;
    }
}

} // namespace solandre
