// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TSinalTraffic: a three-lamp traffic light (red on top, amber in the middle, green at the bottom)
// lighting the lamps its State names. It paints only its three lamps, so the parent's background
// shows around them, and takes no input: mouse events go on to its parent.

#include <QColor>
#include <QWidget>

class QPainter;

class TSinalTraffic : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TBorderStyle BorderStyle READ borderStyle WRITE setBorderStyle)
    Q_PROPERTY(TState State READ state WRITE setState)

public:
    // The names and ordinals belong to the stored window layouts.
    enum TBorderStyle : quint8 { bsNone, bsStd, esPro };
    Q_ENUM(TBorderStyle)
    enum TState : quint8 { sAll, sAmber, sGreen, sNone, sRed, sRedAmber };
    Q_ENUM(TState)

    enum Lamp { Red, Amber, Green };

    // 16 x 48, no visible ring, red lamp lit.
    explicit TSinalTraffic(QWidget *parent = nullptr);

    TBorderStyle borderStyle() const { return m_borderStyle; }
    // Stores v and asks for a repaint, unless v is the value already stored.
    void setBorderStyle(TBorderStyle v);
    TState state() const { return m_state; }
    // Stores v and asks for a repaint, unless v is the value already stored.
    void setState(TState v);
    // What a screen reader tells of a state: "Certa", "Errada", "Apagado"…
    static QString accessibleText(TState state);

    // Whether state lights lamp.
    static bool isLit(TState state, Lamp lamp);
    // The colour of lamp when lit or dark.
    static QColor lampColor(Lamp lamp, bool lit);
    // The pixels of the box lamp's ellipse is inscribed in, in a control of the given size: the
    // full width; height / 3 rows for the red and the green lamp, the rows left over for amber.
    static QRect lampBox(Lamp lamp, QSize size);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintLamp(QPainter &p, Lamp lamp) const;

    TBorderStyle m_borderStyle = bsNone;
    TState m_state = sRed;
};
