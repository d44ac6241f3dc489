// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The review scheduler's memory model (FSRS-6 in whole days) against the reference
// implementation: every answer sequence of tests/study/fsrs-fixture.json (written by
// tools/fsrs-fixture from ts-fsrs) replayed through Fsrs::review must give the same due day, and
// the same stability and difficulty to 1e-4, after each answer. Then what the model must do
// whatever its parameters: a lapse lowers stability, Good answers on time lengthen the wait, recall
// is the desired retention at the wait set for it, and a clock set back does not break a replay.

#include "study/fsrs.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <cmath>

class TestFsrs : public QObject {
    Q_OBJECT

private slots:
    void matchesTheReference();
    void lapsesAndGoodAnswers();
    void recallAtTheWait();
};

void TestFsrs::matchesTheReference()
{
    QFile file(QStringLiteral(QUELVADO_SOURCE_DIR "/tests/study/fsrs-fixture.json"));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    QJsonParseError error{};
    const QJsonObject fixture = QJsonDocument::fromJson(file.readAll(), &error).object();
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));

    // The fixture was made with the model's own defaults.
    const QJsonArray weights = fixture.value(QLatin1String("parameters")).toArray();
    QCOMPARE(weights.size(), 21);
    for (int i = 0; i < 21; ++i)
        QCOMPARE(weights.at(i).toDouble(), Fsrs::kDefaultWeights.at(static_cast<std::size_t>(i)));
    QCOMPARE(fixture.value(QLatin1String("maximumInterval")).toInt(), Fsrs::kDefaultMaximumInterval);

    // Any day will do as the sequences' start: one of today's Julian days.
    const Fsrs::Day start = 2461000;
    int atDefaultRetention = 0;
    int reviews = 0;
    for (const QJsonValue &group : fixture.value(QLatin1String("groups")).toArray()) {
        Fsrs::Parameters parameters;
        parameters.desiredRetention = group[QLatin1String("retention")].toDouble();
        const QJsonArray sequences = group[QLatin1String("sequences")].toArray();
        if (parameters.desiredRetention == Fsrs::kDefaultRetention)
            atDefaultRetention += int(sequences.size());
        for (int s = 0; s < sequences.size(); ++s) {
            const QJsonObject sequence = sequences.at(s).toObject();
            const auto list = [&](const char *name) { return sequence.value(QLatin1String(name)).toArray(); };
            const QJsonArray days = list("days"), ratings = list("ratings"), due = list("due"),
                             stability = list("stability"), difficulty = list("difficulty");
            QVERIFY(!days.isEmpty());
            Fsrs::Card card;
            for (int i = 0; i < days.size(); ++i) {
                const Fsrs::Day day = start + days.at(i).toInt();
                card = Fsrs::review(card, day, static_cast<Fsrs::Rating>(ratings.at(i).toInt()), parameters);
                ++reviews;
                const QByteArray where = "retention " + QByteArray::number(parameters.desiredRetention) +
                                         ", sequence " + QByteArray::number(s) + ", answer " +
                                         QByteArray::number(i);
                QVERIFY2(card.due == start + due.at(i).toInt(),
                         (where + ": due day " + QByteArray::number(card.due - start) + ", reference " +
                          QByteArray::number(due.at(i).toInt()))
                             .constData());
                QVERIFY2(std::abs(card.stability - stability.at(i).toDouble()) <= 1e-4,
                         (where + ": stability " + QByteArray::number(card.stability, 'g', 10) +
                          ", reference " + QByteArray::number(stability.at(i).toDouble(), 'g', 10))
                             .constData());
                QVERIFY2(std::abs(card.difficulty - difficulty.at(i).toDouble()) <= 1e-4,
                         (where + ": difficulty " + QByteArray::number(card.difficulty, 'g', 10) +
                          ", reference " + QByteArray::number(difficulty.at(i).toDouble(), 'g', 10))
                             .constData());
                QCOMPARE(card.lastReview, day);
                QCOMPARE(card.state, Fsrs::State::Review);
            }
            QCOMPARE(card.reps, sequence.value(QLatin1String("reps")).toInt());
            QCOMPARE(card.lapses, sequence.value(QLatin1String("lapses")).toInt());
        }
    }
    QVERIFY2(atDefaultRetention >= 1000, QByteArray::number(atDefaultRetention).constData());
    qInfo("%d sequences at retention 0.9, %d answers replayed", atDefaultRetention, reviews);
}

void TestFsrs::lapsesAndGoodAnswers()
{
    // Good on every due day: each wait longer than the one before.
    Fsrs::Card card = Fsrs::review({}, 0, Fsrs::Rating::Good);
    int lastWait = int(card.due - card.lastReview);
    for (int i = 0; i < 8; ++i) {
        const Fsrs::Card next = Fsrs::review(card, card.due, Fsrs::Rating::Good);
        const int wait = int(next.due - next.lastReview);
        QVERIFY2(wait > lastWait && next.stability > card.stability,
                 qPrintable(QStringLiteral("answer %1: wait %2 after %3").arg(i).arg(wait).arg(lastWait)));
        lastWait = wait;
        card = next;
    }
    QCOMPARE(card.reps, 9);
    QCOMPARE(card.lapses, 0);

    // Again on the due day: stability falls, difficulty rises, a lapse is counted, and the question
    // comes back sooner than after Hard, Good or Easy.
    const Fsrs::Card again = Fsrs::review(card, card.due, Fsrs::Rating::Again);
    QVERIFY(again.stability < card.stability / 2);
    QVERIFY(again.difficulty > card.difficulty);
    QCOMPARE(again.lapses, 1);
    Fsrs::Day lastDue = again.due;
    for (auto rating : {Fsrs::Rating::Hard, Fsrs::Rating::Good, Fsrs::Rating::Easy}) {
        const Fsrs::Card other = Fsrs::review(card, card.due, rating);
        QVERIFY(other.due > lastDue);
        QCOMPARE(other.lapses, 0);
        lastDue = other.due;
    }

    // A day before the last answer (a clock set back) counts as that same day.
    const Fsrs::Card backwards = Fsrs::review(card, card.lastReview - 5, Fsrs::Rating::Good);
    const Fsrs::Card sameDay = Fsrs::review(card, card.lastReview, Fsrs::Rating::Good);
    QCOMPARE(backwards.stability, sameDay.stability);
    QCOMPARE(backwards.due - backwards.lastReview, sameDay.due - sameDay.lastReview);
}

void TestFsrs::recallAtTheWait()
{
    Fsrs::Card card;
    QCOMPARE(Fsrs::retrievability(card, 100), 0.0); // never answered
    card.state = Fsrs::State::Review;
    card.stability = 12.0;
    card.difficulty = 5.0;
    card.lastReview = 100;
    QCOMPARE(Fsrs::retrievability(card, 100), 1.0);
    QVERIFY(qAbs(Fsrs::retrievability(card, 112) - 0.9) < 1e-6);
    QVERIFY(Fsrs::retrievability(card, 111) > 0.9);
    QVERIFY(Fsrs::retrievability(card, 113) < 0.9);
    QCOMPARE(Fsrs::nextInterval(12.0), 12);

    // At every desired retention, recall on the day the wait ends is that retention.
    for (double retention : {0.7, 0.8, 0.9, 0.95}) {
        Fsrs::Parameters parameters;
        parameters.desiredRetention = retention;
        for (double stability : {0.5, 3.0, 40.0, 900.0}) {
            const double days = Fsrs::daysToRetention(stability, parameters);
            QVERIFY2(qAbs(Fsrs::forgettingCurve(days, stability) - retention) < 1e-6,
                     qPrintable(QStringLiteral("retention %1, stability %2: %3 days")
                                    .arg(retention)
                                    .arg(stability)
                                    .arg(days)));
            QCOMPARE(Fsrs::nextInterval(stability, parameters), std::max(1, int(std::lround(days))));
        }
    }
    Fsrs::Parameters capped;
    capped.maximumInterval = 30;
    QCOMPARE(Fsrs::nextInterval(500.0, capped), 30);
}

QTEST_GUILESS_MAIN(TestFsrs)
#include "tst_fsrs.moc"
