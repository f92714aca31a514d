// SPDX-License-Identifier: GPL-3.0-or-later
#include "forms/notice_board.h"

#include "platform/dialogs.h"

#include <QApplication>
#include <QThread>
#include <QWidget>
#include <atomic>

namespace solandre {
namespace {

std::atomic<NoticeBoard*> current{nullptr};

bool onInterfaceThread() { return QCoreApplication::instance() && QThread::currentThread() == qApp->thread(); }

} // namespace

NoticeBoard::NoticeBoard(Dialogs& dialogs)
    : dialogs_(dialogs), scope_([this](const QString& message) { take(message); })
{
    current = this;
}

NoticeBoard::~NoticeBoard()
{
    NoticeBoard* self = this;
    current.compare_exchange_strong(self, nullptr);
}

void NoticeBoard::showWaiting()
{
    if (NoticeBoard* board = current.load()) board->show();
}

void NoticeBoard::take(const QString& message)
{
    {
        std::lock_guard lock(guard_);
        waiting_.push_back(message);
    }
    if (onInterfaceThread()) show();
}

void NoticeBoard::show()
{
    std::vector<QString> messages;
    {
        std::lock_guard lock(guard_);
        messages.swap(waiting_);
    }
    for (const QString& text : messages) {
        Message message;
        message.text = text;
        message.icon = Icon::Information;
        dialogs_.message(QApplication::activeWindow(), message);
    }
}

} // namespace solandre
