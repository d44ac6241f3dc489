// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "appwindows.h"

#include "windowkit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <array>
#include <utility>

namespace {
std::array<QWidget *, static_cast<size_t>(AppWindow::Count)> g_windows{};
std::function<void()> g_maker;
// Designed client height of the main window.
constexpr int kMainClientHeight = 81;
} // namespace

void AppWindows::set(AppWindow which, QWidget *window)
{
    if (which >= AppWindow::Topo && which < AppWindow::Count)
        g_windows[static_cast<size_t>(which)] = window;
}

void AppWindows::setMaker(std::function<void()> make)
{
    g_maker = std::move(make);
}

QWidget *AppWindows::get(AppWindow which)
{
    if (which < AppWindow::Topo || which >= AppWindow::Count)
        return nullptr;
    QWidget *const &window = g_windows[static_cast<size_t>(which)];
    // The maker is forgotten before it runs: the windows it makes may look each other up meanwhile.
    if (!window && g_maker)
        std::exchange(g_maker, nullptr)();
    return window;
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
