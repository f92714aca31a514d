// The search window's saving of its list to a results file and its printing.
#include "search/search_window.h"

#include "app/forms/wait_cursor.h"
#include "common/cp1252.h"
#include "common/fileio.h"
#include "common/same_file.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/printer.h"
#include "search/result_grid_view.h"
#include "search/results_file.h"

#include <QDateTimeEdit>
#include <QFileInfo>

namespace solandre {
namespace {

QString trimmedRight(std::string_view cell)
{
    const size_t end = cell.find_last_not_of(' ');
    return fromCp1252(end == std::string_view::npos ? std::string_view() : cell.substr(0, end + 1));
}

} // namespace

void SearchWindow::enregistrer_Click()
{
    const QString file = desktop().dialogs.saveFileName(this, QStringLiteral("Ficheros texto (*.TXT)|*.TXT"));
    if (file.isEmpty()) return;

    const QString source = forms().text(road_.texts.form, road_.texts.source);
    const QString target = forms().text(road_.texts.form, road_.texts.target);
    // Saving over one of the texts would lose the text being saved from.
    for (const QString& text : {source, target}) {
        if (text.isEmpty() || !isSameFile(file, text)) continue;
        desktop().dialogs.message(
            this, {QStringLiteral("No se puede guardar en \"%1\": es uno de los textos de la "
                                  "búsqueda.\r\nElija otro nombre para el fichero.")
                       .arg(file)});
        return;
    }
    // On Yes the old file stays until the new one replaces it whole.
    if (QFileInfo::exists(file) &&
        desktop().dialogs.message(this, {file + QString::fromUtf8(road_.exists) + QStringLiteral("\r\n") +
                                             QString::fromUtf8(road_.replace),
                                         QString::fromUtf8(road_.existsTitle), Buttons::YesNo}) ==
            Answer::No)
        return;

    Status saved = success();
    {
        WaitCursor wait;
        Result<Bytes> sourceText = readWholeFile(source);
        Result<Bytes> targetText = target.isEmpty() ? Result<Bytes>(Bytes()) : readWholeFile(target);
        const ResultsHeading heading =
            makeHeading(*road_.prefixes, forms().text(names::frmtexte, QStringLiteral("References")),
                        formatSearchDate(DTPicker1_->dateTime()));
        if (!sourceText)
            saved = sourceText.error();
        else if (!targetText)
            saved = targetText.error();
        else
            saved = saveResults(file, heading, grid_, sourceText.value().view(),
                                targetText.value().view());
        grid_.setRow(grid_.rows() - 1);
        grid_.setCol(1);
        grille01_->showCurrent();
    }
    desktop().dialogs.message(this, {saved ? QString::fromUtf8(road_.saved) : saved.error().message});
}

void SearchWindow::imprimer_Click()
{
    Printer& printer = desktop().printer;
    desktop().dialogs.printerSetup(this, printer); // printing follows whatever the answer
    printer.setFont({QStringLiteral("verdana"), 12, true, false});
    int lines = 0;
    bool done = false;
    {
        WaitCursor wait;
        auto printRow = [&](size_t row) {
            ++lines;
            printer.print(trimmedRight(grid_.text(row, 0)), false);
            printer.setX(5000);
            printer.print(trimmedRight(grid_.text(row, 1)), true);
            grid_.setRow(row);
            grid_.setCol(1);
        };
        printRow(0);
        printer.print(QString(60, QLatin1Char('-')), true);
        printer.setFont({QStringLiteral("verdana"), 9, false, false});
        const size_t rows = grid_.rows();
        for (size_t r = 1; r < rows; ++r) {
            printRow(r);
            if (lines == 68) {
                lines = 0;
                printer.newPage();
            }
        }
        done = printer.endDocument();
        grille01_->showCurrent();
    }
    if (!done) desktop().dialogs.message(this, {printer.lastError(), QStringLiteral("Solandre"),
                                                Buttons::Ok, Icon::Information});
}

} // namespace solandre
