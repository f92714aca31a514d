// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/search/export_dialog.h"

#include "common/same_file.h"
#include "forms/long_work.h"
#include "forms/wait_cursor.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "study/export_file.h"

#include <QFileInfo>

namespace solandre {

void exportWithDialogs(QWidget* parent, Desktop& desktop, const ConcordanceLines& lines, const QString& source,
                       const QString& target)
{
    const QString file = desktop.dialogs.saveFileName(
        parent, QStringLiteral("Texto separado por tabuladores (*.tsv)|*.tsv|"
                               "Valores separados por comas (*.csv)|*.csv"));
    if (file.isEmpty()) return;
    // Refused before the replace question: exporting over a text loses it.
    if (Status refused = refuseInputAsOutput(file, {source, target}); !refused) {
        desktop.dialogs.message(parent, {refused.error().message});
        return;
    }
    if (QFileInfo::exists(file) &&
        desktop.dialogs.message(parent, {file + QStringLiteral(" ya existe.\r\n¿Desea reemplazarlo?"),
                                         QStringLiteral("Fichero existente"), Buttons::YesNo}) == Answer::No)
        return;

    Status exported = success();
    {
        WaitCursor wait;
        runLongWork(parent, QStringLiteral("Exportando %1").arg(QFileInfo(file).fileName()), Cancel::Allowed,
                    [&](const Progress& progress) {
                        exported = exportLines(file, lines, source, target, exportFormatOf(file), progress);
                    });
    }
    if (!exported && exported.error().cancelled) return; // the old file is as it was
    desktop.dialogs.message(parent, {exported ? QStringLiteral("la exportación ha finalizado.")
                                              : exported.error().message});
}

} // namespace solandre
