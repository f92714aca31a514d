// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/fileio.h"

#include "common/file_system.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

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

namespace {

// Where a target is written: a symbolic link is followed to the file it
// names, even one that does not exist yet.
QString writtenPath(const QString& path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth) info.setFile(info.symLinkTarget());
    return info.filePath();
}

// A new file beside `target`, made for us alone (it must not exist yet).
std::unique_ptr<QFile> createTemporary(const QString& target, QString& error)
{
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString name = target + QLatin1Char('.');
        for (int k = 0; k < 6; ++k)
            name += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters - 1))]);
        auto file = std::make_unique<QFile>(name);
        if (file->open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) return file;
        if (!QFileInfo::exists(name)) {
            error = file->errorString();
            return nullptr;
        }
    }
    error = QStringLiteral("no se puede crear un fichero temporal a su lado");
    return nullptr;
}

} // namespace

SafeFileWriter::SafeFileWriter(SafeFileWriter&&) noexcept = default;
SafeFileWriter& SafeFileWriter::operator=(SafeFileWriter&&) noexcept = default;

SafeFileWriter::~SafeFileWriter()
{
    if (tempPath_.isEmpty()) return;
    file_.reset();
    QFile::remove(tempPath_);
}

Result<SafeFileWriter> SafeFileWriter::open(const FileRef& file)
{
    const QString& path = file.name();
    if (path.isEmpty()) return Error::writing(path, noName());
    SafeFileWriter writer;
    writer.path_ = path;
    writer.standard_ = file.isStandardStream();
    if (writer.standard_) {
        writer.direct_ = true;
        writer.file_ = std::make_unique<QFile>();
        if (!writer.file_->open(fileno(stdout), QIODevice::WriteOnly | QIODevice::Unbuffered,
                                QFileDevice::DontCloseHandle))
            return Error::writing(path, writer.file_->errorString());
        return writer;
    }
    writer.finalPath_ = writtenPath(path);
    const QFileInfo target(writer.finalPath_);
    if (target.isDir()) return Error::writing(path, QStringLiteral("es una carpeta, no un fichero"));
    // Replacing a device node by a renamed temporary would destroy the
    // device (and root may do it): such targets are written in place.
    writer.direct_ = target.exists() && !target.isFile();
    if (writer.direct_) {
        writer.file_ = std::make_unique<QFile>(writer.finalPath_);
        if (!writer.file_->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return Error::writing(path, writer.file_->errorString());
        return writer;
    }
    if (target.exists() && !target.isWritable())
        return Error::writing(path, QStringLiteral("el fichero que existe no admite escritura"));
    QString error;
    writer.file_ = createTemporary(writer.finalPath_, error);
    if (!writer.file_) return Error::writing(path, error);
    writer.tempPath_ = writer.file_->fileName();
    // The new file keeps the permissions of the one it replaces.
    if (target.exists()) writer.file_->setPermissions(QFile::permissions(writer.finalPath_));
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
            if (failure_.isEmpty()) failure_ = QStringLiteral("error de escritura");
            break;
        }
        data += put;
        left -= put;
    }
}

Status SafeFileWriter::failed() const
{
    return Error::writing(path_, failure_);
}

Status SafeFileWriter::finish()
{
    if (!failure_.isEmpty()) return failed();
    if (finished_ || readerGone_) return success();
    errno = 0;
    const bool flushed = file_->flush();
    if (standard_ && errno == EPIPE) {
        readerGone_ = true;
        return success();
    }
    if (!flushed || file_->error() != QFileDevice::NoError) {
        failure_ = file_->errorString();
        return failed();
    }
    if (!direct_ && !detail::syncToDisk(file_->handle())) {
        failure_ = QString::fromLocal8Bit(std::strerror(errno));
        return failed();
    }
    if (!standard_) {
        file_->close();
        if (file_->error() != QFileDevice::NoError) {
            failure_ = file_->errorString();
            return failed();
        }
    }
    finished_ = true;
    return success();
}

Status SafeFileWriter::replace()
{
    if (!failure_.isEmpty()) return failed();
    if (!finished_ || tempPath_.isEmpty()) return success();
    if (auto why = detail::renameOver(tempPath_, finalPath_)) {
        failure_ = *why;
        return failed();
    }
    tempPath_.clear();
    return success();
}

Status SafeFileWriter::commit()
{
    if (Status done = finish(); !done) return done;
    return replace();
}

Status commitTogether(std::span<SafeFileWriter* const> writers)
{
    for (SafeFileWriter* writer : writers)
        if (Status done = writer->finish(); !done) return done;
    std::vector<detail::Move> moves;
    std::vector<SafeFileWriter*> moved;
    for (SafeFileWriter* writer : writers) {
        if (!writer->failure_.isEmpty()) return writer->failed();
        if (!writer->finished_ || writer->tempPath_.isEmpty()) continue;
        moves.push_back({writer->tempPath_, writer->finalPath_});
        moved.push_back(writer);
    }
    const auto failure = detail::renameAllOver(moves);
    const size_t done = failure ? failure->move : moves.size();
    for (size_t k = 0; k < done; ++k) moved[k]->tempPath_.clear();
    if (!failure) return success();
    moved[done]->failure_ = failure->reason;
    return moved[done]->failed();
}

Status writeFileSafely(const FileRef& file, std::string_view bytes)
{
    auto writer = SafeFileWriter::open(file);
    if (!writer) return writer.error();
    writer.value().write(bytes);
    return writer.value().commit();
}

} // namespace solandre
