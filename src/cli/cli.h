#pragma once
// solandre-cli: the core's operations from the command line. Output goes
// through the given streams so tests can read it.

#include <iosfwd>
#include <string>
#include <vector>

namespace solandre::cli {

enum ExitCode { kOk = 0, kFailed = 1, kUsage = 2 };

// `args` excludes the program name.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace solandre::cli
