// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// SVG drawings (the signs, the glyphs) rendered by the SVG module (src/svg, on Qt Svg), loaded the
// first time a drawing is rendered: the main window shows prepared pictures and needs none.

#include <QRectF>
#include <QString>

class QPainter;

namespace SvgDrawing {
// Renders the SVG file at path into target on painter; false when the file is not a valid drawing
// or the module is missing.
bool render(const QString &path, QPainter &painter, const QRectF &target);
} // namespace SvgDrawing

// The SVG module's entry point: as SvgDrawing::render, once loaded.
extern "C" bool quelvado_svg_render(const QString &path, QPainter *painter, const QRectF &target);
