// SPDX-License-Identifier: GPL-3.0-or-later
// Renames that belong together: made all, or stopped only by a failure,
// never by the death of the process that asked for them.
#include "common/file_system.h"
#include "common/fileio.h"
#include "support/temp_files.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <gtest/gtest.h>
#include <random>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace solandre {
namespace {

using detail::Move;
using testing::readBytes;
using testing::TempDir;

std::vector<Move> numberedMoves(const TempDir& dir, int count)
{
    std::vector<Move> moves;
    for (int k = 0; k < count; ++k) {
        const QString name = QString::number(k);
        moves.push_back({dir.write("new" + name, "new"), dir.write("old" + name, "old")});
    }
    return moves;
}

int movesMade(const std::vector<Move>& moves)
{
    int made = 0;
    for (const Move& move : moves) made += readBytes(move.to) == "new";
    return made;
}

// A failure half way leaves every file as it was: those already replaced
// are put back, and a file that did not exist is gone again.
TEST(RenameAllOver, StopsAtTheFirstFailureUndoesTheMovesMadeAndSaysWhich)
{
    TempDir dir;
    std::vector<Move> moves = numberedMoves(dir, 4);
    moves[1].to = dir.path("absent");
    moves[3].from = dir.path("missing");
    const auto failure = detail::renameAllOver(moves);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->move, 3u);
    EXPECT_FALSE(failure->reason.isEmpty());
    EXPECT_EQ(movesMade(moves), 0);
    EXPECT_EQ(readBytes(moves[0].to), "old");
    EXPECT_EQ(readBytes(moves[2].to), "old");
    EXPECT_FALSE(QFile::exists(moves[1].to));
    // The new files of the moves undone are gone, and no second name is left.
    EXPECT_EQ(dir.entries(), (QStringList {"new3", "old0", "old1", "old2", "old3"}));
}

// Killed at a random moment, the process that asked for the renames leaves
// none or all of them made: the one that makes them goes on to the end.
TEST(RenameAllOver, AKilledCallerLeavesNoneOrAllMade)
{
    // The process that makes the renames outlives its parent: adopted here,
    // it can be waited for.
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    std::mt19937 random(20261208);
    int none = 0, all = 0;
    for (int round = 0; round < 30; ++round) {
        TempDir dir;
        const std::vector<Move> moves = numberedMoves(dir, 100);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) _exit(detail::renameAllOver(moves) ? 1 : 0);
        usleep(std::uniform_int_distribution<useconds_t>(0, 2000)(random));
        kill(child, SIGKILL);
        while (waitpid(-1, nullptr, 0) > 0 || errno == EINTR) {
        }
        const int made = movesMade(moves);
        ASSERT_TRUE(made == 0 || made == 100) << "round " << round << ": " << made << " of 100 made";
        (made == 0 ? none : all)++;
    }
    prctl(PR_SET_CHILD_SUBREAPER, 0);
    RecordProperty("none", none);
    RecordProperty("all", all);
}

// A rename that fails once the files are written names the file it could
// not put in place, leaves the pair's other file as it was, and no
// temporary behind.
TEST(CommitTogether, ARenameThatFailsNamesItsFileAndLeavesThePairAsItWas)
{
    for (const bool sourceExisted : {true, false}) {
        SCOPED_TRACE(sourceExisted ? "a source replaced" : "a new source");
        TempDir dir;
        if (sourceExisted) dir.write("es.txt", "old source");
        const QString target = dir.path("fr.txt");
        auto a = SafeFileWriter::open(dir.path("es.txt"));
        auto b = SafeFileWriter::open(target);
        ASSERT_TRUE(a.ok() && b.ok());
        a.value().write("new source");
        b.value().write("new target");
        // Meanwhile a folder, not empty, has taken the target's name.
        ASSERT_TRUE(QDir(dir.root()).mkpath("fr.txt/dentro"));
        const Status both = commitTogether(a.value(), b.value());
        ASSERT_FALSE(both.ok());
        EXPECT_TRUE(both.error().message.contains(target)) << both.error().message.toStdString();
        a = Error {};
        b = Error {};
        if (sourceExisted) {
            EXPECT_EQ(readBytes(dir.path("es.txt")), "old source");
            EXPECT_EQ(dir.entries(), (QStringList {"es.txt", "fr.txt"})) << "no temporary file left";
        } else {
            EXPECT_EQ(dir.entries(), (QStringList {"fr.txt"})) << "no new source, no temporary file left";
        }
    }
}

} // namespace
} // namespace solandre
