// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TLEDMeter: a bar of rectangular LEDs showing a position between a minimum and a maximum, in
// up to three colour zones. Unlit LEDs are drawn in a dim version of their zone's colour
// (contrastColor). The control takes no input: mouse events go on to its parent.

#include "controls/colorconv.h"

#include <QWidget>
#include <array>

// Returns round(n / (range / quantity)), halves to even, or 0 unless range and quantity are both
// above 0 (at most n + 1: every count above n lights the same LEDs).
int ledCount(int n, long long range, int quantity);

class TLEDMeter : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TPanelBevel BevelStyle READ bevelStyle WRITE setBevelStyle)
    Q_PROPERTY(TColor ColorLED1 READ colorLED1 WRITE setColorLED1)
    Q_PROPERTY(TColor ColorLED2 READ colorLED2 WRITE setColorLED2)
    Q_PROPERTY(TColor ColorLED3 READ colorLED3 WRITE setColorLED3)
    Q_PROPERTY(TColor ColorSeperator READ colorSeperator WRITE setColorSeperator)
    Q_PROPERTY(TMeterDirection Direction READ direction WRITE setDirection)
    Q_PROPERTY(int LEDContrast READ ledContrast WRITE setLEDContrast)
    Q_PROPERTY(int Max READ max WRITE setMax)
    Q_PROPERTY(int Min READ min WRITE setMin)
    Q_PROPERTY(int NumDigits READ numDigits WRITE setNumDigits)
    Q_PROPERTY(int Position READ position WRITE setPosition NOTIFY changed)
    Q_PROPERTY(bool SingleLED READ singleLED WRITE setSingleLED)
    Q_PROPERTY(int StartColor2 READ startColor2 WRITE setStartColor2)
    Q_PROPERTY(int StartColor3 READ startColor3 WRITE setStartColor3)

public:
    enum TPanelBevel { bvNone, bvLowered, bvRaised };
    Q_ENUM(TPanelBevel)
    enum TMeterDirection { mdDown, mdLeft, mdRight, mdUp };
    Q_ENUM(TMeterDirection)

    // 143 x 16, 20 LEDs filling to the right over 0..100: lime, from 75 yellow, from 90 red;
    // black separators, contrast 6, lowered bevel, position 0.
    explicit TLEDMeter(QWidget *parent = nullptr);

    // Every setter below except setLEDContrast paints the meter at once (when it is visible).
    TPanelBevel bevelStyle() const { return m_bevelStyle; }
    void setBevelStyle(TPanelBevel v);
    TColor colorLED1() const { return m_colorLED[0]; }
    void setColorLED1(TColor v);
    TColor colorLED2() const { return m_colorLED[1]; }
    void setColorLED2(TColor v);
    TColor colorLED3() const { return m_colorLED[2]; }
    void setColorLED3(TColor v);
    TColor colorSeperator() const { return m_colorSeperator; }
    void setColorSeperator(TColor v);
    TMeterDirection direction() const { return m_direction; }
    void setDirection(TMeterDirection v);
    int ledContrast() const { return m_contrast; }
    // Values outside 0..9 are ignored; a change asks for a later repaint.
    void setLEDContrast(int v);
    int max() const { return m_max; }
    // Lowers startColor2() and startColor3() to the new maximum when above it.
    void setMax(int v);
    int min() const { return m_min; }
    // Raises startColor2() and startColor3() to the new minimum when below it.
    void setMin(int v);
    int numDigits() const { return m_numDigits; }
    // The number of LEDs; values below 1 are ignored.
    void setNumDigits(int v);
    int position() const { return m_position; }
    // Stores v clamped first to at most max(), then to at least min(), and emits changed()
    // whenever v differs from the stored position, even if clamping gives it back.
    void setPosition(int v);
    bool singleLED() const { return m_singleLED; }
    void setSingleLED(bool v);
    int startColor2() const { return m_startColor2; }
    // Stores v clamped to min()..max(), then to at most startColor3().
    void setStartColor2(int v);
    int startColor3() const { return m_startColor3; }
    // Stores v clamped to min()..max(), then to at least startColor2().
    void setStartColor3(int v);

    // The colour unlit LEDs of zone 1, 2 or 3 are drawn in.
    QColor unlitColor(int zone) const { return m_unlit[static_cast<std::size_t>(zone - 1)]; }

signals:
    // The position was set to a value different from the stored one.
    void changed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void setColorLED(std::size_t zone, TColor v);
    void recomputeUnlit();
    int clampToRange(int v) const;

    TPanelBevel m_bevelStyle = bvLowered;
    std::array<TColor, 3> m_colorLED{clLime, clYellow, clRed};
    TColor m_colorSeperator = clBlack;
    TMeterDirection m_direction = mdRight;
    int m_contrast = 6;
    int m_max = 100;
    int m_min = 0;
    int m_numDigits = 20;
    int m_position = 0;
    bool m_singleLED = false;
    int m_startColor2 = 75;
    int m_startColor3 = 90;

    std::array<QColor, 3> m_unlit;
};
