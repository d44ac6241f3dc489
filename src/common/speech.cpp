// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech.h"

#include "voiceengine.h"

#include <QCoreApplication>

namespace {
SpeechEngine *installed = nullptr;
} // namespace

SpeechEngine &SpeechEngine::current()
{
    if (installed)
        return *installed;
    // Made once, owned by the application, so it ends before the application does.
    static VoiceEngine *real = new VoiceEngine(QCoreApplication::instance());
    return *real;
}

void SpeechEngine::install(SpeechEngine *engine)
{
    installed = engine;
}
