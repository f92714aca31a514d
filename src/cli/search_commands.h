// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// number, search and save: the numbering and the search windows' work.

#include "cli/arguments.h"
#include "cli/command_context.h"

namespace solandre {
class Concordance;
}

namespace solandre::cli {

extern const CommandSpec kNumberCommand;
extern const CommandSpec kSearchCommand;
extern const CommandSpec kSaveCommand;

int numberCommand(const CommandContext& context);
int searchCommand(const CommandContext& context);
int saveCommand(const CommandContext& context);

// Reads and indexes a numbered text, warning when it does not look
// numbered; false, the failure told, when it cannot be read.
bool loadNumbered(const CommandContext& c, solandre::Concordance& concordance, const std::string& arg);

} // namespace solandre::cli
