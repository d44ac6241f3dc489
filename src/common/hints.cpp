// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "hints.h"

#include <QAbstractButton>

#include <QApplication>
#include <QEvent>
#include <QProxyStyle>
#include <QWidget>

namespace {
const char *const kLongHint = "quelvadoLongHint";
int g_delay = 80;
HintTracker *g_tracker = nullptr;

// Gives the tooltip wake-up delay the program asks for.
class HintDelayStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *ret) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay)
            return g_delay;
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
};
} // namespace

QString Hints::shortHint(const QString &hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.left(bar);
}

QString Hints::longHint(const QString &hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
}

void Hints::set(QWidget *w, const QString &hint)
{
    w->setToolTip(shortHint(hint));
    w->setProperty(kLongHint, longHint(hint));
    // A screen reader names the control by its caption; one without a caption (a picture, an
    // edit box) is named by the short hint. The long hint describes it.
    const auto *button = qobject_cast<const QAbstractButton *>(w);
    if (!button || button->text().trimmed().isEmpty())
        w->setAccessibleName(shortHint(hint).simplified());
    w->setAccessibleDescription(longHint(hint).simplified());
}

QString Hints::longHintOf(const QWidget *w)
{
    for (; w; w = w->parentWidget()) {
        const QVariant v = w->property(kLongHint);
        if (v.isValid() && !v.toString().isEmpty())
            return v.toString();
        if (w->isWindow())
            break;
    }
    return {};
}

void Hints::setDelay(int milliseconds)
{
    g_delay = milliseconds;
    if (qApp && !dynamic_cast<HintDelayStyle *>(QApplication::style()))
        QApplication::setStyle(new HintDelayStyle);
}

int Hints::delay()
{
    return g_delay;
}

HintTracker::HintTracker(QObject *parent) : QObject(parent)
{
    g_tracker = this;
}

HintTracker *HintTracker::instance()
{
    return g_tracker;
}

void HintTracker::setCurrent(const QString &hint)
{
    if (hint == m_current)
        return;
    m_current = hint;
    emit hintChanged(hint);
}

bool HintTracker::eventFilter(QObject *watched, QEvent *event)
{
    if (!watched->isWidgetType())
        return false;
    auto *w = static_cast<QWidget *>(watched);
    if (event->type() == QEvent::Enter) {
        setCurrent(Hints::longHintOf(w));
    } else if (event->type() == QEvent::Leave) {
        // Leaving a control for its parent: the parent's hint applies; leaving a window: none.
        setCurrent(w->isWindow() ? QString() : Hints::longHintOf(w->parentWidget()));
    }
    return false;
}
