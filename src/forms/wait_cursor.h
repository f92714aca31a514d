// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QApplication>

namespace solandre {

// The hourglass for the length of a scope; restored however the scope ends.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace solandre
