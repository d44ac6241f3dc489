// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "clock.h"

#include <chrono>

namespace {
const Clock *g_installed = nullptr;
}

const Clock &Clock::current()
{
    static SystemClock system;
    return g_installed ? *g_installed : system;
}

void Clock::install(const Clock *c)
{
    g_installed = c;
}

qint64 Clock::steadyMs() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
