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
    return solandre::cli::run(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                              std::cerr, isatty(fileno(stderr)) != 0);
}
