// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {
Desktop *g_installed = nullptr;
SystemDesktop::HelpViewer g_viewer = nullptr;
} // namespace

Desktop &Desktop::current()
{
    static SystemDesktop system;
    return g_installed ? *g_installed : system;
}

void Desktop::install(Desktop *d)
{
    g_installed = d;
}

void SystemDesktop::setHelpViewer(HelpViewer viewer)
{
    g_viewer = viewer;
}

bool SystemDesktop::open(const QString &target)
{
    if (target.isEmpty())
        return false;
    QUrl url = QUrl::fromUserInput(target);
    if (QFileInfo::exists(target))
        url = QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath());
    return QDesktopServices::openUrl(url);
}

void SystemDesktop::helpTopic(const QString &topic)
{
    if (g_viewer)
        g_viewer(topic);
}

void SystemDesktop::helpContext(int context)
{
    if (g_viewer)
        g_viewer(QStringLiteral("context%1").arg(context));
}
