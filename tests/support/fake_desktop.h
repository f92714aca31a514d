// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test doubles of the desktop: dialogs that answer from a script and record
// every message, a printer that records what it is asked to print, and an
// in-memory clipboard, registry, launcher and clock.

#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/printer.h"

#include <QMimeData>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <vector>

namespace solandre::testing {

class ScriptedDialogs final : public Dialogs {
public:
    std::deque<QString> fileNames;  // next answers of the open and save dialogs
    // Next types chosen in a save dialog of several types, by place in its
    // filter; with none left, the type whose pattern the name ends with, or the first.
    std::deque<int> fileTypes;
    std::deque<Answer> answers;     // next answers of Yes/No boxes (default: Yes)
    std::vector<Message> shown;     // every message box, in order
    std::vector<QString> filters;   // filter of every file dialog, in order
    int printerSetups = 0;
    bool printerAccepted = true; // the answer of the printer set-up dialog
    // Next answers of the languages dialog; with none left, the languages offered.
    std::deque<std::optional<std::pair<QString, QString>>> languages;
    std::vector<QStringList> languagesOffered;

    QString openFileName(QWidget*, const QString& filter) override { return next(filter); }
    QString saveFileName(QWidget*, const QString& filter) override { return next(filter); }
    QString folderName(QWidget*) override { return next(QStringLiteral("folder")); }
    SaveChoice saveFileOfType(QWidget*, const QString& filter) override;
    Answer message(QWidget*, const Message& message) override;
    bool printerSetup(QWidget*, Printer&) override { return ++printerSetups, printerAccepted; }
    std::optional<std::pair<QString, QString>> chooseLanguages(QWidget*, const QStringList& offered,
                                                               const QString& source,
                                                               const QString& target) override;

private:
    QString next(const QString& filter);
};

class RecordingPrinter final : public Printer {
public:
    // One entry per operation, e.g. "font verdana 12 bold", "x 5000",
    // "print 'Forma(s)' stay", "print '----' line", "page", "end".
    std::vector<QString> log;
    bool failAtEnd = false;

    void setFont(const PrinterFont& font) override;
    PrinterFont font() const override { return font_; }
    void setX(int twips) override;
    void print(const QString& text, bool endLine) override;
    void newPage() override { log.push_back(QStringLiteral("page")); }
    bool endDocument() override;
    QString lastError() const override { return QStringLiteral("la impresora no responde"); }

private:
    PrinterFont font_;
};

class FakeClipboard final : public Clipboard {
public:
    void setMimeData(QMimeData* data) override { data_.reset(data); }
    const QMimeData* mimeData() const override { return data_.get(); }

private:
    std::unique_ptr<QMimeData> data_;
};

class FakeRegistry final : public SystemRegistry {
public:
    std::map<std::pair<QString, QString>, RegistryValue> values;
    std::optional<RegistryValue> read(const QString& key, const QString& name) override;
};

class FakeLauncher final : public ProgramLauncher {
public:
    std::vector<QString> started;
    std::set<QString> existingFiles;
    bool startSucceeds = true;
    bool start(const QString& program) override;
    bool fileExists(const QString& path) override { return existingFiles.count(path) > 0; }
};

class FixedClock final : public Clock {
public:
    QDateTime time = QDateTime(QDate(2026, 12, 7), QTime(10, 30, 0));
    QDateTime now() const override { return time; }
};

struct FakeDesktop {
    ScriptedDialogs dialogs;
    RecordingPrinter printer;
    FakeClipboard clipboard;
    FakeRegistry registry;
    FakeLauncher launcher;
    FixedClock clock;
    Desktop desktop{dialogs, printer, clipboard, registry, launcher, clock};
};

} // namespace solandre::testing
