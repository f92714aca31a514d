// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The printed context, apart from any window: the source pane's text under
// its heading, then the target pane's text under "Texto en lengua meta:",
// broken at the first blank past the 80th character of each line, all in
// Verdana 9 with bold underlined headings.

#include "platform/printer.h"

#include <QString>
#include <QStringList>

namespace solandre {

struct PrintedContext {
    QString sourceHeading; // differs between the two viewers
    QString source;
    QString target;
    QString targetHeading = QStringLiteral("Texto en lengua meta:");
};

// Whether the printer took the document.
bool printContext(Printer& printer, const PrintedContext& context);

// The target text as printed lines; the last line is printed even when empty.
QStringList targetLines(const QString& text);

} // namespace solandre
