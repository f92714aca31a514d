// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the reader should know about input that was read all the same (a
// UTF-8 text with a few bytes that are not UTF-8): the cores say it here,
// from any thread, and each front end shows it its own way, once.

#include <QString>
#include <functional>

namespace solandre {

using NoticeHandler = std::function<void(const QString&)>;

// Hands `message` to the handler installed last, once while it stays
// installed; with none installed, writes it to the standard error.
void notice(const QString& message);

// Installs a handler for its own lifetime; the one before comes back after.
class NoticeScope {
public:
    explicit NoticeScope(NoticeHandler handler);
    ~NoticeScope();
    NoticeScope(const NoticeScope&) = delete;
    NoticeScope& operator=(const NoticeScope&) = delete;
};

} // namespace solandre
