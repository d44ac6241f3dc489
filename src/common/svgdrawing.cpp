// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "svgdrawing.h"

#include "common/modules.h"

bool SvgDrawing::render(const QString &path, QPainter &painter, const QRectF &target)
{
    static const auto entry =
        Modules::function<decltype(&quelvado_svg_render)>("quelvado_svg", "quelvado_svg_render");
    return entry && entry(path, &painter, target);
}
