// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The recording fake for the window library's seam of src/common (the desktop), made like the core
// seams' fakes in fakes.h: it installs itself when made and restores the real one when destroyed.

#include "common/desktop.h"

#include <QStringList>

// Records what the program asked the desktop to open and which help it asked for.
class FakeDesktop : public Desktop {
public:
    FakeDesktop();
    ~FakeDesktop() override;
    bool open(const QString &target) override;
    void helpTopic(const QString &topic) override { helps << topic; }
    void helpContext(int context) override { helps << QStringLiteral("context%1").arg(context); }
    QStringList opened;
    QStringList helps;
    bool openResult = true;
};

#include "common/speech.h"

// Records what the windows asked to read, at which speed, and whether it still reads; speaks
// nothing. problemText set makes it an engine without a voice.
class FakeSpeech : public SpeechEngine {
public:
    FakeSpeech();
    ~FakeSpeech() override;
    QString problem() const override { return problemText; }
    void say(const QString &text, Speed speed) override;
    void stop() override;
    bool isSpeaking() const override { return speaking; }
    // Ends the reading as if the voice came to the end of the text.
    void finish();

    QStringList said;
    QList<Speed> speeds;
    QString problemText;
    bool speaking = false;
    int stops = 0;
};
