#include "formprova.h"

#include "common/appwindows.h"
#include "common/hints.h"
#include "common/windowsetup.h"
#include "controls/panel.h"

#include <QStackedWidget>

TFormProva *FormProva = nullptr;

TFormProva::TFormProva(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormProva"));
    WindowSetup::fixedWindow(this, QSize(692, 410), WindowSetup::Border::Single);
    setWindowTitle(QStringLiteral("Seleção de provas"));

    Notebook1 = new QStackedWidget(this);
    Notebook1->setObjectName(QStringLiteral("Notebook1"));
    Notebook1->setGeometry(0, 0, 692, 385);
    for (const char *name : {"Selecao", "Prova", "Gabarito"}) {
        auto *page = new QWidget(Notebook1);
        page->setObjectName(QLatin1String(name));
        Notebook1->addWidget(page);
    }

    Panel4 = new TPanel(this);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    Panel4->setGeometry(0, 385, 692, 25);
    Panel4->setBevelOuter(TPanel::bvLowered);
    Panel4->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    FormCreate();
}

void TFormProva::FormCreate()
{
    WindowSetup::placeCentred(this, AppWindows::mainWindowHeight());
    Hints::setDelay(80);
}

void TFormProva::showSelectionPage()
{
    Notebook1->setCurrentIndex(0);
    setWindowTitle(QStringLiteral("Seleção de provas"));
}
