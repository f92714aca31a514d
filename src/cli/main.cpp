// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli.h"

#include <csignal>
#include <cstdio>
#include <unistd.h>
#include <iostream>

int main(int argc, char** argv)
{
    // A reader that goes away ("| head") is seen as a failed write, which
    // ends the command quietly, instead of killing the program.
    std::signal(SIGPIPE, SIG_IGN);
    // A file size limit (ulimit -f) makes a write fail, which names the file,
    // rather than kill the program.
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    return solandre::cli::run(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                              std::cerr, isatty(fileno(stderr)) != 0);
}
