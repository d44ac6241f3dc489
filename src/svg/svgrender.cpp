// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
// The SVG module: drawings rendered with Qt Svg.
#include "common/svgdrawing.h"

#include <QSvgRenderer>

extern "C" Q_DECL_EXPORT bool quelvado_svg_render(const QString &path, QPainter *painter,
                                                  const QRectF &target)
{
    QSvgRenderer svg(path);
    if (!svg.isValid())
        return false;
    svg.render(painter, target);
    return true;
}
