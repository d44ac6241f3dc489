// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// Listing 2,000,000 members in the download window (offscreen): the memory the listing keeps and
// the most it takes on the way, per member, and how long the window's thread goes without
// handling its events (a timer that should tick every 5 ms) from the start of the listing until
// the last row is shown.
//
//   bench_biglisting [MEMBERS]   (default 2000000)

#include "benchutil.h"
#include "zipmaker.h"

#include "common/programfolder.h"
#include "download/formdownload.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int members = argc > 1 ? std::max(100, std::atoi(argv[1])) : 2000000;
    QTemporaryDir dir;
    ProgramFolder::set(dir.path());
    if (!ZipMaker::write(dir.filePath(QStringLiteral("grande.zip")), members) ||
        !ZipMaker::write(dir.filePath(QStringLiteral("pequeno.zip")), 100))
        return std::fprintf(stderr, "cannot write the archives\n"), 1;
    const int files = members - members / 100; // every hundredth member is a folder

    TFormDownload w;
    w.show();
    // Warm up: the code paths of a listing, on a small archive.
    w.LastArchive = QStringLiteral("pequeno.zip");
    w.MostrarZip();
    QApplication::processEvents();
    const long before = Bench::statusKb("VmRSS");
    {
        QFile clear(QStringLiteral("/proc/self/clear_refs")); // the peak starts again from here
        if (clear.open(QIODevice::WriteOnly))
            clear.write("5");
    }

    QElapsedTimer clock;
    qint64 last = 0, worst = 0;
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        worst = std::max(worst, now - last);
        last = now;
    });
    clock.start();
    tick.start();
    w.LastArchive = QStringLiteral("grande.zip");
    w.MostrarZip();
    qint64 handOver = 0; // the step that put the rows in the list
    while (w.Lista->model()->rowCount() != files && clock.elapsed() < 600000) {
        const qint64 start = clock.elapsed();
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        handOver = clock.elapsed() - start;
    }
    // The last rows shown: the view lays its rows out.
    const qint64 start = clock.elapsed();
    w.Lista->scrollToBottom();
    QApplication::processEvents();
    w.Lista->viewport()->repaint();
    QApplication::processEvents();
    std::printf("rows handed to the list in %lld ms, last rows shown in %lld ms\n",
                static_cast<long long>(handOver), static_cast<long long>(clock.elapsed() - start));
    const double total = static_cast<double>(clock.elapsed());
    worst = std::max(worst, clock.elapsed() - last);
    tick.stop();
    const long after = Bench::statusKb("VmRSS");
    const long peak = Bench::statusKb("VmHWM");
    const double kept = (after - before) * 1024.0 / members;
    const double most = (peak - before) * 1024.0 / members;
    std::printf("%d members (%d rows): listed and shown in %.0f ms; longest the window waited %lld ms; "
                "memory kept %.0f B/member (%.1f MB), at most %.0f B/member (%.1f MB)\n",
                members, w.Lista->model()->rowCount(), total, static_cast<long long>(worst), kept,
                (after - before) / 1024.0, most, (peak - before) / 1024.0);
    char what[64];
    std::snprintf(what, sizeof what, "listing %d members: memory kept", members);
    Bench::row(what, QString::number(kept, 'f', 0) + QStringLiteral(" B/member"), QStringLiteral("-"), -1,
               "<= 200 B/member", kept <= 200);
    std::snprintf(what, sizeof what, "listing %d members: memory at most", members);
    Bench::row(what, QString::number(most, 'f', 0) + QStringLiteral(" B/member"), QStringLiteral("-"), -1,
               "<= 200 B/member", most <= 200);
    std::snprintf(what, sizeof what, "listing %d members: window's longest wait", members);
    Bench::row(what, Bench::ms(static_cast<double>(worst)), QStringLiteral("listed in ") + Bench::ms(total),
               -1, "<= 100 ms (responsive)", worst <= 100);
    return 0;
}
