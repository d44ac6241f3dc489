// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "soundoutput.h"

#include "common/modules.h"

std::unique_ptr<SoundOutput> SoundOutput::open(QString *why)
{
    static const auto factory = Modules::function<SoundOutputFactory>("quelvado_sound", kSoundOutputFactory);
    if (!factory) {
        if (why)
            *why = Modules::missing(QStringLiteral("tocar o som"));
        return nullptr;
    }
    return std::unique_ptr<SoundOutput>(factory());
}
