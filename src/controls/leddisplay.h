// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TLEDDisplay: a row of seven-segment digits showing a number, as on a rack instrument. Unlit
// segments are drawn in a dim version of the lit colour (contrastColor). The control takes no
// input: mouse events go on to its parent.

#include "controls/colorconv.h"

#include <QImage>
#include <QString>
#include <QWidget>
#include <array>

class QPainter;

// What the display shows for a value: digit characters ('-' only first, for a negative value)
// and the 1-based position in the formatted text where the decimal separator stood (0: none).
struct LedText {
    QString text;
    int separator = 0;
};

// Returns value in fixed notation, rounded to 18 significant digits and then to fractionDigits
// decimals (0..18; halves away from zero), with the separator removed and zeros prepended up
// to numDigits characters. A negative value keeps its minus sign first and is padded after it.
// An infinite or undefined value gives an empty text.
LedText ledText(double value, int fractionDigits, int numDigits);

// Draws the bevel of an LED control on the edge of r (shadow top and left, highlight bottom and
// right when lowered; the other way round when raised) and returns r shrunk by one pixel.
QRect drawLedBevel(QPainter &p, const QRect &r, bool raised, const QPalette &palette);

class TLEDDisplay : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TPanelBevel BevelStyle READ bevelStyle WRITE setBevelStyle)
    Q_PROPERTY(TBorderStyle BorderStyle READ borderStyle WRITE setBorderStyle)
    Q_PROPERTY(TColor ColorBackGround READ colorBackGround WRITE setColorBackGround)
    Q_PROPERTY(TColor ColorLED READ colorLED WRITE setColorLED)
    Q_PROPERTY(int LEDContrast READ ledContrast WRITE setLEDContrast)
    Q_PROPERTY(TDecSeperator DecSeperator READ decSeperator WRITE setDecSeperator)
    Q_PROPERTY(int DigitHeight READ digitHeight WRITE setDigitHeight)
    Q_PROPERTY(int DigitWidth READ digitWidth WRITE setDigitWidth)
    Q_PROPERTY(int DigitLineWidth READ digitLineWidth WRITE setDigitLineWidth)
    Q_PROPERTY(int FractionDigits READ fractionDigits WRITE setFractionDigits)
    Q_PROPERTY(bool LeadingZeros READ leadingZeros WRITE setLeadingZeros)
    Q_PROPERTY(int NumDigits READ numDigits WRITE setNumDigits)
    Q_PROPERTY(TSegmentStyle SegmentStyle READ segmentStyle WRITE setSegmentStyle)
    Q_PROPERTY(double Value READ value WRITE setValue NOTIFY changed)

public:
    enum TPanelBevel { bvNone, bvLowered, bvRaised };
    Q_ENUM(TPanelBevel)
    enum TBorderStyle { bsNone, bsSingle };
    Q_ENUM(TBorderStyle)
    enum TDecSeperator { dsPoint, dsComma, dsDoublePoint, dsMinus };
    Q_ENUM(TDecSeperator)
    enum TSegmentStyle { ssRectangular, ssBeveled };
    Q_ENUM(TSegmentStyle)

    // 168 x 36, six lime digits of 20 x 30 with line width 3 on black, contrast 6, bevelled
    // segments, leading zeros, lowered bevel, single border, comma separator, value 0.
    explicit TLEDDisplay(QWidget *parent = nullptr);

    TPanelBevel bevelStyle() const { return m_bevelStyle; }
    void setBevelStyle(TPanelBevel v);
    TBorderStyle borderStyle() const { return m_borderStyle; }
    void setBorderStyle(TBorderStyle v);
    TColor colorBackGround() const { return m_colorBackGround; }
    void setColorBackGround(TColor v);
    TColor colorLED() const { return m_colorLED; }
    void setColorLED(TColor v);
    int ledContrast() const { return m_contrast; }
    // Values outside 0..9 are ignored.
    void setLEDContrast(int v);
    TDecSeperator decSeperator() const { return m_decSeperator; }
    void setDecSeperator(TDecSeperator v);
    int digitHeight() const { return m_digitHeight; }
    void setDigitHeight(int v);
    int digitWidth() const { return m_digitWidth; }
    void setDigitWidth(int v);
    int digitLineWidth() const { return m_digitLineWidth; }
    void setDigitLineWidth(int v);
    int fractionDigits() const { return m_fractionDigits; }
    // Cut to numDigits() - 1 when larger.
    void setFractionDigits(int v);
    bool leadingZeros() const { return m_leadingZeros; }
    void setLeadingZeros(bool v);
    int numDigits() const { return m_numDigits; }
    // Values below 1 are ignored.
    void setNumDigits(int v);
    TSegmentStyle segmentStyle() const { return m_segmentStyle; }
    void setSegmentStyle(TSegmentStyle v);
    double value() const { return m_value; }
    // Emits changed() after a change.
    void setValue(double v);

    // The colour unlit segments are drawn in.
    QColor unlitColor() const { return m_unlit; }

signals:
    // The value has changed.
    void changed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void recomputeUnlit();
    void rebuild();
    void drawSeparator(QPainter &p, int x, int y);

    TPanelBevel m_bevelStyle = bvLowered;
    TBorderStyle m_borderStyle = bsSingle;
    TColor m_colorBackGround = clBlack;
    TColor m_colorLED = clLime;
    int m_contrast = 6;
    TDecSeperator m_decSeperator = dsComma;
    int m_digitHeight = 30;
    int m_digitWidth = 20;
    int m_digitLineWidth = 3;
    int m_fractionDigits = 0;
    bool m_leadingZeros = true;
    int m_numDigits = 6;
    TSegmentStyle m_segmentStyle = ssBeveled;
    double m_value = 0.0;

    QColor m_unlit;
    // Images of the digits 0 to 9, then of the minus sign.
    std::array<QImage, 11> m_images;
};
