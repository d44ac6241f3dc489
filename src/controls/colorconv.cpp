// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/colorconv.h"

#include "common/errors.h"

#include <QPalette>
#include <algorithm>
#include <array>
#include <cmath>

namespace {

void requireUnit(double v, const char *function, const char *name)
{
    if (!(v >= 0.0 && v <= 1.0))
        throw EColorConv(QStringLiteral("%1: 0 <= %2 value <= 1 required")
                             .arg(QLatin1String(function), QLatin1String(name)));
}

// Corners of the hexcone per sector, for red, green and blue.
constexpr std::array<std::array<int, 3>, 6> kCorners{{
    {1, -1, -1},
    {1, 1, -1},
    {-1, 1, -1},
    {-1, 1, 1},
    {-1, -1, 1},
    {1, -1, 1},
}};

int toByte(double v)
{
    // The default floating-point rounding mode rounds half to even.
    return static_cast<int>(std::nearbyint(v * 255.0));
}

} // namespace

QColor toQColor(TColor c, const QPalette &palette)
{
    if (isSystemColor(c)) {
        switch (c) {
        case clBtnShadow:
            return palette.color(QPalette::Dark);
        case clBtnHighlight:
            return palette.color(QPalette::Light);
        case clWindowFrame:
            return palette.color(QPalette::WindowText);
        default:
            return palette.color(QPalette::Button);
        }
    }
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

TColor fromQColor(const QColor &c)
{
    const QColor rgb = c.toRgb();
    return static_cast<TColor>(rgb.red()) | static_cast<TColor>(rgb.green()) << 8 |
           static_cast<TColor>(rgb.blue()) << 16;
}

HlsF rgbToHls(const RgbF &c)
{
    requireUnit(c.red, "RGB2HLS", "Red");
    requireUnit(c.green, "RGB2HLS", "Green");
    requireUnit(c.blue, "RGB2HLS", "Blue");
    const double max = std::max({c.red, c.green, c.blue});
    const double min = std::min({c.red, c.green, c.blue});
    const double delta = max - min;
    HlsF out{0.0, (max + min) / 2.0, 0.0};
    if (delta < 1e-8)
        return out;
    out.saturation = out.luminance <= 0.5 ? delta / (max + min) : delta / (2.0 - max - min);
    double sextant;
    if (c.red == max) {
        sextant = (c.green - c.blue) / delta;
        if (sextant < 0.0)
            sextant += 6.0;
    } else if (c.green == max) {
        sextant = 2.0 + (c.blue - c.red) / delta;
    } else {
        sextant = 4.0 + (c.red - c.green) / delta;
    }
    out.hue = sextant / 6.0;
    return out;
}

RgbF hlsToRgb(const HlsF &c)
{
    requireUnit(c.hue, "HLS2RGB", "Hue");
    requireUnit(c.luminance, "HLS2RGB", "Luminance");
    requireUnit(c.saturation, "HLS2RGB", "Saturation");
    const double x = 6.0 * c.hue;
    const double whole = std::trunc(x);
    const int sector = static_cast<int>(whole) % 6;
    const int next = (sector + 1) % 6;
    const double t = x - whole;
    const double l = c.luminance;
    std::array<double, 3> out{};
    for (std::size_t ch = 0; ch < 3; ++ch) {
        const double from = kCorners[static_cast<std::size_t>(sector)][ch];
        const double to = kCorners[static_cast<std::size_t>(next)][ch];
        double v = (from + (to - from) * t) * c.saturation;
        v = l > 0.5 ? (1.0 - l) * v + l : (v + 1.0) * l;
        out[ch] = std::clamp(v, 0.0, 1.0);
    }
    return {out[0], out[1], out[2]};
}

QColor contrastColor(TColor lit, int contrast, const QPalette &palette)
{
    const QColor c = toQColor(lit, palette);
    // The factor is taken at single precision: at contrast 7 it is 0.300000011920929, which
    // tips a lime channel of 76.5 up to 77.
    const float factor = static_cast<float>((10 - contrast) * 0.1);
    HlsF hls = rgbToHls({c.red() / 255.0, c.green() / 255.0, c.blue() / 255.0});
    hls.luminance *= static_cast<double>(factor);
    const RgbF rgb = hlsToRgb(hls);
    return QColor(toByte(rgb.red), toByte(rgb.green), toByte(rgb.blue));
}
