// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/viewer/context_printout.h"

namespace solandre {

QStringList targetLines(const QString& text)
{
    QStringList lines;
    QString line;
    for (const QChar c : text) {
        line += c;
        if (line.size() > 80 && c == QLatin1Char(' ')) {
            lines << line;
            line.clear();
        }
    }
    lines << line;
    return lines;
}

bool printContext(Printer& printer, const PrintedContext& context)
{
    PrinterFont font = printer.font();
    font.size = 9;
    font.name = QStringLiteral("verdana");
    printer.setFont(font);
    auto heading = [&](const QString& text) {
        font.bold = font.underline = true;
        printer.setFont(font);
        printer.print(text, true);
        font.bold = font.underline = false;
        printer.setFont(font);
    };
    heading(context.sourceHeading);
    printer.print(context.source, true);
    heading(context.targetHeading);
    for (const QString& line : targetLines(context.target)) printer.print(line, true);
    return printer.endDocument();
}

} // namespace solandre
