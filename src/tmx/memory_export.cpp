// SPDX-License-Identifier: GPL-3.0-or-later
#include "tmx/memory_export.h"

#include "common/encoding.h"
#include "common/same_file.h"
#include "numbering/numbered_records.h"
#include "tmx/language_tag.h"
#include "tmx/tmx_writer.h"

#include <QDateTime>
#include <algorithm>

namespace solandre {

Result<MemoryExport> exportMemory(size_t count, const PairAt& pairAt, const FileRef& out,
                                  const MemoryLanguages& languages, std::initializer_list<FileRef> inputs,
                                  const Progress& progress)
{
    if (languages.source.trimmed().isEmpty() || languages.target.trimmed().isEmpty())
        return Error::writing(out.name(), QStringLiteral("faltan las lenguas de origen y de destino"));
    const std::optional<QString> sourceTag = canonicalLanguageTag(languages.source.trimmed());
    const std::optional<QString> targetTag = canonicalLanguageTag(languages.target.trimmed());
    if (!sourceTag) return Error::writing(out.name(), malformedLanguageTag(languages.source.trimmed()));
    if (!targetTag) return Error::writing(out.name(), malformedLanguageTag(languages.target.trimmed()));
    if (*sourceTag == *targetTag)
        return Error::writing(out.name(), QStringLiteral("la lengua de origen y la de destino son la misma: %1")
                                              .arg(languages.source.trimmed()));
    if (Status refused = refuseInputAsOutput(out, inputs); !refused) return refused.error();
    Result<SafeFileWriter> writer = SafeFileWriter::open(out);
    if (!writer) return writer.error();

    TmxWriter tmx([&](std::string_view piece) { writer.value().write(piece); },
                  {*sourceTag, *targetTag, QStringLiteral(SOLANDRE_VERSION),
                   QDateTime::currentDateTimeUtc()});
    std::string source, target;
    for (size_t k = 0; k < count; ++k) {
        if (k % 4096 == 0 && !goOn(progress, double(k) / double(count))) return Error::cancelledByUser();
        if (writer.value().stopped()) break; // commit() tells why
        source.clear();
        target.clear();
        pairAt(k, source, target);
        tmx.add(source, target);
    }
    tmx.finish();
    if (Status done = writer.value().commit(); !done) return done.error();
    return MemoryExport{tmx.unitsWritten(), tmx.pairsSkipped()};
}

Result<MemoryExport> exportNumberedPair(const FileRef& source, const FileRef& target, const FileRef& out,
                                        const MemoryLanguages& languages, const Progress& progress)
{
    Result<NumberedRecords> sourceRecords = readRecords(source);
    if (!sourceRecords) return sourceRecords.error();
    Result<NumberedRecords> targetRecords = readRecords(target);
    if (!targetRecords) return targetRecords.error();
    const NumberedRecords& a = sourceRecords.value();
    const NumberedRecords& b = targetRecords.value();
    const auto append = [](std::string& to, const NumberedRecords& records, size_t k) {
        if (k < records.sentences.size()) appendAsUtf8(to, records.sentences[k], records.text.encoding());
    };
    Result<MemoryExport> written = exportMemory(
        std::max(a.sentences.size(), b.sentences.size()),
        [&](size_t k, std::string& s, std::string& t) { append(s, a, k), append(t, b, k); }, out, languages,
        {source, target}, progress);
    if (written) {
        written.value().sourceRecords = a.sentences.size();
        written.value().targetRecords = b.sentences.size();
    }
    return written;
}

} // namespace solandre
