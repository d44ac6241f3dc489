#include "formplacas.h"

#include "common/appwindows.h"
#include "common/hints.h"
#include "common/windowsetup.h"

TFormPlacas *FormPlacas = nullptr;

TFormPlacas::TFormPlacas(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormPlacas"));
    WindowSetup::fixedWindow(this, QSize(150, 273), WindowSetup::Border::Single, true);
    setWindowTitle(QStringLiteral("Placas"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(255, 251, 240));
    setPalette(pal);
    setAutoFillBackground(true);
    FormCreate();
}

void TFormPlacas::FormCreate()
{
    // Top edge level with the exam window's, centred on the screen.
    const QWidget *exam = AppWindows::get(AppWindow::Prova);
    WindowSetup::placeCentred(this, exam ? exam->y() : AppWindows::mainWindowHeight());
    Hints::setDelay(80);
}
