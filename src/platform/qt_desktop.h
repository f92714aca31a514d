// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The implementations users get: Qt's dialogs, printer and clipboard, the
// system registry where there is one, QProcess to start a program.

#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/printer.h"

#include <memory>

namespace solandre {

class QtDialogs final : public Dialogs {
public:
    QString openFileName(QWidget* parent, const QString& filter) override;
    QString folderName(QWidget* parent) override;
    QString saveFileName(QWidget* parent, const QString& filter) override;
    SaveChoice saveFileOfType(QWidget* parent, const QString& filter) override;
    Answer message(QWidget* parent, const Message& message) override;
    bool printerSetup(QWidget* parent, Printer& printer) override;
    std::optional<std::pair<QString, QString>> chooseLanguages(QWidget* parent, const QStringList& offered,
                                                               const QString& source,
                                                               const QString& target) override;
};

class QtClipboard final : public Clipboard {
public:
    void setMimeData(QMimeData* data) override;
    const QMimeData* mimeData() const override;
};

class QtLauncher final : public ProgramLauncher {
public:
    bool start(const QString& program) override;
    bool fileExists(const QString& path) override;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// The registry of this platform: the real one on Windows, none elsewhere.
std::unique_ptr<SystemRegistry> makeSystemRegistry();

// Owns one of each and hands them out as a Desktop.
class QtDesktop {
public:
    QtDesktop();
    ~QtDesktop();
    Desktop& desktop() { return desktop_; }

private:
    QtDialogs dialogs_;
    std::unique_ptr<Printer> printer_;
    QtClipboard clipboard_;
    std::unique_ptr<SystemRegistry> registry_;
    QtLauncher launcher_;
    SystemClock clock_;
    Desktop desktop_;
};

} // namespace solandre
