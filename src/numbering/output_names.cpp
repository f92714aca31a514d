// SPDX-License-Identifier: GPL-3.0-or-later
#include "numbering/output_names.h"

#include <QFileInfo>

namespace solandre {

std::optional<QString> defaultOutputName(const QString& input, const QString& suffix)
{
    if (input.size() < 4) return std::nullopt;
    return input.left(input.size() - 4) + suffix + input.right(4);
}

QString textNameBeside(const QString& input, const QString& suffix)
{
    const QString extension = QFileInfo(input).suffix();
    const QString stem = extension.isEmpty() ? input : input.left(input.size() - extension.size() - 1);
    return stem + suffix + QStringLiteral(".txt");
}

} // namespace solandre
