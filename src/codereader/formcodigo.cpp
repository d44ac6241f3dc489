#include "formcodigo.h"

#include "common/appwindows.h"
#include "common/maker.h"
#include "common/windowsetup.h"

TFormCodigo *FormCodigo = nullptr;

TFormCodigo::TFormCodigo(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormCodigo"));
    WindowSetup::fixedWindow(this, QSize(692, 410), WindowSetup::Border::Single);
    setWindowTitle(QStringLiteral("Quelvado Prova Simulada  -  ") + Maker::site);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
    FormCreate();
}

void TFormCodigo::FormCreate() { WindowSetup::placeCentred(this, AppWindows::mainWindowHeight()); }
