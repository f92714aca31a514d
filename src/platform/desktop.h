// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Everything the windows need of the desktop, injected as one bundle.

#include <QDateTime>
#include <QString>
#include <optional>
#include <string>

class QMimeData;

namespace solandre {

class Dialogs;
class Printer;

class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Takes ownership of `data`.
    virtual void setMimeData(QMimeData* data) = 0;
    // Null when the clipboard holds nothing.
    virtual const QMimeData* mimeData() const = 0;
};

// A value read from the system registry under HKEY_LOCAL_MACHINE.
struct RegistryValue {
    unsigned long type = 0; // 1: string, 4: 32-bit number
    std::string bytes;      // as the query returned them
};

class SystemRegistry {
public:
    virtual ~SystemRegistry() = default;
    virtual std::optional<RegistryValue> read(const QString& key, const QString& valueName) = 0;
};

class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    virtual bool start(const QString& program) = 0;
    virtual bool fileExists(const QString& path) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

struct Desktop {
    Dialogs& dialogs;
    Printer& printer;
    Clipboard& clipboard;
    SystemRegistry& registry;
    ProgramLauncher& launcher;
    Clock& clock;
};

} // namespace solandre
