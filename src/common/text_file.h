// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A text as the cores read it: its bytes after any byte-order mark, in its
// encoding. A regular file is mapped, not read: a gigabyte costs nothing up
// front, and the pages a pass has gone through can be given back. A UTF-16
// file, a pipe or the standard input is read into memory (UTF-16 as UTF-8).
// Copies share one mapping.

#include "common/encoding.h"
#include "common/file_stamp.h"
#include "common/fileio.h"
#include "common/result.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace solandre {

class TextFile {
public:
    TextFile(); // an empty Windows-1252 text

    // Refuses a file that is not a text (see text_kind.h).
    static Result<TextFile> open(const FileRef& file);
    // A text already in memory, its encoding guessed as for a file.
    static TextFile fromBytes(std::string bytes, const QString& name = {});

    std::string_view text() const { return text_; }
    Encoding encoding() const { return encoding_; }
    // What a copy of the text begins with: the file's own byte-order mark,
    // a UTF-8 one for a file that was UTF-16, or nothing.
    std::string_view mark() const { return mark_; }
    const FileRef& file() const { return file_; }
    const QString& name() const { return file_.name(); }
    // The file as it was when it was opened, before its bytes were read;
    // nothing for a stream or a text made in memory.
    const std::optional<FileStamp>& stamp() const { return stamp_; }

    // A UTF-8 text may hold a few bytes that are not UTF-8 (encoding.h):
    // how many, the line of the first, and what the reader is told, which
    // open() also hands to notice() (notices.h). 0 and "" for other texts.
    std::uint64_t invalidBytes() const { return invalidBytes_; }
    std::uint64_t firstInvalidLine() const { return firstInvalidLine_; }
    QString invalidBytesWarning() const;

    // Gives back the memory of the mapped text before `offset`, which a pass
    // has read; the text stays readable there, from the file.
    void release(size_t offset) const;
    // The same for the text's bytes [from, to), as a pass that reads parts
    // of the text apart leaves them.
    void release(size_t from, size_t to) const;

private:
    struct Storage;
    std::shared_ptr<const Storage> storage_;
    std::string_view text_;
    std::string_view mark_;
    Encoding encoding_ = Encoding::Windows1252;
    FileRef file_{QString()};
    std::optional<FileStamp> stamp_;
    std::uint64_t invalidBytes_ = 0;
    std::uint64_t firstInvalidLine_ = 0;

    void settle(std::string_view bytes);
};

} // namespace solandre
