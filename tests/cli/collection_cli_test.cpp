// SPDX-License-Identifier: GPL-3.0-or-later
// solandre-cli given a folder where it takes a numbered text.

#include "cli/cli.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>
#include <sstream>

namespace solandre {
namespace {

using testing::TempDir;

struct CliResult {
    int status;
    std::string out, err;
};

CliResult run(std::vector<std::string> args)
{
    std::ostringstream out, err;
    const int status = cli::run(args, out, err);
    return {status, out.str(), err.str()};
}

class CliCollection : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.write("obra_source_ref.txt", "[1] Casa grande.\r\n[2] Una casa.\r\n");
        dir.write("obra_cible_ref.txt", "[1] Grande maison.\r\n[2] Une maison.\r\n");
        dir.write("sub/cap1.es.txt", "La casa. Otra CASA.");
        dir.write("sub/cap1.fr.txt", "La maison. Une autre maison.");
        dir.write("mem.tsv", "casa\tmaison\r\n");
        dir.write("notas.txt", "Sin lengua.");
        folder = dir.root().toStdString();
    }
    TempDir dir;
    std::string folder;
};

TEST_F(CliCollection, EachHitLineIsTheNameTheFormAndTheMarker)
{
    const CliResult r = run({"search", folder, "casa"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "mem\tcasa\t[1]\n"
                     "obra\tCasa\t[1]\nobra\tcasa\t[2]\n"
                     "sub/cap1\tcasa\t[1]\nsub/cap1\tCASA\t[2]\n"
                     "Total de ocurrencia(s) para : casa = 5\n");
    EXPECT_NE(r.err.find("notas.txt"), std::string::npos) << "what was set aside is said: " << r.err;
}

TEST_F(CliCollection, CountGivesATotalPerPairAndTheOverallOne)
{
    const CliResult r = run({"search", folder, "casa", "--count"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "mem\t1\nobra\t2\nsub/cap1\t2\nTotal de ocurrencia(s) para : casa = 5\n");
}

TEST_F(CliCollection, FrequenciesCountOverEveryText)
{
    const CliResult r = run({"search", folder, "*", "--frequencies"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "casa\t5");
}

TEST_F(CliCollection, PhrasesAndConditionsReadEachPairsOwnTranslation)
{
    const CliResult phrase = run({"search", folder, "una casa"});
    EXPECT_EQ(phrase.out, "obra\tUna casa\t[2]\nTotal de ocurrencia(s) para : una casa = 1\n") << phrase.err;
    const CliResult without = run({"search", folder, "casa", "--without", "grande"});
    EXPECT_EQ(without.status, 0) << without.err;
    EXPECT_EQ(without.out, "mem\tcasa\t[1]\nobra\tcasa\t[2]\nsub/cap1\tcasa\t[1]\nsub/cap1\tCASA\t[2]\n"
                           "Total de ocurrencia(s) para : casa = 4\n");
    const CliResult with = run({"search", folder, "casa", "--with", "autre"});
    EXPECT_EQ(with.out, "sub/cap1\tCASA\t[2]\nTotal de ocurrencia(s) para : casa = 1\n") << with.err;
    const CliResult bad = run({"search", folder, "ca(sa", "--regex"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "");
}

TEST_F(CliCollection, AFolderThatCannotBeReadFails)
{
    const CliResult r = run({"search", folder + "/sub/../nada/", "casa"});
    EXPECT_NE(r.status, 0);
}

} // namespace
} // namespace solandre
