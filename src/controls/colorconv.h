// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Colours as the window layouts write them, the hue-lightness-saturation conversion and the
// contrast rule that gives the dim colour of an unlit LED segment from its lit colour.

#include <QColor>
#include <cstdint>

class QPalette;

// A colour as one integer in blue-green-red order (0x00BBGGRR), or a system colour (high byte
// 0x80, low byte the system colour's index) that is looked up in a palette when it is used.
using TColor = std::uint32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clWindowFrame = 0x80000006;
inline constexpr TColor clBtnShadow = 0x80000010;
inline constexpr TColor clBtnHighlight = 0x80000014;

// True when c names a system colour rather than an RGB value.
constexpr bool isSystemColor(TColor c)
{
    return (c & 0xFF000000u) == 0x80000000u;
}

// Returns the RGB value of c. System colours come from palette: button shadow is its Dark role,
// button highlight its Light role, window frame its WindowText role; any other system colour
// gives the palette's Button role. The top byte of an RGB value is ignored.
QColor toQColor(TColor c, const QPalette &palette);
// Returns the layout integer of an RGB colour (alpha dropped).
TColor fromQColor(const QColor &c);

// Channels in 0..1.
struct RgbF {
    double red;
    double green;
    double blue;
};
// Hue, lightness and saturation in 0..1 (hue: red 0, yellow 1/6, green 1/3, blue 2/3).
struct HlsF {
    double hue;
    double luminance;
    double saturation;
};

// Converts to hue, lightness and saturation in the double-hexcone model. Fails with EColorConv
// "RGB2HLS: 0 <= Red value <= 1 required" (Green, Blue) for a channel outside 0..1.
HlsF rgbToHls(const RgbF &c);
// Converts back to red, green and blue, each clamped to 0..1. Fails with EColorConv
// "HLS2RGB: 0 <= Hue value <= 1 required" (Luminance, Saturation) for a value outside 0..1.
RgbF hlsToRgb(const HlsF &c);

// Returns the unlit colour of lit at contrast 0..9: its lightness multiplied by (10 - contrast)
// / 10 taken as a 32-bit float, channels rounded half to even. 0 gives lit itself, 9 the
// darkest. A system colour is resolved from palette first. A contrast outside 0..9 may fail
// with EColorConv.
QColor contrastColor(TColor lit, int contrast, const QPalette &palette);
