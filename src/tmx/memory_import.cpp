// SPDX-License-Identifier: GPL-3.0-or-later
#include "tmx/memory_import.h"

#include "common/cp1252.h"
#include "common/marker.h"
#include "common/same_file.h"
#include "common/text_file.h"
#include "numbering/number_files.h"
#include "tmx/counting_device.h"
#include "tmx/tsv_reader.h"
#include "tmx/xml_decoder.h"

#include <QBuffer>
#include <memory>

namespace solandre {
namespace {

constexpr size_t kFlushAt = size_t(1) << 20;

// Record k of both files, in the encoding chosen. In Windows-1252 a character
// the code page lacks ends the pass, to be made again in UTF-8.
class PairWriter {
public:
    PairWriter(SafeFileWriter& source, SafeFileWriter& target, Encoding encoding)
        : sides_{{source, {}}, {target, {}}}, encoding_(encoding)
    {
        if (encoding == Encoding::Utf8)
            for (Side& side : sides_) side.out = kUtf8Mark;
    }

    // False when a character does not fit.
    bool add(const SegmentPair& pair)
    {
        ++records_;
        return addRecord(sides_[0], pair.source) && addRecord(sides_[1], pair.target);
    }

    // Whether a text would pass what a numbered text may hold.
    bool tooLarge() const { return sides_[0].written > kMaxNumberedBytes || sides_[1].written > kMaxNumberedBytes; }

    void finish()
    {
        for (Side& side : sides_) side.writer.write(side.out);
    }

private:
    struct Side {
        SafeFileWriter& writer;
        std::string out;
        qint64 written = 0;
    };

    bool addRecord(Side& side, const std::string& segment)
    {
        appendRecordPrefix(side.out, records_);
        if (encoding_ == Encoding::Utf8) side.out += segment;
        else if (!appendCp1252(side.out, segment)) return false;
        side.out += "\r\n";
        if (side.out.size() >= kFlushAt) {
            side.written += qint64(side.out.size());
            if (side.written <= kMaxNumberedBytes) side.writer.write(side.out);
            side.out.clear();
        }
        return true;
    }

    static bool appendCp1252(std::string& out, std::string_view utf8)
    {
        const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
        const auto* end = p + utf8.size();
        while (p < end) {
            if (*p < 0x80) {
                out += char(*p++);
                continue;
            }
            const char32_t c = nextUtf8(p, end);
            if (c == kBadChar || c > 0xFFFF) return false;
            const unsigned char b = unicodeToCp1252(char16_t(c));
            if (b == '?') return false;
            out += char(b);
        }
        return true;
    }

    Side sides_[2];
    Encoding encoding_;
    SentenceNumber records_ = 0;
};

struct Outputs {
    const FileRef& source;
    const FileRef& target;
};

Error noUnits(const FileRef& input, MemoryFormat format)
{
    // A table with no row is an empty file.
    return Error::reading(input.name(), format == MemoryFormat::Tmx
                                            ? QStringLiteral("no contiene ninguna unidad de traducción")
                                            : QStringLiteral("el fichero está vacío: no contiene ninguna unidad"));
}

// Both outputs would be empty: no unit holds either language.
Error noTextInEither(const FileRef& input, const MemoryImport& summary)
{
    const auto named = [](const QString& language, const QString& side) {
        return language.isEmpty() ? side : QStringLiteral("%1 (%2)").arg(side, language);
    };
    return Error::reading(input.name(),
                          QStringLiteral("ninguna de sus %1 unidades tiene texto en la lengua %2 ni en la %3; "
                                         "no se escribe nada")
                              .arg(summary.units)
                              .arg(named(summary.sourceLanguage, QStringLiteral("de origen")),
                                   named(summary.targetLanguage, QStringLiteral("meta"))));
}

enum class PassEnd { Done, Misfit };

// One pass over the input into both outputs. `read` hands each unit to the
// sink and returns the reader's own summary, or its error.
template <class Read>
Result<PassEnd> writePass(const FileRef& input, const Outputs& outputs, Encoding encoding, MemoryImport& summary,
                          Read read)
{
    Result<SafeFileWriter> sourceWriter = SafeFileWriter::open(outputs.source);
    if (!sourceWriter) return sourceWriter.error();
    Result<SafeFileWriter> targetWriter = SafeFileWriter::open(outputs.target);
    if (!targetWriter) return targetWriter.error();
    PairWriter writer(sourceWriter.value(), targetWriter.value(), encoding);
    bool misfit = false;
    summary.units = summary.unitsWithoutSource = summary.unitsWithoutTarget = 0;
    const auto sink = [&](const SegmentPair& pair) {
        ++summary.units;
        summary.unitsWithoutSource += !pair.hasSource;
        summary.unitsWithoutTarget += !pair.hasTarget;
        if (!writer.add(pair)) return !(misfit = true);
        return !sourceWriter.value().stopped() && !targetWriter.value().stopped() && !writer.tooLarge();
    };
    if (Status done = read(sink); !done) return done.error();
    if (misfit) return PassEnd::Misfit;
    if (summary.units == 0) return noUnits(input, summary.format);
    if (summary.unitsWithoutSource == summary.units && summary.unitsWithoutTarget == summary.units)
        return noTextInEither(input, summary);
    if (writer.tooLarge())
        return Error::writing(outputs.source.name(), QStringLiteral("el texto numerado pasaría de 4 GB y no se "
                                                                    "podría buscar en él"));
    writer.finish();
    if (Status done = commitTogether(sourceWriter.value(), targetWriter.value()); !done) return done.error();
    return PassEnd::Done;
}

bool followed(const Progress& progress, const CountingDevice& device)
{
    const qint64 size = device.size();
    return goOn(progress, size > 0 ? double(device.bytesRead()) / double(size) : 0.0);
}

Result<MemoryImport> importTmx(MemoryInput& input, const Outputs& outputs, const TmxLanguageChoice& languages,
                               const Progress& progress)
{
    // An 8-bit memory is tried in Windows-1252 first; a character reference
    // may still bring a character the code page lacks, and the pass is made
    // again in UTF-8, which a stream, read once, gets from the start.
    Encoding encoding = Encoding::Utf8;
    if (!input.isStream()) {
        QByteArray head = input.head();
        QBuffer buffer(&head);
        buffer.open(QIODevice::ReadOnly);
        XmlDecoder decoder(buffer);
        if (!decoder.start()) {
            const XmlEncoding declared = decoder.encoding();
            if (declared == XmlEncoding::Windows1252 || declared == XmlEncoding::Latin1 ||
                declared == XmlEncoding::Ascii)
                encoding = Encoding::Windows1252;
        }
    }
    MemoryImport summary;
    summary.format = MemoryFormat::Tmx;
    for (;;) {
        const Result<PassEnd> pass = writePass(input.file(), outputs, encoding, summary, [&](const SegmentPairSink& sink) -> Status {
            Result<std::unique_ptr<QIODevice>> device = input.device();
            if (!device) return device.error();
            CountingDevice counted(*device.value());
            bool cancelled = false;
            Result<TmxSummary> read =
                readTmx(counted, input.file().name(), languages, [&](const SegmentPair& pair) {
                    if (summary.units % 1024 == 0 && !followed(progress, counted)) return !(cancelled = true);
                    return sink(pair);
                });
            if (!read) return read.error();
            if (cancelled) return Error::cancelledByUser();
            summary.sourceLanguage = read.value().sourceLanguage;
            summary.targetLanguage = read.value().targetLanguage;
            return success();
        });
        if (!pass) return pass.error();
        if (pass.value() == PassEnd::Done) break;
        encoding = Encoding::Utf8;
    }
    summary.encoding = encoding;
    return summary;
}

Result<MemoryImport> importTable(MemoryInput& input, const Outputs& outputs, const Progress& progress)
{
    Result<TextFile> text = input.text(progress);
    if (!text) return text.error();
    const std::string_view bytes = text.value().text();
    const Encoding encoding = text.value().encoding();
    MemoryImport summary;
    summary.format = MemoryFormat::Table;
    const Result<PassEnd> pass = writePass(input.file(), outputs, encoding, summary, [&](const SegmentPairSink& sink) -> Status {
        QBuffer buffer;
        buffer.setData(QByteArray::fromRawData(bytes.data(), qsizetype(bytes.size())));
        buffer.open(QIODevice::ReadOnly);
        CountingDevice counted(buffer);
        bool cancelled = false;
        const TableEncoding table = encoding == Encoding::Utf8 ? TableEncoding::Utf8 : TableEncoding::Windows1252;
        Result<TsvSummary> read = readTsv(counted, input.file().name(), table, [&](const SegmentPair& pair) {
            if (summary.units % 1024 == 0 && !followed(progress, counted)) return !(cancelled = true);
            return sink(pair);
        });
        if (!read) return read.error();
        if (cancelled) return Error::cancelledByUser();
        return success();
    });
    if (!pass) return pass.error();
    summary.encoding = encoding;
    return summary;
}

} // namespace

Result<MemoryFormat> memoryFormatOf(const FileRef& input)
{
    Result<MemoryInput> opened = MemoryInput::open(input);
    if (!opened) return opened.error();
    return memoryFormatOfHead(opened.value().head());
}

Result<TmxLanguages> memoryLanguages(const FileRef& input)
{
    Result<MemoryInput> opened = MemoryInput::open(input);
    if (!opened) return opened.error();
    Result<std::unique_ptr<QIODevice>> device = opened.value().device();
    if (!device) return device.error();
    return listTmxLanguages(*device.value(), input.name());
}

Result<MemoryImport> importMemory(const FileRef& input, const FileRef& sourceOut, const FileRef& targetOut,
                                  const TmxLanguageChoice& languages, const Progress& progress,
                                  std::optional<MemoryFormat> format)
{
    if (Status refused = refuseInputAsOutput(sourceOut, {input}); !refused) return refused.error();
    if (Status refused = refuseInputAsOutput(targetOut, {input}); !refused) return refused.error();
    if (Status refused = refuseSameOutputs(sourceOut, targetOut); !refused) return refused.error();
    Result<MemoryInput> opened = MemoryInput::open(input);
    if (!opened) return opened.error();
    const Outputs outputs{sourceOut, targetOut};
    const MemoryFormat read = format.value_or(memoryFormatOfHead(opened.value().head()));
    return read == MemoryFormat::Tmx ? importTmx(opened.value(), outputs, languages, progress)
                                     : importTable(opened.value(), outputs, progress);
}

} // namespace solandre
