// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application-wide error display and the guard every event handler runs in.

#include <QString>
#include <exception>
#include <functional>
#include <type_traits>
#include <utility>

// The text the error display shows for e: the error's own message, except for a failed file open
// ("Erro no conteúdo do Arquivo"), an input/output error ("Arquivo ou Drive Inválido") and a failed
// conversion of text to a number, date or time ("Data Inválida").
QString errorDisplayText(const std::exception &e);

// Shows the error box (error icon, OK) for e through the dialogs seam.
void MostraErro(const std::exception &e);

// Runs handler; an error it throws is shown by MostraErro and the operation is abandoned.
// Returns false when the handler was abandoned.
bool guarded(const std::function<void()> &handler);

namespace detail {
// Calls handler without the signal's arguments. Taking them keeps the call dependent on them, so
// that clang does not compile it for a handler that needs them.
template <typename Handler, typename... Args> void callWithout(const Handler &handler, Args &&...)
{
    handler();
}
} // namespace detail

// Wraps a handler for connect(): the returned callable runs it inside guarded(), with the signal's
// arguments when the handler takes them (a handler that takes none ignores them).
template <typename Handler> auto guard(Handler handler)
{
    return [handler](auto &&...args) {
        if constexpr (std::is_invocable_v<const Handler &, decltype(args)...>)
            guarded([&] { handler(std::forward<decltype(args)>(args)...); });
        else
            guarded([&] { detail::callWithout(handler, args...); });
    };
}
