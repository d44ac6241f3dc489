// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// artgen FOLDER: paints the banners and renders the toolbar glyphs at pixel ratios 1 and 2, and the
// program's icon at its sizes, into FOLDER/<name>@<ratio>x.raw (see Artwork::writePrepared for the format).
// Run at build time with QT_QPA_PLATFORM=offscreen.

#include "controls/artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: artgen FOLDER\n");
        return 1;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    for (int ratio : {1, 2}) {
        QList<QPair<QString, QPixmap>> art = {
            {QStringLiteral("banner-small"), Artwork::paintSmallBanner(ratio)},
            {QStringLiteral("banner-large"), Artwork::paintLargeBanner(ratio)},
            {QStringLiteral("banner-exam"), Artwork::paintExamBanner(ratio)},
        };
        for (const char *glyph : {"prova", "placas", "codigo", "ajuda", "fechar", "estudo"})
            art.append({QStringLiteral("glyph-") + QLatin1String(glyph),
                        Artwork::glyphPixmap(QLatin1String(glyph), QSize(32, 32), ratio)});
        if (ratio == 1)
            for (int size : Artwork::kIconSizes)
                art.append({QStringLiteral("icon-%1").arg(size), Artwork::iconPixmap(size)});
        for (const auto &[name, pixmap] : art) {
            const QString path = QStringLiteral("%1/%2@%3x.raw").arg(folder, name).arg(ratio);
            if (pixmap.isNull() || !Artwork::writePrepared(pixmap.toImage(), path)) {
                std::fprintf(stderr, "artgen: cannot prepare %s\n", qPrintable(path));
                return 1;
            }
        }
    }
    return 0;
}
