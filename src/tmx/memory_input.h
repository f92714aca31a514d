// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The input of a memory made a pair, and what it holds. A regular file is
// opened afresh for each pass over it. Anything else (the standard input, a
// pipe, a named pipe, a device) can be read only once: its head is kept
// while the format is told, then handed out again before the rest, so that
// nothing read is lost and nothing is read twice.

#include "common/fileio.h"
#include "common/progress.h"
#include "common/result.h"
#include "common/text_file.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <memory>

class QFile;

namespace solandre {

enum class MemoryFormat { Tmx, Table };

// XML (a declaration, a comment, a DOCTYPE, or a first line that is one
// tag with no TAB in it, after any byte-order mark and blanks) is a TMX; any
// other text is a table. A UTF-16 byte-order mark says how to read the
// head, not which of the two it is.
MemoryFormat memoryFormatOfHead(const QByteArray& head);

class MemoryInput {
public:
    static Result<MemoryInput> open(const FileRef& file);
    MemoryInput(MemoryInput&&) noexcept;
    MemoryInput& operator=(MemoryInput&&) noexcept;
    ~MemoryInput();

    const FileRef& file() const { return file_; }
    // Read once only: a pass may not be made again.
    bool isStream() const { return stream_ != nullptr; }
    // The first bytes (up to 64 KB).
    const QByteArray& head() const { return head_; }

    // The whole input, from its first byte. A stream gives it once.
    Result<std::unique_ptr<QIODevice>> device();
    // The whole input as a text, mapped: a stream is first copied to a
    // temporary file (up to 4 GB), `progress` told as it goes.
    Result<TextFile> text(const Progress& progress);

private:
    explicit MemoryInput(const FileRef& file);
    FileRef file_;
    QByteArray head_;
    std::unique_ptr<QFile> stream_; // after its head
    bool handedOut_ = false;
    std::unique_ptr<QFile> copy_;
};

} // namespace solandre
