// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// solandre-cli: the core's operations from the command line. Output goes
// through the given streams so tests can read it; "-" as an output file
// writes the process's standard output.

#include "cli/arguments.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace solandre::cli {

// `args` excludes the program name. Returns the exit code: 0 success,
// 1 failure, 2 usage error. When `err` is a terminal, long work shows a
// progress line there.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        bool errIsTerminal = false);

// Every command, in the order the help lists them.
const std::vector<CommandSpec>& commands();

} // namespace solandre::cli
