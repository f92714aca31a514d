// SPDX-License-Identifier: GPL-3.0-or-later
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
    return alignRecords(std::move(sourceRecords.value()), std::move(targetRecords.value()), progress);
}

Result<PairAlignment> alignRecords(NumberedRecords source, NumberedRecords target, const Progress& progress)
{
    PairAlignment pair{std::move(source), std::move(target), {}};
    const std::vector<std::string> sourceText = asUtf8(pair.source), targetText = asUtf8(pair.target);
    const std::vector<std::string_view> a(sourceText.begin(), sourceText.end());
    const std::vector<std::string_view> b(targetText.begin(), targetText.end());
    auto beads = alignSentences(a, b, progress);
    if (!beads) return Error::cancelledByUser();
    pair.beads = std::move(*beads);
    return pair;
}

void appendBeadSentences(std::string& out, const NumberedRecords& records, std::uint32_t first,
                         std::uint32_t count)
{
    for (std::uint32_t j = 0; j < count; ++j) {
        if (j) out += ' ';
        out.append(records.sentences[first + j]);
    }
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
    if (Status refused = refuseSameOutputs(sourceOut, targetOut); !refused) return refused;

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
            if (s == 0) appendBeadSentences(side.out, side.records, bead.sourceFirst, bead.sourceCount);
            else appendBeadSentences(side.out, side.records, bead.targetFirst, bead.targetCount);
            side.out += "\r\n";
            if (side.out.size() >= (size_t(1) << 20)) {
                side.writer.write(side.out);
                side.out.clear();
            }
        }
    }
    for (Side& side : sides) side.writer.write(side.out);
    return commitTogether(sourceWriter.value(), targetWriter.value());
}

} // namespace solandre
