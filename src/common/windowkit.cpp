// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowkit.h"

#include "appwindows.h"
#include "errordisplay.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QProgressDialog>
#include <QScreen>
#include <QScrollArea>
#include <QSet>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

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

void WindowKit::fixedWindow(QWidget *w, QSize client, Border border, bool stayOnTop)
{
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (border == Border::Dialog)
        flags |= Qt::MSWindowsFixedSizeDialogHint;
    if (stayOnTop)
        flags |= Qt::WindowStaysOnTopHint;
    w->setWindowFlags(flags);
    w->setFixedSize(client);
}

void WindowKit::placeCentred(QWidget *w, int top)
{
    w->move(AppWindows::centredLeft(w), top);
}

void WindowKit::fillBackground(QWidget *w, const QColor &colour)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, colour);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

QFont WindowKit::font(int pixelSize, bool bold)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

QKeyEvent *WindowKit::keyPressIn(const QWidget *window, QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType() ||
        static_cast<QWidget *>(watched)->window() != window)
        return nullptr;
    return static_cast<QKeyEvent *>(event);
}

void WindowKit::tabToCheckedItem(const QList<QAbstractButton *> &items)
{
    auto refresh = [items] {
        for (QAbstractButton *item : items)
            item->setFocusPolicy(item->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    };
    for (QAbstractButton *item : items)
        QObject::connect(item, &QAbstractButton::toggled, item, refresh);
    refresh();
}

namespace {
// Runs its action on a key press the control it watches receives and `matches` accepts; the key
// goes no further.
class KeyFilter : public QObject {
public:
    KeyFilter(QWidget *control, std::function<bool(const QKeyEvent &)> matches, std::function<void()> action)
        : QObject(control), m_matches(std::move(matches)), m_action(std::move(action))
    {
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && m_matches(*static_cast<QKeyEvent *>(event))) {
            guarded(m_action);
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<bool(const QKeyEvent &)> m_matches;
    std::function<void()> m_action;
};
} // namespace

void WindowKit::onKey(QWidget *control, std::function<bool(const QKeyEvent &)> matches,
                      std::function<void()> action)
{
    control->installEventFilter(new KeyFilter(control, std::move(matches), std::move(action)));
}

void WindowKit::onEscape(QWidget *window, std::function<void()> action)
{
    onKey(
        window,
        [](const QKeyEvent &key) { return key.key() == Qt::Key_Escape && key.modifiers() == Qt::NoModifier; },
        std::move(action));
}

namespace {
// The ring of WindowKit::showFocusRing: a child of the area, laid over the focused control.
class FocusRing : public QWidget {
public:
    FocusRing(QWidget *area, const QColor &colour) : QWidget(area), m_colour(colour)
    {
        setObjectName(QStringLiteral("FocusRing"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { follow(now); });
    }

    void follow(QWidget *focused)
    {
        QWidget *area = parentWidget();
        m_target = focused;
        if (!focused || focused == area || !area->isAncestorOf(focused) || !focused->isVisible()) {
            hide();
            return;
        }
        constexpr int kWidth = 3;
        const QPoint at = focused->mapTo(area, QPoint(0, 0));
        setGeometry(QRect(at, focused->size()).adjusted(-kWidth, -kWidth, kWidth, kWidth));
        raise();
        show();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        // A focused control that moved or went away since takes the ring with it.
        if (!m_target || !m_target->isVisible() || !m_target->hasFocus()) {
            hide();
            return;
        }
        QPainter painter(this);
        QPen pen(m_colour);
        pen.setWidth(3);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.drawRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
    }

private:
    QColor m_colour;
    QPointer<QWidget> m_target;
};
} // namespace

void WindowKit::showFocusRing(QWidget *area, const QColor &colour)
{
    auto *ring = new FocusRing(area, colour);
    ring->follow(QApplication::focusWidget());
}

QWidget *WindowKit::scrollingContent(QWidget *window)
{
    auto *scroll = new QScrollArea(window);
    scroll->setObjectName(QStringLiteral("Rolagem"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setFocusPolicy(Qt::NoFocus);
    auto *content = new QWidget;
    content->setObjectName(QStringLiteral("Conteudo"));
    scroll->setWidget(content);
    auto *outer = new QVBoxLayout(window);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
    return content;
}

QSize WindowKit::frameAllowance(const QWidget *window)
{
    const QSize measured = window->frameGeometry().size() - window->size();
    return measured.width() > 0 || measured.height() > 0 ? measured : QSize(8, 40);
}

void WindowKit::fitToScreen(QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!screen || window->isMaximized() || window->isFullScreen())
        return;
    const QRect available = screen->availableGeometry();
    const QSize frame = frameAllowance(window);
    if (window->minimumSize() != window->maximumSize()) {
        const QSize fitted =
            window->size().boundedTo(available.size() - frame).expandedTo(window->minimumSize());
        if (fitted != window->size())
            window->resize(fitted);
    }
    // A window placed partly off the screen comes back within it (move() places the frame).
    const QRect framed(window->pos(), window->size() + frame);
    if (window->testAttribute(Qt::WA_Moved) && !available.contains(framed)) {
        const int x = std::clamp(framed.x(), available.left(),
                                 std::max(available.left(), available.right() + 1 - framed.width()));
        const int y = std::clamp(framed.y(), available.top(),
                                 std::max(available.top(), available.bottom() + 1 - framed.height()));
        window->move(x, y);
    }
}

namespace {
class ScreenKeeper : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto *w = static_cast<QWidget *>(watched);
            const Qt::WindowType type = w->windowType();
            if (w->isWindow() && (type == Qt::Window || type == Qt::Dialog) && !m_fitted.contains(w)) {
                m_fitted.insert(w);
                connect(w, &QObject::destroyed, this, [this, w] { m_fitted.remove(w); });
                WindowKit::fitToScreen(w);
            }
        }
        return false;
    }

private:
    QSet<QWidget *> m_fitted;
};
} // namespace

void WindowKit::keepWindowsOnScreen(QApplication &app)
{
    static ScreenKeeper *keeper = nullptr;
    if (!keeper) {
        keeper = new ScreenKeeper(&app);
        app.installEventFilter(keeper);
    }
}

void WindowKit::runOffThread(const QString &title, const QString &what, const char *name,
                             const std::function<void()> &work)
{
    std::unique_ptr<QThread> worker(QThread::create(work));
    QProgressDialog progress(what, QString(), 0, 0, QApplication::activeWindow());
    progress.setObjectName(QString::fromLatin1(name));
    progress.setWindowTitle(title);
    progress.setCancelButton(nullptr);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(500);
    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    progress.close();
}
