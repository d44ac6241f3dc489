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

QTEST_GUILESS_MAIN(TestPoolKill)
#include "tst_poolkill.moc"
