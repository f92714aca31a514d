// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A window of the program. Its controls carry their names as objectName, its
// handlers the names of the events they answer; geometry is given in twips
// (1/1440 inch) of the screen's logical resolution.

#include "forms/form_registry.h"

#include <QMainWindow>
#include <functional>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace solandre {

struct Desktop;

// Twips to pixels of the primary screen.
int twips(double value);

namespace colours {
inline constexpr unsigned kPaleYellow = 0xFFFFC0;  // window backgrounds
inline constexpr unsigned kRed = 0xFF0000;         // frame captions
inline constexpr unsigned kDarkBlue = 0x0000C0;
inline constexpr unsigned kDarkRed = 0xC00000;
} // namespace colours

class Form : public QMainWindow {
    Q_OBJECT
public:
    Form(FormRegistry& forms, const QString& caption);

    // Runs once, when the registry loads the window.
    virtual void Form_Load() {}
    // Runs when the window is unloaded, whether by a handler or its close box.
    virtual void Form_Unload() {}
    // Whether the window may go now, asked before its close box unloads it
    // and before the program ends: a window holding unsaved work asks the
    // user, and may save it.
    virtual bool Form_QueryUnload() { return true; }

protected:
    FormRegistry& forms() { return forms_; }
    Desktop& desktop() { return forms_.desktop(); }

    QWidget* client() { return client_; }
    void setClientSize(int widthTwips, int heightTwips);

    // Controls, named and placed in twips inside `parent`.
    QLabel* label(QWidget* parent, const QString& name, const QString& text, int left, int top,
                  int width, int height);
    QGroupBox* frame(QWidget* parent, const QString& name, const QString& caption, int left,
                     int top, int width, int height);
    QLineEdit* textBox(QWidget* parent, const QString& name, int left, int top, int width,
                       int height);
    QPushButton* button(QWidget* parent, const QString& name, const QString& caption, int left,
                        int top, int width, int height, std::function<void()> onClick);
    // A frame holding a path box and its "Buscar" button, laid out alike in
    // every window that asks for a file.
    QLineEdit* pathFrame(const QString& frameName, const QString& caption, int left, int top,
                         int height, const QString& boxName, const QString& buttonName,
                         const QString& buttonCaption, std::function<void()> onClick);
    // The two labels of the title banner, one over the other.
    void titleBanner(int left, int top, int width, int height);

    QMenu* menu(const QString& name, const QString& caption);
    QAction* item(QMenu* menu, const QString& name, const QString& caption,
                  std::function<void()> handler);
    void separator(QMenu* menu, const QString& name);

    void closeEvent(QCloseEvent* event) override;

private:
    FormRegistry& forms_;
    QWidget* client_;
};

void place(QWidget* widget, int left, int top, int width, int height);
void setTextColour(QWidget* widget, unsigned rgb);
void setCaptionColour(QGroupBox* frame, unsigned rgb);
QFont timesFont(double points, bool bold = false, bool italic = false);

} // namespace solandre
