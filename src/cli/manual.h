// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The manual pages and the bash completion, written from the same tables and
// help texts as the programs' own --help, so that they cannot drift apart.

#include "cli/arguments.h"

#include <string>
#include <vector>

namespace solandre::cli {

// The page of solandre-cli (roff for man(1)): every command with its usage,
// its help and its options, then the exit codes.
std::string cliManualPage(const std::vector<CommandSpec>& commands, const std::string& version);

// The page of a program from its --help text: the "Uso:" lines make the
// synopsis, the rest the description. Lines that start with blanks stay as
// they are written (tables of options); other lines are filled.
std::string manualPageFromHelp(const std::string& program, const std::string& version,
                               const std::string& summary, const std::string& help,
                               const std::string& seeAlso);

// A bash completion script for solandre-cli: the commands, then each
// command's options; file names elsewhere.
std::string bashCompletion(const std::vector<CommandSpec>& commands);

} // namespace solandre::cli
