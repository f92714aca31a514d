// SPDX-License-Identifier: GPL-3.0-or-later
// The writers of a numbered pair (a memory made a pair, an aligned pair)
// under faults and kills: both files are replaced together or not at all.
#include "align/numbered_pair.h"
#include "numbering/numbering_engine.h"
#include "support/temp_files.h"
#include "tmx/memory_import.h"

#include <QElapsedTimer>
#include <QFile>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace solandre {
namespace {

using testing::readBytes;
using testing::TempDir;

// A table of `rows` rows whose target side is `factor` times the source.
std::string table(int rows, int factor)
{
    std::string out;
    for (int k = 1; k <= rows; ++k) {
        out += "Frase " + std::to_string(k) + " de la casa.\t";
        for (int f = 0; f < factor; ++f) out += "Phrase " + std::to_string(k) + " de la maison. ";
        out += "\n";
    }
    return out;
}

struct PairWriter {
    const char* name;
    std::function<void(const TempDir&)> prepare;
    std::function<Status(const TempDir&, const QString&, const QString&)> write;
};

const std::vector<PairWriter>& pairWriters()
{
    static const std::vector<PairWriter> all = {
        {"memory made a pair", [](const TempDir& dir) { dir.write("m.tsv", table(20000, 3)); },
         [](const TempDir& dir, const QString& source, const QString& target) {
             const auto made = importMemory(dir.path("m.tsv"), source, target);
             return made ? success() : Status(made.error());
         }},
        {"aligned pair",
         [](const TempDir& dir) {
             std::string es, fr;
             for (int k = 1; k <= 20000; ++k) {
                 es += "[" + std::to_string(k) + "] Frase " + std::to_string(k) + " de la casa.\r\n";
                 fr += "[" + std::to_string(k) + "] Phrase " + std::to_string(k) +
                       " de la maison, un peu plus longue que la source.\r\n";
             }
             dir.write("es.txt", es);
             dir.write("fr.txt", fr);
         },
         [](const TempDir& dir, const QString& source, const QString& target) {
             const auto pair = alignNumberedPair(dir.path("es.txt"), dir.path("fr.txt"));
             if (!pair) return Status(pair.error());
             return writeAlignedPair(pair.value(), pair.value().beads, source, target);
         }},
    };
    return all;
}

TEST(PairWrites, AFaultOnTheTargetLeavesBothOldFiles)
{
    for (const PairWriter& w : pairWriters()) {
        SCOPED_TRACE(w.name);
        TempDir dir;
        w.prepare(dir);
        const QString source = dir.write("s_ref.txt", "old source");
        const QString target = dir.write("c_ref.txt", "old target");
        const QStringList before = dir.entries();

        // A full device in the target's place.
        Status status = w.write(dir, source, "/dev/full");
        ASSERT_FALSE(status.ok());
        EXPECT_TRUE(status.error().message.contains("/dev/full")) << status.error().message.toStdString();
        EXPECT_EQ(readBytes(source), "old source");

        // A size limit that the target passes and the source does not.
        rlimit saved {};
        getrlimit(RLIMIT_FSIZE, &saved);
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved;
        limited.rlim_cur = 1'000'000;
        setrlimit(RLIMIT_FSIZE, &limited);
        status = w.write(dir, source, target);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
        ASSERT_FALSE(status.ok());
        EXPECT_TRUE(status.error().message.contains(target)) << status.error().message.toStdString();
        EXPECT_EQ(readBytes(source), "old source");
        EXPECT_EQ(readBytes(target), "old target");
        EXPECT_EQ(dir.entries(), before) << "no temporary file left";
    }
}

// A process killed anywhere while it writes a pair leaves both old files or
// both new ones, never a new source beside an old target.
TEST(PairWrites, AKilledWriterLeavesBothOldOrBothNew)
{
    // The renames may be finished by a process that outlives the writer:
    // adopted here, it is waited for before the files are read.
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    const PairWriter& w = pairWriters().front();
    TempDir dir;
    w.prepare(dir);
    const QString source = dir.path("s_ref.txt"), target = dir.path("c_ref.txt");
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(w.write(dir, source, target).ok());
    auto window = useconds_t(clock.nsecsElapsed() / 1000 * 2 + 1000);
    const std::string newSource = readBytes(source), newTarget = readBytes(target);

    std::mt19937 random(20261208);
    int sawOld = 0, sawNew = 0;
    // A loaded machine can make every write outlast its window: the window
    // grows until kills land after the end too.
    for (int seed = 0; seed < 60 || (sawNew == 0 && seed < 240); ++seed) {
        if (seed % 20 == 19 && sawNew == 0) window *= 2;
        dir.write("s_ref.txt", "old source");
        dir.write("c_ref.txt", "old target");
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) _exit(w.write(dir, source, target).ok() ? 0 : 1);
        usleep(std::uniform_int_distribution<useconds_t>(0, window)(random));
        kill(child, SIGKILL);
        while (waitpid(-1, nullptr, 0) > 0 || errno == EINTR) {
        }

        const std::string s = readBytes(source), t = readBytes(target);
        const bool old = s == "old source" && t == "old target";
        const bool fresh = s == newSource && t == newTarget;
        ASSERT_TRUE(old || fresh) << "seed " << seed << ": a mix of " << s.size() << " and " << t.size() << " bytes";
        (old ? sawOld : sawNew)++;
        for (const QString& entry : dir.entries())
            if (entry != "s_ref.txt" && entry != "c_ref.txt" && entry != "m.tsv") QFile::remove(dir.path(entry));
    }
    prctl(PR_SET_CHILD_SUBREAPER, 0);
    RecordProperty("old", sawOld);
    RecordProperty("new", sawNew);
    EXPECT_GT(sawOld, 0);
    EXPECT_GT(sawNew, 0);
}

} // namespace
} // namespace solandre
