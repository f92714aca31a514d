// SPDX-License-Identifier: GPL-3.0-or-later
#include "tmx/memory_input.h"

#include "common/text_kind.h"
#include "numbering/number_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <algorithm>
#include <cstdio>
#include <cstring>

namespace solandre {
namespace {

constexpr qsizetype kHead = 64 * 1024;

// The head of a stream, then the rest of it.
class ResumedStream final : public QIODevice {
public:
    ResumedStream(QByteArray head, std::unique_ptr<QFile> rest) : head_(std::move(head)), rest_(std::move(rest))
    {
        QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 max) override
    {
        if (at_ < head_.size()) {
            const qint64 n = std::min(max, head_.size() - at_);
            std::memcpy(data, head_.constData() + at_, size_t(n));
            at_ += n;
            return n;
        }
        const qint64 n = rest_->read(data, max);
        if (n < 0) setErrorString(rest_->errorString());
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray head_;
    qint64 at_ = 0;
    std::unique_ptr<QFile> rest_;
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The head as ASCII (UTF-16 units above 0x7F become '?'), its mark skipped.
QByteArray asciiOf(const QByteArray& head)
{
    bool le = head.startsWith("\xFF\xFE"), be = head.startsWith("\xFE\xFF");
    if (!le && !be) return head.startsWith("\xEF\xBB\xBF") ? head.mid(3) : head;
    QByteArray out;
    for (qsizetype i = 2; i + 1 < head.size(); i += 2) {
        const unsigned unit = le ? uchar(head[i]) | (uchar(head[i + 1]) << 8) : (uchar(head[i]) << 8) | uchar(head[i + 1]);
        out += unit < 0x80 ? char(unit) : '?';
    }
    return out;
}

} // namespace

MemoryFormat memoryFormatOfHead(const QByteArray& head)
{
    // UTF-16 or UTF-32 without a mark: XML's "<" beside zero bytes.
    if (head.startsWith(QByteArray("<\0", 2)) || head.startsWith(QByteArray("\0<", 2)) ||
        head.startsWith(QByteArray("\0\0\0<", 4)) || head.startsWith(QByteArray("\0\0\xFE\xFF", 4)) ||
        head.startsWith(QByteArray("\xFF\xFE\0\0", 4)))
        return MemoryFormat::Tmx;
    const QByteArray text = asciiOf(head);
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    if (i == text.size() || text[i] != '<') return MemoryFormat::Table;
    const QByteArray start = text.mid(i, 9);
    if (start.startsWith("<?xml") || start.startsWith("<!--") || start.startsWith("<!DOCTYPE")) return MemoryFormat::Tmx;
    // A table may begin with a tag in its first cell; its first line then
    // holds a TAB before the target.
    const qsizetype lineEnd = text.indexOf('\n', i);
    const QByteArray line = text.mid(i, lineEnd < 0 ? -1 : lineEnd - i);
    return line.contains('\t') ? MemoryFormat::Table : MemoryFormat::Tmx;
}

MemoryInput::MemoryInput(const FileRef& file) : file_(file) {}
MemoryInput::MemoryInput(MemoryInput&&) noexcept = default;
MemoryInput& MemoryInput::operator=(MemoryInput&&) noexcept = default;
MemoryInput::~MemoryInput() = default;

Result<MemoryInput> MemoryInput::open(const FileRef& file)
{
    const QString& path = file.name();
    if (path.isEmpty()) return Error::reading(path, QStringLiteral("no se ha indicado ningún nombre de fichero"));
    MemoryInput input(file);
    auto device = std::make_unique<QFile>(path);
    bool opened;
    if (file.isStandardStream()) {
        opened = device->open(fileno(stdin), QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle);
    } else {
        if (QFileInfo(path).isDir()) return Error::reading(path, QStringLiteral("es una carpeta, no un fichero"));
        opened = device->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    if (!opened) return Error::reading(path, device->errorString());
    // A pipe gives what it has: read on to a line's end, or the whole head.
    input.head_.resize(kHead);
    qsizetype filled = 0;
    while (filled < kHead) {
        const qint64 n = device->read(input.head_.data() + filled, kHead - filled);
        if (n < 0) return Error::reading(path, device->errorString());
        if (n == 0) break;
        filled += qsizetype(n);
        if (filled >= 4096 && input.head_.left(filled).contains('\n')) break;
    }
    input.head_.truncate(filled);
    if (file.isStandardStream() || !QFileInfo(path).isFile()) input.stream_ = std::move(device);
    return input;
}

Result<std::unique_ptr<QIODevice>> MemoryInput::device()
{
    if (stream_) {
        if (handedOut_) return Error::reading(file_.name(), QStringLiteral("la entrada solo se puede leer una vez"));
        handedOut_ = true;
        return std::unique_ptr<QIODevice>(std::make_unique<ResumedStream>(head_, std::move(stream_)));
    }
    if (handedOut_ && copy_) {
        auto copy = std::make_unique<QFile>(copy_->fileName());
        if (!copy->open(QIODevice::ReadOnly)) return Error::reading(file_.name(), copy->errorString());
        return std::unique_ptr<QIODevice>(std::move(copy));
    }
    auto device = std::make_unique<QFile>(file_.name());
    if (!device->open(QIODevice::ReadOnly)) return Error::reading(file_.name(), device->errorString());
    return std::unique_ptr<QIODevice>(std::move(device));
}

Result<TextFile> MemoryInput::text(const Progress& progress)
{
    if (Status isText = checkLooksLikeText(file_.name(), std::string_view(head_.constData(), size_t(head_.size())));
        !isText)
        return isText.error();
    if (!stream_ && !copy_) return TextFile::open(file_);
    if (!copy_) {
        // Copied as it comes, in the system's temporary folder.
        auto copy = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/solandre-XXXXXX"));
        if (!copy->open())
            return Error::reading(file_.name(), QStringLiteral("no se puede guardar una copia de la entrada: %1")
                                                    .arg(copy->errorString()));
        auto failed = [&](const QString& why) {
            return Error::reading(file_.name(), QStringLiteral("no se puede guardar una copia de la entrada: %1").arg(why));
        };
        if (copy->write(head_) != head_.size()) return failed(copy->errorString());
        QByteArray chunk(1 << 20, Qt::Uninitialized);
        qint64 copied = head_.size();
        for (;;) {
            if (!goOn(progress, 0.0)) return Error::cancelledByUser();
            const qint64 n = stream_->read(chunk.data(), chunk.size());
            if (n < 0) return Error::reading(file_.name(), stream_->errorString());
            if (n == 0) break;
            copied += n;
            if (copied > kMaxNumberedBytes)
                return Error::reading(file_.name(), QStringLiteral("la entrada pasa de 4 GB"));
            if (copy->write(chunk.constData(), n) != n) return failed(copy->errorString());
        }
        if (!copy->flush()) return failed(copy->errorString());
        stream_.reset();
        handedOut_ = true;
        copy_ = std::move(copy);
    }
    Result<TextFile> text = TextFile::open(copy_->fileName());
    if (!text) return text.error();
    return text;
}

} // namespace solandre
