#include "align/numbered_pair.h"

#include "common/brackets.h"
#include "common/marker.h"
#include "common/same_file.h"

namespace solandre {
namespace {

// UTF-8 for the aligner, which reads characters.
std::vector<std::string> asUtf8(const NumberedRecords& records)
{
    std::vector<std::string> out;
    out.reserve(records.sentences.size());
    for (const std::string_view s : records.sentences) out.push_back(toUtf8(s, records.text.encoding()));
    return out;
}

} // namespace

NumberedRecords recordsOf(TextFile text)
{
    NumberedRecords records;
    records.text = std::move(text);
    const std::string_view t = records.text.text();
    size_t open = t.find('[');
    while (open != std::string_view::npos) {
        const size_t next = t.find('[', open + 1);
        const size_t end = next == std::string_view::npos ? t.size() : next;
        const size_t close = t.find(']', open);
        const size_t markerEnd = close != std::string_view::npos && close < end ? close + 1 : open + 1;
        size_t start = markerEnd;
        if (start < end && t[start] == ' ') ++start;
        size_t stop = end;
        if (stop >= start + 2 && t.substr(stop - 2, 2) == "\r\n") stop -= 2;
        else if (stop > start && (t[stop - 1] == '\n' || t[stop - 1] == '\r')) --stop;
        records.markers.push_back(t.substr(open, markerEnd - open));
        records.sentences.push_back(t.substr(start, stop - start));
        open = next;
    }
    return records;
}

Result<NumberedRecords> readRecords(const FileRef& file)
{
    Result<TextFile> text = TextFile::open(file);
    if (!text) return text.error();
    NumberedRecords records = recordsOf(std::move(text.value()));
    if (records.sentences.empty())
        return Error::reading(file.name(), QStringLiteral("no tiene frases numeradas"));
    return records;
}

bool PairAlignment::oneToOne() const { return beadsNotOneToOne() == 0; }

size_t PairAlignment::beadsNotOneToOne() const
{
    size_t count = 0;
    for (const Bead& bead : beads) count += !(bead.sourceCount == 1 && bead.targetCount == 1);
    return count;
}

std::optional<size_t> PairAlignment::firstNotOneToOne() const
{
    for (size_t k = 0; k < beads.size(); ++k)
        if (!(beads[k].sourceCount == 1 && beads[k].targetCount == 1)) return k;
    return std::nullopt;
}

Result<PairAlignment> alignNumberedPair(const FileRef& source, const FileRef& target,
                                        const Progress& progress)
{
    Result<NumberedRecords> sourceRecords = readRecords(source);
    if (!sourceRecords) return sourceRecords.error();
    Result<NumberedRecords> targetRecords = readRecords(target);
    if (!targetRecords) return targetRecords.error();
    PairAlignment pair{std::move(sourceRecords.value()), std::move(targetRecords.value()), {}};
    const std::vector<std::string> sourceText = asUtf8(pair.source), targetText = asUtf8(pair.target);
    const std::vector<std::string_view> a(sourceText.begin(), sourceText.end());
    const std::vector<std::string_view> b(targetText.begin(), targetText.end());
    auto beads = alignSentences(a, b, progress);
    if (!beads) return Error::cancelledByUser();
    pair.beads = std::move(*beads);
    return pair;
}

std::string beadLine(const PairAlignment& pair, const Bead& bead)
{
    std::string line;
    for (std::uint32_t k = 0; k < bead.sourceCount; ++k)
        line += (k ? " " : "") + std::string(pair.source.markers[bead.sourceFirst + k]);
    line += '\t';
    for (std::uint32_t k = 0; k < bead.targetCount; ++k)
        line += (k ? " " : "") + std::string(pair.target.markers[bead.targetFirst + k]);
    return line;
}

Status writeAlignedPair(const PairAlignment& pair, const std::vector<Bead>& beads,
                        const FileRef& sourceOut, const FileRef& targetOut, bool inPlace,
                        const Progress& progress)
{
    const FileRef& sourceIn = pair.source.text.file();
    const FileRef& targetIn = pair.target.text.file();
    for (const auto& [output, own, other] : {std::tuple{sourceOut, sourceIn, targetIn},
                                              std::tuple{targetOut, targetIn, sourceIn}}) {
        if (Status refused = refuseInputAsOutput(output, {other}); !refused) return refused;
        if (!inPlace)
            if (Status refused = refuseInputAsOutput(output, {own}); !refused) return refused;
    }
    if (Status refused = refuseInputAsOutput(sourceOut, {targetOut}); !refused) return refused;

    Result<SafeFileWriter> sourceWriter = SafeFileWriter::open(sourceOut);
    if (!sourceWriter) return sourceWriter.error();
    Result<SafeFileWriter> targetWriter = SafeFileWriter::open(targetOut);
    if (!targetWriter) return targetWriter.error();
    struct Side {
        const NumberedRecords& records;
        SafeFileWriter& writer;
        std::string out;
    };
    Side sides[] = {{pair.source, sourceWriter.value(), std::string(pair.source.text.mark())},
                    {pair.target, targetWriter.value(), std::string(pair.target.text.mark())}};
    for (size_t k = 0; k < beads.size(); ++k) {
        if (k % 4096 == 0 && !goOn(progress, double(k) / double(beads.size()))) return Error::cancelledByUser();
        const Bead& bead = beads[k];
        for (int s = 0; s < 2; ++s) {
            Side& side = sides[s];
            appendRecordPrefix(side.out, k + 1);
            const std::uint32_t first = s == 0 ? bead.sourceFirst : bead.targetFirst;
            const std::uint32_t count = s == 0 ? bead.sourceCount : bead.targetCount;
            for (std::uint32_t j = 0; j < count; ++j) {
                if (j) side.out += ' ';
                side.out.append(side.records.sentences[first + j]);
            }
            side.out += "\r\n";
            if (side.out.size() >= (size_t(1) << 20)) {
                side.writer.write(side.out);
                side.out.clear();
            }
        }
    }
    for (Side& side : sides) side.writer.write(side.out);
    if (Status done = sourceWriter.value().commit(); !done) return done;
    return targetWriter.value().commit();
}

} // namespace solandre
