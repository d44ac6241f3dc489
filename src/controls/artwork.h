#pragma once
// The program's own artwork: button glyphs (SVG carried in the program) and
// the banners inviting to the maker's products page, painted at the sizes of the layout.

#include <QIcon>
#include <QPixmap>

namespace Artwork {
// The glyph ":/glyphs/<name>.svg" as an icon of size x size pixels rendered for a screen of the
// given device pixel ratio (crisp on high-dpi screens); an empty icon when there is no such glyph.
QIcon glyph(const QString &name, int size = 32, qreal devicePixelRatio = 1.0);
// The toolbar banner, 278 x 41.
QPixmap smallBanner(qreal devicePixelRatio = 1.0);
// The large banner below the toolbar, 477 x 100.
QPixmap largeBanner(qreal devicePixelRatio = 1.0);
// The banner of the exam window's selection page, 350 x 110.
QPixmap examBanner(qreal devicePixelRatio = 1.0);
// An SVG picture carried in the program (":/glyphs/<name>.svg") rendered at size.
QPixmap glyphPixmap(const QString &name, QSize size, qreal devicePixelRatio = 1.0);
} // namespace Artwork
