// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/command_context.h"

#include "common/text_file.h"

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

void CommandContext::warnIfNotNumbered(const FileRef& translation) const
{
    if (translation.name().isEmpty() || translation.isStandardStream()) return;
    const Result<TextFile> text = TextFile::open(translation);
    if (!text || text.value().text().empty() || text.value().text().starts_with("[1] ")) return;
    warn(QStringLiteral("El fichero \"%1\" no parece un texto numerado: no empieza por \"[1] \"; las frases "
                        "traducidas quedan vacías. Para numerarlo, use \"solandre-cli number\".")
             .arg(translation.name()));
}

} // namespace solandre::cli
