// SPDX-License-Identifier: GPL-3.0-or-later
#include "forms/long_work.h"

#include "forms/notice_board.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>
#include <QWindow>

#include <atomic>
#include <exception>
#include <cmath>
#include <thread>

namespace solandre {
namespace {

constexpr int kDialogAfterMs = 500;
constexpr int kTickMs = 50;

// Holds back the user's input to every window but the progress dialog, and
// the close boxes: no handler may run while the work does.
class InputHold final : public QObject {
public:
    explicit InputHold(QWidget*& dialog) : dialog_(dialog) { qApp->installEventFilter(this); }
    ~InputHold() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::Close:
            if (ofDialog(watched)) return false;
            if (event->type() == QEvent::Close) event->ignore();
            return true;
        default:
            return false;
        }
    }

private:
    bool ofDialog(QObject* watched) const
    {
        if (!dialog_) return false;
        // The platform delivers the user's input to the dialog's window
        // first, which hands it on to the button or the focus; Escape
        // reaches the dialog's shortcut, an object of its own.
        if (watched == dialog_->windowHandle()) return true;
        for (QObject* object = watched; object; object = object->parent())
            if (object == dialog_) return true;
        return false;
    }

    QWidget*& dialog_;
};

// Escape cancels as "Cancelar" does, whether it comes as the dialog's
// shortcut or, while another window is the active one, as a plain key; a
// dialog without "Cancelar" neither goes nor closes until the work ends.
class ProgressDialog final : public QProgressDialog {
public:
    ProgressDialog(const QString& what, bool cancellable, QWidget* parent)
        : QProgressDialog(what, QString(), 0, 1000, parent), cancellable_(cancellable)
    {
    }

    void reject() override
    {
        if (cancellable_) emit canceled();
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (cancellable_) QProgressDialog::closeEvent(event);
        else event->ignore();
    }

private:
    bool cancellable_;
};

QString timeLeft(double seconds)
{
    if (seconds < 60) return QStringLiteral("quedan %1 s").arg(int(std::ceil(seconds)));
    return QStringLiteral("quedan %1 min").arg(int(std::ceil(seconds / 60)));
}

} // namespace

void runLongWork(QWidget* parent, const QString& what, Cancel cancel,
                 const std::function<void(const Progress&)>& work)
{
    std::atomic<double> done{0};
    std::atomic<bool> cancelled{false};
    std::atomic<bool> finished{false};
    const Progress progress = [&](double share) {
        done.store(share, std::memory_order_relaxed);
        return !cancelled.load(std::memory_order_relaxed);
    };
    QElapsedTimer clock;
    clock.start();
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work(progress);
        } catch (...) {
            failure = std::current_exception(); // thrown again here, on the caller's thread
        }
        finished = true;
    });

    // Short work ends before anything shows or any event is handled.
    while (!finished && clock.elapsed() < kTickMs) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (!finished) {
        QWidget* dialogWidget = nullptr;
        InputHold hold(dialogWidget);
        QPointer<QProgressDialog> dialog;
        QEventLoop loop;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
            if (finished) {
                loop.quit();
                return;
            }
            if (!dialog && clock.elapsed() >= kDialogAfterMs) {
                dialog = new ProgressDialog(what, cancel == Cancel::Allowed, parent);
                dialog->setObjectName(QStringLiteral("progreso"));
                dialog->setWindowTitle(QStringLiteral("Solandre"));
                dialog->setWindowModality(Qt::ApplicationModal);
                dialog->setMinimumDuration(0);
                dialog->setAutoClose(false);
                dialog->setAutoReset(false);
                if (cancel == Cancel::Allowed) {
                    dialog->setCancelButtonText(QStringLiteral("Cancelar"));
                    QObject::connect(dialog, &QProgressDialog::canceled, &loop, [&] {
                        cancelled = true;
                        if (dialog) dialog->setLabelText(what + QStringLiteral("\ncancelando..."));
                    });
                } else {
                    dialog->setCancelButton(nullptr);
                }
                dialogWidget = dialog;
                dialog->show();
            }
            if (dialog && !cancelled) {
                const double share = std::clamp(done.load(), 0.0, 1.0);
                dialog->setValue(int(share * 1000));
                QString label = QStringLiteral("%1\n%2 %").arg(what).arg(int(share * 100));
                if (share > 0.02) {
                    const double elapsed = double(clock.elapsed()) / 1000.0;
                    label += QStringLiteral(" (%1)").arg(timeLeft(elapsed * (1 - share) / share));
                }
                dialog->setLabelText(label);
            }
        });
        tick.start(kTickMs);
        loop.exec();
        tick.stop();
        dialogWidget = nullptr;
        delete dialog.data();
    }
    worker.join();
    NoticeBoard::showWaiting();
    if (failure) std::rethrow_exception(failure);
}

} // namespace solandre
