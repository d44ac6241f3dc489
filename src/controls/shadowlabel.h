// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A label that draws its text with a shadow to the lower right, optionally word-wrapped and
// centred vertically, on its own background colour (or transparent).

#include <QColor>
#include <QWidget>

class TShadowLabel : public QWidget {
    Q_OBJECT
public:
    explicit TShadowLabel(QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);
    void setTextColor(const QColor &c);
    void setShadowColor(const QColor &c);
    // Offset of the shadow in pixels (0 draws none).
    void setShadowOffset(int pixels);
    // An invalid colour leaves the background transparent.
    void setBackground(const QColor &c);
    void setAlignment(Qt::Alignment a);
    void setWordWrap(bool on);
    // Space kept free between the text and the label's edge.
    void setMargin(int pixels);
    // True when the whole text fits inside the label, shadow and margins included.
    bool textFits() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect textArea() const;
    int textFlags() const;

    QString m_text;
    QColor m_textColor = Qt::black;
    QColor m_shadowColor = Qt::black;
    QColor m_background;
    int m_offset = 1;
    int m_margin = 0;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool m_wordWrap = false;
};
