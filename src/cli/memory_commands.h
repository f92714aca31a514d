// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// pair: a translation memory or a bilingual table made a numbered pair;
// tmx: a numbered pair made a translation memory.

#include "cli/arguments.h"
#include "cli/command_context.h"

namespace solandre::cli {

extern const CommandSpec kPairCommand;
int pairCommand(const CommandContext& context);

extern const CommandSpec kTmxCommand;
int tmxCommand(const CommandContext& context);

} // namespace solandre::cli
