// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the manual pages of solandre and solandre-cli and the bash
// completion of solandre-cli into the folder given, from the programs' own
// help texts and command table. Run by the build.
#include "app/command_line.h"
#include "cli/cli.h"
#include "cli/manual.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

bool write(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) std::fprintf(stderr, "make_docs: cannot write %s\n", path.c_str());
    return bool(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_docs FOLDER\n");
        return 2;
    }
    using namespace solandre;
    const std::string folder = argv[1];
    const bool ok =
        write(folder + "/solandre.1",
              cli::manualPageFromHelp("solandre", SOLANDRE_VERSION,
                                      "concordancia de un texto y su traducción, frase por frase",
                                      commandLineHelp().toStdString(), "solandre-cli")) &&
        write(folder + "/solandre-cli.1", cli::cliManualPage(cli::commands(), SOLANDRE_VERSION)) &&
        write(folder + "/solandre-cli", cli::bashCompletion(cli::commands()));
    return ok ? 0 : 1;
}
