// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/viewed_pair.h"

#include <atomic>
#include <exception>
#include <thread>

namespace solandre {
namespace {

// False when `progress` stopped it; a text that cannot be read says why.
bool openText(const QString& path, ViewedText& side, QString& failure, const Progress& progress)
{
    side = ViewedText();
    if (path.isEmpty()) return true;
    side.named = true;
    Result<TextFile> text = TextFile::open(path);
    if (!text) {
        failure = text.error().message;
        return true;
    }
    side.text = std::move(text.value()); // the table points into the text where it now lies
    auto records = RecordTable::build(side.text.text(), progress);
    if (!records) return false;
    side.records = std::move(*records);
    side.readable = true;
    return true;
}

// Why the translation's pane stays empty: it holds no record "[n] " to match.
QString notNumberedTranslation(const QString& path)
{
    return QStringLiteral("El fichero \"%1\" no parece un texto numerado: no empieza por \"[1] \". "
                          "Sus frases no pueden mostrarse al lado de las del texto buscado.")
        .arg(path);
}

} // namespace

bool openViewedPair(const QString& source, const QString& target, ViewedPair& pair, const Progress& progress)
{
    // Each side reports its share; the whole is their mean.
    std::atomic<double> shares[2] = {0.0, 0.0};
    auto sideProgress = [&](int side) -> Progress {
        return [&, side](double done) {
            shares[side].store(done, std::memory_order_relaxed);
            return goOn(progress, (shares[0].load(std::memory_order_relaxed) +
                                   shares[1].load(std::memory_order_relaxed)) / 2);
        };
    };
    QString failures[2];
    bool wentOn[2] = {true, true};
    std::exception_ptr thrown;
    std::thread targetThread;
    if (!source.isEmpty() && !target.isEmpty())
        targetThread = std::thread([&] {
            try {
                wentOn[1] = openText(target, pair.target, failures[1], sideProgress(1));
            } catch (...) {
                thrown = std::current_exception(); // thrown again on the caller's thread
            }
        });
    else
        wentOn[1] = openText(target, pair.target, failures[1], sideProgress(1));
    try {
        wentOn[0] = openText(source, pair.source, failures[0], sideProgress(0));
    } catch (...) {
        if (targetThread.joinable()) targetThread.join();
        throw;
    }
    if (targetThread.joinable()) targetThread.join();
    if (thrown) std::rethrow_exception(thrown);
    if (pair.target.readable && !pair.target.text.text().starts_with("[1] "))
        failures[1] = notNumberedTranslation(target);
    pair.failures.clear();
    for (const QString& failure : failures)
        if (!failure.isEmpty()) pair.failures << failure;
    return wentOn[0] && wentOn[1];
}

} // namespace solandre
