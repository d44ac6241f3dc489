// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// Download of 20 MB from a server on 127.0.0.1 (Python's http.server, HTTP/1.0): the download
// component, from StartDownload to its completion with the file in place, against a whole run of
// `curl -o FILE` of the same address, alternately; medians of RUNS runs.
//
//   bench_download [RUNS]   (default 7)

#include "benchutil.h"

#include "common/programfolder.h"
#include "download/adware.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    QTemporaryDir served, folder;
    ProgramFolder::set(folder.path());
    constexpr qint64 kSize = 20 * 1000 * 1000;
    {
        QFile f(served.filePath(QStringLiteral("grande.zip")));
        QByteArray block(1 << 20, 'q');
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        for (qint64 left = kSize; left > 0; left -= block.size())
            f.write(block.constData(), std::min<qint64>(left, block.size()));
    }
    // The server takes a free port and says which.
    QProcess server;
    server.setWorkingDirectory(served.path());
    server.setStandardErrorFile(QProcess::nullDevice());
    server.start(QStringLiteral("python3"),
                 {QStringLiteral("-u"), QStringLiteral("-m"), QStringLiteral("http.server"),
                  QStringLiteral("0"), QStringLiteral("--bind"), QStringLiteral("127.0.0.1")});
    QByteArray said;
    static const QRegularExpression portIs(QStringLiteral("port (\\d+)"));
    QRegularExpressionMatch m;
    while (!(m = portIs.match(QString::fromLatin1(said))).hasMatch() && server.waitForReadyRead(10000))
        said += server.readAllStandardOutput();
    if (!m.hasMatch())
        return std::fprintf(stderr, "python3 -m http.server did not start\n"), 1;
    const int port = m.captured(1).toInt();
    const QString url = QStringLiteral("http://127.0.0.1:%1/grande.zip").arg(port);
    const QString curlOut = folder.filePath(QStringLiteral("curl.zip"));
    for (int i = 0;
         i < 100 && Bench::runOutput(QStringLiteral("curl"), {QStringLiteral("-sI"), url}).isEmpty(); ++i)
        QThread::msleep(100);

    // The component replaces its file atomically and durably (written beside it, flushed to disk,
    // renamed over it); curl -o only writes. The second baseline adds the flush: curl, then sync of
    // the file (coreutils' sync FILE calls fsync).
    std::vector<double> ours, theirs, durable;
    for (int i = 0; i < runs; ++i) {
        theirs.push_back(
            Bench::runMs(QStringLiteral("curl"), {QStringLiteral("-s"), QStringLiteral("-o"), curlOut, url}));
        durable.push_back(
            Bench::runMs(QStringLiteral("sh"),
                         {QStringLiteral("-c"), QStringLiteral("curl -s -o \"$1\" \"$2\" && sync \"$1\""),
                          QStringLiteral("sh"), curlOut, url}));
        TAdware adware;
        adware.setBinaryData(true);
        adware.setUseCache(false);
        adware.setAcceptTypes(QStringLiteral("*/*"));
        adware.setImageURL(url);
        QEventLoop loop;
        qint32 size = 0;
        QObject::connect(&adware, &TAdware::OnImageDone, &loop,
                         [&](QObject *, const QString &, qint32 fileSize) {
                             size = fileSize;
                             loop.quit();
                         });
        QTimer::singleShot(120000, &loop, &QEventLoop::quit);
        QElapsedTimer t;
        t.start();
        if (!adware.StartDownload())
            return std::fprintf(stderr, "the download did not start\n"), 1;
        loop.exec();
        const double ms = static_cast<double>(t.nsecsElapsed()) / 1e6;
        if (size != kSize)
            return std::fprintf(stderr, "the download failed (%d bytes)\n", size), 1;
        ours.push_back(ms);
        while (adware.Downloading())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    server.kill();
    server.waitForFinished();
    const double o = Bench::median(ours), c = Bench::median(theirs), d = Bench::median(durable);
    std::printf(
        "20 MB over loopback, runs %d (median): download component %.1f ms, curl %.1f ms, curl + sync "
        "%.1f ms\n",
        runs, o, c, d);
    Bench::row("download of 20 MB from a loopback server", Bench::ms(o),
               QStringLiteral("curl ") + Bench::ms(c), o / c, "<= 1.5 x", o / c <= 1.5);
    Bench::row("download of 20 MB, flushed to disk as both", Bench::ms(o),
               QStringLiteral("curl + sync ") + Bench::ms(d), o / d, "<= 1.5 x", o / d <= 1.5);
    return 0;
}
