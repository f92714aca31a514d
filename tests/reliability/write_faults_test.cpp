// SPDX-License-Identifier: GPL-3.0-or-later
// Every write the program makes, under injected faults: each failure is a
// message naming the file and the reason, the old file stays byte for byte,
// and no temporary file is left behind.
#include "numbering/number_files.h"
#include "numbering/numbering_engine.h"
#include "search/concordance.h"
#include "search/results_file.h"
#include "study/export_file.h"
#include "support/temp_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace solandre {
namespace {

using testing::readBytes;
using testing::TempDir;

// A few hundred kilobytes of numbered text: more than the size limit below.
std::string bigText()
{
    std::string text;
    for (int s = 1; text.size() < 300'000; ++s) text += "Frase " + std::to_string(s) + " de la casa. ";
    return text;
}

struct Writer {
    const char* name;
    std::function<void(const TempDir&)> prepare; // its input, written before any fault
    std::function<Status(const TempDir&, const QString&)> write;
};

const std::vector<Writer>& writers()
{
    static const std::string text = bigText();
    static const std::string numbered = numberText(text);
    static const std::vector<Writer> all = {
        {"numbered copy", [](const TempDir& dir) { dir.write("entrada.txt", text); },
         [](const TempDir& dir, const QString& path) {
             const auto copy = numberFile(dir.path("entrada.txt"), path);
             return copy ? success() : Status(copy.error());
         }},
        {"results file", [](const TempDir& dir) { dir.write("entrada.txt", ""); },
         [](const TempDir&, const QString& path) {
             static Concordance concordance(numbered);
             concordance.search("*");
             return saveResults(path, {"T", "D"}, concordance.grid(), {numbered}, {numbered});
         }},
        {"export", [](const TempDir& dir) { dir.write("entrada.txt", ""); },
         [](const TempDir&, const QString& path) {
             static Concordance concordance(numbered);
             concordance.search("*");
             return exportLines(path, ConcordanceLines::ofGrid(concordance.grid()), QString(), QString(),
                                ExportFormat::Csv);
         }},
        {"export as a workbook", [](const TempDir& dir) { dir.write("entrada.txt", ""); },
         [](const TempDir&, const QString& path) {
             static Concordance concordance(numbered);
             concordance.search("*");
             return exportLines(path, ConcordanceLines::ofGrid(concordance.grid()), QString(), QString(),
                                ExportFormat::Xlsx);
         }},
    };
    return all;
}

void expectNamedFailure(const Status& status, const QString& path)
{
    ASSERT_FALSE(status.ok());
    const QString& message = status.error().message;
    EXPECT_TRUE(message.contains(path)) << message.toStdString();
    // The reason follows the name.
    EXPECT_GT(message.size(), message.indexOf(path) + path.size() + 4) << message.toStdString();
}

TEST(WriteFaults, FullDevice)
{
    for (const Writer& w : writers()) {
        SCOPED_TRACE(w.name);
        TempDir dir;
        w.prepare(dir);
        expectNamedFailure(w.write(dir, "/dev/full"), "/dev/full");
        struct stat st {};
        ASSERT_EQ(stat("/dev/full", &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode)) << "the device must stay a device";
    }
}

TEST(WriteFaults, MissingFolderAndAFolderAsTarget)
{
    for (const Writer& w : writers()) {
        SCOPED_TRACE(w.name);
        TempDir dir;
        w.prepare(dir);
        QDir(dir.root()).mkdir("carpeta");
        const QStringList before = dir.entries();
        expectNamedFailure(w.write(dir, dir.path("no/existe/salida.txt")), dir.path("no/existe/salida.txt"));
        expectNamedFailure(w.write(dir, dir.path("carpeta")), dir.path("carpeta"));
        EXPECT_TRUE(QFileInfo(dir.path("carpeta")).isDir());
        EXPECT_EQ(dir.entries(), before);
    }
}

TEST(WriteFaults, FolderWithoutWritePermission)
{
    if (testing::runningAsRoot()) GTEST_SKIP() << "root ignores permissions";
    for (const Writer& w : writers()) {
        SCOPED_TRACE(w.name);
        TempDir dir;
        w.prepare(dir);
        QDir(dir.root()).mkdir("cerrada");
        const QString old = dir.write("cerrada/viejo.txt", "contenido anterior");
        QFile::setPermissions(dir.path("cerrada"), QFile::ReadOwner | QFile::ExeOwner);
        expectNamedFailure(w.write(dir, old), old);
        QFile::setPermissions(dir.path("cerrada"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EXPECT_EQ(readBytes(old), "contenido anterior");
        EXPECT_EQ(QDir(dir.path("cerrada")).entryList(QDir::Files | QDir::Hidden), QStringList{"viejo.txt"});
    }
}

TEST(WriteFaults, FileSizeLimit)
{
    for (const Writer& w : writers()) {
        SCOPED_TRACE(w.name);
        TempDir dir;
        w.prepare(dir);
        const QString old = dir.write("viejo.txt", "contenido anterior");
        // Writes past 4 kB fail with EFBIG instead of killing the process
        // (a workbook of the text packs into a few kilobytes).
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved;
        limited.rlim_cur = 4 * 1024;
        setrlimit(RLIMIT_FSIZE, &limited);
        const Status status = w.write(dir, old);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
        expectNamedFailure(status, old);
        EXPECT_EQ(readBytes(old), "contenido anterior");
        EXPECT_EQ(dir.entries(), (QStringList{"entrada.txt", "viejo.txt"}));
    }
}

} // namespace
} // namespace solandre
