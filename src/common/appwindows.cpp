#include "appwindows.h"

#include "windowkit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

namespace {
QWidget *g_windows[6] = {};
// Designed client height of the main window.
constexpr int kMainClientHeight = 81;
} // namespace

void AppWindows::set(AppWindow which, QWidget *window)
{
    g_windows[static_cast<int>(which)] = window;
}

QWidget *AppWindows::get(AppWindow which)
{
    return g_windows[static_cast<int>(which)];
}

void AppWindows::show(AppWindow which)
{
    QWidget *w = get(which);
    if (!w)
        return;
    WindowKit::showInFront(w);
}

int AppWindows::mainWindowHeight()
{
    QWidget *main = get(AppWindow::Topo);
    const QStyle *style = main ? main->style() : nullptr;
    const int caption = style ? style->pixelMetric(QStyle::PM_TitleBarHeight) : 24;
    const int frame = style ? style->pixelMetric(QStyle::PM_DefaultFrameWidth) : 2;
    return kMainClientHeight + caption + 2 * frame;
}

int AppWindows::centredLeft(const QWidget *window)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->geometry().width() : 1024;
    return (screenWidth - window->frameGeometry().width()) / 2;
}
