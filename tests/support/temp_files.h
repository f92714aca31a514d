// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QTemporaryDir>
#include <string>
#include <string_view>

namespace solandre::testing {

// A fresh folder per test, removed afterwards.
class TempDir {
public:
    TempDir();
    QString path(const QString& name) const { return dir_.filePath(name); }
    QString root() const { return dir_.path(); }

    // Writes `bytes` to `name` (plainly, not through the code under test).
    QString write(const QString& name, std::string_view bytes) const;
    // Everything in the folder, for "no temporary file left" checks.
    QStringList entries() const;

private:
    QTemporaryDir dir_;
};

std::string readBytes(const QString& path);
bool runningAsRoot();

} // namespace solandre::testing

namespace solandre::testing {

// Test texts are written in UTF-8 source and used as Windows-1252 bytes.
std::string cp1252(const char* utf8);

} // namespace solandre::testing
