// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The few calls to the system that Qt does not offer, per platform.

#include <QString>
#include <optional>
#include <span>

namespace solandre::detail {

// Sends what was written to the open file `handle` to the disk.
bool syncToDisk(int handle);
// Renames `from` to `to`, replacing what `to` names; the reason when it cannot.
std::optional<QString> renameOver(const QString& from, const QString& to);

struct Move {
    QString from, to;
};
struct MoveFailure {
    size_t move; // the first move not made
    QString reason;
};
// Makes the moves in order, stopping at the first that fails and undoing
// those made before it, where the system can keep the files they replace. A
// process that dies while they are made (killed, crashed in another thread)
// does not stop them half way where the system allows it.
std::optional<MoveFailure> renameAllOver(std::span<const Move> moves);

} // namespace solandre::detail
