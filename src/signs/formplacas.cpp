// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "formplacas.h"

#include "common/appwindows.h"
#include "common/desktop.h"
#include "common/errordisplay.h"
#include "common/hints.h"
#include "common/windowkit.h"
#include "controls/artwork.h"
#include "controls/panel.h"
#include "controls/spinbutton.h"
#include "controls/winroller.h"
#include "signs/picturestore.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>
#include <QValidator>

namespace {
const QColor kCream(255, 251, 240);
const QColor kNavy(0, 0, 128);
const QColor kBlue(0, 0, 255);
constexpr int kHelpContext = 20;

// Turns letters to upper case as they are typed (and pasted); every text is acceptable.
class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};
} // namespace

TFormPlacas::TFormPlacas(QWidget *parent, Construction construction) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormPlacas"));
    WindowKit::fixedWindow(this, QSize(150, 273), WindowKit::Border::Single, true);
    setWindowTitle(QStringLiteral("Placas"));
    setWindowIcon(Artwork::glyph(this, "placas", 32));
    WindowKit::fillBackground(this, kCream);
    setFont(WindowKit::font(11, false));
    m_controls.start(this, construction, [this] {
        buildControls();
        EditPlaca->setFocus();
    });

    // The window sees key presses before its controls.
    qApp->installEventFilter(this);
    FormCreate();
}

TFormPlacas::~TFormPlacas()
{
    qApp->removeEventFilter(this);
}

void TFormPlacas::buildControls()
{
    Panel2 = WindowKit::make<TPanel>(this, "Panel2", QRect(3, 3, 101, 102));
    Panel2->setColor(Qt::white);
    Panel2->setBevelInner(TPanel::bvLowered);

    ImagePlaca = WindowKit::make<QLabel>(Panel2, "ImagePlaca", Panel2->clientRect());
    ImagePlaca->setAlignment(Qt::AlignCenter);
    ImagePlaca->setScaledContents(false);

    SpinButton1 = WindowKit::make<TSpinButton>(this, "SpinButton1", QRect(110, 25, 34, 56));
    // A click on the arrows gives them the focus, so Up and Down then step.
    SpinButton1->setFocusPolicy(Qt::StrongFocus);
    Hints::set(SpinButton1, QStringLiteral("Placa anterior / próxima|Seta para cima: placa anterior; seta "
                                           "para baixo: próxima placa do grupo selecionado"));
    connect(SpinButton1, &TSpinButton::downClick, this, guard([this] { SpinButton2DownClick(); }));
    connect(SpinButton1, &TSpinButton::upClick, this, guard([this] { SpinButton2UpClick(); }));

    LabelNomePlaca = WindowKit::make<QLabel>(this, "LabelNomePlaca", QRect(5, 107, 96, 16));
    LabelNomePlaca->setText(QStringLiteral("Placa"));
    LabelNomePlaca->setAlignment(Qt::AlignCenter);
    LabelNomePlaca->setFont(WindowKit::font(13, true));
    WindowKit::setTextColour(LabelNomePlaca, kNavy);

    Label3 = WindowKit::make<QLabel>(this, "Label3");
    Label3->setText(QStringLiteral("Código para localizar:"));
    Label3->move(5, 128);
    Label3->adjustSize();

    EditPlaca = WindowKit::make<QLineEdit>(this, "EditPlaca", QRect(5, 145, 51, 21));
    EditPlaca->setFont(WindowKit::font(11, true));
    WindowKit::setColour(EditPlaca, QPalette::Text, kBlue);
    EditPlaca->setValidator(new UpperCaseValidator(EditPlaca));
    Hints::set(EditPlaca, QStringLiteral("Código da placa|Digite o código da placa (por exemplo R-10) e "
                                         "pressione <Enter>"));

    SpeedButton1 = WindowKit::button<QToolButton>(this, "SpeedButton1", QRect(65, 142, 76, 23),
                                                  QStringLiteral("Localizar"),
                                                  Artwork::glyph(this, "localizar", 16), 16);
    SpeedButton1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setFocusPolicy(Qt::TabFocus); // reached by Tab, not taken by a click
    WindowKit::setColour(SpeedButton1, QPalette::ButtonText, kBlue);
    Hints::set(SpeedButton1, QStringLiteral("Localizar placa|Mostra a placa do código digitado"));
    connect(SpeedButton1, &QToolButton::clicked, this, guard([this] { SpeedButton1Click(); }));

    RadioGroupPlacas = WindowKit::make<QGroupBox>(this, "RadioGroupPlacas", QRect(5, 175, 140, 91));
    RadioGroupPlacas->setTitle(QStringLiteral("Placas de Sinalização"));
    Hints::set(RadioGroupPlacas, QStringLiteral("Grupo de placas|Escolha o grupo que as setas percorrem"));
    m_groupButtons = new QButtonGroup(this);
    const QString items[] = {QStringLiteral(" Advertência"), QStringLiteral(" Regulamentação"),
                             QStringLiteral(" Indicativas/Auxiliares")};
    for (int i = 0; i < 3; ++i) {
        auto *radio = new QRadioButton(items[i], RadioGroupPlacas);
        radio->setObjectName(QStringLiteral("RadioPlacas%1").arg(i));
        radio->setGeometry(5, 20 + 22 * i, 133, 20);
        // The narrower face of the window's font keeps the longest item inside the frame.
        QFont narrow = font();
        narrow.setStretch(QFont::SemiCondensed);
        radio->setFont(narrow);
        m_groupButtons->addButton(radio, i);
    }
    m_groupButtons->button(0)->setChecked(true);
    WindowKit::tabToCheckedItem(m_groupButtons->buttons());
    connect(m_groupButtons, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            guarded([this] { RadioGroupPlacasClick(); });
    });

    setTabOrder(EditPlaca, SpinButton1);
    setTabOrder(SpinButton1, m_groupButtons->button(0));

    WinRoller1 = new TWinRoller(this);
    WinRoller1->setObjectName(QStringLiteral("WinRoller1"));
    WinRoller1->SetEnabled(true);
}

void TFormPlacas::FormCreate()
{
    // Top edge level with the exam window's, centred on the screen.
    const QWidget *exam = AppWindows::get(AppWindow::Prova);
    WindowKit::placeCentred(this, exam ? exam->y() : AppWindows::mainWindowHeight());
    // Errors of every handler reach MostraErro through guard(); the hint delay is the program's.
    Hints::setDelay(80);
    m_indices.Restart();
}

bool TFormPlacas::eventFilter(QObject *watched, QEvent *event)
{
    if (QKeyEvent *key = WindowKit::keyPressIn(this, watched, event)) {
        if (watched == EditPlaca && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            guarded([this] { EditPlacaKeyPress(); });
            return true;
        }
        bool consumed = false;
        guarded([&] { consumed = FormKeyPress(key); });
        if (consumed)
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool TFormPlacas::FormKeyPress(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    if (event->key() == Qt::Key_F1) {
        Desktop::current().helpContext(kHelpContext);
        return true;
    }
    return false;
}

void TFormPlacas::EditPlacaKeyPress()
{
    ProcurarPlaca();
}

void TFormPlacas::SpeedButton1Click()
{
    ProcurarPlaca();
}

SignGroup TFormPlacas::selectedGroup() const
{
    switch (m_groupButtons->checkedId()) {
    case 1:
        return SignGroup::R;
    case 2:
        return SignGroup::I;
    default:
        return SignGroup::A;
    }
}

void TFormPlacas::mostrarPlaca(const SignView &sign)
{
    ImagePlaca->setPixmap(CarregarFigura(sign.picture, devicePixelRatioF()));
    LabelNomePlaca->setText(sign.code);
}

void TFormPlacas::ProcurarPlaca()
{
    const QString text = EditPlaca->text();
    if (text.isEmpty())
        return;
    if (const auto sign = m_indices.Localizar(text)) {
        mostrarPlaca(*sign);
    } else {
        ImagePlaca->clear();
        LabelNomePlaca->clear();
    }
}

void TFormPlacas::SpinButton2DownClick()
{
    if (const auto sign = m_indices.Next(selectedGroup()))
        mostrarPlaca(*sign);
}

void TFormPlacas::SpinButton2UpClick()
{
    if (const auto sign = m_indices.Previous(selectedGroup()))
        mostrarPlaca(*sign);
}

void TFormPlacas::RadioGroupPlacasClick()
{
    m_indices.Restart();
    // The picture's whole area painted white.
    const qreal ratio = devicePixelRatioF();
    QPixmap white(ImagePlaca->size() * ratio);
    white.setDevicePixelRatio(ratio);
    white.fill(Qt::white);
    ImagePlaca->setPixmap(white);
    LabelNomePlaca->setText(QStringLiteral("Placa"));
}

void TFormPlacas::setVisible(bool visible)
{
    // The controls exist before the window is first shown, so they are shown with it.
    if (visible)
        m_controls.ensure();
    QWidget::setVisible(visible);
}
