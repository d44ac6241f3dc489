// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The voice the windows read with, run for real: espeak-ng's Brazilian Portuguese voice makes
// sound that is not silence, as long as the text needs at the speed chosen, and stops when asked.
// Skips, saying what to install, only where the voice is not installed.

#include "common/espeakvoice.h"
#include "common/speechtext.h"
#include "common/voiceengine.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include <cmath>

namespace {
struct Sound {
    qint64 samples = 0;
    double rms = 0;
    int peak = 0;
    qint64 firstBlockMs = -1;
    qint64 totalMs = 0;
    double seconds(int rate) const { return double(samples) / rate; }
};

Sound speak(const QString &text, ESpeakVoice::Speed speed, qint64 stopAfter = -1)
{
    Sound s;
    double squares = 0;
    QElapsedTimer timer;
    timer.start();
    QString why;
    const bool ok = ESpeakVoice::synthesise(
        text, speed,
        [&](const qint16 *samples, int count) {
            if (s.firstBlockMs < 0)
                s.firstBlockMs = timer.elapsed();
            for (int i = 0; i < count; ++i) {
                squares += double(samples[i]) * samples[i];
                s.peak = std::max(s.peak, std::abs(int(samples[i])));
            }
            s.samples += count;
            return stopAfter < 0 || s.samples < stopAfter;
        },
        &why);
    s.totalMs = timer.elapsed();
    if (!ok)
        qWarning("%s", qPrintable(why));
    s.rms = s.samples ? std::sqrt(squares / double(s.samples)) : 0;
    return s;
}
} // namespace

class TestSpeech : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void questionIsSpokenAtItsLength();
    void speedAndStop();
    void engineEndsEveryReading();
};

void TestSpeech::initTestCase()
{
    if (const QString problem = ESpeakVoice::problem(); !problem.isEmpty())
        QSKIP(qPrintable(QStringLiteral("No voice to test: ") + problem));
    QVERIFY(ESpeakVoice::sampleRate() >= 8000);
}

void TestSpeech::questionIsSpokenAtItsLength()
{
    const int rate = ESpeakVoice::sampleRate();
    const QString shortText = SpeechText::spoken(QStringLiteral("Velocidade máxima de 80 km/h."));
    const QString question = SpeechText::questionReading(
        QStringLiteral("Em via rural sem sinalização, a velocidade máxima para automóveis na rodovia de "
                       "pista dupla é de:"),
        {QStringLiteral("60 km/h."), QStringLiteral("80 km/h."), QStringLiteral("100 km/h."),
         QStringLiteral("110 km/h."), QStringLiteral("120 km/h.")},
        false);
    const Sound brief = speak(shortText, ESpeakVoice::Speed::Normal);
    const Sound whole = speak(question, ESpeakVoice::Speed::Normal);
    for (const auto &[text, sound] : {std::pair{shortText, brief}, std::pair{question, whole}}) {
        // Not silence: speech is loud far above the noise floor of 16-bit samples.
        QVERIFY2(sound.rms > 300 && sound.peak > 3000,
                 qPrintable(QStringLiteral("rms %1, peak %2").arg(sound.rms).arg(sound.peak)));
        // A person reads between 8 and 25 characters a second.
        const double perSecond = text.size() / sound.seconds(rate);
        QVERIFY2(
            perSecond > 8 && perSecond < 25,
            qPrintable(QStringLiteral("%1 characters in %2 s").arg(text.size()).arg(sound.seconds(rate))));
    }
    QVERIFY(whole.seconds(rate) > 3 * brief.seconds(rate));
    // The figures (the goals are measured in bench/, not here).
    qInfo("question: %lld chars, %.1f s of speech, made in %lld ms (%.3f of its length), first block after "
          "%lld ms",
          static_cast<long long>(question.size()), whole.seconds(rate), static_cast<long long>(whole.totalMs),
          whole.totalMs / 1000.0 / whole.seconds(rate), static_cast<long long>(whole.firstBlockMs));
}

void TestSpeech::speedAndStop()
{
    const int rate = ESpeakVoice::sampleRate();
    const QString text = SpeechText::spoken(QStringLiteral(
        "Pelo art. 29, II, o condutor deve guardar distância de segurança lateral e frontal."));
    const Sound slow = speak(text, ESpeakVoice::Speed::Slow);
    const Sound normal = speak(text, ESpeakVoice::Speed::Normal);
    const Sound fast = speak(text, ESpeakVoice::Speed::Fast);
    QVERIFY(slow.samples > normal.samples * 1.1);
    QVERIFY(normal.samples > fast.samples * 1.1);
    // A sink that says stop ends the synthesis within a block or so, and the voice then speaks the
    // whole text again (the same length, but for the pause the voice may keep from the cut).
    const Sound stopped = speak(text, ESpeakVoice::Speed::Normal, rate / 4);
    QVERIFY2(stopped.samples < normal.samples / 2, qPrintable(QString::number(stopped.samples)));
    const Sound again = speak(text, ESpeakVoice::Speed::Normal);
    QVERIFY2(std::abs(again.samples - normal.samples) < normal.samples / 50,
             qPrintable(QStringLiteral("%1 against %2").arg(again.samples).arg(normal.samples)));
}

// The engine the windows use comes to an end, with a message when there is no sound output (as on
// a build machine), and a stop ends it at once.
void TestSpeech::engineEndsEveryReading()
{
    VoiceEngine engine;
    QSignalSpy finished(&engine, &SpeechEngine::finished);
    QSignalSpy failed(&engine, &SpeechEngine::failed);
    engine.say(SpeechText::spoken(QStringLiteral("Questão 1.")), SpeechEngine::Speed::Fast);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 20000);
    QVERIFY(!engine.isSpeaking());
    // The sound module is built beside the program and is found there: any failure is the sound
    // system's.
    if (!failed.isEmpty()) {
        const QString why = failed.first().first().toString();
        QVERIFY2(!why.contains(QStringLiteral("falta uma parte")), qPrintable(why));
        qInfo("no sound here: %s", qPrintable(why));
    }
    engine.say(
        SpeechText::spoken(QStringLiteral("Questão 2, bem mais longa, que será interrompida no meio.")),
        SpeechEngine::Speed::Slow);
    engine.stop();
    QCOMPARE(finished.size(), 2);
    QVERIFY(!engine.isSpeaking());
}

QTEST_GUILESS_MAIN(TestSpeech)
#include "tst_speech.moc"
