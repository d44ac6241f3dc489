// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A panel with the classic two-level bevel: an outer and an inner bevel, each none, lowered or
// raised, a background colour and an optional caption. The windows build their layouts from it.

#include <QColor>
#include <QWidget>

class TPanel : public QWidget {
    Q_OBJECT
public:
    enum TBevelCut { bvNone, bvLowered, bvRaised };
    Q_ENUM(TBevelCut)

    explicit TPanel(QWidget *parent = nullptr);

    TBevelCut bevelInner() const { return m_inner; }
    void setBevelInner(TBevelCut b);
    TBevelCut bevelOuter() const { return m_outer; }
    void setBevelOuter(TBevelCut b);
    int bevelWidth() const { return m_bevelWidth; }
    void setBevelWidth(int w);
    // Width of the plain band between the two bevels.
    int borderWidth() const { return m_borderWidth; }
    void setBorderWidth(int w);
    QColor color() const { return m_color; }
    void setColor(const QColor &c);
    QString caption() const { return m_caption; }
    void setCaption(const QString &text);
    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment a);
    // Thickness taken by the bevels and border on each side; children lay out inside it.
    int frameThickness() const;
    // The area inside the bevels.
    QRect clientRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // Takes the colour; the panel is opaque to what lies beneath when the colour is.
    void adoptColor(const QColor &c);

    TBevelCut m_inner = bvNone;
    TBevelCut m_outer = bvRaised;
    int m_bevelWidth = 1;
    int m_borderWidth = 0;
    QColor m_color;
    QString m_caption;
    Qt::Alignment m_alignment = Qt::AlignCenter;
};

// Draws a bevel of the given cut and width just inside r and returns the rectangle inside it.
QRect drawBevel(class QPainter &p, QRect r, TPanel::TBevelCut cut, int width);
