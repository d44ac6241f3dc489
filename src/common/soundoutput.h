// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sound output reading aloud plays through: 16-bit mono samples pushed as they are made. It
// lives in a module of its own (quelvado_sound, on Qt Multimedia) that is loaded the first time
// something is read aloud, so that a start-up that reads nothing aloud does not load Qt Multimedia
// and the sound system's libraries.

#include <QString>

#include <memory>

class SoundOutput {
public:
    SoundOutput() = default;
    SoundOutput(const SoundOutput &) = delete;
    SoundOutput &operator=(const SoundOutput &) = delete;
    virtual ~SoundOutput() = default;

    // Opens the system's default output for samples at rate per second; false, with why as a
    // sentence for the user, when there is no output or it refuses the format.
    virtual bool start(int rate, QString *why) = 0;
    // Hands over up to size bytes (whole samples); how many it took.
    virtual qint64 write(const char *data, qint64 size) = 0;
    // The room left in the output's buffer, and the buffer's size, in bytes.
    virtual qint64 bytesFree() const = 0;
    virtual qint64 bufferSize() const = 0;
    // True once the output failed (running out of samples to play is not a failure).
    virtual bool failed() const = 0;
    // Stops playing at once.
    virtual void stop() = 0;

    // A new output from the sound module (loaded the first time), or null with why as a sentence
    // for the user when the module cannot be loaded.
    static std::unique_ptr<SoundOutput> open(QString *why);
};

// The module's one entry point: a new output the caller owns.
extern "C" SoundOutput *quelvado_sound_output();
using SoundOutputFactory = decltype(&quelvado_sound_output);
inline constexpr char kSoundOutputFactory[] = "quelvado_sound_output";
