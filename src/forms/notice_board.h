// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the cores tell the reader (common/notices.h), shown by the windows as
// a message, once per file: at once when said on the interface's thread;
// when said by long work on its own thread, once the work is done, since no
// message may wait for a click while the work holds the input back.

#include "common/notices.h"

#include <QString>
#include <mutex>
#include <vector>

namespace solandre {

class Dialogs;

class NoticeBoard {
public:
    explicit NoticeBoard(Dialogs& dialogs);
    ~NoticeBoard();
    NoticeBoard(const NoticeBoard&) = delete;
    NoticeBoard& operator=(const NoticeBoard&) = delete;

    // Shows what long work said; runLongWork calls it when the work is done.
    static void showWaiting();

private:
    void take(const QString& message);
    void show();

    Dialogs& dialogs_;
    std::mutex guard_;
    std::vector<QString> waiting_;
    NoticeScope scope_;
};

} // namespace solandre
