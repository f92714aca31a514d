// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The user at the progress dialog of long work: once it shows, a click on
// "Cancelar" or the Escape key, delivered to the dialog's window as the
// platform delivers them.

#include <QStringList>
#include <QTimer>
#include <functional>

namespace solandre::testing {

class CancelWhenProgressShows {
public:
    enum class By { Click, Escape };
    // `then` runs after the input, e.g. to let held work go on to see it.
    explicit CancelWhenProgressShows(By by, std::function<void()> then = {});

    // The label of each dialog given the input, in order.
    const QStringList& labels() const { return labels_; }

private:
    QTimer timer_;
    QStringList labels_;
};

} // namespace solandre::testing
