// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowfakes.h"

FakeDesktop::FakeDesktop()
{
    Desktop::install(this);
}
FakeDesktop::~FakeDesktop()
{
    Desktop::install(nullptr);
}

bool FakeDesktop::open(const QString &target)
{
    opened << target;
    return openResult;
}
