// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/text_file.h"

#include "common/notices.h"
#include "common/page_memory.h"
#include "common/text_kind.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <functional>

namespace solandre {

// The bytes behind a text: a mapping of the file, or memory of our own.
struct TextFile::Storage {
    std::unique_ptr<QFile> file; // owns the mapping where the system maps no file of its own
    const char* mapped = nullptr;
    size_t mappedSize = 0;
    bool unmap = false; // mapped by detail::mapFile, the file closed
    std::string owned;

    Storage() = default;
    Storage(const Storage&) = delete;
    Storage& operator=(const Storage&) = delete;
    ~Storage()
    {
        if (unmap) detail::unmapFile(mapped, mappedSize);
    }
};

TextFile::TextFile() : storage_(std::make_shared<Storage>()) {}

namespace {

// The guess of encoding.h, a piece at a time, each piece's memory given back
// once read: validating a mapped gigabyte must not keep it all in memory.
EncodingGuess guessInPieces(std::string_view bytes, const std::function<void(size_t)>& readUpTo)
{
    if (auto marked = encodingFromMark(bytes)) return *marked;
    constexpr size_t kPiece = size_t(16) << 20;
    Utf8Census census;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = std::min(bytes.size(), start + kPiece);
        // Never cut a character: back up over continuation bytes.
        for (int k = 0; k < 3 && end < bytes.size() && end > start &&
                        (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80;
             ++k)
            --end;
        if (end == start) end = std::min(bytes.size(), start + kPiece);
        const bool could = census.count(bytes.substr(start, end - start), bytes.size() - end);
        readUpTo(end);
        if (!could) return {FileEncoding::Windows1252, 0};
        start = end;
    }
    if (!census.isUtf8()) return {FileEncoding::Windows1252, 0};
    return {FileEncoding::Utf8, 0, census.invalid, size_t(census.firstInvalid)};
}

// The line, from 1, that holds the byte at `offset`.
std::uint64_t lineOf(std::string_view text, size_t offset)
{
    const std::string_view before = text.substr(0, offset);
    const auto breaks = std::count(before.begin(), before.end(), '\n');
    // Old Mac texts end their lines with a lone CR.
    if (breaks == 0) return 1 + std::uint64_t(std::count(before.begin(), before.end(), '\r'));
    return 1 + std::uint64_t(breaks);
}

} // namespace

void TextFile::settle(std::string_view bytes)
{
    text_ = bytes;
    const EncodingGuess guess = guessInPieces(bytes, [&](size_t offset) { release(offset); });
    mark_ = bytes.substr(0, guess.markLength);
    text_ = bytes.substr(guess.markLength);
    encoding_ = guess.encoding == FileEncoding::Windows1252 ? Encoding::Windows1252 : Encoding::Utf8;
    invalidBytes_ = guess.invalidBytes;
    firstInvalidLine_ = invalidBytes_ ? lineOf(text_, guess.firstInvalid) : 0;
}

QString TextFile::invalidBytesWarning() const
{
    if (invalidBytes_ == 0) return {};
    const QString which = invalidBytes_ == 1
                              ? QStringLiteral("1 byte que no es UTF-8 válido (en la línea %1)").arg(firstInvalidLine_)
                              : QStringLiteral("%1 bytes que no son UTF-8 válido (el primero, en la línea %2)")
                                    .arg(invalidBytes_)
                                    .arg(firstInvalidLine_);
    return QStringLiteral("El fichero \"%1\" se lee como UTF-8, aunque tiene %2; se muestran como \"\uFFFD\" y "
                          "no forman parte de ninguna palabra.")
        .arg(name(), which);
}

TextFile TextFile::fromBytes(std::string bytes, const QString& name)
{
    auto storage = std::make_shared<Storage>();
    storage->owned = std::move(bytes);
    TextFile text;
    text.file_ = FileRef(name);
    const std::string_view all = storage->owned;
    text.storage_ = storage;
    text.settle(all);
    if (const auto marked = encodingFromMark(all);
        marked && (marked->encoding == FileEncoding::Utf16LE || marked->encoding == FileEncoding::Utf16BE)) {
        storage->owned = utf16ToUtf8(all.substr(2), marked->encoding == FileEncoding::Utf16BE);
        text.text_ = storage->owned;
        text.mark_ = kUtf8Mark;
        text.encoding_ = Encoding::Utf8;
    }
    return text;
}

Result<TextFile> TextFile::open(const FileRef& input)
{
    const QString& path = input.name();
    if (!input.isStandardStream() && !path.isEmpty()) {
        auto file = std::make_unique<QFile>(path);
        const QFileInfo info(path);
        if (info.isFile() && info.size() > 0 && file->open(QIODevice::ReadOnly)) {
            const std::optional<FileStamp> stamp = fileStampOf(file->handle());
            const qint64 size = file->size();
            auto storage = std::make_shared<Storage>();
            // A mapping of our own outlives the file's handle; Qt's goes with it.
            storage->mapped = detail::mapFile(file->handle(), size_t(size));
            storage->unmap = storage->mapped != nullptr;
            if (!storage->mapped) storage->mapped = reinterpret_cast<const char*>(file->map(0, size));
            if (storage->mapped) {
                storage->mappedSize = size_t(size);
                const std::string_view bytes(storage->mapped, size_t(size));
                if (Status isText = checkLooksLikeText(path, bytes); !isText) return isText.error();
                const auto marked = encodingFromMark(bytes);
                if (!marked || marked->encoding == FileEncoding::Utf8) {
                    if (storage->unmap)
                        file.reset();
                    else
                        storage->file = std::move(file);
                    TextFile text;
                    text.storage_ = storage;
                    text.file_ = input;
                    text.stamp_ = stamp;
                    text.settle(bytes);
                    if (text.invalidBytes_) notice(text.invalidBytesWarning());
                    return text;
                }
            }
        }
    }
    // Not mappable, or UTF-16: read it whole.
    const std::optional<FileStamp> stamp =
        input.isStandardStream() || path.isEmpty() ? std::nullopt : fileStampOf(path);
    Result<Bytes> read = readWholeFile(input);
    if (!read) return read.error();
    if (Status isText = checkLooksLikeText(path, read.value().view()); !isText) return isText.error();
    TextFile text = fromBytes(std::string(read.value().view()), path);
    text.file_ = input;
    text.stamp_ = stamp;
    if (text.invalidBytes_) notice(text.invalidBytesWarning());
    return text;
}

void TextFile::release(size_t offset) const
{
    if (!storage_->mapped) return;
    const size_t end = size_t(text_.data() - storage_->mapped) + std::min(offset, text_.size());
    detail::releasePages(storage_->mapped, end);
}

void TextFile::release(size_t from, size_t to) const
{
    if (!storage_->mapped || from >= std::min(to, text_.size())) return;
    detail::releasePages(text_.data() + from, std::min(to, text_.size()) - from);
}

} // namespace solandre
