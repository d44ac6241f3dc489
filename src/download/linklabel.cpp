// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "linklabel.h"

#include "common/desktop.h"
#include "common/errordisplay.h"
#include "common/windowkit.h"

#include <QMouseEvent>

TLinkLabel::TLinkLabel(QWidget *parent) : QLabel(parent)
{
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    WindowKit::setTextColour(this, m_linkColor);
    setCursor(Qt::PointingHandCursor);
}

TLinkLabel::~TLinkLabel()
{
    QFont f = font();
    f.setUnderline(false);
    f.setBold(false);
    f.setItalic(false);
    f.setStrikeOut(false);
    setFont(f);
}

void TLinkLabel::setLinkColor(const QColor &color)
{
    if (color == m_linkColor)
        return;
    m_linkColor = color;
    WindowKit::setTextColour(this, color);
    update();
}

void TLinkLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        const QString target = m_linkTo;
        guarded([target] { Desktop::current().open(target); });
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}
