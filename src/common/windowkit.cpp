#include "windowkit.h"

#include "errordisplay.h"

#include <QEvent>
#include <QMouseEvent>

namespace {
// Turns a left-button release on the control it watches into a call of its action.
class ClickFilter : public QObject {
public:
    ClickFilter(QWidget *control, std::function<void()> action, WindowKit::Release release)
        : QObject(control), m_control(control), m_action(std::move(action)), m_release(release)
    {
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_control || event->type() != QEvent::MouseButtonRelease)
            return QObject::eventFilter(watched, event);
        const auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() != Qt::LeftButton)
            return false;
        if (m_release == WindowKit::Release::Inside && !m_control->rect().contains(me->position().toPoint()))
            return false;
        guarded(m_action);
        return true;
    }

private:
    QWidget *m_control;
    std::function<void()> m_action;
    WindowKit::Release m_release;
};
} // namespace

void WindowKit::setColour(QWidget *w, QPalette::ColorRole role, const QColor &colour)
{
    QPalette pal = w->palette();
    pal.setColor(role, colour);
    w->setPalette(pal);
}

void WindowKit::onClick(QWidget *w, std::function<void()> action, Release release)
{
    w->setCursor(Qt::PointingHandCursor);
    w->installEventFilter(new ClickFilter(w, std::move(action), release));
}

void WindowKit::showInFront(QWidget *w)
{
    w->show();
    w->raise();
    w->activateWindow();
}
