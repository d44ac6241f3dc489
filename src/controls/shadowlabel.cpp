// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "shadowlabel.h"

#include <QFontMetrics>
#include <QPainter>

TShadowLabel::TShadowLabel(QWidget *parent) : QWidget(parent) {}

void TShadowLabel::setText(const QString &text)
{
    if (text != m_text) {
        m_text = text;
        setAccessibleName(text.simplified());
        update();
    }
}

void TShadowLabel::setTextColor(const QColor &c)
{
    if (c != m_textColor) {
        m_textColor = c;
        update();
    }
}

void TShadowLabel::setShadowColor(const QColor &c)
{
    if (c != m_shadowColor) {
        m_shadowColor = c;
        update();
    }
}

void TShadowLabel::setShadowOffset(int pixels)
{
    if (pixels != m_offset) {
        m_offset = pixels;
        update();
    }
}

void TShadowLabel::setBackground(const QColor &c)
{
    if (c != m_background) {
        m_background = c;
        update();
    }
}

void TShadowLabel::setAlignment(Qt::Alignment a)
{
    if (a != m_alignment) {
        m_alignment = a;
        update();
    }
}

void TShadowLabel::setWordWrap(bool on)
{
    if (on != m_wordWrap) {
        m_wordWrap = on;
        update();
    }
}

void TShadowLabel::setMargin(int pixels)
{
    if (pixels != m_margin) {
        m_margin = pixels;
        update();
    }
}

QRect TShadowLabel::textArea() const
{
    return rect().adjusted(m_margin, m_margin, -m_margin - m_offset, -m_margin - m_offset);
}

int TShadowLabel::textFlags() const
{
    return static_cast<int>(m_alignment) | (m_wordWrap ? Qt::TextWordWrap : Qt::TextSingleLine);
}

bool TShadowLabel::textFits() const
{
    const QRect area = textArea();
    const QRect needed = QFontMetrics(font()).boundingRect(area, textFlags(), m_text);
    return needed.height() <= area.height() && needed.width() <= area.width();
}

void TShadowLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (m_background.isValid())
        p.fillRect(rect(), m_background);
    const QRect area = textArea();
    const int flags = textFlags();
    p.setFont(font());
    if (m_offset > 0) {
        p.setPen(m_shadowColor);
        p.drawText(area.translated(m_offset, m_offset), flags, m_text);
    }
    p.setPen(m_textColor);
    p.drawText(area, flags, m_text);
}
