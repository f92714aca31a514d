// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Exportar...", as the search window and the concordance lines window run
// it: the file asked for, a text refused as the output before the replace
// question, the lines written as long work, and how it went said.

#include "search/concordance_lines.h"

#include <QString>

class QWidget;

namespace solandre {

struct Desktop;

void exportWithDialogs(QWidget* parent, Desktop& desktop, const ConcordanceLines& lines, const QString& source,
                       const QString& target);

} // namespace solandre
