#pragma once
// number, search and save: the numbering and the search windows' work.

#include "cli/arguments.h"
#include "cli/command_context.h"

namespace solandre::cli {

extern const CommandSpec kNumberCommand;
extern const CommandSpec kSearchCommand;
extern const CommandSpec kSaveCommand;

int numberCommand(const CommandContext& context);
int searchCommand(const CommandContext& context);
int saveCommand(const CommandContext& context);

} // namespace solandre::cli
