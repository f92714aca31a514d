// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/temp_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <unistd.h>

namespace solandre::testing {

TempDir::TempDir() { EXPECT_TRUE(dir_.isValid()); }

QString TempDir::write(const QString& name, std::string_view bytes) const
{
    const QString file = path(name);
    QDir().mkpath(QFileInfo(file).path());
    QFile f(file);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << file.toStdString();
    f.write(bytes.data(), qint64(bytes.size()));
    return file;
}

QStringList TempDir::entries() const
{
    return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

std::string readBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return "<unreadable>";
    return f.readAll().toStdString();
}

bool runningAsRoot() { return geteuid() == 0; }

} // namespace solandre::testing

#include "common/cp1252.h"

namespace solandre::testing {

std::string cp1252(const char* utf8) { return toCp1252(QString::fromUtf8(utf8)); }

} // namespace solandre::testing
