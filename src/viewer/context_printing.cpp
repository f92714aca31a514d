// The viewer's printing of the two sentences it shows.
#include "viewer/context_viewer.h"

#include "app/forms/wait_cursor.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/printer.h"

#include <QTextEdit>

namespace solandre {
namespace {

// The target text in printed lines: a line ends at the first space that
// makes it longer than 80 characters; the rest is the last line, even empty.
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

} // namespace

void ContextViewer::imprimer_Click()
{
    Printer& printer = desktop().printer;
    desktop().dialogs.printerSetup(this, printer); // printing follows whatever the answer
    bool done = false;
    {
        WaitCursor wait;
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
        heading(QString::fromUtf8(road_.sourceHeading));
        printer.print(label3_->toPlainText(), true);
        heading(QStringLiteral("Texto en lengua meta:"));
        for (const QString& line : targetLines(label4_->toPlainText())) printer.print(line, true);
        done = printer.endDocument();
    }
    if (!done) desktop().dialogs.message(this, {printer.lastError(), QStringLiteral("Solandre"),
                                                Buttons::Ok, Icon::Information});
}

} // namespace solandre
