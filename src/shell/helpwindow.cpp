// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "helpwindow.h"

#include "common/dialogs.h"
#include "common/programfolder.h"
#include "common/safefile.h"
#include "common/windowkit.h"

#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {
const QString kHelpFile = QStringLiteral("Quelvado.html");
// Far larger than the help file will ever be; a larger file is not read.
constexpr qint64 kMaxHelpSize = 4 * 1024 * 1024;
} // namespace

THelpWindow::THelpWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Ajuda - Quelvado"));
    resize(640, 520);
    auto *layout = new QVBoxLayout(this);
    m_browser = WindowKit::make<QTextBrowser>(this, "HelpBrowser");
    m_browser->setOpenExternalLinks(true);
    layout->addWidget(m_browser);
    auto *close = WindowKit::button(this, "HelpFechar", QRect(), QStringLiteral("Fechar"));
    connect(close, &QPushButton::clicked, this, &QWidget::hide);
    layout->addWidget(close, 0, Qt::AlignRight);
}

void THelpWindow::showTopic(const QString &anchor)
{
    const QString path = ProgramFolder::file(kHelpFile);
    // Only a regular file of sensible size is opened: a FIFO or device under the help file's name
    // would block the program for good.
    switch (SafeFile::check(path, kMaxHelpSize)) {
    case SafeFile::Status::Ok:
        break;
    case SafeFile::Status::Missing:
        Dialogs::error(QStringLiteral("Arquivo de ajuda não encontrado:\n") + path);
        return;
    default:
        Dialogs::error(QStringLiteral("Arquivo de ajuda inválido:\n") + path);
        return;
    }
    QUrl url = QUrl::fromLocalFile(path);
    url.setFragment(anchor);
    m_browser->setSource(QUrl());
    m_browser->setSource(url);
    m_browser->scrollToAnchor(anchor);
    WindowKit::showInFront(this);
}

THelpWindow *THelpWindow::instance()
{
    static THelpWindow *window = new THelpWindow;
    return window;
}

void THelpWindow::open(const QString &anchor)
{
    instance()->showTopic(anchor);
}
