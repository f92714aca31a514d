// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/same_file.h"

#include <QDir>
#include <QFileInfo>

namespace solandre {
namespace {

// The path with its folder resolved on disk, for a file that may not exist
// yet; a symbolic link is followed to the file it names, as a writer would.
QString resolved(const QString& path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth) info.setFile(info.symLinkTarget());
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath())
                            : folder + QLatin1Char('/') + info.fileName();
}

} // namespace

bool isSameFile(const QString& a, const QString& b)
{
    if (a == b) return true;
    if (a.isEmpty() || b.isEmpty()) return false;
    if (QFileInfo::exists(a) && QFileInfo::exists(b)) return detail::sameExistingFile(a, b);
    return resolved(a) == resolved(b);
}

Status refuseInputAsOutput(const FileRef& output, std::initializer_list<FileRef> inputs)
{
    if (output.isStandardStream()) return success();
    for (const FileRef& input : inputs)
        if (!input.isStandardStream() && !input.name().isEmpty() &&
            isSameFile(output.name(), input.name()))
            return Error::writing(output.name(), QStringLiteral("es uno de los textos de entrada; "
                                                                "elija otro nombre para el fichero"));
    return success();
}

Status refuseSameOutputs(const FileRef& first, const FileRef& second)
{
    const bool same = first.isStandardStream() || second.isStandardStream()
                          ? first.isStandardStream() && second.isStandardStream()
                          : isSameFile(first.name(), second.name());
    if (!same) return success();
    return Error::writing(second.name(), QStringLiteral("las dos salidas son el mismo fichero; elija otro "
                                                        "nombre para una de ellas"));
}

} // namespace solandre
