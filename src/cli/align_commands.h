// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// align: where a translation's sentences stop pairing one to one, and the
// pair rewritten aligned.

#include "cli/arguments.h"
#include "cli/command_context.h"

namespace solandre::cli {

extern const CommandSpec kAlignCommand;
int alignCommand(const CommandContext& context);

} // namespace solandre::cli
