// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Two independent pieces of work at once, one on a second thread; one after
// the other where no thread can be had. Neither reads what the other writes,
// so the results never depend on timing.

#include <exception>
#include <system_error>
#include <thread>

namespace solandre::align {

template <class Aside, class Here> void sideBySide(Aside&& aside, Here&& here)
{
    std::exception_ptr failure;
    auto guarded = [&] {
        try {
            aside();
        } catch (...) {
            failure = std::current_exception();
        }
    };
    std::thread worker;
    try {
        worker = std::thread(guarded);
    } catch (const std::system_error&) {
        here();
        aside();
        return;
    }
    {
        // Joined however `here` ends.
        struct Join {
            std::thread& thread;
            ~Join() { thread.join(); }
        } join{worker};
        here();
    }
    if (failure) std::rethrow_exception(failure);
}

} // namespace solandre::align
