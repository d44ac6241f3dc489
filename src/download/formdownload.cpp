#include "formdownload.h"

#include "common/windowsetup.h"

#include <QGuiApplication>
#include <QScreen>

TFormDownload *FormDownload = nullptr;

TFormDownload::TFormDownload(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormDownload"));
    WindowSetup::fixedWindow(this, QSize(398, 433), WindowSetup::Border::Dialog);
    setWindowTitle(QStringLiteral("Download de Produtos - A Vitrine Dolmar"));
    FormCreate();
}

void TFormDownload::FormCreate()
{
    // Centred on the screen.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}
