// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files are read whole, as bytes, and written through a temporary file that
// replaces the target only once it is complete and committed: a failure at any
// point leaves an existing file as it was and no temporary file behind. A
// target that is a device or a pipe has no content to keep and is written
// straight, never replaced by a file; so is the standard output.

#include "common/bytes.h"
#include "common/result.h"

#include <QString>
#include <memory>
#include <string_view>

class QFileDevice;

namespace solandre {

// A file named by its path, or the command line's "-": the standard input
// when read, the standard output when written. Windows only ever name files.
class FileRef {
public:
    FileRef(const QString& path) : path_(path) {}
    FileRef(const char* path) : path_(QString::fromUtf8(path)) {}
    static FileRef standardStream();

    bool isStandardStream() const { return standard_; }
    // The path, or "-" for the standard stream: what messages name.
    const QString& name() const { return path_; }

private:
    QString path_;
    bool standard_ = false;
};

Result<Bytes> readWholeFile(const FileRef& file);

// Writes a file in pieces; nothing reaches the target unless commit() succeeds.
// Dropping an uncommitted writer discards what was written.
class SafeFileWriter {
public:
    static Result<SafeFileWriter> open(const FileRef& file);
    SafeFileWriter(SafeFileWriter&&) noexcept;
    SafeFileWriter& operator=(SafeFileWriter&&) noexcept;
    ~SafeFileWriter();

    // After a failure, later writes do nothing and commit() reports it. On
    // the standard output a reader that has gone (a closed pipe) is no
    // failure: what it took is what it wanted, so later writes do nothing.
    void write(std::string_view bytes);
    Status commit();
    // Whether writing is pointless: after a failure or a reader gone away.
    bool stopped() const { return !failure_.isEmpty() || readerGone_; }

private:
    explicit SafeFileWriter(const FileRef& file);

    QString path_;
    std::unique_ptr<QFileDevice> file_;
    bool direct_ = false;
    bool standard_ = false;
    bool readerGone_ = false;
    QString failure_;
};

Status writeFileSafely(const FileRef& file, std::string_view bytes);

} // namespace solandre
