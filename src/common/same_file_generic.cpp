// SPDX-License-Identifier: GPL-3.0-or-later
// Without file numbers: two paths are one file when they resolve alike.
#include "common/same_file.h"

#include <QFileInfo>

namespace solandre::detail {

bool sameExistingFile(const QString& a, const QString& b)
{
    return QFileInfo(a).canonicalFilePath().compare(QFileInfo(b).canonicalFilePath(),
                                                    Qt::CaseInsensitive) == 0;
}

} // namespace solandre::detail
