// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The system and Qt word their failures in English unless a translation is
// installed; the user reads them in Spanish all the same.

#include <QString>

namespace solandre {

// `reason` with each known English failure replaced by its Spanish wording;
// anything else (a reason already translated, our own texts) stays as it is.
QString systemReasonInSpanish(const QString& reason);

} // namespace solandre
