#include "windowsetup.h"

#include "appwindows.h"

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

void WindowSetup::placeCentred(QWidget *w, int top) { w->move(AppWindows::centredLeft(w), top); }
