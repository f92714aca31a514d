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
#include <span>
#include <string_view>

class QFile;

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
// Dropping an uncommitted writer discards what was written. A target that is
// a symbolic link is written where the link points, as editors do.
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
    // finish() then replace().
    Status commit();
    // Everything written is on the disk, in a temporary file beside the
    // target; the target is still as it was.
    Status finish();
    // The temporary takes the target's place. Only after finish().
    Status replace();
    // Whether writing is pointless: after a failure or a reader gone away.
    bool stopped() const { return !failure_.isEmpty() || readerGone_; }

private:
    friend Status commitTogether(std::span<SafeFileWriter* const> writers);
    SafeFileWriter() = default;
    Status failed() const;

    QString path_;     // as named: what messages say
    QString tempPath_; // empty for a target written in place
    QString finalPath_;
    std::unique_ptr<QFile> file_;
    bool direct_ = false;
    bool standard_ = false;
    bool readerGone_ = false;
    bool finished_ = false;
    QString failure_;
};

// Files that belong together (the two texts of a pair): each is written and
// flushed in full before any replaces its target, so that a failure before
// that leaves every target as it was; and once the first replaces its
// target, the others do too, even if this process is killed meanwhile.
Status commitTogether(std::span<SafeFileWriter* const> writers);
inline Status commitTogether(SafeFileWriter& first, SafeFileWriter& second)
{
    SafeFileWriter* both[] = {&first, &second};
    return commitTogether(both);
}

Status writeFileSafely(const FileRef& file, std::string_view bytes);

} // namespace solandre
