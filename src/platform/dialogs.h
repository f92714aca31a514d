#pragma once
// The desktop's dialogs behind one interface, so a test can script the
// user's answers and read back every message shown.

#include <QString>

class QWidget;

namespace solandre {

class Printer;

enum class Buttons { Ok, YesNo };
enum class Icon { None, Information };
enum class Answer { Ok, Yes, No };

struct Message {
    QString text;                         // lines joined by CR LF
    QString title = QStringLiteral("Solandre");
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // `filter` is "Description (*.TXT)|*.TXT". An empty result means cancelled.
    virtual QString openFileName(QWidget* parent, const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& filter) = 0;

    // Modal; Yes is the default button of a Yes/No box.
    virtual Answer message(QWidget* parent, const Message& message) = 0;

    // The printer set-up dialog; false when the user cancelled it, and then
    // nothing is printed (nor a file of an earlier print overwritten).
    virtual bool printerSetup(QWidget* parent, Printer& printer) = 0;
};

} // namespace solandre
