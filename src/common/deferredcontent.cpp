// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "deferredcontent.h"

#include <QTimer>

void DeferredContent::start(QObject *owner, WindowConstruction construction, std::function<void()> build)
{
    m_build = std::move(build);
    if (construction == WindowConstruction::Immediate)
        ensure();
    else
        QTimer::singleShot(250, owner, [this] { ensure(); });
}

void DeferredContent::ensure()
{
    if (m_built || !m_build)
        return;
    m_built = true;
    m_build();
}
