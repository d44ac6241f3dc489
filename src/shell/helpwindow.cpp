#include "helpwindow.h"

#include "common/dialogs.h"
#include "common/programfolder.h"

#include <QFileInfo>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {
const QString kHelpFile = QStringLiteral("Quelvado.html");
}

THelpWindow::THelpWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Ajuda - Quelvado"));
    resize(640, 520);
    auto *layout = new QVBoxLayout(this);
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenExternalLinks(true);
    layout->addWidget(m_browser);
    auto *close = new QPushButton(QStringLiteral("Fechar"), this);
    close->setObjectName(QStringLiteral("HelpFechar"));
    connect(close, &QPushButton::clicked, this, &QWidget::hide);
    layout->addWidget(close, 0, Qt::AlignRight);
}

void THelpWindow::showTopic(const QString &anchor)
{
    const QString path = ProgramFolder::file(kHelpFile);
    if (!QFileInfo::exists(path)) {
        Dialogs::error(QStringLiteral("Arquivo de ajuda não encontrado:\n") + path);
        return;
    }
    QUrl url = QUrl::fromLocalFile(path);
    url.setFragment(anchor);
    m_browser->setSource(QUrl());
    m_browser->setSource(url);
    m_browser->scrollToAnchor(anchor);
    show();
    raise();
    activateWindow();
}

THelpWindow *THelpWindow::instance()
{
    static THelpWindow *window = new THelpWindow;
    return window;
}

void THelpWindow::open(const QString &anchor) { instance()->showTopic(anchor); }
