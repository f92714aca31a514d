// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Guardar", as every window that saves a results file runs it: the file
// asked for, a text refused as the output before the replace question, the
// old file kept until the new one is whole, the writing as long work, and
// how it went said.

#include "common/progress.h"
#include "common/result.h"

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace solandre {

struct Desktop;

// The window's own texts (UTF-8 here).
struct SaveMessages {
    const char* exists;  // after the file's name
    const char* replace; // the question's second line
    const char* existsTitle;
    const char* saved; // the closing message
};

using ResultsWriter = std::function<Status(const QString& file, const Progress& progress)>;

// `texts`: the files the saving must never replace. `afterWriting` runs
// under the wait cursor once the writing has ended, however it ended.
void saveResultsWithDialogs(QWidget* parent, Desktop& desktop, const QStringList& texts,
                            const SaveMessages& messages, const ResultsWriter& write,
                            const std::function<void()>& afterWriting = {});

} // namespace solandre
