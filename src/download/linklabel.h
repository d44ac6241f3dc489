// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TLinkLabel: a label showing an address, underlined in LinkColor with the hand cursor, that opens
// LinkTo through the desktop services as soon as the left mouse button is pressed over it. It
// raises no click of its own.

#include <QColor>
#include <QLabel>

class TLinkLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QColor LinkColor READ LinkColor WRITE setLinkColor)
    Q_PROPERTY(QString LinkTo READ LinkTo WRITE setLinkTo)

public:
    // Underlined, pure blue, hand cursor, nothing to open.
    explicit TLinkLabel(QWidget *parent = nullptr);
    ~TLinkLabel() override;

    QColor LinkColor() const { return m_linkColor; }
    // Stores the colour, gives it to the text and repaints; an unchanged colour does nothing.
    void setLinkColor(const QColor &color);
    QString LinkTo() const { return m_linkTo; }
    void setLinkTo(const QString &address) { m_linkTo = address; }

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    QColor m_linkColor = QColor(0, 0, 255);
    QString m_linkTo;
};
