// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The few calls to the system that Qt does not offer, per platform.

#include <QString>
#include <optional>

namespace solandre::detail {

// Sends what was written to the open file `handle` to the disk.
bool syncToDisk(int handle);
// Renames `from` to `to`, replacing what `to` names; the reason when it cannot.
std::optional<QString> renameOver(const QString& from, const QString& to);

} // namespace solandre::detail
