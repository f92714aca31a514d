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

const char* const kExportFilter = "Libro de hoja de cálculo (*.xlsx)|*.xlsx|"
                                  "Valores separados por comas (*.csv)|*.csv|"
                                  "Texto separado por tabuladores (*.tsv)|*.tsv";

ExportFormat exportFormatOfType(int type)
{
    switch (type) {
    case 1: return ExportFormat::Csv;
    case 2: return ExportFormat::Tsv;
    default: return ExportFormat::Xlsx;
    }
}

void exportWithDialogs(QWidget* parent, Desktop& desktop, const QStringList& texts, const ExportWriter& write)
{
    const SaveChoice choice = desktop.dialogs.saveFileOfType(parent, QString::fromUtf8(kExportFilter));
    if (choice.name.isEmpty()) return;
    const ExportTarget target = exportTarget(choice.name, exportFormatOfType(choice.type));
    const QString& file = target.path;
    // Refused before the replace question: exporting over a text loses it.
    for (const QString& text : texts)
        if (Status refused = refuseInputAsOutput(file, {text}); !refused) {
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
                    [&](const Progress& progress) { exported = write(file, target.format, progress); });
    }
    if (!exported && exported.error().cancelled) return; // the old file is as it was
    desktop.dialogs.message(parent, {exported ? QStringLiteral("la exportación ha finalizado.")
                                              : exported.error().message});
}

void exportLinesWithDialogs(QWidget* parent, Desktop& desktop, const ConcordanceLines& lines, const QString& source,
                            const QString& target)
{
    exportWithDialogs(parent, desktop, {source, target},
                      [&](const QString& file, ExportFormat format, const Progress& progress) {
                          return exportLines(file, lines, source, target, format, progress);
                      });
}

} // namespace solandre
