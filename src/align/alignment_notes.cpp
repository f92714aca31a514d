// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/alignment_notes.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <bit>
#include <cstring>

namespace solandre {
namespace {

constexpr char kMagic[8] = {'S', 'O', 'L', 'A', 'L', 'N', '0', '1'};

struct CopyStamp {
    qint64 size = -1;
    qint64 modified = 0;
    bool operator==(const CopyStamp&) const = default;
};

CopyStamp stampOf(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile()) return {};
    return {info.size(), info.lastModified().toMSecsSinceEpoch()};
}

// Arrays go as one blob each, in this machine's order: the cache is its own.
template <class T> QByteArray blob(const std::vector<T>& values)
{
    return QByteArray(reinterpret_cast<const char*>(values.data()), qsizetype(values.size() * sizeof(T)));
}

template <class T> bool unblob(const QByteArray& bytes, std::vector<T>& values, size_t expected)
{
    if (size_t(bytes.size()) != expected * sizeof(T)) return false;
    values.resize(expected);
    if (expected) std::memcpy(values.data(), bytes.constData(), size_t(bytes.size()));
    return true;
}

struct SideNotes {
    std::vector<std::uint32_t> lengths;       // of each sentence, in bytes
    std::vector<std::uint32_t> markerLengths; // of each sentence's marker
    QByteArray markers;                       // every marker, one after the other
};

SideNotes sideNotes(const NumberedRecords& records, const std::vector<Bead>& beads, bool source)
{
    SideNotes notes;
    for (const Bead& bead : beads) {
        const std::uint32_t first = source ? bead.sourceFirst : bead.targetFirst;
        const std::uint32_t count = source ? bead.sourceCount : bead.targetCount;
        for (std::uint32_t k = first; k < first + count; ++k) {
            notes.lengths.push_back(std::uint32_t(records.sentences[k].size()));
            notes.markerLengths.push_back(std::uint32_t(records.markers[k].size()));
            notes.markers.append(records.markers[k].data(), qsizetype(records.markers[k].size()));
        }
    }
    return notes;
}

// The sentences of each record of `copy` cut again where the notes say,
// checked against the blanks that joined them.
std::optional<NumberedRecords> cutRecords(const NumberedRecords& copy, const std::vector<std::uint32_t>& counts,
                                          const SideNotes& notes)
{
    NumberedRecords out;
    out.text = copy.text;
    auto kept = std::make_shared<std::string>(notes.markers.constData(), size_t(notes.markers.size()));
    out.keptMarkers = kept;
    size_t sentence = 0, markerAt = 0;
    for (size_t record = 0; record < copy.sentences.size(); ++record) {
        const std::string_view joined = copy.sentences[record];
        size_t at = 0;
        for (std::uint32_t j = 0; j < counts[record]; ++j, ++sentence) {
            if (j > 0) {
                if (at >= joined.size() || joined[at] != ' ') return std::nullopt;
                ++at;
            }
            const size_t length = notes.lengths[sentence];
            const size_t markerLength = notes.markerLengths[sentence];
            if (length > joined.size() - at || markerLength > kept->size() - markerAt) return std::nullopt;
            out.sentences.push_back(joined.substr(at, length));
            out.markers.push_back(std::string_view(*kept).substr(markerAt, markerLength));
            at += length;
            markerAt += markerLength;
        }
        if (at != joined.size()) return std::nullopt;
    }
    return out;
}

} // namespace

AlignmentNotes::AlignmentNotes(QString folder) : folder_(std::move(folder)) {}

const AlignmentNotes& AlignmentNotes::forUser()
{
    static const AlignmentNotes notes(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                                      QStringLiteral("/solandre/alignments"));
    return notes;
}

QString AlignmentNotes::fileFor(const QString& source, const QString& target, const char* suffix) const
{
    if (folder_.isEmpty()) return {};
    const QString a = QFileInfo(source).canonicalFilePath(), b = QFileInfo(target).canonicalFilePath();
    if (a.isEmpty() || b.isEmpty()) return {};
    const QByteArray key =
        QCryptographicHash::hash((a + QLatin1Char('\n') + b).toUtf8(), QCryptographicHash::Sha1).toHex();
    return folder_ + QLatin1Char('/') + QString::fromLatin1(key) + QLatin1String(suffix);
}

bool AlignmentNotes::store(const PairAlignment& pair, const std::vector<Bead>& beads, const QString& sourceCopy,
                           const QString& targetCopy) const
{
    const QString path = fileFor(sourceCopy, targetCopy, ".aln");
    if (path.isEmpty() || !QDir().mkpath(folder_)) return false;
    std::vector<std::uint32_t> shapes;
    shapes.reserve(beads.size() * 4);
    for (const Bead& bead : beads)
        shapes.insert(shapes.end(), {bead.sourceCount, bead.targetCount, std::bit_cast<std::uint32_t>(bead.confidence),
                                     std::uint32_t(bead.byUser)});
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    QDataStream out(&file);
    out.setVersion(QDataStream::Qt_6_0);
    out.writeRawData(kMagic, sizeof kMagic);
    for (const QString& copy : {sourceCopy, targetCopy}) {
        const CopyStamp stamp = stampOf(copy);
        out << stamp.size << stamp.modified;
    }
    out << quint64(beads.size()) << blob(shapes);
    for (const bool source : {true, false}) {
        const SideNotes side = sideNotes(source ? pair.source : pair.target, beads, source);
        out << blob(side.lengths) << blob(side.markerLengths) << side.markers;
    }
    if (out.status() != QDataStream::Ok || !file.commit()) {
        forget(sourceCopy, targetCopy);
        return false;
    }
    return true;
}

std::optional<PairAlignment> AlignmentNotes::pairing(const NumberedRecords& sourceCopy,
                                                     const NumberedRecords& targetCopy) const
{
    if (sourceCopy.text.file().isStandardStream() || targetCopy.text.file().isStandardStream()) return std::nullopt;
    const QString sourcePath = sourceCopy.text.name(), targetPath = targetCopy.text.name();
    QFile file(fileFor(sourcePath, targetPath, ".aln"));
    if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly)) return std::nullopt;
    QDataStream in(&file);
    in.setVersion(QDataStream::Qt_6_0);
    char magic[sizeof kMagic];
    if (in.readRawData(magic, sizeof magic) != sizeof magic || std::memcmp(magic, kMagic, sizeof magic) != 0)
        return std::nullopt;
    for (const QString& copy : {sourcePath, targetPath}) {
        CopyStamp stamp;
        in >> stamp.size >> stamp.modified;
        if (in.status() != QDataStream::Ok || !(stamp == stampOf(copy))) return std::nullopt;
    }
    quint64 beadCount = 0;
    QByteArray shapeBytes;
    in >> beadCount >> shapeBytes;
    std::vector<std::uint32_t> shapes;
    if (in.status() != QDataStream::Ok || beadCount != sourceCopy.sentences.size() ||
        beadCount != targetCopy.sentences.size() || !unblob(shapeBytes, shapes, beadCount * 4))
        return std::nullopt;

    PairAlignment pair;
    std::vector<std::uint32_t> counts[2];
    size_t totals[2] = {0, 0};
    for (size_t k = 0; k < beadCount; ++k) {
        const std::uint32_t* shape = shapes.data() + 4 * k;
        Bead bead;
        bead.sourceFirst = std::uint32_t(totals[0]);
        bead.targetFirst = std::uint32_t(totals[1]);
        bead.sourceCount = shape[0];
        bead.targetCount = shape[1];
        bead.confidence = std::bit_cast<float>(shape[2]);
        bead.byUser = shape[3] != 0;
        if (bead.sourceCount + std::uint64_t(bead.targetCount) == 0) return std::nullopt;
        counts[0].push_back(bead.sourceCount);
        counts[1].push_back(bead.targetCount);
        totals[0] += bead.sourceCount;
        totals[1] += bead.targetCount;
        if (totals[0] > UINT32_MAX || totals[1] > UINT32_MAX) return std::nullopt;
        pair.beads.push_back(bead);
    }
    for (int side = 0; side < 2; ++side) {
        SideNotes notes;
        QByteArray lengths, markerLengths;
        in >> lengths >> markerLengths >> notes.markers;
        if (in.status() != QDataStream::Ok || !unblob(lengths, notes.lengths, totals[side]) ||
            !unblob(markerLengths, notes.markerLengths, totals[side]))
            return std::nullopt;
        auto records = cutRecords(side == 0 ? sourceCopy : targetCopy, counts[side], notes);
        if (!records) return std::nullopt;
        (side == 0 ? pair.source : pair.target) = std::move(*records);
    }
    return pair;
}

bool AlignmentNotes::known(const QString& sourceCopy, const QString& targetCopy) const
{
    QFile file(fileFor(sourceCopy, targetCopy, ".aln"));
    if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly)) return false;
    QDataStream in(&file);
    in.setVersion(QDataStream::Qt_6_0);
    char magic[sizeof kMagic];
    if (in.readRawData(magic, sizeof magic) != sizeof magic || std::memcmp(magic, kMagic, sizeof magic) != 0)
        return false;
    for (const QString& copy : {sourceCopy, targetCopy}) {
        CopyStamp stamp;
        in >> stamp.size >> stamp.modified;
        if (in.status() != QDataStream::Ok || !(stamp == stampOf(copy))) return false;
    }
    return true;
}

void AlignmentNotes::forget(const QString& sourceCopy, const QString& targetCopy) const
{
    const QString path = fileFor(sourceCopy, targetCopy, ".aln");
    if (!path.isEmpty()) QFile::remove(path);
}

std::optional<std::pair<QString, QString>> AlignmentNotes::memoryLanguages(const QString& source,
                                                                           const QString& target) const
{
    QFile file(fileFor(source, target, ".lang"));
    if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QStringList languages = QString::fromUtf8(file.read(1024)).trimmed().split(QLatin1Char('\t'));
    if (languages.size() != 2 || languages[0].isEmpty() || languages[1].isEmpty()) return std::nullopt;
    return std::pair{languages[0], languages[1]};
}

void AlignmentNotes::keepMemoryLanguages(const QString& source, const QString& target,
                                         const std::pair<QString, QString>& languages) const
{
    const QString path = fileFor(source, target, ".lang");
    if (path.isEmpty() || !QDir().mkpath(folder_)) return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write((languages.first + QLatin1Char('\t') + languages.second + QLatin1Char('\n')).toUtf8());
    file.commit();
}

Status writeAlignedCopies(const PairAlignment& pair, const std::vector<Bead>& beads, const FileRef& sourceOut,
                          const FileRef& targetOut, bool inPlace, const Progress& progress,
                          const AlignmentNotes& notes)
{
    Status written = writeAlignedPair(pair, beads, sourceOut, targetOut, inPlace, progress);
    if (written && !sourceOut.isStandardStream() && !targetOut.isStandardStream())
        notes.store(pair, beads, sourceOut.name(), targetOut.name()); // without them the review aligns again
    return written;
}

Result<PairAlignment> pairForReview(const FileRef& source, const FileRef& target, const Progress& progress,
                                    const AlignmentNotes& notes)
{
    Result<NumberedRecords> sourceRecords = readRecords(source);
    if (!sourceRecords) return sourceRecords.error();
    Result<NumberedRecords> targetRecords = readRecords(target);
    if (!targetRecords) return targetRecords.error();
    if (auto known = notes.pairing(sourceRecords.value(), targetRecords.value())) return std::move(*known);
    return alignRecords(std::move(sourceRecords.value()), std::move(targetRecords.value()), progress);
}

} // namespace solandre
