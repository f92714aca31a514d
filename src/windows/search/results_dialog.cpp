// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/search/results_dialog.h"

#include "common/same_file.h"
#include "forms/long_work.h"
#include "forms/wait_cursor.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"

#include <QFileInfo>

namespace solandre {

void saveResultsWithDialogs(QWidget* parent, Desktop& desktop, const QStringList& texts,
                            const SaveMessages& messages, const ResultsWriter& write,
                            const std::function<void()>& afterWriting)
{
    const QString file = desktop.dialogs.saveFileName(parent, QStringLiteral("Ficheros texto (*.TXT)|*.TXT"));
    if (file.isEmpty()) return;
    // Refused before the replace question: saving over a text loses it.
    for (const QString& text : texts)
        if (Status refused = refuseInputAsOutput(file, {text}); !refused) {
            desktop.dialogs.message(parent, {refused.error().message});
            return;
        }
    // On Yes the old file stays until the new one replaces it whole.
    if (QFileInfo::exists(file) &&
        desktop.dialogs.message(parent, {file + QString::fromUtf8(messages.exists) + QStringLiteral("\r\n") +
                                             QString::fromUtf8(messages.replace),
                                         QString::fromUtf8(messages.existsTitle), Buttons::YesNo}) == Answer::No)
        return;

    Status saved = success();
    {
        WaitCursor wait;
        runLongWork(parent, QStringLiteral("Guardando %1").arg(QFileInfo(file).fileName()), Cancel::Allowed,
                    [&](const Progress& progress) { saved = write(file, progress); });
        if (afterWriting) afterWriting();
    }
    if (!saved && saved.error().cancelled) return; // the old file is as it was
    desktop.dialogs.message(parent, {saved ? QString::fromUtf8(messages.saved) : saved.error().message});
}

} // namespace solandre
