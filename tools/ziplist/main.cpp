// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// ziplist: prints the members of a zip archive as the download window lists them, one per line:
// the file part of the name, the uncompressed size and the modification date and time (the
// system's short date and long time, the time left out at exactly midnight), tab-separated.
// Folder entries are skipped, as in the window.
//
//   ziplist [--all] [--iso] archive.zip
//     --all  every entry with its whole stored name, then the compressed size as a fourth column
//     --iso  dates as yyyy-MM-dd HH:mm:ss instead of the system's formats
//
// Exit status: 0 listed, 1 wrong use, 2 the file could not be read, 3 the walk stopped at a record
// cut off by the end of the file (what was read before is still printed).

#include "common/errors.h"
#include "download/zip.h"

#include <QCoreApplication>
#include <QLocale>
#include <QStringList>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments().mid(1);
    const bool all = args.removeAll(QStringLiteral("--all")) > 0;
    const bool iso = args.removeAll(QStringLiteral("--iso")) > 0;
    if (args.size() != 1 || args.first().startsWith(QLatin1String("--"))) {
        err << "usage: ziplist [--all] [--iso] archive.zip\n";
        return 1;
    }

    // The formats and the time zone are looked up once for the whole listing.
    const ZipDateFormat dates(iso ? ZipDateFormat::Style::Iso : ZipDateFormat::Style::Locale,
                              QLocale::system());
    bool complete = false;
    try {
        if (all) {
            TZip zip;
            zip.LoadArchive(args.first());
            for (const ZipEntry &entry : zip.Entries())
                out << entry.name << '\t' << entry.record.uncompressedSize << '\t'
                    << dates.text(entry.record.dateTime) << '\t' << entry.record.compressedSize << '\n';
            complete = zip.Ok();
        } else {
            // The window's own rows: file parts only, folders left out.
            ZipListing listing;
            listing.load(args.first());
            for (qsizetype row = 0; row < listing.count(); ++row)
                out << listing.name(row) << '\t' << listing.uncompressedSize(row) << '\t'
                    << dates.text(listing.dateTime(row)) << '\n';
            complete = listing.complete();
        }
    } catch (const Exception &e) {
        err << "ziplist: " << e.message() << '\n';
        return 2;
    }
    out.flush();
    if (!complete) {
        err << "ziplist: the archive ends inside a record; the listing stops there\n";
        return 3;
    }
    return 0;
}
