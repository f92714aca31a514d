// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What `solandre` takes on its command line: the source text and its
// translation, as "Open with" and the desktop entry hand them over, to fill
// the main window's two boxes.

#include <QString>
#include <QStringList>

namespace solandre {

class FormRegistry;

struct CommandLine {
    enum class Action { Start, Help, Version, UsageError };
    Action action = Action::Start;
    QString source; // absolute paths, empty when not given
    QString target;
    QString problem; // of a usage error, one line
};

// `args` excludes the program's name and the options Qt has taken.
CommandLine parseCommandLine(const QStringList& args);

// What --help prints; the manual page is written from it.
QString commandLineHelp();

// Fills Text_latin and Text_francais with the files given (the main window is
// loaded hidden when it is not yet shown).
void fillTextBoxes(FormRegistry& forms, const CommandLine& line);

} // namespace solandre
