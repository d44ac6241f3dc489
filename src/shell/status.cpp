// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "status.h"

#include "common/clock.h"
#include "common/hints.h"
#include "common/windowkit.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QLocale>

namespace {
const QColor kNavy(0, 0, 128);

QFont statusFont(bool bold)
{
    // The classic 8-point dialog font: the system's sans-serif at 8 points.
    QFont f = QApplication::font();
    f.setPointSize(8);
    f.setBold(bold);
    return f;
}

void styleChild(TPanel *child, const QColor &color, bool bold)
{
    child->setBevelInner(TPanel::bvRaised);
    child->setBevelOuter(TPanel::bvLowered);
    child->setColor(color);
    child->setFont(statusFont(bold));
    WindowKit::setTextColour(child, kNavy);
}
} // namespace

TStatus::TStatus(QWidget *owner) : TPanel(owner)
{
    setObjectName(QStringLiteral("Status1"));
    setBevelInner(bvNone);
    setBevelOuter(bvNone);
    setFocusPolicy(Qt::NoFocus);
    if (owner)
        setColor(owner->palette().color(QPalette::Window));
    setFixedHeight(22);

    const QDate today = Clock::current().localNow().date();
    const QFontMetrics fm(font());

    m_dateBox = WindowKit::make<TPanel>(this, "DateBox");
    styleChild(m_dateBox, color(), false);
    m_dateBox->setFixedWidth(fm.horizontalAdvance(QStringLiteral("  00/00/0000  ")));
    Hints::set(m_dateBox, longDate(today));

    m_textArea = WindowKit::make<TPanel>(this, "TextArea");
    styleChild(m_textArea, color(), true);
    m_textArea->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    if (m_showDate) {
        const QString text = shortDate(today);
        m_dateBox->setCaption(text);
        m_dateBox->setFixedWidth(fm.horizontalAdvance(QStringLiteral("  ") + text + QStringLiteral("  ")));
    } else {
        m_dateBox->setFixedWidth(0);
    }
    setCaption(QString());

    if (owner)
        owner->installEventFilter(this);
    dock();
}

void TStatus::setCaption(const QString &text)
{
    m_textArea->setCaption(QLatin1Char(' ') + text);
}

QString TStatus::caption() const
{
    return m_textArea->caption();
}

QString TStatus::shortDate(const QDate &d)
{
    return d.toString(QStringLiteral("dd/MM/yyyy"));
}

QString TStatus::longDate(const QDate &d)
{
    return QLocale(QLocale::Portuguese, QLocale::Brazil)
        .toString(d, QStringLiteral("dddd, d 'de' MMMM 'de' yyyy"));
}

bool TStatus::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        dock();
    return false;
}

void TStatus::dock()
{
    if (QWidget *owner = parentWidget())
        setGeometry(0, owner->height() - height(), owner->width(), height());
    const int dateWidth = m_dateBox->width();
    m_dateBox->setGeometry(width() - dateWidth, 0, dateWidth, height());
    m_textArea->setGeometry(0, 0, width() - dateWidth, height());
}
