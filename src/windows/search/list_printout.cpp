// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/search/list_printout.h"

#include "common/encoding.h"

namespace solandre {
namespace {

QString trimmedRight(std::string_view cell, Encoding encoding)
{
    const size_t end = cell.find_last_not_of(' ');
    return decodeText(end == std::string_view::npos ? std::string_view() : cell.substr(0, end + 1), encoding);
}

} // namespace

bool printResultList(Printer& printer, const ResultGrid& grid, const Progress& progress)
{
    constexpr int kLinesPerPage = 68;
    constexpr int kMarkerColumn = 5000;
    int lines = 0;
    auto printRow = [&](size_t row) {
        ++lines;
        const Encoding encoding = row == 0 ? Encoding::Windows1252 : grid.encoding();
        printer.print(trimmedRight(grid.text(row, 0), encoding), false);
        printer.setX(kMarkerColumn);
        printer.print(trimmedRight(grid.text(row, 1), encoding), true);
    };
    printer.setFont({QStringLiteral("verdana"), 12, true, false});
    printRow(0);
    printer.print(QString(60, QLatin1Char('-')), true);
    printer.setFont({QStringLiteral("verdana"), 9, false, false});
    for (size_t r = 1; r < grid.rows(); ++r) {
        if (r % 1024 == 0) goOn(progress, double(r) / double(grid.rows()));
        printRow(r);
        if (lines == kLinesPerPage) {
            lines = 0;
            printer.newPage();
        }
    }
    return printer.endDocument();
}

} // namespace solandre
