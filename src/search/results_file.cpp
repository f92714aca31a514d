// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/results_file.h"

#include "common/brackets.h"
#include "common/cp1252.h"
#include "common/text_file.h"
#include "common/fileio.h"
#include "common/same_file.h"
#include "search/concordance.h"

#include <algorithm>
#include <functional>
#include <unordered_set>

namespace solandre {
namespace {

const std::string kSeparator(74, '-');

// Appends to the segment of whatever marker is current while the text is read.
class SegmentScan {
public:
    SegmentScan(std::string_view text, const std::vector<std::string>& markers)
        : text_(text), wanted_(markers.begin(), markers.end())
    {
        // Markers ending in "]" can only be met when a "]" has just been read.
        plainOnly_ = std::all_of(markers.begin(), markers.end(),
                                 [](const std::string& m) { return !m.empty() && m.back() == ']'; });
        for (const std::string& m : markers) longest_ = std::max(longest_, m.size());
    }

    std::unordered_map<std::string, std::string> run()
    {
        if (wanted_.empty()) return {};
        tokenChanged();
        size_t pos = 0;
        while (pos < text_.size()) {
            const size_t bracket = findBracket(text_, pos);
            if (bracket > pos) {
                if (inside_) {
                    for (size_t i = pos; i < bracket; ++i) {
                        token_ += text_[i];
                        tokenChanged();
                        take(i);
                    }
                } else if (current_) {
                    for (size_t i = pos; i < bracket && !started_; ++i, ++pos) take(i);
                    current_->append(text_.substr(pos, bracket - pos));
                }
            }
            if (bracket == text_.size()) break;
            step(bracket);
            pos = bracket + 1;
        }
        return std::move(segments_);
    }

private:
    void step(size_t i)
    {
        const char c = text_[i];
        if (c == ']') {
            token_ += c;
            inside_ = false;
        }
        if (inside_) token_ += c;
        if (c == '[') {
            token_ = "[";
            inside_ = true;
        }
        tokenChanged();
        take(i);
    }

    void tokenChanged()
    {
        current_ = nullptr;
        if (plainOnly_ && (token_.empty() || token_.back() != ']')) return;
        // A "[" never closed makes the token grow with every character after
        // it: past the longest marker wanted, it is not looked up at all.
        if (token_.size() > longest_) return;
        if (!wanted_.count(token_)) return;
        const auto [it, added] = segments_.try_emplace(token_);
        current_ = &it->second;
        started_ = !added;
    }

    // The character at `i` under the current token: the first one only
    // starts the segment with the token itself.
    void take(size_t i)
    {
        if (!current_) return;
        if (!started_) {
            *current_ = token_;
            started_ = true;
        } else {
            *current_ += text_[i];
        }
    }

    std::string_view text_;
    std::unordered_set<std::string> wanted_;
    bool plainOnly_ = true;
    size_t longest_ = 0;
    std::string token_;
    bool inside_ = false;
    std::string* current_ = nullptr;
    bool started_ = false;
    std::unordered_map<std::string, std::string> segments_;
};

} // namespace

std::unordered_map<std::string, std::string> findSegments(std::string_view text,
                                                          const std::vector<std::string>& markers)
{
    return SegmentScan(text, markers).run();
}

namespace {

// The number of characters of a cell, for the listing's column.
size_t characters(std::string_view bytes, Encoding encoding)
{
    if (encoding == Encoding::Windows1252) return bytes.size();
    size_t count = 0;
    for (const char b : bytes) count += (static_cast<unsigned char>(b) & 0xC0) != 0x80;
    return count;
}

} // namespace

Encoding resultsEncoding(const ResultsHeading& heading, const std::vector<Encoding>& texts, const QStringList& more)
{
    bool allCp1252 = encodeText(heading.titleLine, Encoding::Windows1252) &&
                     encodeText(heading.dateLine, Encoding::Windows1252);
    for (const Encoding e : texts) allCp1252 = allCp1252 && e == Encoding::Windows1252;
    for (const QString& line : more) allCp1252 = allCp1252 && encodeText(line, Encoding::Windows1252);
    return allCp1252 ? Encoding::Windows1252 : Encoding::Utf8;
}

Encoding resultsEncoding(const ResultsHeading& heading, const EncodedText& source,
                         const EncodedText& target)
{
    std::vector<Encoding> texts{source.encoding};
    if (!target.bytes.empty()) texts.push_back(target.encoding);
    return resultsEncoding(heading, texts);
}

ResultsText::ResultsText(Encoding to, const std::function<void(std::string_view)>& sink) : to_(to), sink_(sink)
{
    if (to_ == Encoding::Utf8) out_.append(kUtf8Mark);
}

void ResultsText::heading(const ResultsHeading& heading)
{
    for (const QString& line : {heading.titleLine, heading.dateLine}) {
        out_.append(encodeText(line, to_).value_or(std::string()));
        endLine();
    }
    separator();
    endLine();
}

void ResultsText::append(std::string_view bytes, Encoding from)
{
    // Bytes of one encoding written in another: Windows-1252 into UTF-8, or as they are.
    if (from == to_)
        out_.append(bytes);
    else
        appendAsUtf8(out_, bytes, from);
}

void ResultsText::column(std::string_view bytes, Encoding from)
{
    append(bytes, from);
    const size_t length = characters(bytes, from);
    if (length < 35) out_.append(36 - length, ' ');
}

void ResultsText::separator()
{
    out_.append(kSeparator);
    endLine();
}

void ResultsText::endLine()
{
    out_ += "\r\n";
    if (out_.size() >= (1u << 20)) {
        sink_(out_);
        out_.clear();
    }
}

void ResultsText::finish()
{
    if (!out_.empty()) sink_(out_);
    out_.clear();
}

bool writeResults(const ResultsHeading& heading, const ResultGrid& grid, const EncodedText& source,
                  const EncodedText& target, const std::function<void(std::string_view)>& sink,
                  const Progress& progress)
{
    ResultsText out(resultsEncoding(heading, source, target), sink);
    out.heading(heading);

    const size_t rows = grid.rows();
    const Encoding from = grid.encoding();
    const double steps = double(2 * rows);
    for (size_t r = 0; r < rows; ++r) {
        if (r % 4096 == 0 && !goOn(progress, double(r) / steps)) return false;
        out.column(grid.text(r, 0), r == 0 ? Encoding::Windows1252 : from);
        out.append(grid.text(r, 1), r == 0 ? Encoding::Windows1252 : from);
        out.endLine();
    }

    std::vector<std::string> markers;
    for (size_t r = 1; r < rows; ++r) markers.emplace_back(grid.text(r, 1));
    const SentenceSegments segments(markers, from, source, target);
    for (size_t r = 1; r < rows; ++r) {
        if (r % 4096 == 0 && !goOn(progress, double(rows + r) / steps)) return false;
        out.separator();
        segments.write(out, grid.text(r, 1));
    }
    out.finish();
    return goOn(progress, 1.0);
}

SentenceSegments::SentenceSegments(std::vector<std::string> markers, Encoding markerEncoding,
                                   const EncodedText& source, const EncodedText& target)
    : from_(markerEncoding), source_(source), target_(target)
{
    std::sort(markers.begin(), markers.end());
    markers.erase(std::unique(markers.begin(), markers.end()), markers.end());
    sourceSegments_ = findSegments(source.bytes, markers);
    // The target's markers in its own encoding (they differ only when odd).
    if (target.bytes.empty()) return;
    for (std::string& m : markers)
        if (target.encoding != from_) m = toUtf8(m, from_);
    targetSegments_ = findSegments(target.bytes, markers);
}

void SentenceSegments::write(ResultsText& out, const std::string& marker) const
{
    auto segment = [](const auto& segments, const std::string& wanted) {
        const auto it = segments.find(wanted);
        return it == segments.end() ? std::string_view() : std::string_view(it->second);
    };
    out.append(segment(sourceSegments_, marker), source_.encoding);
    out.endLine();
    if (target_.bytes.empty()) return;
    out.append(segment(targetSegments_, target_.encoding == from_ ? marker : toUtf8(marker, from_)), target_.encoding);
    out.endLine();
}

Status saveResults(const FileRef& output, const ResultsHeading& heading, const ResultGrid& grid,
                   const EncodedText& source, const EncodedText& target, const Progress& progress)
{
    auto writer = SafeFileWriter::open(output);
    if (!writer) return writer.error();
    const bool whole = writeResults(heading, grid, source, target,
                                    [&](std::string_view piece) { writer.value().write(piece); }, progress);
    if (!whole) return Error::cancelledByUser();
    return writer.value().commit();
}

Status saveResultsFile(const FileRef& output, const Concordance& source, const FileRef& target,
                       const ResultsHeading& heading, const Progress& progress)
{
    if (Status refused = refuseInputAsOutput(output, {source.file(), target}); !refused)
        return refused;
    TextFile targetText;
    if (!target.name().isEmpty()) {
        Result<TextFile> read = TextFile::open(target);
        if (!read) return read.error();
        targetText = std::move(read.value());
    }
    return saveResults(output, heading, source.grid(), {source.text(), source.encoding()},
                       {targetText.text(), targetText.encoding()}, progress);
}

ResultsHeading makeHeading(const ResultsPrefixes& prefixes, const QString& title, const QString& date)
{
    return {QString::fromUtf8(prefixes.title) + title, QString::fromUtf8(prefixes.date) + date};
}

QString formatSearchDate(const QDateTime& when)
{
    const QString date = when.date().toString(QStringLiteral("dd/MM/yyyy"));
    if (when.time() == QTime(0, 0)) return date;
    return date + QLatin1Char(' ') + when.time().toString(QStringLiteral("HH:mm:ss"));
}

} // namespace solandre
