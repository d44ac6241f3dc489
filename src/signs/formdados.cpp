#include "formdados.h"

#include "common/appwindows.h"
#include "common/windowsetup.h"

#include <QLineEdit>

TFormDados *FormDados = nullptr;

TFormDados::TFormDados(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormDados"));
    WindowSetup::fixedWindow(this, QSize(692, 410), WindowSetup::Border::Dialog);
    setWindowTitle(QStringLiteral("Sinalização"));

    EditPlaca = new QLineEdit(this);
    EditPlaca->setObjectName(QStringLiteral("EditPlaca"));
    EditPlaca->setGeometry(356, 56, 51, 24);
    // Letters are forced to upper case as they are typed.
    connect(EditPlaca, &QLineEdit::textEdited, EditPlaca, [this](const QString &text) {
        const QString upper = text.toUpper();
        if (upper != text) {
            const int cursor = EditPlaca->cursorPosition();
            EditPlaca->setText(upper);
            EditPlaca->setCursorPosition(cursor);
        }
    });
    FormCreate();
}

void TFormDados::FormCreate() { WindowSetup::placeCentred(this, AppWindows::mainWindowHeight()); }
