// A process killed while it saves: the target afterwards holds the old or
// the new content whole, never a mix.
#include "common/fileio.h"
#include "support/temp_files.h"

#include <QDir>
#include <QElapsedTimer>
#include <csignal>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace solandre {
namespace {

TEST(KilledSave, TargetIsOldOrNewNeverAMix)
{
    testing::TempDir dir;
    const std::string oldContent(1 << 20, 'o');
    const std::string newContent(16 << 20, 'n');
    const QString target = dir.path("resultados.txt");

    // Kill anywhere from before the write starts to a little after it ends.
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(writeFileSafely(dir.path("trial.txt"), newContent).ok());
    const auto window = useconds_t(clock.nsecsElapsed() / 1000 * 3 / 2 + 1000);
    QFile::remove(dir.path("trial.txt"));

    std::mt19937 random(20261207);
    int sawOld = 0, sawNew = 0;
    for (int seed = 0; seed < 60; ++seed) {
        dir.write("resultados.txt", oldContent);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) _exit(writeFileSafely(target, newContent).ok() ? 0 : 1);
        usleep(std::uniform_int_distribution<useconds_t>(0, window)(random));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);

        const std::string now = testing::readBytes(target);
        ASSERT_TRUE(now == oldContent || now == newContent)
            << "seed " << seed << ": " << now.size() << " bytes of a mix";
        (now == oldContent ? sawOld : sawNew)++;
        // A killed writer can leave its temporary; the next run starts clean.
        for (const QString& entry : dir.entries())
            if (entry != "resultados.txt") QFile::remove(dir.path(entry));
    }
    RecordProperty("old", sawOld);
    RecordProperty("new", sawNew);
    EXPECT_GT(sawOld, 0);
}

} // namespace
} // namespace solandre
