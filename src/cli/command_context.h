// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every command of solandre-cli is given: its parsed arguments and the
// two output streams, with the helpers they all use.

#include "cli/arguments.h"
#include "common/fileio.h"
#include "common/progress.h"
#include "common/result.h"

#include <QString>
#include <ostream>
#include <string>
#include <string_view>

namespace solandre::cli {

enum ExitCode { kOk = 0, kFailed = 1, kUsage = 2 };

struct CommandContext {
    CommandContext(const Arguments& a, std::ostream& o, std::ostream& e, bool errIsTerminal = false)
        : args(a), out(o), err(e), terminal_(errIsTerminal)
    {
    }

    const Arguments& args;
    std::ostream& out;
    std::ostream& err;

    // A path argument: "-" is the standard input or output.
    static FileRef file(const std::string& arg);
    // A form or a title: arguments are UTF-8.
    static QString text(const std::string& arg) { return QString::fromStdString(arg); }

    // One line on the error stream naming the file and the reason.
    int fail(const Error& error) const;
    void warn(const QString& message) const;
    // Warns of a translation that does not look numbered: its sentences,
    // paired by number, would all be written empty.
    void warnIfNotNumbered(const FileRef& translation) const;
    // A line on the error stream that says how far `what` has come, kept up
    // to date, when that stream is a terminal; nothing otherwise. End it
    // with endProgress().
    Progress progress(const QString& what) const;
    void endProgress() const;

    // Writes to `out`; false once writing is pointless: the stream failed,
    // or its reader went away (a closed pipe, as with "| head").
    bool write(std::string_view text) const;
    // The end of a command that wrote to `out`: a reader that went away is
    // no failure, what it read is what it wanted.
    int finishOutput() const;

private:
    bool terminal_;
    mutable bool readerGone_ = false;
    mutable int shownPercent_ = -1;
};

} // namespace solandre::cli
