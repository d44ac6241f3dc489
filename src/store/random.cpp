// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/random.h"

#include "common/clock.h"

void TRandom::Randomize()
{
    const QTime t = Clock::current().utcTimeOfDay();
    if (!t.isValid()) {
        m_state = 0;
        return;
    }
    m_state = static_cast<std::uint32_t>(((t.hour() * 60 + t.minute()) * 60 + t.second()) * 1000 + t.msec());
}

std::uint32_t TRandom::Random(std::uint32_t range)
{
    m_state = m_state * 134775813u + 1u; // unsigned arithmetic wraps modulo 2^32
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(m_state) * range) >> 32);
}

TRandom &TRandom::Shared()
{
    static TRandom shared;
    return shared;
}
