// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's windows as forms: at most one instance of each, loaded on
// first use, shown without being modal, hidden, unloaded. Windows pass no
// arguments to each other; they read each other's controls through here, and
// reading a control of a window that is not loaded loads it, hidden.

#include <QPointer>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <set>

class QLineEdit;

namespace solandre {

struct Desktop;
class Form;
class NoticeBoard;

class FormRegistry {
public:
    using Factory = std::function<Form*(FormRegistry&)>;

    // `onEnd` runs when the program is ended (the application quits).
    explicit FormRegistry(Desktop& desktop, std::function<void()> onEnd = {});
    ~FormRegistry();
    FormRegistry(const FormRegistry&) = delete;
    FormRegistry& operator=(const FormRegistry&) = delete;

    void define(const QString& name, Factory factory);

    bool isLoaded(const QString& name) const;
    Form* find(const QString& name) const;

    // Creates the window and runs its load handler, under the wait cursor.
    // Loading a loaded window does nothing. Null for a window not defined.
    Form* load(const QString& name);
    // Loads if needed, then shows, not modal, and brings it forward.
    Form* show(const QString& name);
    void hide(const QString& name);
    // Runs the unload handler, then closes and discards the window.
    void unload(const QString& name);
    // Closes every window at once, without unload handlers, and quits.
    void endProgram();
    // Whether every loaded window but `asking` may go (Form_QueryUnload),
    // asked one after the other until one says no.
    bool othersMayUnload(const Form* asking);

    template <class T> T* control(const QString& form, const QString& controlName);
    // The same for a control reached through an interface it implements.
    template <class T> T* controlAs(const QString& form, const QString& controlName);
    // The text of a one-line text box of another window.
    QString text(const QString& form, const QString& controlName);

    Desktop& desktop() { return desktop_; }

private:
    QObject* findControl(const QString& form, const QString& controlName);

    Desktop& desktop_;
    std::function<void()> onEnd_;
    std::map<QString, Factory> factories_;
    std::map<QString, QPointer<Form>> loaded_;
    std::set<QString> unloading_;
    std::unique_ptr<NoticeBoard> notices_; // what the cores tell the reader, as messages
};

template <class T> T* FormRegistry::control(const QString& form, const QString& controlName)
{
    return qobject_cast<T*>(findControl(form, controlName));
}

template <class T> T* FormRegistry::controlAs(const QString& form, const QString& controlName)
{
    return dynamic_cast<T*>(findControl(form, controlName));
}

} // namespace solandre
