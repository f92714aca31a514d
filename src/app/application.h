// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Start-up: the windows the program knows, Qt's own Spanish texts, and the
// first window.

#include <memory>

class QApplication;

namespace solandre {

struct Desktop;
class FormRegistry;

// Every window of the program, defined in `forms`.
void defineWindows(FormRegistry& forms);

// Qt's Spanish translations for its standard buttons and dialogs, when the
// system has them.
void loadSpanishTranslations(QApplication& app);

} // namespace solandre
