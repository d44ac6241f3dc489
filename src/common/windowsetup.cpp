#include "windowsetup.h"

#include <QAbstractButton>

#include "appwindows.h"

#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

void WindowSetup::fixedWindow(QWidget *w, QSize client, Border border, bool stayOnTop)
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

void WindowSetup::placeCentred(QWidget *w, int top)
{
    w->move(AppWindows::centredLeft(w), top);
}

void WindowSetup::fillBackground(QWidget *w, const QColor &colour)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, colour);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

QFont WindowSetup::font(int pixelSize, bool bold)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

QKeyEvent *WindowSetup::keyPressIn(const QWidget *window, QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType() ||
        static_cast<QWidget *>(watched)->window() != window)
        return nullptr;
    return static_cast<QKeyEvent *>(event);
}

void WindowSetup::tabToCheckedItem(const QList<QAbstractButton *> &items)
{
    auto refresh = [items] {
        for (QAbstractButton *item : items)
            item->setFocusPolicy(item->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    };
    for (QAbstractButton *item : items)
        QObject::connect(item, &QAbstractButton::toggled, item, refresh);
    refresh();
}
