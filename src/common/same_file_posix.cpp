// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/same_file.h"

#include <QFile>
#include <sys/stat.h>

namespace solandre::detail {

bool sameExistingFile(const QString& a, const QString& b)
{
    struct stat first {}, second {};
    if (stat(QFile::encodeName(a).constData(), &first) != 0) return false;
    if (stat(QFile::encodeName(b).constData(), &second) != 0) return false;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

} // namespace solandre::detail
