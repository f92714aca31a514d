// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/fileio.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace solandre {
namespace {

QString noName() { return QStringLiteral("no se ha indicado ningún nombre de fichero"); }

} // namespace

FileRef FileRef::standardStream()
{
    FileRef stream(QStringLiteral("-"));
    stream.standard_ = true;
    return stream;
}

Result<Bytes> readWholeFile(const FileRef& input)
{
    const QString& path = input.name();
    if (path.isEmpty()) return Error::reading(path, noName());
    QFile file(path);
    const bool opened = input.isStandardStream()
                            ? file.open(fileno(stdin), QIODevice::ReadOnly | QIODevice::Unbuffered,
                                        QFileDevice::DontCloseHandle)
                            : file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    if (!opened) return Error::reading(path, file.errorString());

    // One read of the announced size; keep going past it for files whose size
    // the system does not know in advance (pipes, /proc).
    Bytes bytes(static_cast<size_t>(std::max<qint64>(file.size(), 0)));
    size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            char probe;
            const qint64 more = file.read(&probe, 1);
            if (more < 0) return Error::reading(path, file.errorString());
            if (more == 0) break;
            bytes.grow(std::max<size_t>(2 * filled, 65536));
            bytes.data()[filled++] = probe;
        }
        const qint64 got = file.read(bytes.data() + filled, qint64(bytes.size() - filled));
        if (got < 0) return Error::reading(path, file.errorString());
        if (got == 0) break;
        filled += size_t(got);
    }
    bytes.shrink(filled);
    return bytes;
}

SafeFileWriter::SafeFileWriter(const FileRef& file)
    : path_(file.name()), standard_(file.isStandardStream())
{
    // Replacing a device node by a renamed temporary would destroy the
    // device (and root may do it): such targets are written in place.
    const QFileInfo target(path_);
    direct_ = standard_ || (target.exists() && !target.isFile() && !target.isDir());
    if (direct_)
        file_ = std::make_unique<QFile>(path_);
    else
        file_ = std::make_unique<QSaveFile>(path_);
}
SafeFileWriter::SafeFileWriter(SafeFileWriter&&) noexcept = default;
SafeFileWriter& SafeFileWriter::operator=(SafeFileWriter&&) noexcept = default;
SafeFileWriter::~SafeFileWriter() = default; // QSaveFile removes an uncommitted temporary

Result<SafeFileWriter> SafeFileWriter::open(const FileRef& file)
{
    const QString& path = file.name();
    if (path.isEmpty()) return Error::writing(path, noName());
    if (!file.isStandardStream() && QFileInfo(path).isDir())
        return Error::writing(path, QStringLiteral("es una carpeta, no un fichero"));
    SafeFileWriter writer(file);
    const bool opened =
        writer.standard_
            ? static_cast<QFile*>(writer.file_.get())
                  ->open(fileno(stdout), QIODevice::WriteOnly | QIODevice::Unbuffered,
                         QFileDevice::DontCloseHandle)
            : writer.file_->open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    if (!opened) return Error::writing(path, writer.file_->errorString());
    return writer;
}

void SafeFileWriter::write(std::string_view bytes)
{
    const char* data = bytes.data();
    qint64 left = qint64(bytes.size());
    while (left > 0 && !stopped()) {
        errno = 0;
        const qint64 put = file_->write(data, left);
        if (put <= 0) {
            if (standard_ && errno == EPIPE) {
                readerGone_ = true;
                break;
            }
            failure_ = file_->errorString();
            if (!direct_) static_cast<QSaveFile*>(file_.get())->cancelWriting();
            break;
        }
        data += put;
        left -= put;
    }
}

Status SafeFileWriter::commit()
{
    if (!failure_.isEmpty()) return Error::writing(path_, failure_);
    if (readerGone_) return success();
    if (direct_) {
        errno = 0;
        const bool flushed = file_->flush();
        if (standard_ && errno == EPIPE) return success();
        file_->close();
        if (!flushed || file_->error() != QFileDevice::NoError)
            return Error::writing(path_, file_->errorString());
        return success();
    }
    if (!static_cast<QSaveFile*>(file_.get())->commit())
        return Error::writing(path_, file_->errorString());
    return success();
}

Status writeFileSafely(const FileRef& file, std::string_view bytes)
{
    auto writer = SafeFileWriter::open(file);
    if (!writer) return writer.error();
    writer.value().write(bytes);
    return writer.value().commit();
}

} // namespace solandre
