#include "search/results_file.h"

#include "common/brackets.h"
#include "common/cp1252.h"
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

void writeResults(const ResultsHeading& heading, const ResultGrid& grid, std::string_view source,
                  std::string_view target, const std::function<void(std::string_view)>& sink)
{
    std::string out;
    auto line = [&](std::string_view text) {
        out.append(text);
        out += "\r\n";
        if (out.size() >= (1u << 20)) {
            sink(out);
            out.clear();
        }
    };
    line(heading.titleLine);
    line(heading.dateLine);
    line(kSeparator);
    line({});

    const size_t rows = grid.rows();
    std::string listing;
    for (size_t r = 0; r < rows; ++r) {
        const std::string_view form = grid.text(r, 0);
        listing.assign(form);
        if (form.size() < 35) listing.append(36 - form.size(), ' ');
        listing.append(grid.text(r, 1));
        line(listing);
    }

    std::vector<std::string> markers;
    for (size_t r = 1; r < rows; ++r) markers.emplace_back(grid.text(r, 1));
    std::sort(markers.begin(), markers.end());
    markers.erase(std::unique(markers.begin(), markers.end()), markers.end());
    const auto sourceSegments = findSegments(source, markers);
    const auto targetSegments = target.empty() ? decltype(sourceSegments)() : findSegments(target, markers);
    auto segment = [](const auto& segments, std::string_view marker) {
        const auto it = segments.find(std::string(marker));
        return it == segments.end() ? std::string_view() : std::string_view(it->second);
    };
    for (size_t r = 1; r < rows; ++r) {
        const std::string_view marker = grid.text(r, 1);
        line(kSeparator);
        line(segment(sourceSegments, marker));
        if (!target.empty()) line(segment(targetSegments, marker));
    }
    if (!out.empty()) sink(out);
}

Status saveResults(const FileRef& output, const ResultsHeading& heading, const ResultGrid& grid,
                   std::string_view source, std::string_view target)
{
    auto writer = SafeFileWriter::open(output);
    if (!writer) return writer.error();
    writeResults(heading, grid, source, target,
                 [&](std::string_view piece) { writer.value().write(piece); });
    return writer.value().commit();
}

Status saveResultsFile(const FileRef& output, const Concordance& source, const FileRef& target,
                       const ResultsHeading& heading)
{
    if (Status refused = refuseInputAsOutput(output, {source.file(), target}); !refused)
        return refused;
    Result<Bytes> targetText = target.name().isEmpty() ? Result<Bytes>(Bytes()) : readWholeFile(target);
    if (!targetText) return targetText.error();
    return saveResults(output, heading, source.grid(), source.text(), targetText.value().view());
}

ResultsHeading makeHeading(const ResultsPrefixes& prefixes, const QString& title, const QString& date)
{
    return {toCp1252(QString::fromUtf8(prefixes.title) + title),
            toCp1252(QString::fromUtf8(prefixes.date) + date)};
}

QString formatSearchDate(const QDateTime& when)
{
    const QString date = when.date().toString(QStringLiteral("dd/MM/yyyy"));
    if (when.time() == QTime(0, 0)) return date;
    return date + QLatin1Char(' ') + when.time().toString(QStringLiteral("HH:mm:ss"));
}

} // namespace solandre
