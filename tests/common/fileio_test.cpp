// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/fileio.h"
#include "support/temp_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <sys/resource.h>
#include <gtest/gtest.h>

namespace solandre {
namespace {

using testing::readBytes;
using testing::TempDir;

void expectNames(const Error& error, const QString& path, const char* reasonPart)
{
    const std::string message = error.message.toStdString();
    EXPECT_NE(message.find(path.toStdString()), std::string::npos) << message;
    EXPECT_NE(message.find(reasonPart), std::string::npos) << message;
}

TEST(ReadWholeFile, KeepsEveryByte)
{
    TempDir dir;
    const std::string bytes("a\0b\r\n\xFF\x80[1] ", 10);
    auto read = readWholeFile(dir.write("t.txt", bytes));
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.value().view(), bytes);

    auto empty = readWholeFile(dir.write("empty.txt", ""));
    ASSERT_TRUE(empty.ok());
    EXPECT_EQ(empty.value().view(), "");
}

TEST(ReadWholeFile, LargeFilesAndFilesOfUnknownSize)
{
    TempDir dir;
    std::string big(3 << 20, 'x');
    big.back() = 'y';
    auto read = readWholeFile(dir.write("big.txt", big));
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.value().view(), big);

    // The system announces size 0 for this one; it is read to its end all the same.
    auto status = readWholeFile("/proc/self/status");
    ASSERT_TRUE(status.ok());
    EXPECT_NE(status.value().view().find("Name:"), std::string_view::npos);
}

TEST(ReadWholeFile, FailuresNameTheFileAndTheReason)
{
    TempDir dir;
    const QString missing = dir.path("missing.txt");
    auto read = readWholeFile(missing);
    ASSERT_FALSE(read.ok());
    expectNames(read.error(), missing, "no existe ningún fichero o carpeta con ese nombre");

    auto folder = readWholeFile(dir.root());
    ASSERT_FALSE(folder.ok());
    expectNames(folder.error(), dir.root(), "es una carpeta, no un fichero");

    auto unnamed = readWholeFile(QString());
    ASSERT_FALSE(unnamed.ok());
    EXPECT_TRUE(unnamed.error().message.contains("nombre"));
}

TEST(ReadWholeFile, UnreadableFile)
{
    if (testing::runningAsRoot()) GTEST_SKIP() << "root reads every file";
    TempDir dir;
    const QString file = dir.write("secret.txt", "x");
    QFile::setPermissions(file, QFileDevice::WriteOwner);
    auto read = readWholeFile(file);
    ASSERT_FALSE(read.ok());
    expectNames(read.error(), file, "permiso denegado");
}

TEST(WriteFileSafely, CreatesAndReplacesLeavingNoTemporaryFile)
{
    TempDir dir;
    const QString target = dir.path("out.txt");
    ASSERT_TRUE(writeFileSafely(target, "first").ok());
    EXPECT_EQ(readBytes(target), "first");
    ASSERT_TRUE(writeFileSafely(target, std::string("\0second\r\n", 9)).ok());
    EXPECT_EQ(readBytes(target), std::string("\0second\r\n", 9));
    ASSERT_TRUE(writeFileSafely(target, "").ok());
    EXPECT_EQ(readBytes(target), "");
    EXPECT_EQ(dir.entries(), QStringList{"out.txt"});
}

TEST(WriteFileSafely, FailuresLeaveEverythingAsItWas)
{
    TempDir dir;
    const QString old = dir.write("old.txt", "precious");
    struct Case { const char* name; QString target; const char* reasonPart; };
    const Case cases[] = {
        {"missing folder", dir.path("nowhere/out.txt"), ""},
        {"target is a folder", dir.root(), "carpeta"},
        {"folder is a file", old + "/out.txt", ""},
        {"no name", QString(), "nombre"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Status written = writeFileSafely(c.target, "new content");
        ASSERT_FALSE(written.ok());
        expectNames(written.error(), c.target, c.reasonPart);
    }
    EXPECT_EQ(readBytes(old), "precious");
    EXPECT_EQ(dir.entries(), QStringList{"old.txt"});
}

TEST(SafeFileWriter, NothingReachesTheTargetWithoutCommit)
{
    TempDir dir;
    const QString old = dir.write("old.txt", "precious");
    {
        auto writer = SafeFileWriter::open(old);
        ASSERT_TRUE(writer.ok());
        writer.value().write("half of ");
        writer.value().write("the new text");
        EXPECT_EQ(readBytes(old), "precious");
    }
    EXPECT_EQ(readBytes(old), "precious");
    EXPECT_EQ(dir.entries(), QStringList{"old.txt"});

    auto writer = SafeFileWriter::open(old);
    ASSERT_TRUE(writer.ok());
    writer.value().write("new ");
    writer.value().write("text");
    ASSERT_TRUE(writer.value().commit().ok());
    EXPECT_EQ(readBytes(old), "new text");
    EXPECT_EQ(dir.entries(), QStringList{"old.txt"});
}

TEST(SafeFileWriter, ACommitThatCannotReplaceTheTargetIsReported)
{
    // The target turns into a folder with something in it while the new text
    // is being written: the rename at commit fails, and must say so.
    TempDir dir;
    const QString target = dir.path("salida.txt");
    auto writer = SafeFileWriter::open(target);
    ASSERT_TRUE(writer.ok());
    writer.value().write("nuevo texto");
    ASSERT_TRUE(QDir(dir.root()).mkdir("salida.txt"));
    dir.write("salida.txt/dentro.txt", "x");
    const Status committed = writer.value().commit();
    ASSERT_FALSE(committed.ok());
    expectNames(committed.error(), target, "");
    EXPECT_EQ(readBytes(target + "/dentro.txt"), "x");
}

TEST(WriteFileSafely, ReadOnlyFolderKeepsTheOldFile)
{
    if (testing::runningAsRoot()) GTEST_SKIP() << "root ignores permissions";
    TempDir dir;
    const QString old = dir.write("old.txt", "precious");
    QFile::setPermissions(dir.root(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const Status written = writeFileSafely(old, "new");
    QFile::setPermissions(dir.root(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
    ASSERT_FALSE(written.ok());
    expectNames(written.error(), old, "");
    EXPECT_EQ(readBytes(old), "precious");
    EXPECT_EQ(dir.entries(), QStringList{"old.txt"});
}

// Two files that belong together: a failure on either, at any point before
// both are complete, leaves both targets as they were.
TEST(CommitTogether, AFailureOnEitherLeavesBothTargetsAsTheyWere)
{
    struct Case { const char* name; bool fails; QString firstName, secondName; bool sizeLimit; };
    const Case cases[] = {
        {"the second is a full device", true, "es.txt", "/dev/full", false},
        {"the first is a full device", true, "/dev/full", "fr.txt", false},
        {"the second passes the size limit", true, "es.txt", "fr.txt", true},
        {"both fine", false, "es.txt", "fr.txt", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        dir.write("es.txt", "old source");
        dir.write("fr.txt", "old target");
        auto path = [&](const QString& name) { return name.startsWith('/') ? name : dir.path(name); };
        auto a = SafeFileWriter::open(path(c.firstName));
        auto b = SafeFileWriter::open(path(c.secondName));
        ASSERT_TRUE(a.ok() && b.ok());
        rlimit saved {};
        getrlimit(RLIMIT_FSIZE, &saved);
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        if (c.sizeLimit) {
            rlimit limited = saved;
            limited.rlim_cur = 1 << 20;
            setrlimit(RLIMIT_FSIZE, &limited);
        }
        a.value().write(std::string(1000, 's'));
        b.value().write(std::string(3 << 20, 't'));
        const Status both = commitTogether(a.value(), b.value());
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
        EXPECT_EQ(both.ok(), !c.fails);
        if (c.fails) {
            EXPECT_EQ(readBytes(dir.path("es.txt")), "old source");
            EXPECT_EQ(readBytes(dir.path("fr.txt")), "old target");
        } else {
            EXPECT_EQ(readBytes(dir.path("es.txt")), std::string(1000, 's'));
            EXPECT_EQ(readBytes(dir.path("fr.txt")), std::string(3 << 20, 't'));
        }
        a = Error{};
        b = Error{};
        EXPECT_EQ(dir.entries(), (QStringList{"es.txt", "fr.txt"})) << "no temporary file left";
    }
}

TEST(SafeFileWriter, ALinkIsWrittenWhereItPointsAndKeepsThePermissions)
{
    TempDir dir;
    const QString real = dir.write("real.txt", "old");
    QFile::setPermissions(real, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
    ASSERT_TRUE(QFile::link(real, dir.path("link.txt")));
    ASSERT_TRUE(writeFileSafely(dir.path("link.txt"), "new").ok());
    EXPECT_EQ(readBytes(real), "new");
    EXPECT_TRUE(QFileInfo(dir.path("link.txt")).isSymLink());
    EXPECT_EQ(QFile::permissions(real), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                            QFileDevice::ReadUser | QFileDevice::WriteUser);
}

} // namespace
} // namespace solandre
