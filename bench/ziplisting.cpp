// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// Listing benchmark, whole process: tools/ziplist over a stored archive of 10,000 members, in the
// program's own format and with ISO dates, against `zipinfo -1` over the same archive, run
// alternately; medians of RUNS runs each. Run with the Brazilian locale without a TZ variable (as a
// desktop user has it) and with one, and in the C locale without one.
//
//   bench_ziplisting [RUNS]   (default 21)

#include "benchutil.h"
#include "zipmaker.h"

#include <QCoreApplication>
#include <QTemporaryDir>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("dez-mil.zip"));
    if (!ZipMaker::write(archive, 10000))
        return std::fprintf(stderr, "cannot write %s\n", qPrintable(archive)), 1;
    const QString ziplist = QStringLiteral(ZIPLIST_PROGRAM);
    const QString zipinfo = QStringLiteral("zipinfo");
    // The time zone as a desktop user has it (no TZ: the C library checks the zone file at every
    // local-time conversion), and as a variable; and the C locale, whose short date names the month.
    const struct {
        const char *what;
        const char *lang;
        const char *tz;
    } settings[] = {{"pt_BR, TZ unset", "pt_BR.UTF-8", nullptr},
                    {"pt_BR, TZ set", "pt_BR.UTF-8", "America/Sao_Paulo"},
                    {"C.UTF-8, TZ unset", "C.UTF-8", nullptr}};
    for (const auto &setting : settings) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LANG"), QString::fromLatin1(setting.lang));
        env.remove(QStringLiteral("LC_ALL"));
        env.remove(QStringLiteral("TZ"));
        if (setting.tz)
            env.insert(QStringLiteral("TZ"), QString::fromLatin1(setting.tz));
        if (Bench::runOutput(zipinfo, {QStringLiteral("-1"), archive}, env).isEmpty())
            return std::fprintf(stderr, "zipinfo (Debian package unzip) is needed\n"), 1;
        std::vector<double> own, iso, base;
        for (int i = 0; i < runs; ++i) {
            base.push_back(Bench::runMs(zipinfo, {QStringLiteral("-1"), archive}, env));
            own.push_back(Bench::runMs(ziplist, {archive}, env));
            iso.push_back(Bench::runMs(ziplist, {QStringLiteral("--iso"), archive}, env));
        }
        const double b = Bench::median(base), o = Bench::median(own), s = Bench::median(iso);
        std::printf("%s, runs %d (median): zipinfo -1 %.2f ms, ziplist %.2f ms, ziplist --iso %.2f ms\n",
                    setting.what, runs, b, o, s);
        const QByteArray ownRow = QByteArray("listing 10,000 members, own format (") + setting.what + ')';
        const QByteArray isoRow = QByteArray("listing 10,000 members, ISO dates (") + setting.what + ')';
        Bench::row(ownRow.constData(), Bench::ms(o), QStringLiteral("zipinfo -1 ") + Bench::ms(b), o / b,
                   "<= 1.0 x", o <= b);
        Bench::row(isoRow.constData(), Bench::ms(s), QStringLiteral("zipinfo -1 ") + Bench::ms(b), s / b,
                   "<= 1.0 x", s <= b);
    }
    return 0;
}
