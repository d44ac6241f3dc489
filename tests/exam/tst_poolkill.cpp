// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The personalised pool file survives a kill at any moment of its creation or shuffling: what is
// left is either no file or a complete pool holding each number of the default pool once.

#include "exam/examtypes.h"

#include "poolfile.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

class TestPoolKill : public QObject {
    Q_OBJECT
private slots:
    void killedAtRandomMoments();
    void twoCopiesDrawInOneFolder();
};

void TestPoolKill::killedAtRandomMoments()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("numprova.dat"));
    const QStringList pool = ExamTypes::defaultPool();
    const QSet<QString> expected(pool.begin(), pool.end());
    QRandomGenerator random(20261208);
    // How long one draw takes on this machine now, so the kills fall across creation and
    // shuffling however loaded the machine is.
    QProcess timing;
    timing.start(QStringLiteral(QUELVADO_POOLWORKER), {folder.path()});
    QVERIFY(timing.waitForReadyRead(10000));
    QElapsedTimer clock;
    clock.start();
    while (timing.readAll().count("drawn") < 1 && clock.elapsed() < 20000)
        timing.waitForReadyRead(100);
    const int drawMs = int(qMax<qint64>(2, clock.elapsed()));
    timing.kill();
    timing.waitForFinished(10000);
    int complete = 0, absent = 0;
    constexpr int kTrials = 200;
    for (int trial = 0; trial < kTrials; ++trial) {
        // Every third trial starts without a file, so the kill may fall in its creation.
        if (trial % 3 == 0)
            QFile::remove(path);
        QProcess worker;
        worker.start(QStringLiteral(QUELVADO_POOLWORKER), {folder.path()});
        QVERIFY(worker.waitForReadyRead(10000));
        QTest::qSleep(int(random.bounded(2 * drawMs + 1))); // the kill's random moment is what is checked
        ::kill(static_cast<pid_t>(worker.processId()), SIGKILL);
        QVERIFY(worker.waitForFinished(10000));

        if (!QFile::exists(path)) {
            ++absent;
            continue;
        }
        QStringList found;
        try {
            found = readPool(path);
        } catch (const std::exception &e) {
            QFAIL(qPrintable(QStringLiteral("trial %1: %2").arg(trial).arg(QString::fromUtf8(e.what()))));
        }
        QCOMPARE(found.size(), pool.size());
        QCOMPARE(QSet<QString>(found.begin(), found.end()), expected);
        ++complete;
    }
    qInfo("%d trials (a draw takes about %d ms): %d complete pools, %d before the first pool existed",
          kTrials, drawMs, complete, absent);
    QVERIFY(complete > 0);
}

// Two copies of the program drawing in one folder at once: each draw works on a copy of its own
// (a shared work file made draws throw), and the work copies killed draws left long ago go.
void TestPoolKill::twoCopiesDrawInOneFolder()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("numprova.dat"));
    const QString stale = path + QStringLiteral(".novo-12345-00000000000000ab");
    const QString older = path + QStringLiteral(".novo");
    const QString recent = path + QStringLiteral(".novo-12346-00000000000000cd");
    for (const QString &name : {stale, older, recent}) {
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write("x") == 1 && file.flush());
        if (name != recent)
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                     QFileDevice::FileModificationTime));
    }
    QProcess first, second;
    for (QProcess *worker : {&first, &second}) {
        worker->start(QStringLiteral(QUELVADO_POOLWORKER), {folder.path()});
        QVERIFY(worker->waitForStarted(10000));
    }
    QByteArray said[2];
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 2000 && first.state() == QProcess::Running &&
           second.state() == QProcess::Running) {
        first.waitForReadyRead(50);
        said[0] += first.readAll();
        said[1] += second.readAll();
    }
    const bool bothRunning = first.state() == QProcess::Running && second.state() == QProcess::Running;
    for (QProcess *worker : {&first, &second}) {
        worker->kill();
        worker->waitForFinished(10000);
    }
    said[0] += first.readAll();
    said[1] += second.readAll();
    QVERIFY2(bothRunning, second.readAllStandardError().constData());
    qInfo("draws: %lld and %lld", qlonglong(said[0].count("drawn")), qlonglong(said[1].count("drawn")));
    QVERIFY(said[0].count("drawn") > 5);
    QVERIFY(said[1].count("drawn") > 5);
    QVERIFY(!QFile::exists(stale));
    QVERIFY(!QFile::exists(older));
    QVERIFY(QFile::exists(recent));
}

QTEST_GUILESS_MAIN(TestPoolKill)
#include "tst_poolkill.moc"
