#include "cli/cli.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>
#include <sstream>

namespace solandre {
namespace {

using testing::readBytes;
using testing::TempDir;

struct CliRun {
    int status;
    std::string out, err;
};

CliRun runCli(std::vector<std::string> args)
{
    std::ostringstream out, err;
    const int status = cli::run(args, out, err);
    return {status, out.str(), err.str()};
}

TEST(CliNumber, NumbersFileToFile)
{
    TempDir dir;
    const QString input = dir.write("in.txt", "Uno. Dos.");
    const CliRun run = runCli({"number", input.toStdString(), dir.path("out.txt").toStdString()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(readBytes(dir.path("out.txt")), "[1] Uno.\r\n[2] Dos.\r\n");
}

TEST(CliNumber, FailureIsOneLineNamingTheFile)
{
    TempDir dir;
    const std::string missing = dir.path("missing.txt").toStdString();
    const CliRun run = runCli({"number", missing, dir.path("out.txt").toStdString()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(missing), std::string::npos);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
    EXPECT_TRUE(dir.entries().isEmpty());
}

TEST(CliUsage, WrongUsageExitsWithTwo)
{
    const std::vector<std::vector<std::string>> cases = {
        {}, {"frobnicate"}, {"number"}, {"number", "a"}, {"number", "a", "b", "c"},
    };
    for (const auto& args : cases) {
        const CliRun run = runCli(args);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(args);
        EXPECT_NE(run.err.find("usage:"), std::string::npos);
    }
    const CliRun help = runCli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("number INPUT OUTPUT"), std::string::npos);
}

} // namespace
} // namespace solandre

namespace solandre {
namespace {

class CliSearch : public ::testing::Test {
protected:
    TempDir dir;
    // "río" and "Río" in Windows-1252.
    const std::string numbered = "[1] El r\xEDo y la casa.\r\n[2] R\xEDo abajo, casas.\r\n"
                                 "[12] Casa.\r\n";
    std::string file = dir.write("t_source_ref.txt", numbered).toStdString();
};

TEST_F(CliSearch, ListsEachFormThenItsTotalInUtf8)
{
    const CliRun run = runCli({"search", file, "río", "cas*"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "río\t[1]\nRío\t[2]\nTotal de ocurrencia(s) para : río = 2\n"
                       "casa\t[1]\ncasas\t[2]\nCasa\t[12]\nTotal de ocurrencia(s) para : cas* = 3\n");
}

TEST_F(CliSearch, OptionsMayStandAnywhere)
{
    const CliRun counted = runCli({"search", "--count", file, "cas*", "nada"});
    EXPECT_EQ(counted.out, "Total de ocurrencia(s) para : cas* = 3\n"
                           "Total de ocurrencia(s) para : nada = 0\n");
    const CliRun sorted = runCli({"search", file, "cas*", "--sort-forms"});
    EXPECT_EQ(sorted.out, "Casa\t[12]\ncasa\t[1]\ncasas\t[2]\nTotal de ocurrencia(s) para : cas* = 3\n");
}

TEST_F(CliSearch, UnreadableFileAndMissingFormsFail)
{
    const CliRun missing = runCli({"search", dir.path("no.txt").toStdString(), "casa"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("no.txt"), std::string::npos);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(runCli({"search", file}).status, 2);
    EXPECT_EQ(runCli({"search", "--count"}).status, 2);
}

} // namespace
} // namespace solandre

namespace solandre {
namespace {

TEST(CliSave, WritesTheResultsFileOfThePreparedTextsWindow)
{
    TempDir dir;
    const std::string source = dir.write("s.txt", "[1] Casa.\r\n[2] casa.\r\n").toStdString();
    const std::string target = dir.write("t.txt", "[1] Maison.\r\n").toStdString();
    const std::string out = dir.path("r.txt").toStdString();
    const CliRun run = runCli({"save", source, "casa", "-o", out, "--target", target, "--title",
                               "Título", "--date", "07/12/2026", "--sort-forms"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string sep(74, '-');
    EXPECT_EQ(readBytes(dir.path("r.txt")),
              "R\xE9" "f\xE9rencia(s) : T\xEDtulo\r\nb\xFAsqueda efectuada el : 07/12/2026\r\n" + sep +
                  "\r\n\r\nForma(s)" + std::string(28, ' ') + "Referencia(s)\r\nCasa" +
                  std::string(32, ' ') + "[1]\r\ncasa" + std::string(32, ' ') + "[2]\r\n" + sep +
                  "\r\n[1] Casa.\r\n\r\n[1] Maison.\r\n\r\n" + sep + "\r\n[2] casa.\r\n\r\n\r\n");
}

TEST(CliSave, FailuresNameTheFileAndLoseNothing)
{
    TempDir dir;
    const std::string source = dir.write("s.txt", "[1] Casa.\r\n").toStdString();
    const CliRun same = runCli({"save", source, "casa", "-o", source});
    EXPECT_EQ(same.status, 1);
    EXPECT_NE(same.err.find("s.txt"), std::string::npos);
    EXPECT_EQ(readBytes(dir.path("s.txt")), "[1] Casa.\r\n");

    dir.write("r.txt", "viejo");
    const CliRun missing = runCli({"save", source, "casa", "-o", dir.path("r.txt").toStdString(),
                                   "--target", dir.path("no.txt").toStdString()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("no.txt"), std::string::npos);
    EXPECT_EQ(readBytes(dir.path("r.txt")), "viejo");

    EXPECT_EQ(runCli({"save", source, "casa"}).status, 2);
    EXPECT_EQ(runCli({"save", source, "casa", "-o"}).status, 2);
}

} // namespace
} // namespace solandre
