// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/command_context.h"

#include <QFile>
#include <cerrno>

namespace solandre::cli {

FileRef CommandContext::file(const std::string& arg)
{
    return arg == "-" ? FileRef::standardStream() : FileRef(QFile::decodeName(arg.c_str()));
}

int CommandContext::fail(const Error& error) const
{
    err << "solandre-cli: " << error.message.toStdString() << "\n";
    return kFailed;
}

void CommandContext::warn(const QString& message) const
{
    err << "solandre-cli: aviso: " << message.toStdString() << "\n";
}

Progress CommandContext::progress(const QString& what) const
{
    if (!terminal_) return {};
    const std::string label = what.toStdString();
    return [this, label](double done) {
        const int percent = int(done * 100);
        if (percent != shownPercent_) {
            shownPercent_ = percent;
            err << "\r" << label << ": " << percent << " %" << std::flush;
        }
        return true;
    };
}

void CommandContext::endProgress() const
{
    if (shownPercent_ < 0) return;
    err << "\r\x1b[K" << std::flush; // the line goes, the cursor back at its start
    shownPercent_ = -1;
}

bool CommandContext::write(std::string_view text) const
{
    if (readerGone_ || !out) return false;
    errno = 0;
    out.write(text.data(), std::streamsize(text.size()));
    if (!out && errno == EPIPE) readerGone_ = true;
    return bool(out);
}

int CommandContext::finishOutput() const
{
    if (readerGone_) return kOk;
    errno = 0;
    if (out) out.flush();
    if (out || errno == EPIPE) return kOk;
    err << "solandre-cli: no se puede escribir en la salida estándar\n";
    return kFailed;
}

} // namespace solandre::cli
