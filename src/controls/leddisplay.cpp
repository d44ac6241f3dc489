// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/leddisplay.h"

#include <QEvent>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Segments in the order top, upper left, upper right, middle, lower left, lower right, bottom;
// '1' lit, '0' unlit. Rows 0 to 9 are the digits, row 10 the minus sign.
constexpr std::array<const char *, 11> kSegments{
    "1110111", "0010010", "1011101", "1011011", "0111010", "1101011",
    "0101111", "1010010", "1111111", "1111011", "0001000",
};

// Adds one to a string of decimal digits, growing it when it carries out.
void increment(std::string &digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

// Returns |value| x 10^decimals rounded to an integer, as decimal digits, after first rounding
// |value| to 18 significant digits.
std::string scaledDigits(double magnitude, int decimals)
{
    if (magnitude == 0.0)
        return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17e", magnitude);
    std::string mantissa(1, buf[0]);
    mantissa.append(buf + 2, 17);
    const int exponent = static_cast<int>(std::strtol(std::strchr(buf, 'e') + 1, nullptr, 10));
    // Digits from the place 10^exponent down to 10^-decimals.
    const int keep = exponent + 1 + decimals;
    if (keep < 0)
        return "0";
    std::string kept = mantissa.substr(0, static_cast<std::size_t>(std::min(keep, 18)));
    kept.resize(static_cast<std::size_t>(keep), '0');
    if (keep < 18 && mantissa[static_cast<std::size_t>(keep)] >= '5')
        increment(kept);
    return kept.empty() ? "0" : kept;
}

// GDI-style ellipse in the box (left, top) .. (right, bottom), right and bottom exclusive.
void ellipse(QPainter &p, int left, int top, int right, int bottom)
{
    p.drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
}

} // namespace

LedText ledText(double value, int fractionDigits, int numDigits)
{
    LedText out;
    bool negative = false;
    if (std::isfinite(value)) {
        const int decimals = std::clamp(fractionDigits, 0, 18);
        std::string digits = scaledDigits(std::fabs(value), decimals);
        negative = value < 0.0 && digits.find_first_not_of('0') != std::string::npos;
        if (digits.size() <= static_cast<std::size_t>(decimals))
            digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
        out.text = QString::fromStdString(digits);
        if (decimals > 0)
            out.separator = static_cast<int>(digits.size()) - decimals + 1;
    }
    // A minus sign stays in the first cell; zeros go after it.
    const int width = negative ? numDigits - 1 : numDigits;
    while (out.text.size() < width) {
        out.text.prepend(QLatin1Char('0'));
        if (out.separator > 0)
            ++out.separator;
    }
    if (negative) {
        out.text.prepend(QLatin1Char('-'));
        if (out.separator > 0)
            ++out.separator;
    }
    return out;
}

QRect drawLedBevel(QPainter &p, const QRect &r, bool raised, const QPalette &palette)
{
    const QColor shadow = toQColor(clBtnShadow, palette);
    const QColor highlight = toQColor(clBtnHighlight, palette);
    p.setPen(raised ? highlight : shadow);
    p.drawLine(r.right(), r.top(), r.left(), r.top());
    p.drawLine(r.left(), r.top(), r.left(), r.bottom() - 1);
    p.setPen(raised ? shadow : highlight);
    p.drawLine(r.left(), r.bottom(), r.right() - 1, r.bottom());
    p.drawLine(r.right(), r.bottom(), r.right(), r.top() + 1);
    return r.adjusted(1, 1, -1, -1);
}

TLEDDisplay::TLEDDisplay(QWidget *parent) : QWidget(parent)
{
    resize(168, 36);
    setAccessibleName(QString::number(m_value, 'g', 12));
    setAttribute(Qt::WA_OpaquePaintEvent);
    recomputeUnlit();
    rebuild();
}

void TLEDDisplay::setBevelStyle(TPanelBevel v)
{
    if (v == m_bevelStyle)
        return;
    m_bevelStyle = v;
    update();
}

void TLEDDisplay::setBorderStyle(TBorderStyle v)
{
    if (v == m_borderStyle)
        return;
    m_borderStyle = v;
    update();
}

void TLEDDisplay::setColorBackGround(TColor v)
{
    if (v == m_colorBackGround)
        return;
    m_colorBackGround = v;
    rebuild();
    update();
}

void TLEDDisplay::setColorLED(TColor v)
{
    if (v == m_colorLED)
        return;
    m_colorLED = v;
    recomputeUnlit();
    rebuild();
    update();
}

void TLEDDisplay::setLEDContrast(int v)
{
    if (v == m_contrast || v < 0 || v > 9)
        return;
    m_contrast = v;
    recomputeUnlit();
    rebuild();
    update();
}

void TLEDDisplay::setDecSeperator(TDecSeperator v)
{
    if (v == m_decSeperator)
        return;
    m_decSeperator = v;
    update();
}

void TLEDDisplay::setDigitHeight(int v)
{
    if (v == m_digitHeight)
        return;
    m_digitHeight = v;
    rebuild();
    update();
}

void TLEDDisplay::setDigitWidth(int v)
{
    if (v == m_digitWidth)
        return;
    m_digitWidth = v;
    rebuild();
    update();
}

void TLEDDisplay::setDigitLineWidth(int v)
{
    if (v == m_digitLineWidth)
        return;
    m_digitLineWidth = v;
    rebuild();
    update();
}

void TLEDDisplay::setFractionDigits(int v)
{
    if (v == m_fractionDigits)
        return;
    m_fractionDigits = std::min(v, m_numDigits - 1);
    update();
}

void TLEDDisplay::setLeadingZeros(bool v)
{
    if (v == m_leadingZeros)
        return;
    m_leadingZeros = v;
    update();
}

void TLEDDisplay::setNumDigits(int v)
{
    if (v == m_numDigits || v < 1)
        return;
    m_numDigits = v;
    update();
}

void TLEDDisplay::setSegmentStyle(TSegmentStyle v)
{
    if (v == m_segmentStyle)
        return;
    m_segmentStyle = v;
    rebuild();
    update();
}

void TLEDDisplay::setValue(double v)
{
    if (v == m_value)
        return;
    m_value = v;
    rebuild();
    update();
    setAccessibleName(QString::number(m_value, 'g', 12)); // what a screen reader tells
    emit changed();
}

void TLEDDisplay::recomputeUnlit()
{
    m_unlit = contrastColor(m_colorLED, m_contrast, palette());
}

void TLEDDisplay::rebuild()
{
    const int w = m_digitWidth;
    const int h = m_digitHeight;
    const int l = m_digitLineWidth;
    const int c = h / 2;
    const int m = (l + 2) / 2;
    const QColor background = toQColor(m_colorBackGround, palette());
    const QColor lit = toQColor(m_colorLED, palette());

    const QPoint pt[14] = {
        {0, 0},
        {w - 1, 0},
        {l + 1, l + 1},
        {w - l - 2, l + 1},
        {0, c},
        {l + 1, c - m},
        {w - l - 2, c - m},
        {w - 1, c},
        {l + 1, c + m},
        {w - l - 2, c + m},
        {0, h - 1},
        {l + 1, h - l - 2},
        {w - l - 2, h - l - 2},
        {w - 1, h - 1},
    };
    const QPolygon bevelled[7] = {
        QPolygon({pt[0], pt[1], pt[3], pt[2]}),     QPolygon({pt[0], pt[2], pt[5], pt[4]}),
        QPolygon({pt[1], pt[7], pt[6], pt[3]}),     QPolygon({pt[4], pt[5], pt[6], pt[7], pt[9], pt[8]}),
        QPolygon({pt[4], pt[8], pt[11], pt[10]}),   QPolygon({pt[7], pt[13], pt[12], pt[9]}),
        QPolygon({pt[10], pt[11], pt[12], pt[13]}),
    };
    const int half = l / 2;
    const QLine straight[7] = {
        {l, half, w - l - 1, half},
        {half, 3 * l / 2, half, c - l},
        {w - half - 1, 3 * l / 2, w - half - 1, c - l},
        {l, c, w - l, c},
        {half, c + l, half, h - 3 * l / 2},
        {w - half - 1, c + l, w - half - 1, h - 3 * l / 2},
        {l, h - half - 1, w - l, h - half - 1},
    };

    for (std::size_t glyph = 0; glyph < m_images.size(); ++glyph) {
        if (w <= 0 || h <= 0) {
            m_images[glyph] = QImage();
            continue;
        }
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(background);
        QPainter p(&image);
        for (std::size_t s = 0; s < 7; ++s) {
            const QColor colour = kSegments[glyph][s] == '1' ? lit : m_unlit;
            if (m_segmentStyle == ssBeveled) {
                // The outline in the background colour makes the gaps between segments.
                p.setPen(QPen(background, 1));
                p.setBrush(colour);
                p.drawPolygon(bevelled[s]);
            } else {
                p.setPen(QPen(colour, l, Qt::SolidLine, Qt::RoundCap));
                p.drawLine(straight[s]);
            }
        }
        m_images[glyph] = image;
    }
}

void TLEDDisplay::drawSeparator(QPainter &p, int x, int y)
{
    const int d = m_digitHeight;
    switch (m_decSeperator) {
    case dsPoint:
        ellipse(p, x - 6, y + d - 5, x - 2, y + d - 1);
        break;
    case dsComma:
        ellipse(p, x - 6, y + d - 8, x - 2, y + d - 4);
        p.drawPolyline(
            QPolygon({QPoint(x - 3, y + d - 5), QPoint(x - 6, y + d - 1), QPoint(x - 2, y + d - 6)}));
        break;
    case dsDoublePoint:
        ellipse(p, x - 6, y + d / 3 - 2, x - 2, y + d / 3 + 2);
        ellipse(p, x - 6, y + 2 * d / 3 - 2, x - 2, y + 2 * d / 3 + 2);
        break;
    case dsMinus: {
        const QPen pen = p.pen();
        p.setPen(QPen(pen.color(), m_digitLineWidth, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(x - 6, y + d / 2, x - m_digitLineWidth, y + d / 2);
        p.setPen(pen);
        break;
    }
    }
}

void TLEDDisplay::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QRect r = rect();
    const LedText shown = ledText(m_value, m_fractionDigits, m_numDigits);
    p.fillRect(r, toQColor(m_colorBackGround, palette()));
    const QColor lit = toQColor(m_colorLED, palette());
    p.setPen(QPen(lit, 1));
    p.setBrush(lit);

    // Cells are laid out over the control's whole width.
    const int cell = width() / m_numDigits;
    int x = (cell - m_digitWidth) / 2;
    const int y = (height() - m_digitHeight) / 2;
    bool started = false;
    for (int pos = 1; pos <= m_numDigits; ++pos) {
        const QChar ch = pos <= shown.text.size() ? shown.text.at(pos - 1) : QChar();
        if (ch == QLatin1Char('-')) {
            p.drawImage(x, y, m_images[10]);
        } else if (ch.isDigit()) {
            const int digit = ch.digitValue();
            if (m_leadingZeros || digit != 0 || started) {
                p.drawImage(x, y, m_images[static_cast<std::size_t>(digit)]);
                started = true;
            }
        }
        x += cell;
        if (shown.separator == pos + 1)
            drawSeparator(p, x, y);
    }

    if (m_bevelStyle != bvNone)
        r = drawLedBevel(p, r, m_bevelStyle == bvRaised, palette());
    if (m_borderStyle == bsSingle) {
        p.setPen(QPen(toQColor(clWindowFrame, palette()), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
}

void TLEDDisplay::changeEvent(QEvent *event)
{
    // System colours follow the palette.
    if (event->type() == QEvent::PaletteChange) {
        recomputeUnlit();
        rebuild();
        update();
    }
    QWidget::changeEvent(event);
}
