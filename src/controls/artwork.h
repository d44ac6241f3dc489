// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's own artwork: button glyphs (SVG carried in the program) and
// the banners inviting to the maker's products page, painted at the sizes of the layout.

#include <QIcon>
#include <QImage>
#include <QPixmap>

class QWidget;

namespace Artwork {
// dpr: the device pixel ratio of the screen drawn for (crisp on high-dpi screens).
// The glyph ":/glyphs/<name>.svg" as an icon of size x size pixels; an empty icon when there is no
// such glyph.
QIcon glyph(const QString &name, int size = 32, qreal dpr = 1.0);
// The glyph name as an icon of size x size pixels rendered for the screen widget is on.
QIcon glyph(const QWidget *widget, const char *name, int size);
// The toolbar banner, 278 x 41.
QPixmap smallBanner(qreal dpr = 1.0);
// The large banner below the toolbar, 477 x 100.
QPixmap largeBanner(qreal dpr = 1.0);
// The banner of the exam window's selection page, 350 x 110.
QPixmap examBanner(qreal dpr = 1.0);
// The banners and toolbar glyphs are prepared at build time (tools/artgen) and carried as raw
// images; the functions above use them and paint afresh only what was not prepared. These paint.
QPixmap paintSmallBanner(qreal dpr);
QPixmap paintLargeBanner(qreal dpr);
QPixmap paintExamBanner(qreal dpr);
// An SVG picture carried in the program (":/glyphs/<name>.svg") rendered at size.
QPixmap glyphPixmap(const QString &name, QSize size, qreal dpr = 1.0);
// The program's icon (":/icone.svg") rendered at size x size pixels.
QPixmap iconPixmap(int size);
// The sizes the icon is prepared at, and the icon the windows carry: the prepared sizes (so that
// no SVG is rendered when the program starts), or the drawing itself when they are missing.
inline constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128};
QIcon windowIcon();

// Prepared artwork: a 12-byte header ("QVIM", width and height as little-endian 32-bit numbers)
// then the pixels, premultiplied ARGB, one 32-bit word each, row by row.
// Writes image in that form; false when the file cannot be written.
bool writePrepared(const QImage &image, const QString &path);
// The prepared image ":/prepared/<name>@<ratio>x.raw" for a whole pixel ratio of 1 or 2, or a null
// pixmap when there is none (or it is damaged).
QPixmap prepared(const QString &name, qreal dpr);
} // namespace Artwork
