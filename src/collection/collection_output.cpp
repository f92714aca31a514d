// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/collection_output.h"

#include "common/encoding.h"
#include "common/same_file.h"
#include "common/text_file.h"
#include "search/concordance_lines.h"
#include "study/export_file.h"

#include <QDir>
#include <QStringList>
#include <optional>

namespace solandre {
namespace {

// A share of the work, for the steps of one operation.
Progress part(const Progress& progress, double from, double share)
{
    return [&progress, from, share](double done) { return goOn(progress, from + share * done); };
}

// Reads each member that has hits with `open`, in the order of the members;
// the first failure stops it.
template <class T, class Open>
Result<std::vector<std::optional<T>>> perMember(const CollectionConcordance& c, const Progress& progress, Open open)
{
    const std::vector<size_t> counts = c.countsPerMember();
    std::vector<std::optional<T>> members(c.members());
    for (size_t m = 0; m < c.members(); ++m) {
        if (counts[m] == 0) continue;
        if (!goOn(progress, double(m) / double(c.members()))) return Error::cancelledByUser();
        Result<T> read = open(m, part(progress, double(m) / double(c.members()), 1.0 / double(c.members())));
        if (!read) return read.error();
        members[m] = std::move(read.value());
    }
    return members;
}

} // namespace

std::vector<QString> collectionTexts(const CollectionConcordance& concordance)
{
    std::vector<QString> texts;
    for (size_t m = 0; m < concordance.members(); ++m) {
        const CollectionPair& p = concordance.pair(m);
        // A numbered pair is searched where it is: its files are named once.
        QStringList own;
        for (const QString& path : {p.member.source, p.member.target, p.pair.source, p.pair.target})
            if (!path.isEmpty() && !own.contains(path)) own << path;
        texts.insert(texts.end(), own.begin(), own.end());
    }
    for (const SetAside& file : concordance.setAside())
        texts.push_back(QDir(concordance.folder()).filePath(file.path));
    return texts;
}

Status refuseCollectionText(const FileRef& output, const CollectionConcordance& concordance)
{
    for (const QString& text : collectionTexts(concordance))
        if (Status refused = refuseInputAsOutput(output, {FileRef(text)}); !refused) return refused;
    return success();
}

Status exportCollection(const FileRef& output, const CollectionConcordance& c, ExportFormat format,
                        const Progress& progress)
{
    if (Status refused = refuseCollectionText(output, c); !refused) return refused;
    struct Member {
        ConcordanceLines lines; // a line for each row of the member's grid
        ExportTexts texts;
    };
    // The sentences of every text that has hits first (a tenth of the work):
    // after a sort by form the hits of one text come in many runs.
    auto members = perMember<Member>(c, part(progress, 0.0, 0.1), [&](size_t m, const Progress& p) -> Result<Member> {
        Member member{ConcordanceLines::ofGrid(c.concordance(m).grid()), {}};
        Result<ExportTexts> texts = ExportTexts::open(member.lines, FileRef(c.pair(m).pair.target), p);
        if (!texts) return texts.error();
        member.texts = std::move(texts.value());
        return member;
    });
    if (!members) return members.error();

    auto sheet = openSheet(output, format);
    if (!sheet) return sheet.error();
    SheetWriter& out = *sheet.value();
    out.text("Texto");
    writeExportHeader(out);
    out.endRow();
    const size_t hits = c.hitCount();
    for (size_t k = 0; k < hits; ++k) {
        if (k % 4096 == 0 && !goOn(progress, 0.1 + 0.9 * double(k) / double(hits))) return Error::cancelledByUser();
        const CollectionConcordance::Hit& hit = c.hit(k);
        const Member& member = *members.value()[hit.member];
        out.text(c.nameOf(hit.member).toStdString());
        writeExportCells(out, member.lines.line(hit.row - 1), c.encodingOf(k), member.texts.source,
                         member.texts.target);
        out.endRow();
    }
    if (!goOn(progress, 1.0)) return Error::cancelledByUser();
    return out.commit();
}

Status saveCollectionResults(const FileRef& output, const CollectionConcordance& c, const ResultsHeading& heading,
                             const Progress& progress)
{
    if (Status refused = refuseCollectionText(output, c); !refused) return refused;
    struct Member {
        TextFile target;
        std::optional<SentenceSegments> segments; // while its hits' blocks are written
        size_t blocksLeft = 0;
    };
    auto members = perMember<Member>(c, part(progress, 0.0, 0.05), [&](size_t m, const Progress&) -> Result<Member> {
        Member member;
        const QString& target = c.pair(m).pair.target;
        if (!target.isEmpty()) {
            Result<TextFile> read = TextFile::open(FileRef(target));
            if (!read) return read.error();
            member.target = std::move(read.value());
        }
        return member;
    });
    if (!members) return members.error();
    for (size_t k = 0; k < c.hitCount(); ++k) ++members.value()[c.hit(k).member]->blocksLeft;

    std::vector<Encoding> encodings;
    QStringList names;
    for (size_t m = 0; m < c.members(); ++m) {
        if (!members.value()[m]) continue;
        encodings.push_back(c.concordance(m).encoding());
        if (!members.value()[m]->target.text().empty()) encodings.push_back(members.value()[m]->target.encoding());
        names << c.nameOf(m);
    }
    const Encoding to = resultsEncoding(heading, encodings, names);
    std::vector<std::string> encodedNames(c.members());
    for (size_t m = 0; m < c.members(); ++m)
        if (members.value()[m]) encodedNames[m] = encodeText(c.nameOf(m), to).value_or(std::string());

    auto writer = SafeFileWriter::open(output);
    if (!writer) return writer.error();
    const std::function<void(std::string_view)> sink = [&](std::string_view piece) { writer.value().write(piece); };
    ResultsText out(to, sink);
    out.heading(heading);
    out.column("Texto", Encoding::Windows1252);
    out.column(ResultGrid::kHeader[0], Encoding::Windows1252);
    out.append(ResultGrid::kHeader[1], Encoding::Windows1252);
    out.endLine();
    const size_t hits = c.hitCount();
    const double steps = double(2 * hits);
    for (size_t k = 0; k < hits; ++k) {
        if (k % 4096 == 0 && !goOn(progress, 0.05 + 0.95 * double(k) / steps)) return Error::cancelledByUser();
        out.column(encodedNames[c.hit(k).member], to);
        out.column(c.form(k), c.encodingOf(k));
        out.append(c.marker(k), c.encodingOf(k));
        out.endLine();
    }
    for (size_t k = 0; k < hits; ++k) {
        if (k % 4096 == 0 && !goOn(progress, 0.05 + 0.95 * double(hits + k) / steps))
            return Error::cancelledByUser();
        const size_t m = c.hit(k).member;
        Member& member = *members.value()[m];
        if (!member.segments) {
            // Each text scanned once for the segments of its markers, as a
            // single pair's file is; kept only while its hits' blocks are
            // written, so hits in the order of their texts hold one text's.
            const Concordance& source = c.concordance(m);
            const ResultGrid& grid = source.grid();
            std::vector<std::string> markers;
            for (size_t r = 1; r < grid.rows(); ++r) markers.emplace_back(grid.text(r, 1));
            member.segments.emplace(std::move(markers), grid.encoding(),
                                    EncodedText{source.text(), source.encoding()},
                                    EncodedText{member.target.text(), member.target.encoding()});
        }
        out.separator();
        out.append(encodedNames[m], to);
        out.endLine();
        member.segments->write(out, c.marker(k));
        if (--member.blocksLeft == 0) member.segments.reset();
    }
    out.finish();
    if (!goOn(progress, 1.0)) return Error::cancelledByUser();
    return writer.value().commit();
}

} // namespace solandre
