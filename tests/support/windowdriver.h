// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Driving and looking at windows in tests: showing one as the active window, painting one onto an
// image, reading its pixels and counting its paints.

#include <QColor>
#include <QEvent>
#include <QImage>
#include <QObject>
#include <QWidget>

// Shows w, makes it the active window and waits until it is; false when it did not become so.
[[nodiscard]] bool showActive(QWidget *w);

// Paints w onto background with flags (Qt's default: w's own background and its children), as over
// a window that shows through where w paints nothing.
QImage shot(QWidget &w, const QColor &background = Qt::magenta,
            QWidget::RenderFlags flags = QWidget::DrawWindowBackground | QWidget::DrawChildren);

inline QColor at(const QImage &image, int x, int y)
{
    return QColor(image.pixel(x, y));
}
inline QColor at(const QImage &image, QPoint p)
{
    return QColor(image.pixel(p));
}

// Counts the paint events of the objects it is installed on.
class PaintCounter : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        count += e->type() == QEvent::Paint;
        return false;
    }
};
