// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The seam between the windows and the voice that reads a text aloud. The windows say what to
// read and stop it; the engine installed speaks it, one text at a time (a new text stops the one
// being read). The real engine synthesises with espeak-ng's Brazilian Portuguese voice
// (ESpeakVoice) and plays the samples through Qt Multimedia as they are made; tests install a
// fake that records what it was given.

#include "common/espeakvoice.h"

#include <QObject>
#include <QString>

class SpeechEngine : public QObject {
    Q_OBJECT
public:
    using Speed = ESpeakVoice::Speed;
    using QObject::QObject;

    // Empty when the engine can speak; otherwise why not, as a sentence for the user (what to
    // install).
    virtual QString problem() const = 0;
    // Reads text (already as it should be said: SpeechText::spoken), stopping any text being read.
    virtual void say(const QString &text, Speed speed) = 0;
    // Stops the reading at once; nothing when none runs.
    virtual void stop() = 0;
    virtual bool isSpeaking() const = 0;

    // The engine in use: the one installed, else the real one (made on first use).
    static SpeechEngine &current();
    // Installs engine for every window (not owned); nullptr goes back to the real one.
    static void install(SpeechEngine *engine);

signals:
    // The reading ended: read to the end, stopped, or failed (failed() comes first).
    void finished();
    // The reading could not go on: no sound output, or the voice failed; as a sentence for the
    // user.
    void failed(const QString &message);
};
