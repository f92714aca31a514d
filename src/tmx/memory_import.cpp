// SPDX-License-Identifier: GPL-3.0-or-later
#include "tmx/memory_import.h"

#include "common/cp1252.h"
#include "common/marker.h"
#include "common/notices.h"
#include "common/same_file.h"
#include "common/text_file.h"
#include "tmx/counting_device.h"
#include "tmx/tsv_reader.h"
#include "tmx/xml_decoder.h"

#include <QBuffer>
#include <QFile>
#include <memory>

namespace solandre {
namespace {

constexpr size_t kFlushAt = size_t(1) << 20;

// The input, opened afresh for each pass. The standard input can be read only
// once, so it is held in memory.
class Input {
public:
    static Result<Input> open(const FileRef& file)
    {
        Input input(file);
        if (file.isStandardStream()) {
            Result<Bytes> bytes = readWholeFile(file);
            if (!bytes) return bytes.error();
            input.held_ = QByteArray(bytes.value().data(), qsizetype(bytes.value().size()));
        }
        if (Result<std::unique_ptr<QIODevice>> device = input.device(); !device) return device.error();
        return input;
    }

    Result<std::unique_ptr<QIODevice>> device() const
    {
        if (file_.isStandardStream()) {
            auto buffer = std::make_unique<QBuffer>();
            buffer->setData(held_);
            buffer->open(QIODevice::ReadOnly);
            return std::unique_ptr<QIODevice>(std::move(buffer));
        }
        auto device = std::make_unique<QFile>(file_.name());
        if (!device->open(QIODevice::ReadOnly)) return Error::reading(file_.name(), device->errorString());
        return std::unique_ptr<QIODevice>(std::move(device));
    }

    Result<TextFile> text() const
    {
        if (!file_.isStandardStream()) return TextFile::open(file_);
        TextFile text = TextFile::fromBytes(held_.toStdString(), file_.name());
        if (text.invalidBytes()) notice(text.invalidBytesWarning());
        return text;
    }

    const FileRef& file() const { return file_; }

private:
    explicit Input(const FileRef& file) : file_(file) {}
    FileRef file_;
    QByteArray held_;
};

bool looksLikeXml(const QByteArray& head)
{
    if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF")) return true;
    // UTF-16 without a mark: "<" next to a zero byte.
    if (head.startsWith(QByteArray("<\0", 2)) || head.startsWith(QByteArray("\0<", 2))) return true;
    qsizetype i = head.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (i < head.size() && (head[i] == ' ' || head[i] == '\t' || head[i] == '\r' || head[i] == '\n')) ++i;
    return i < head.size() && head[i] == '<';
}

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

    void finish()
    {
        for (Side& side : sides_) side.writer.write(side.out);
    }

private:
    struct Side {
        SafeFileWriter& writer;
        std::string out;
    };

    bool addRecord(Side& side, const std::string& segment)
    {
        appendRecordPrefix(side.out, records_);
        if (encoding_ == Encoding::Utf8) side.out += segment;
        else if (!appendCp1252(side.out, segment)) return false;
        side.out += "\r\n";
        if (side.out.size() >= kFlushAt) {
            side.writer.write(side.out);
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
    return Error::reading(input.name(), format == MemoryFormat::Tmx
                                            ? QStringLiteral("no contiene ninguna unidad de traducción")
                                            : QStringLiteral("no contiene ninguna fila"));
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
        return !sourceWriter.value().stopped() && !targetWriter.value().stopped();
    };
    if (Status done = read(sink); !done) return done.error();
    if (misfit) return PassEnd::Misfit;
    if (summary.units == 0) return noUnits(input, summary.format);
    writer.finish();
    if (Status done = sourceWriter.value().commit(); !done) return done.error();
    if (Status done = targetWriter.value().commit(); !done) return done.error();
    return PassEnd::Done;
}

bool followed(const Progress& progress, const CountingDevice& device)
{
    const qint64 size = device.size();
    return goOn(progress, size > 0 ? double(device.bytesRead()) / double(size) : 0.0);
}

Result<MemoryImport> importTmx(const Input& input, const Outputs& outputs, const TmxLanguageChoice& languages,
                               const Progress& progress)
{
    // An 8-bit memory is tried in Windows-1252 first; a character reference
    // may still bring a character the code page lacks.
    Encoding encoding = Encoding::Utf8;
    {
        Result<std::unique_ptr<QIODevice>> device = input.device();
        if (!device) return device.error();
        XmlDecoder decoder(*device.value());
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
            TmxResult<TmxSummary> read =
                readTmx(counted, input.file().name(), languages, [&](const SegmentPair& pair) {
                    if (summary.units % 1024 == 0 && !followed(progress, counted)) return !(cancelled = true);
                    return sink(pair);
                });
            if (!read) return Error{read.error().message};
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

Result<MemoryImport> importTable(const Input& input, const Outputs& outputs, const Progress& progress)
{
    Result<TextFile> text = input.text();
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
        TmxResult<TsvSummary> read = readTsv(counted, input.file().name(), table, [&](const SegmentPair& pair) {
            if (summary.units % 1024 == 0 && !followed(progress, counted)) return !(cancelled = true);
            return sink(pair);
        });
        if (!read) return Error{read.error().message};
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
    Result<Input> opened = Input::open(input);
    if (!opened) return opened.error();
    Result<std::unique_ptr<QIODevice>> device = opened.value().device();
    if (!device) return device.error();
    return looksLikeXml(device.value()->peek(4096)) ? MemoryFormat::Tmx : MemoryFormat::Table;
}

Result<TmxLanguages> memoryLanguages(const FileRef& input)
{
    Result<Input> opened = Input::open(input);
    if (!opened) return opened.error();
    Result<std::unique_ptr<QIODevice>> device = opened.value().device();
    if (!device) return device.error();
    TmxResult<TmxLanguages> languages = listTmxLanguages(*device.value(), input.name());
    if (!languages) return Error{languages.error().message};
    return std::move(languages.value());
}

Result<MemoryImport> importMemory(const FileRef& input, const FileRef& sourceOut, const FileRef& targetOut,
                                  const TmxLanguageChoice& languages, const Progress& progress)
{
    if (Status refused = refuseInputAsOutput(sourceOut, {input, targetOut}); !refused) return refused.error();
    if (Status refused = refuseInputAsOutput(targetOut, {input}); !refused) return refused.error();
    Result<Input> opened = Input::open(input);
    if (!opened) return opened.error();
    Result<std::unique_ptr<QIODevice>> device = opened.value().device();
    if (!device) return device.error();
    const bool tmx = looksLikeXml(device.value()->peek(4096));
    device.value().reset();

    const Outputs outputs{sourceOut, targetOut};
    return tmx ? importTmx(opened.value(), outputs, languages, progress)
               : importTable(opened.value(), outputs, progress);
}

} // namespace solandre
