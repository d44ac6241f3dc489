// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowdriver.h"

#include <QApplication>
#include <QTest>

bool showActive(QWidget *w)
{
    w->show();
    w->activateWindow();
    QApplication::setActiveWindow(w);
    return QTest::qWaitForWindowActive(w);
}

QImage shot(QWidget &w, const QColor &background, QWidget::RenderFlags flags)
{
    QImage image(w.size(), QImage::Format_RGB32);
    image.fill(background);
    w.render(&image, QPoint(), QRegion(), flags);
    return image;
}
