// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/notices.h"

#include <cstdio>
#include <mutex>
#include <set>
#include <vector>

namespace solandre {
namespace {

struct Installed {
    const NoticeScope* scope;
    NoticeHandler handler;
    std::set<QString> said;
};

std::mutex& guard()
{
    static std::mutex m;
    return m;
}

std::vector<Installed>& installed()
{
    static std::vector<Installed> scopes;
    return scopes;
}

} // namespace

void notice(const QString& message)
{
    NoticeHandler handler;
    {
        std::lock_guard lock(guard());
        if (!installed().empty()) {
            Installed& top = installed().back();
            if (!top.said.insert(message).second) return;
            handler = top.handler;
        }
    }
    if (handler)
        handler(message);
    else
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

NoticeScope::NoticeScope(NoticeHandler handler)
{
    std::lock_guard lock(guard());
    installed().push_back({this, std::move(handler), {}});
}

NoticeScope::~NoticeScope()
{
    std::lock_guard lock(guard());
    auto& scopes = installed();
    for (auto it = scopes.begin(); it != scopes.end(); ++it)
        if (it->scope == this) {
            scopes.erase(it);
            break;
        }
}

} // namespace solandre
