// SPDX-License-Identifier: GPL-3.0-or-later
// A process killed while it saves a results file: the target afterwards holds
// the old or the new content whole, never a mix.
#include "numbering/numbering_engine.h"
#include "search/concordance.h"
#include "search/results_file.h"
#include "support/temp_files.h"

#include <QElapsedTimer>
#include <QFile>
#include <csignal>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace solandre {
namespace {

TEST(KilledSave, TargetIsOldOrNewNeverAMix)
{
    // Every word of this text is a hit; with both sentences of each hit the
    // results file comes to about 50 MB, written in many pieces.
    std::string text;
    for (int s = 1; text.size() < 1'250'000; ++s)
        text += "Frase " + std::to_string(s) + " de la casa junto al viejo molino. ";
    const std::string numbered = numberText(text);
    Concordance concordance(numbered);
    concordance.search("*");
    const ResultGrid& grid = concordance.grid();
    const ResultsHeading heading{"T", "D"};

    testing::TempDir dir;
    const QString target = dir.path("resultados.txt");
    const std::string oldContent(1 << 20, 'o');

    // Kill anywhere from before the save starts to well after it ends, so
    // that both outcomes come up even when other tests slow the machine.
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(saveResults(target, heading, grid, {numbered}, {numbered}).ok());
    const auto window = useconds_t(clock.nsecsElapsed() / 1000 * 2 + 1000);
    const std::string newContent = testing::readBytes(target);
    ASSERT_GT(newContent.size(), 45u << 20);

    std::mt19937 random(20261207);
    int sawOld = 0, sawNew = 0;
    for (int seed = 0; seed < 100; ++seed) {
        dir.write("resultados.txt", oldContent);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) _exit(saveResults(target, heading, grid, {numbered}, {numbered}).ok() ? 0 : 1);
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
    EXPECT_GT(sawNew, 0);
}

} // namespace
} // namespace solandre
