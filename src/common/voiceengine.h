// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The real speech engine: espeak-ng synthesises on a worker thread (ESpeakVoice) while the sound
// output (SoundOutput: Qt Multimedia, loaded at the first reading) plays the samples already made, so the
// first words sound before the whole text is synthesised. stop() ends both at once.

#include "common/soundoutput.h"
#include "common/speech.h"

#include <QByteArray>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

class QTimer;

class VoiceEngine : public SpeechEngine {
    Q_OBJECT
public:
    explicit VoiceEngine(QObject *parent = nullptr);
    ~VoiceEngine() override;

    QString problem() const override;
    void say(const QString &text, Speed speed) override;
    void stop() override;
    bool isSpeaking() const override { return m_speaking; }

private:
    // Moves the samples made so far into the sound output, and ends the reading once all are
    // played.
    void feed();
    // Stops the synthesis and the output; tells finished() when a reading was running.
    void end(const QString &failure);

    struct Shared {
        std::mutex lock;
        QByteArray samples; // made, not yet handed to the output
        bool done = false;  // the synthesis ended
        QString failure;    // why it ended early
    };
    std::shared_ptr<Shared> m_shared;
    std::atomic<bool> m_abort{false};
    std::thread m_worker;
    std::unique_ptr<SoundOutput> m_sink;
    QTimer *m_feeder = nullptr;
    bool m_speaking = false;
};
