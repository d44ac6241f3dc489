// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's pseudo-random generator: one 32-bit state, stepped as
// state := state × 134775813 + 1 (modulo 2^32); a draw with range n returns the high 32 bits of
// the 64-bit product state × n, an integer in 0 .. n − 1. The table store's shuffle uses the
// shared instance, started afresh from the UTC time of day each time it runs.

#include <cstdint>

class TRandom {
public:
    explicit TRandom(std::uint32_t state = 0) : m_state(state) {}

    // Sets the state from the installed clock's UTC time of day:
    // ((hour × 60 + minute) × 60 + second) × 1000 + millisecond.
    void Randomize();
    // Sets the state directly (tests start from a known state).
    void SetState(std::uint32_t state) { m_state = state; }
    // The current state.
    std::uint32_t State() const { return m_state; }
    // Steps the state and returns an integer in 0 .. range − 1 (always 0 for range 0).
    std::uint32_t Random(std::uint32_t range);

    // The generator the whole program shares.
    static TRandom &Shared();

private:
    std::uint32_t m_state;
};
