// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "winroller.h"

#include "common/errors.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QStyle>
#include <qdrawutil.h>

namespace {
// The button is a caption button two pixels narrower and four pixels shorter than a classic
// 18 × 18 one, kept this far from the client area's top and right edges.
constexpr int kButtonWidth = 16;
constexpr int kButtonHeight = 14;
constexpr int kMargin = 3;

// The rolled-up window's strip: the window's background with a bevelled lower edge, so the
// window ends neatly below its caption bar instead of in the middle of its controls.
class RolledStrip : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Window));
        p.setPen(QColor(128, 128, 128));
        p.drawLine(0, height() - 2, width() - 1, height() - 2);
        p.setPen(Qt::white);
        p.drawLine(0, height() - 1, width() - 1, height() - 1);
    }
};
} // namespace

TWinRoller::TWinRoller(QWidget *owner) : QObject(nullptr)
{
    if (!owner || !owner->isWindow())
        throw EOwnerError(QStringLiteral("Class of the owner is not a TForm!"));
    setParent(owner);
    m_owner = owner;
    m_button = new TWinRollerButton(this, owner);
    computeButtonRect();
    owner->installEventFilter(this);
}

TWinRoller::~TWinRoller()
{
    // Once the owner is being destroyed its guarded pointer is already cleared: nothing to undo.
    if (m_owner) {
        m_owner->removeEventFilter(this);
        if (m_roller)
            restore(false);
    }
    delete m_button.data();
    delete m_strip.data();
}

int TWinRoller::rolledHeight() const
{
    int caption = 0;
    if (m_owner)
        caption = m_owner->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, m_owner);
    return qMax(caption, kMargin + kButtonHeight + kMargin);
}

void TWinRoller::computeButtonRect()
{
    if (!m_owner) {
        m_buttonRect = QRect();
        return;
    }
    const int right = m_owner->width() - kMargin;
    m_buttonRect = QRect(right - kButtonWidth, kMargin, kButtonWidth, kButtonHeight);
    if (m_button) {
        m_button->setGeometry(m_buttonRect);
        m_button->setVisible(m_visible);
        m_button->raise();
    }
    placeStrip();
}

void TWinRoller::placeStrip()
{
    if (!m_owner)
        return;
    if (m_roller && !m_strip) {
        m_strip = new RolledStrip(m_owner);
        m_strip->setObjectName(QStringLiteral("WinRollerStrip"));
    }
    if (!m_strip)
        return;
    m_strip->setGeometry(0, 0, m_owner->width(), rolledHeight());
    m_strip->setVisible(m_roller);
    if (m_button)
        m_strip->stackUnder(m_button);
}

void TWinRoller::SetEnabled(bool value)
{
    if (value == m_enabled)
        return;
    m_enabled = value;
    if (m_button)
        m_button->update();
}

void TWinRoller::SetVisible(bool value)
{
    if (value == m_visible)
        return;
    m_visible = value;
    if (!value) {
        m_pressed = false;
        m_tracking = false;
    }
    computeButtonRect();
}

void TWinRoller::SetRoller(bool value)
{
    if (!m_enabled || value == m_roller || !m_owner)
        return;
    if (value)
        rollUp();
    else
        restore();
}

void TWinRoller::applyRolledHeight()
{
    const bool wasBusy = m_busy;
    m_busy = true;
    m_owner->setFixedHeight(rolledHeight());
    m_busy = wasBusy;
}

void TWinRoller::rollUp()
{
    m_restoreHeight = m_owner->height();
    m_savedMinHeight = m_owner->minimumHeight();
    m_savedMaxHeight = m_owner->maximumHeight();
    m_roller = true;
    placeStrip();
    applyRolledHeight();
    emit OnRoller(this, TRollerMode::rmRolledUp);
    if (m_button)
        m_button->update();
}

void TWinRoller::restore(bool notify)
{
    const bool wasBusy = m_busy;
    m_busy = true;
    m_roller = false;
    placeStrip();
    m_owner->setMinimumHeight(m_savedMinHeight);
    m_owner->setMaximumHeight(m_savedMaxHeight);
    m_owner->resize(m_owner->width(), m_restoreHeight);
    m_busy = wasBusy;
    if (!notify)
        return;
    emit OnRoller(this, TRollerMode::rmRestored);
    if (m_button)
        m_button->update();
}

bool TWinRoller::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_owner)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Resize:
        computeButtonRect();
        // A new height given to the window while it is rolled up is the height it comes back to;
        // the window stays rolled up.
        if (m_roller && !m_busy && m_owner->height() != rolledHeight()) {
            m_restoreHeight = m_owner->height();
            m_savedMinHeight = m_owner->minimumHeight();
            m_savedMaxHeight = m_owner->maximumHeight();
            applyRolledHeight();
        }
        break;
    case QEvent::StyleChange:
    case QEvent::FontChange:
        computeButtonRect();
        if (m_roller)
            applyRolledHeight();
        break;
    case QEvent::ChildPolished:
        // Controls added later must not cover the button.
        if (m_button && static_cast<QChildEvent *>(event)->child() != m_button.data() &&
            static_cast<QChildEvent *>(event)->child() != m_strip.data()) {
            if (m_strip)
                m_strip->raise();
            m_button->raise();
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void TWinRoller::buttonPressed(QPoint p)
{
    if (!m_visible || !m_button || !m_button->rect().contains(p))
        return;
    m_pressed = true;
    m_tracking = true;
    if (m_enabled)
        m_button->update();
}

void TWinRoller::buttonMoved(QPoint p)
{
    if (!m_tracking || !m_button)
        return;
    const bool inside = m_button->rect().contains(p);
    if (inside != m_pressed) {
        m_pressed = inside;
        if (m_enabled)
            m_button->update();
    }
}

void TWinRoller::buttonReleased(QPoint p)
{
    m_pressed = false;
    if (m_tracking && m_button) {
        m_tracking = false;
        if (m_button->rect().contains(p) && m_enabled) {
            const bool wasBusy = m_busy;
            m_busy = true;
            SetRoller(!m_roller);
            m_busy = wasBusy;
        } else if (m_enabled) {
            m_button->update();
        }
    }
    m_tracking = false;
}

TWinRollerButton::TWinRollerButton(TWinRoller *roller, QWidget *owner) : QWidget(owner), m_roller(roller)
{
    setObjectName(QStringLiteral("WinRollerButton"));
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
    setToolTip(QStringLiteral("Enrolar / desenrolar a janela"));
}

void TWinRollerButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const bool enabled = m_roller->Enabled();
    const bool pressed = enabled && m_roller->Pressed();
    const QRect r = rect();
    QPalette pal = palette();
    pal.setColor(QPalette::Button, QColor(212, 208, 200));
    pal.setColor(QPalette::Light, Qt::white);
    pal.setColor(QPalette::Midlight, QColor(212, 208, 200));
    pal.setColor(QPalette::Dark, QColor(128, 128, 128));
    pal.setColor(QPalette::Shadow, QColor(64, 64, 64));
    const QBrush face = pal.brush(QPalette::Button);
    qDrawWinButton(&p, r, pal, pressed, &face);

    // Two triangles, the upper pointing up and the lower pointing down; the one matching the
    // action the button does next is filled, the other drawn as an open chevron.
    const int L = 0, T = 0, R = r.width(), B = r.height();
    const bool upFilled = !m_roller->Roller();
    const auto draw = [&](int o, const QColor &colour) {
        const int left = L + o + 4, apex = (L + R - 2 + 2 * o) / 2, right = R + o - 6;
        const int upperBase = (T + B + 2 * o) / 2 - 2, upperApex = T + o + 2;
        const int lowerBase = (T + B + 2 * o) / 2, lowerApex = B + o - 4;
        const QPolygon upper{QPoint(left, upperBase), QPoint(apex, upperApex), QPoint(right, upperBase)};
        const QPolygon lower{QPoint(left, lowerBase), QPoint(apex, lowerApex), QPoint(right, lowerBase)};
        p.setPen(colour);
        p.setBrush(colour);
        const auto chevron = [&](const QPolygon &t) {
            p.drawPolyline(t);
            p.drawPolyline(t.translated(0, 1));
        };
        if (upFilled) {
            p.drawPolygon(upper);
            chevron(lower);
        } else {
            chevron(upper);
            p.drawPolygon(lower);
        }
    };
    const int o = pressed ? 1 : 0;
    if (enabled) {
        draw(o, Qt::black);
    } else {
        draw(o + 1, Qt::white);
        draw(o, pal.color(QPalette::Dark));
    }
}

void TWinRollerButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_roller->buttonPressed(event->position().toPoint());
    event->accept();
}

void TWinRollerButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    mousePressEvent(event);
}

void TWinRollerButton::mouseMoveEvent(QMouseEvent *event)
{
    m_roller->buttonMoved(event->position().toPoint());
    event->accept();
}

void TWinRollerButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_roller->buttonReleased(event->position().toPoint());
    event->accept();
}
