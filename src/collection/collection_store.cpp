// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/collection_store.h"

#include "align/numbered_pair.h"
#include "common/file_stamp.h"
#include "numbering/number_files.h"
#include "numbering/numbered_records.h"
#include "tmx/memory_import.h"

#include <QCryptographicHash>
#include <algorithm>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextStream>

namespace solandre {
namespace {

QString hashOf(const QString& text)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha1).toHex().left(20));
}

// The file's stamp (file_stamp.h, as the index cache takes it) in the
// note's words: device, file number, size, both times as seconds.nanoseconds.
QString stampOf(const QString& path)
{
    const std::optional<FileStamp> stamp = fileStampOf(path);
    if (!stamp) return QStringLiteral("missing");
    constexpr std::int64_t kSecond = 1'000'000'000;
    auto seconds = [](std::int64_t ns) { return ns / kSecond - (ns % kSecond < 0 ? 1 : 0); };
    auto nanoseconds = [](std::int64_t ns) { return (ns % kSecond + kSecond) % kSecond; };
    return QStringLiteral("%1 %2 %3 %4.%5 %6.%7")
        .arg(qulonglong(stamp->device))
        .arg(qulonglong(stamp->inode))
        .arg(qulonglong(stamp->size))
        .arg(qlonglong(seconds(stamp->modifiedNs)))
        .arg(qlonglong(nanoseconds(stamp->modifiedNs)))
        .arg(qlonglong(seconds(stamp->changedNs)))
        .arg(qlonglong(nanoseconds(stamp->changedNs)));
}

// The note kept beside a member's pair: the stamps of every file it depends
// on, then what was made.
struct Note {
    QStringList files;
    QStringList stamps; // one per file
    PreparedPair pair;
};

QString render(const Note& note)
{
    QString text = QStringLiteral("solandre-collection 1\n");
    for (qsizetype k = 0; k < note.files.size(); ++k)
        text += QStringLiteral("file ") + note.stamps[k] + '\t' + note.files[k] + '\n';
    text += QStringLiteral("source ") + note.pair.source + '\n';
    text += QStringLiteral("target ") + note.pair.target + '\n';
    text += QStringLiteral("records %1 %2\n").arg(note.pair.sourceRecords).arg(note.pair.targetRecords);
    text += QStringLiteral("aligned %1\n").arg(note.pair.aligned ? 1 : 0);
    // Older notes have no such line: their memories show no languages.
    auto oneWord = [](const QString& s) {
        return !s.isEmpty() && std::none_of(s.begin(), s.end(), [](QChar c) { return c.isSpace(); });
    };
    if (oneWord(note.pair.sourceLanguage) && oneWord(note.pair.targetLanguage))
        text += QStringLiteral("languages %1 %2\n").arg(note.pair.sourceLanguage, note.pair.targetLanguage);
    return text;
}

std::optional<Note> parse(const QString& text)
{
    const QStringList lines = text.split('\n', Qt::SkipEmptyParts);
    if (lines.isEmpty() || lines[0] != QStringLiteral("solandre-collection 1")) return std::nullopt;
    Note note;
    for (const QString& line : lines.mid(1)) {
        const qsizetype blank = line.indexOf(' ');
        if (blank < 0) return std::nullopt;
        const QString key = line.left(blank), value = line.mid(blank + 1);
        if (key == QStringLiteral("file")) {
            const qsizetype tab = value.indexOf('\t');
            if (tab < 0) return std::nullopt;
            note.stamps << value.left(tab);
            note.files << value.mid(tab + 1);
        }
        else if (key == QStringLiteral("source")) note.pair.source = value;
        else if (key == QStringLiteral("target")) note.pair.target = value;
        else if (key == QStringLiteral("aligned")) note.pair.aligned = value == QStringLiteral("1");
        else if (key == QStringLiteral("languages")) {
            const QStringList languages = value.split(' ');
            if (languages.size() != 2) return std::nullopt;
            note.pair.sourceLanguage = languages[0];
            note.pair.targetLanguage = languages[1];
        }
        else if (key == QStringLiteral("records")) {
            const QStringList counts = value.split(' ');
            if (counts.size() != 2) return std::nullopt;
            note.pair.sourceRecords = counts[0].toLongLong();
            note.pair.targetRecords = counts[1].toLongLong();
        }
    }
    return note;
}

Note noteOf(const QStringList& files, const PreparedPair& pair)
{
    Note note{files, {}, pair};
    for (const QString& p : files) note.stamps << stampOf(p);
    return note;
}

// Whether every file the note was made from is as it was then.
bool stillHolds(const Note& note, const Member& member)
{
    if (!note.files.contains(member.source) || (!member.target.isEmpty() && !note.files.contains(member.target)))
        return false;
    for (qsizetype k = 0; k < note.files.size(); ++k)
        if (stampOf(note.files[k]) != note.stamps[k]) return false;
    return true;
}

std::optional<Note> readNote(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return parse(QString::fromUtf8(file.readAll()));
}

bool writeNote(const QString& path, const Note& note)
{
    QFile file(path + QStringLiteral(".part"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const QByteArray bytes = render(note).toUtf8();
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    file.close();
    QFile::remove(path);
    return written && QFile::rename(path + QStringLiteral(".part"), path);
}

// As the records are read: each "[" opens one. Counted without keeping them,
// the pages given back as the count goes.
Result<qint64> countRecords(const QString& path)
{
    auto text = TextFile::open(FileRef(path));
    if (!text) return text.error();
    const std::string_view t = text.value().text();
    qint64 count = 0;
    constexpr size_t kPiece = size_t(1) << 24;
    for (size_t at = 0; at < t.size(); at += kPiece) {
        const std::string_view piece = t.substr(at, kPiece);
        count += std::count(piece.begin(), piece.end(), '[');
        text.value().release(at + piece.size());
    }
    if (count == 0) return Error::reading(path, QStringLiteral("no tiene frases numeradas"));
    return count;
}

// The files a note depends on: the member's own, and the pair it made.
QStringList dependencies(const Member& member, const PreparedPair& pair)
{
    QStringList paths{member.source};
    if (!member.target.isEmpty()) paths << member.target;
    if (pair.source != member.source) paths << pair.source << pair.target;
    return paths;
}

// A side with no sentence (an empty text, or only blanks) cannot be searched:
// the member is set aside under the user's file, never the cache copy.
std::optional<Error> emptySide(const Member& member, const PreparedPair& pair)
{
    const bool memory = member.kind == MemberKind::Memory || member.kind == MemberKind::Table;
    if (memory && (pair.sourceRecords == 0 || pair.targetRecords == 0))
        return Error::reading(member.source, QStringLiteral("no contiene ninguna frase"));
    if (pair.sourceRecords == 0) return Error::reading(member.source, QStringLiteral("el texto está vacío"));
    if (pair.targetRecords == 0) return Error::reading(member.target, QStringLiteral("el texto está vacío"));
    return std::nullopt;
}

} // namespace

QString defaultCollectionCacheRoot()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/solandre/collections");
}

CollectionStore::CollectionStore(const QString& folder, const QString& cacheRoot)
    : cache_((cacheRoot.isEmpty() ? defaultCollectionCacheRoot() : cacheRoot) + '/' +
             hashOf(QFileInfo(folder).absoluteFilePath()))
{
    QDir().mkpath(cache_);
    QFile::setPermissions(cache_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Every text of a collection is worth keeping, however small.
    indexes_ = std::make_unique<IndexCache>(cache_ + QStringLiteral("/indices"), 0, IndexCache::kKeepAll);
}

CollectionStore::~CollectionStore() = default;

QString CollectionStore::pathFor(const Member& member, const QString& what) const
{
    // A plain pair read from either side is numbered and aligned differently:
    // each source language has its own copies and note.
    return cache_ + '/' +
           hashOf(member.name + '\n' + QString::number(int(member.kind)) + '\n' + member.sourceLanguage.toLower()) +
           what;
}

Error withMemberFiles(Error error, const Member& member, const PreparedPair& pair)
{
    // A copy that cannot be written is the cache's fault, and is named as it is.
    if (error.message.startsWith(Error::writing({}, {}).message.section('"', 0, 0))) return error;
    const QString target = member.target.isEmpty() ? member.source : member.target;
    if (pair.source != member.source && !pair.source.isEmpty()) error.message.replace(pair.source, member.source);
    if (pair.target != target && !pair.target.isEmpty()) error.message.replace(pair.target, target);
    return error;
}

Result<PreparedPair> CollectionStore::prepare(const Member& member, const Progress& progress)
{
    const QString notePath = pathFor(member, QStringLiteral(".note"));
    if (auto note = readNote(notePath); note && stillHolds(*note, member)) {
        if (auto empty = emptySide(member, note->pair)) return *empty;
        return note->pair;
    }

    PreparedPair pair;
    switch (member.kind) {
    case MemberKind::NumberedPair: {
        pair.source = member.source;
        pair.target = member.target;
        auto source = countRecords(member.source);
        if (!source) return source.error();
        auto target = countRecords(member.target);
        if (!target) return target.error();
        pair.sourceRecords = source.value();
        pair.targetRecords = target.value();
        break;
    }
    case MemberKind::Memory:
    case MemberKind::Table: {
        pair.source = pathFor(member, QStringLiteral("_source_ref.txt"));
        pair.target = pathFor(member, QStringLiteral("_cible_ref.txt"));
        auto imported = importMemory(FileRef(member.source), FileRef(pair.source), FileRef(pair.target), {}, progress);
        if (!imported) return withMemberFiles(imported.error(), member, pair);
        pair.sourceRecords = pair.targetRecords = imported.value().units;
        pair.sourceLanguage = imported.value().sourceLanguage;
        pair.targetLanguage = imported.value().targetLanguage;
        break;
    }
    case MemberKind::PlainPair: {
        pair.source = pathFor(member, QStringLiteral("_source_ref.txt"));
        pair.target = pathFor(member, QStringLiteral("_cible_ref.txt"));
        auto copies = numberFiles({{FileRef(member.source), FileRef(pair.source)},
                                   {FileRef(member.target), FileRef(pair.target)}},
                                  progress);
        if (!copies) return withMemberFiles(copies.error(), member, pair);
        pair.sourceRecords = copies.value()[0].records;
        pair.targetRecords = copies.value()[1].records;
        break;
    }
    }
    writeNote(notePath, noteOf(dependencies(member, pair), pair));
    if (auto empty = emptySide(member, pair)) return *empty;
    return pair;
}

Result<PreparedPair> CollectionStore::align(const Member& member, const Progress& progress)
{
    auto prepared = prepare(member);
    if (!prepared) return prepared.error();
    PreparedPair pair = prepared.value();
    if (pair.aligned) return pair;
    auto alignment = alignNumberedPair(FileRef(pair.source), FileRef(pair.target), progress);
    if (!alignment) return withMemberFiles(alignment.error(), member, pair);
    PreparedPair aligned;
    aligned.source = pathFor(member, QStringLiteral("_aligned_source_ref.txt"));
    aligned.target = pathFor(member, QStringLiteral("_aligned_cible_ref.txt"));
    if (Status written = writeAlignedPair(alignment.value(), alignment.value().beads, FileRef(aligned.source),
                                          FileRef(aligned.target));
        !written)
        return written.error();
    aligned.sourceRecords = aligned.targetRecords = qint64(alignment.value().beads.size());
    aligned.aligned = true;
    // The aligned copies hold while the member and its first pair do not change.
    QStringList paths = dependencies(member, pair);
    paths << aligned.source << aligned.target;
    writeNote(pathFor(member, QStringLiteral(".note")), noteOf(paths, aligned));
    return aligned;
}

} // namespace solandre
