// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Work that may take long (numbering, opening a big text, sorting, saving,
// printing, aligning) runs off the interface thread while the windows keep
// painting. The caller waits for it as for a plain call, so a handler behaves
// as before: the hourglass stays, and no other handler runs meanwhile (input
// to the windows is held back). Past half a second a progress dialog says
// what is being done, how far it is and the time left, with "Cancelar" when
// the work can stop; the work then sees its progress answered with false.

#include "common/progress.h"

#include <QString>
#include <functional>

class QWidget;

namespace solandre {

enum class Cancel { Allowed, NotAllowed };

// The work gets the progress to report to, from its own thread.
void runLongWork(QWidget* parent, const QString& what, Cancel cancel,
                 const std::function<void(const Progress&)>& work);

} // namespace solandre
