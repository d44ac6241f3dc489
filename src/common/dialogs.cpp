#include "dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>

namespace {
Dialogs *g_installed = nullptr;
QString g_applicationTitle;

QMessageBox::Icon toBoxIcon(Dialogs::Icon icon)
{
    switch (icon) {
    case Dialogs::Icon::Information:
        return QMessageBox::Information;
    case Dialogs::Icon::Warning:
        return QMessageBox::Warning;
    case Dialogs::Icon::Error:
        return QMessageBox::Critical;
    case Dialogs::Icon::Question:
        return QMessageBox::Question;
    case Dialogs::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QString titleOr(const QString &title)
{
    return title.isEmpty() ? g_applicationTitle : title;
}
} // namespace

Dialogs &Dialogs::current()
{
    static MessageBoxDialogs real;
    return g_installed ? *g_installed : real;
}

void Dialogs::install(Dialogs *d)
{
    g_installed = d;
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

void MessageBoxDialogs::message(Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(toBoxIcon(icon), titleOr(title), text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    QPushButton *ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

bool MessageBoxDialogs::askYesNo(Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(toBoxIcon(icon), titleOr(title), text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    QPushButton *yes = box.addButton(QStringLiteral("Sim"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("Não"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
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
