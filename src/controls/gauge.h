// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TGauge: a horizontal percentage gauge. A bar in ForeColor fills the BackColor ground from the
// left in proportion to Progress between Min and Max, inside a thin border, with the percentage
// written in its middle ("70%"). The text takes black or white, whichever stands out on the
// colour under it, so a gauge whose two colours are both white shows just its text.

#include "controls/colorconv.h"

#include <QWidget>

class TGauge : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TColor BackColor READ backColor WRITE setBackColor)
    Q_PROPERTY(TColor ForeColor READ foreColor WRITE setForeColor)
    Q_PROPERTY(int Max READ max WRITE setMax)
    Q_PROPERTY(int Min READ min WRITE setMin)
    Q_PROPERTY(int Progress READ progress WRITE setProgress)

public:
    // 100 x 22, range 0..100, progress 0, a black bar on white.
    explicit TGauge(QWidget *parent = nullptr);

    // Each setter stores a changed value and asks for a repaint; an unchanged value does nothing.
    TColor backColor() const { return m_backColor; }
    void setBackColor(TColor v);
    TColor foreColor() const { return m_foreColor; }
    void setForeColor(TColor v);
    int min() const { return m_min; }
    // Ignored when above max(); pulls progress() up to the new minimum.
    void setMin(int v);
    int max() const { return m_max; }
    // Ignored when below min(); pulls progress() down to the new maximum.
    void setMax(int v);
    int progress() const { return m_progress; }
    // Stores v clamped to min()..max().
    void setProgress(int v);

    // (progress - min) * 100 / (max - min), truncated; 0 when max equals min.
    int percentDone() const;
    // The text in the middle: percentDone() followed by "%".
    QString text() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TColor m_backColor = clWhite;
    TColor m_foreColor = clBlack;
    int m_min = 0;
    int m_max = 100;
    int m_progress = 0;
};
