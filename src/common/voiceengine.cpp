// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "voiceengine.h"

#include <QTimer>

#include <algorithm>

namespace {
// How often the samples made are handed to the output, in milliseconds.
constexpr int kFeedInterval = 20;
} // namespace

VoiceEngine::VoiceEngine(QObject *parent) : SpeechEngine(parent)
{
    m_feeder = new QTimer(this);
    m_feeder->setInterval(kFeedInterval);
    connect(m_feeder, &QTimer::timeout, this, [this] { feed(); });
}

VoiceEngine::~VoiceEngine()
{
    m_abort = true;
    if (m_worker.joinable())
        m_worker.join();
}

QString VoiceEngine::problem() const
{
    return ESpeakVoice::problem();
}

void VoiceEngine::say(const QString &text, Speed speed)
{
    end(QString());
    if (const QString why = problem(); !why.isEmpty()) {
        emit failed(why);
        emit finished();
        return;
    }
    QString refused;
    if (!m_sink)
        m_sink = SoundOutput::open(&refused);
    if (!m_sink || !m_sink->start(ESpeakVoice::sampleRate(), &refused)) {
        emit failed(refused);
        emit finished();
        return;
    }
    auto shared = std::make_shared<Shared>();
    m_shared = shared;
    m_abort = false;
    m_speaking = true;
    m_worker = std::thread([shared, text, speed, this] {
        QString why;
        const bool ok = ESpeakVoice::synthesise(
            text, speed,
            [&](const qint16 *samples, int count) {
                const std::lock_guard guard(shared->lock);
                shared->samples.append(reinterpret_cast<const char *>(samples),
                                       static_cast<qsizetype>(count) * qsizetype(sizeof(qint16)));
                return !m_abort.load();
            },
            &why);
        const std::lock_guard guard(shared->lock);
        shared->done = true;
        if (!ok)
            shared->failure = why;
    });
    m_feeder->start();
}

void VoiceEngine::feed()
{
    if (!m_speaking || !m_shared || !m_sink)
        return;
    bool done = false;
    QString failure;
    {
        const std::lock_guard guard(m_shared->lock);
        const qsizetype room = m_sink->bytesFree();
        if (room > 0 && !m_shared->samples.isEmpty()) {
            const qsizetype n = std::min(room, m_shared->samples.size()) & ~qsizetype(1);
            const qint64 written = m_sink->write(m_shared->samples.constData(), n);
            if (written > 0)
                m_shared->samples.remove(0, written);
        }
        done = m_shared->done && m_shared->samples.isEmpty();
        failure = m_shared->failure;
    }
    if (m_sink->failed()) {
        end(QStringLiteral("Não foi possível tocar o som (a saída de som falhou)."));
        return;
    }
    if (!failure.isEmpty()) {
        end(failure);
        return;
    }
    // Everything is handed over: the reading ends when the output has played it.
    if (done && m_sink->bytesFree() >= m_sink->bufferSize())
        end(QString());
}

void VoiceEngine::stop()
{
    end(QString());
}

void VoiceEngine::end(const QString &failure)
{
    m_abort = true;
    if (m_worker.joinable())
        m_worker.join();
    m_feeder->stop();
    if (m_sink)
        m_sink->stop();
    m_shared.reset();
    if (!m_speaking)
        return;
    m_speaking = false;
    if (!failure.isEmpty())
        emit failed(failure);
    emit finished();
}
