// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// candidates and export: what the new windows read from a search.

#include "cli/arguments.h"
#include "cli/command_context.h"

namespace solandre::cli {

extern const CommandSpec kCandidatesCommand;
extern const CommandSpec kExportCommand;

int candidatesCommand(const CommandContext& context);
int exportCommand(const CommandContext& context);

} // namespace solandre::cli
