// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Brazilian Portuguese voice of espeak-ng, the speech synthesiser Debian packages with its
// voices (libespeak-ng1, espeak-ng-data). The library is loaded when first asked for, not with the
// program, so the program runs (with reading aloud off) where it is not installed; the package
// recommends it.
//
// One synthesis at a time in the whole process (espeak-ng keeps global state): synthesise() waits
// for one already running on another thread.

#include <QString>

#include <functional>

namespace ESpeakVoice {
// The three speeds of the voice, in words a minute.
enum class Speed { Slow, Normal, Fast };
int wordsPerMinute(Speed speed);

// Empty when the library and its Brazilian Portuguese voice are there (loads them on first call);
// otherwise what to install, as a sentence for the user.
QString problem();
// Samples a second of what synthesise() hands over (16-bit signed, one channel); 0 when the voice
// is not there.
int sampleRate();

// Receives each block of samples as it is made; returns false to stop the synthesis there.
using Sink = std::function<bool(const qint16 *samples, int count)>;
// Speaks text (as it should be said: see SpeechText::spoken) into sink, at speed. False, with why
// set, when the voice is not there or the synthesis failed; true when it ran to its end or the
// sink stopped it.
bool synthesise(const QString &text, Speed speed, const Sink &sink, QString *why = nullptr);
} // namespace ESpeakVoice
