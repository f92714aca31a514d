// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/widgets/bidi_text.h"

#include <QList>

namespace solandre {

QString amidLeftToRight(const QString& text)
{
    for (const uint c : text.toUcs4()) {
        const QChar::Direction d = QChar::direction(char32_t(c));
        if (d == QChar::DirR || d == QChar::DirAL || d == QChar::DirRLE || d == QChar::DirRLO || d == QChar::DirRLI)
            // A left-to-right mark to start the caption, the text in an
            // isolate of its own direction.
            return QStringLiteral("\u200E\u2068") + text + QStringLiteral("\u2069");
    }
    return text;
}

} // namespace solandre
