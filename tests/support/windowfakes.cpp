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

FakeSpeech::FakeSpeech()
{
    SpeechEngine::install(this);
}

FakeSpeech::~FakeSpeech()
{
    SpeechEngine::install(nullptr);
}

void FakeSpeech::say(const QString &text, Speed speed)
{
    stop();
    said << text;
    speeds << speed;
    speaking = true;
}

void FakeSpeech::stop()
{
    if (!speaking)
        return;
    ++stops;
    speaking = false;
    emit finished();
}

void FakeSpeech::finish()
{
    if (!speaking)
        return;
    speaking = false;
    emit finished();
}
