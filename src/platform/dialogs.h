// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop's dialogs behind one interface, so a test can script the
// user's answers and read back every message shown.

#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

class QWidget;

namespace solandre {

class Printer;

enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Icon { None, Information };
enum class Answer { Ok, Yes, No, Cancel };

struct Message {
    QString text;                         // lines joined by CR LF
    QString title = QStringLiteral("Solandre");
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
};

// A save dialog's answer when it offers several types of file: the name as
// typed and the type chosen, by its place in the filter (0 for the first).
struct SaveChoice {
    QString name; // empty: cancelled
    int type = 0;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // `filter` is "Description (*.TXT)|*.TXT". An empty result means cancelled.
    virtual QString openFileName(QWidget* parent, const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& filter) = 0;
    // A folder chosen to be read; empty when cancelled.
    virtual QString folderName(QWidget* parent) = 0;
    // The same, for a filter of several types: the one chosen comes back too.
    virtual SaveChoice saveFileOfType(QWidget* parent, const QString& filter) = 0;

    // Modal; Yes is the default button of a Yes/No box. Closing a box with
    // Cancel, or pressing Escape there, answers Cancel.
    virtual Answer message(QWidget* parent, const Message& message) = 0;

    // The two languages of a translation memory, source and target, among
    // `offered` (which may be empty: any code may be typed), starting from
    // the two given; nothing when the user cancelled.
    virtual std::optional<std::pair<QString, QString>> chooseLanguages(QWidget* parent,
                                                                       const QStringList& offered,
                                                                       const QString& source,
                                                                       const QString& target) = 0;

    // The printer set-up dialog; false when the user cancelled it, and then
    // nothing is printed (nor a file of an earlier print overwritten).
    virtual bool printerSetup(QWidget* parent, Printer& printer) = 0;
};

} // namespace solandre
