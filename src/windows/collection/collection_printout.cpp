// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/collection/collection_printout.h"

#include "common/encoding.h"
#include "search/result_grid.h"
#include "windows/search/list_printout.h"

namespace solandre {

bool printCollectionList(Printer& printer, const CollectionConcordance& c, const Progress& progress)
{
    return printList(printer, c.hitCount() + 1, kCollectionPrintColumns,
                     [&c](size_t row, int column) {
                         if (row == 0)
                             return column == 0 ? QStringLiteral("Texto")
                                                : QString::fromLatin1(ResultGrid::kHeader[column - 1]);
                         const size_t k = row - 1;
                         if (column == 0) return c.nameOf(c.hit(k).member);
                         return decodeText(column == 1 ? c.form(k) : c.marker(k), c.encodingOf(k));
                     },
                     progress);
}

} // namespace solandre
