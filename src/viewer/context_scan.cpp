// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/context_scan.h"

#include "common/brackets.h"
#include "common/text_words.h"
#include "common/word_form.h"

#include <QList>
#include <string>

#include <algorithm>

namespace solandre {
namespace {

enum class Bracket { None, Inside, Closed };

// The marker buffer. It nearly always is one stretch of the text ("[", the
// digits, "]"), so it is kept as a view and copied only when it is not.
class MarkerBuffer {
public:
    explicit MarkerBuffer(std::string_view text) : text_(text) {}

    std::string_view value() const { return owned_ ? std::string_view(copy_) : view_; }
    bool isView() const { return !owned_; }

    void reset(size_t at) // to the "[" at `at`
    {
        owned_ = false;
        view_ = text_.substr(at, 1);
    }
    void append(size_t from, size_t to) // text_[from, to)
    {
        if (!owned_ && (view_.empty() || view_.data() + view_.size() == text_.data() + from)) {
            view_ = std::string_view(view_.empty() ? text_.data() + from : view_.data(),
                                     view_.size() + (to - from));
            return;
        }
        if (!owned_) copy_.assign(view_);
        owned_ = true;
        copy_.append(text_.substr(from, to - from));
    }

private:
    std::string_view text_;
    std::string_view view_;
    std::string copy_;
    bool owned_ = false;
};

class MarkerScan {
public:
    MarkerScan(std::string_view text, std::string_view marker)
        : text_(text), marker_(marker), plainMarker_(isPlain(marker)), buffer_(text)
    {
    }

    ContextScan run()
    {
        const size_t n = text_.size();
        size_t pos = 0;
        if (plainMarker_) pos = skipToRecord();
        // Only brackets change the scan's state: between two of them the
        // characters are taken as one run.
        while (pos < n) {
            if (phase_ == 2 && plainMarker_ && bracket_ != Bracket::Inside &&
                buffer_.value() != marker_) {
                // After the record only a repeat of the marker matters, and
                // it can only start at one of its occurrences.
                pos = std::min(text_.find(marker_, pos), n);
                if (pos == n) break;
            }
            const size_t bracket = findBracket(text_, pos);
            if (bracket > pos) {
                if (bracket_ != Bracket::Inside)
                    run(pos, bracket);
                else if (prefixIsWanted(pos, bracket))
                    for (size_t i = pos; i < bracket; ++i) step(i);
                else
                    buffer_.append(pos, bracket); // a marker only grows
            }
            if (bracket == n) break;
            step(bracket);
            pos = bracket + 1;
        }
        settlePrevious();
        if (havePrevious_) out_.previous = std::string(previous_.empty() ? previousCopy_ : previous_);
        if (phase_ > 0) {
            out_.found = true;
            if (!out_.previous) out_.previous = std::string(marker_);
            if (!out_.next) out_.next = std::string(marker_);
        }
        return std::move(out_);
    }

private:
    // "[" digits "]": the buffer equals such a marker only when the text
    // holds it, from a "[" to its "]".
    static bool isPlain(std::string_view m)
    {
        return m.size() >= 2 && m.front() == '[' && m.back() == ']' &&
               m.substr(1, m.size() - 2).find_first_of("[]") == std::string_view::npos;
    }

    // For a plain marker: the position of its first occurrence, with the
    // previous marker taken from just before it, when the stretch before it
    // is a plain marker too. Otherwise 0, and the scan starts from the top.
    size_t skipToRecord()
    {
        const size_t at = text_.find(marker_);
        if (at == std::string_view::npos) return 0;
        const size_t open = text_.substr(0, at).rfind('[');
        if (open == std::string_view::npos) {
            if (text_.substr(0, at).find(']') != std::string_view::npos) return 0;
            return at;
        }
        const std::string_view before = text_.substr(open, at - open);
        const size_t close = before.find(']');
        if (close == std::string_view::npos || before.find(']', close + 1) != std::string_view::npos)
            return 0;
        havePrevious_ = true;
        previous_ = before.substr(0, close + 1);
        return at;
    }

    // Whether the buffer, growing by text_[from, to) one character at a
    // time inside a marker, passes through the wanted marker.
    bool prefixIsWanted(size_t from, size_t to) const
    {
        const size_t length = marker_.size();
        const size_t have = buffer_.value().size();
        return length > have && length <= have + (to - from) &&
               text_.compare(openedAt_, length, marker_) == 0;
    }

    // "previous" is the buffer's latest value; it is kept only when the
    // buffer is about to change, not at every character before the record.
    void settlePrevious()
    {
        if (!previousPending_) return;
        previousPending_ = false;
        havePrevious_ = true;
        if (buffer_.isView() && !buffer_.value().empty()) {
            previous_ = buffer_.value();
        } else {
            previous_ = {};
            previousCopy_.assign(buffer_.value());
        }
    }

    // One character, every step in its order.
    void step(size_t i)
    {
        const char c = text_[i];
        if (c == '[' || c == ']') settlePrevious();
        if (c == ']') {
            buffer_.append(i, i + 1);
            bracket_ = Bracket::Closed;
        }
        if (bracket_ == Bracket::Inside) buffer_.append(i, i + 1);
        if (c == '[') {
            buffer_.reset(i);
            bracket_ = Bracket::Inside;
            openedAt_ = i;
        }
        if (buffer_.value() == marker_) {
            if (phase_ == 0) {
                out_.record = buffer_.value();
                phase_ = 1;
            } else {
                out_.record += c;
            }
        } else {
            afterOther();
        }
    }

    // Characters [from, to) with no bracket among them, outside brackets.
    void run(size_t from, size_t to)
    {
        if (buffer_.value() == marker_) {
            if (phase_ == 0) {
                out_.record = buffer_.value();
                phase_ = 1;
                ++from;
            }
            out_.record.append(text_.substr(from, to - from));
        } else {
            afterOther();
        }
    }

    void afterOther()
    {
        if (bracket_ != Bracket::Closed) return;
        if (phase_ == 0) {
            previousPending_ = true;
        } else if (phase_ == 1) {
            out_.next = std::string(buffer_.value());
            phase_ = 2;
        }
    }

    std::string_view text_;
    std::string_view marker_;
    bool plainMarker_;
    MarkerBuffer buffer_;
    Bracket bracket_ = Bracket::None;
    size_t openedAt_ = 0; // where the marker in the buffer began
    int phase_ = 0;       // 0 before the record, 1 in it, 2 after it
    bool previousPending_ = false;
    bool havePrevious_ = false;
    std::string_view previous_; // into the text, or empty when copied
    std::string previousCopy_;
    ContextScan out_;
};

} // namespace

ContextScan scanForMarker(std::string_view text, std::string_view marker)
{
    return MarkerScan(text, marker).run();
}

std::vector<std::pair<qsizetype, qsizetype>> wordsToMark(QStringView text, QStringView criterion)
{
    std::vector<std::pair<qsizetype, qsizetype>> marks;
    const std::string wanted = foldedForm(criterion.toString().toStdString());
    if (wanted.empty()) return marks;
    for (const TextWord& w : wordsOfText(text))
        if (w.ended && foldedForm(text.mid(w.start, w.end - w.start).toString().toStdString()) == wanted)
            marks.emplace_back(w.start, w.end - w.start);
    return marks;
}

} // namespace solandre
