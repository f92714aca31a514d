// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/search/list_printout.h"

#include "common/encoding.h"

namespace solandre {

bool printList(Printer& printer, size_t rows, const std::vector<int>& columnX, const PrintedCell& cell,
               const Progress& progress)
{
    constexpr int kLinesPerPage = 68;
    int lines = 0;
    auto printRow = [&](size_t row) {
        ++lines;
        for (int column = 0; column < int(columnX.size()); ++column) {
            if (column > 0) printer.setX(columnX[size_t(column)]);
            QString text = cell(row, column);
            qsizetype end = text.size();
            while (end > 0 && text[end - 1] == QLatin1Char(' ')) --end;
            text.truncate(end);
            printer.print(text, column + 1 == int(columnX.size()));
        }
    };
    printer.setFont({QStringLiteral("verdana"), 12, true, false});
    printRow(0);
    printer.print(QString(60, QLatin1Char('-')), true);
    printer.setFont({QStringLiteral("verdana"), 9, false, false});
    for (size_t r = 1; r < rows; ++r) {
        if (r % 1024 == 0) goOn(progress, double(r) / double(rows));
        printRow(r);
        if (lines == kLinesPerPage) {
            lines = 0;
            printer.newPage();
        }
    }
    return printer.endDocument();
}

bool printResultList(Printer& printer, const ResultGrid& grid, const Progress& progress)
{
    return printList(printer, grid.rows(), {0, 5000},
                     [&grid](size_t row, int column) {
                         return decodeText(grid.text(row, column),
                                           row == 0 ? Encoding::Windows1252 : grid.encoding());
                     },
                     progress);
}

} // namespace solandre
