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
