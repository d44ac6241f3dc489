// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
// The sound module: SoundOutput on Qt Multimedia's default output.
#include "common/soundoutput.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <QPointer>

namespace {
class QtSoundOutput final : public SoundOutput {
public:
    bool start(int rate, QString *why) override
    {
        stop();
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) {
            *why = QStringLiteral("Não há saída de som disponível para ouvir o texto.");
            return false;
        }
        QAudioFormat format;
        format.setSampleRate(rate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        m_sink = std::make_unique<QAudioSink>(device, format);
        m_output = m_sink->start();
        if (!m_output) {
            *why = QStringLiteral("Não foi possível tocar o som (a saída de som recusou o formato da voz).");
            return false;
        }
        return true;
    }
    qint64 write(const char *data, qint64 size) override
    {
        return m_output ? m_output->write(data, size) : 0;
    }
    qint64 bytesFree() const override { return m_sink ? m_sink->bytesFree() : 0; }
    qint64 bufferSize() const override { return m_sink ? m_sink->bufferSize() : 0; }
    bool failed() const override
    {
        return m_sink && m_sink->error() != QAudio::NoError && m_sink->error() != QAudio::UnderrunError;
    }
    void stop() override
    {
        if (m_sink)
            m_sink->stop();
    }

private:
    std::unique_ptr<QAudioSink> m_sink;
    QPointer<QIODevice> m_output;
};
} // namespace

extern "C" Q_DECL_EXPORT SoundOutput *quelvado_sound_output()
{
    return new QtSoundOutput;
}
