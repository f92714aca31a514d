// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small result type. Errors carry the message the user sees, which names the
// file and the reason, so every layer can pass it on unchanged.

#include <QString>
#include <utility>
#include <variant>

namespace solandre {

struct Error {
    QString message;
    bool cancelled = false; // the user stopped the work: nothing to report

    static Error reading(const QString& path, const QString& reason);
    static Error writing(const QString& path, const QString& reason);
    static Error cancelledByUser();
};

template <class T> class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::move(value)) {}
    Result(Error error) : state_(std::move(error)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<0>(state_); }
    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    const Error& error() const { return std::get<1>(state_); }

private:
    std::variant<T, Error> state_;
};

struct Done {};
using Status = Result<Done>;
inline Status success() { return Done{}; }

} // namespace solandre
