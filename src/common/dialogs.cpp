// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs.h"

#include <cstdio>

namespace {
Dialogs *g_installed = nullptr;
Dialogs *g_default = nullptr;
QString g_applicationTitle;
} // namespace

Dialogs &Dialogs::current()
{
    static ConsoleDialogs console;
    if (g_installed)
        return *g_installed;
    return g_default ? *g_default : console;
}

void Dialogs::install(Dialogs *d)
{
    g_installed = d;
}
void Dialogs::setDefault(Dialogs *d)
{
    g_default = d;
}
void Dialogs::setApplicationTitle(const QString &title)
{
    g_applicationTitle = title;
}
QString Dialogs::applicationTitle()
{
    return g_applicationTitle;
}

void Dialogs::information(const QString &text)
{
    current().message(Icon::Information, {}, text);
}
void Dialogs::error(const QString &text)
{
    current().message(Icon::Error, {}, text);
}
void Dialogs::warning(const QString &text)
{
    current().message(Icon::Warning, {}, text);
}
bool Dialogs::question(const QString &text)
{
    return current().askYesNo(Icon::Question, {}, text);
}

namespace {
const char *iconName(Dialogs::Icon icon)
{
    switch (icon) {
    case Dialogs::Icon::Information:
        return "information";
    case Dialogs::Icon::Warning:
        return "warning";
    case Dialogs::Icon::Error:
        return "error";
    case Dialogs::Icon::Question:
        return "question";
    case Dialogs::Icon::None:
        break;
    }
    return "message";
}
} // namespace

void ConsoleDialogs::message(Icon icon, const QString &, const QString &text)
{
    std::printf("[%s] %s\n", iconName(icon), text.toUtf8().constData());
    std::fflush(stdout);
}

bool ConsoleDialogs::askYesNo(Icon icon, const QString &title, const QString &text)
{
    message(icon, title, text);
    return false;
}
