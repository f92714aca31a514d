// SPDX-License-Identifier: GPL-3.0-or-later
#include "forms/form_registry.h"

#include "forms/form.h"
#include "forms/notice_board.h"
#include "forms/wait_cursor.h"
#include "platform/desktop.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <vector>

namespace solandre {

FormRegistry::FormRegistry(Desktop& desktop, std::function<void()> onEnd)
    : desktop_(desktop), onEnd_(onEnd ? std::move(onEnd) : [] { QCoreApplication::quit(); }),
      notices_(std::make_unique<NoticeBoard>(desktop.dialogs))
{
}

FormRegistry::~FormRegistry()
{
    for (auto& [name, form] : loaded_) delete form.data();
}

void FormRegistry::define(const QString& name, Factory factory)
{
    factories_[name] = std::move(factory);
}

bool FormRegistry::isLoaded(const QString& name) const { return find(name) != nullptr; }

Form* FormRegistry::find(const QString& name) const
{
    const auto it = loaded_.find(name);
    return it == loaded_.end() ? nullptr : it->second.data();
}

Form* FormRegistry::load(const QString& name)
{
    if (Form* form = find(name)) return form;
    const auto factory = factories_.find(name);
    if (factory == factories_.end()) return nullptr;

    WaitCursor wait;
    Form* form = factory->second(*this);
    form->setObjectName(name);
    // Registered before its load handler runs, which may read its own controls.
    loaded_[name] = form;
    form->Form_Load();
    return find(name);
}

Form* FormRegistry::show(const QString& name)
{
    Form* form = load(name);
    if (!form) return nullptr;
    form->show();
    form->raise();
    form->activateWindow();
    return form;
}

void FormRegistry::hide(const QString& name)
{
    if (Form* form = find(name)) form->hide();
}

void FormRegistry::unload(const QString& name)
{
    Form* form = find(name);
    if (!form || unloading_.count(name)) return;
    unloading_.insert(name);
    form->Form_Unload();
    loaded_.erase(name);
    unloading_.erase(name);
    form->hide();
    // Deleted later: the caller may be one of the window's own handlers.
    form->deleteLater();
}

void FormRegistry::endProgram()
{
    auto forms = std::move(loaded_);
    loaded_.clear();
    for (auto& [name, form] : forms) {
        if (!form) continue;
        form->hide();
        form->deleteLater();
    }
    onEnd_();
}

bool FormRegistry::othersMayUnload(const Form* asking)
{
    std::vector<QPointer<Form>> others;
    for (const auto& [name, form] : loaded_)
        if (form && form != asking) others.push_back(form);
    for (const QPointer<Form>& form : others)
        if (form && !form->Form_QueryUnload()) return false;
    return true;
}

QObject* FormRegistry::findControl(const QString& form, const QString& controlName)
{
    Form* owner = load(form);
    return owner ? owner->findChild<QObject*>(controlName) : nullptr;
}

QString FormRegistry::text(const QString& form, const QString& controlName)
{
    auto* box = control<QLineEdit>(form, controlName);
    return box ? box->text() : QString();
}

} // namespace solandre
