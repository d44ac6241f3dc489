// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "formdados.h"

#include "common/appwindows.h"
#include "common/desktop.h"
#include "common/errordisplay.h"
#include "common/hints.h"
#include "common/windowkit.h"
#include "controls/artwork.h"
#include "controls/panel.h"
#include "controls/shadowlabel.h"
#include "controls/spinbutton.h"
#include "signs/picturestore.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QColor kFace(212, 208, 200);
const QColor kGray(128, 128, 128);
const QColor kNavy(0, 0, 128);
constexpr int kHelpContext = 20;

// A raised bevel frame drawn round a section: two nested rectangles, light outside and dark inside
// at the top and left, the other way round at the bottom and right.
class BevelFrame : public QWidget {
public:
    explicit BevelFrame(QWidget *parent) : QWidget(parent) { setAttribute(Qt::WA_TransparentForMouseEvents); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QRect r = rect();
        p.setPen(kGray);
        p.drawRect(r.adjusted(1, 1, -1, -1));
        p.setPen(Qt::white);
        p.drawRect(r.adjusted(0, 0, -2, -2));
    }
};

// A grey header strip with white bold text and a black shadow.
TShadowLabel *headerStrip(QWidget *parent, const char *name, const QString &text, QRect geometry)
{
    auto *strip = WindowKit::make<TShadowLabel>(parent, name, geometry);
    strip->setFont(WindowKit::font(13, true));
    strip->setText(text);
    strip->setTextColor(Qt::white);
    strip->setShadowColor(Qt::black);
    strip->setShadowOffset(1);
    strip->setBackground(kGray);
    return strip;
}

// A panel with a lowered inner bevel holding a picture that fills it, centred.
TPanel *picturePanel(QWidget *parent, const char *name, QRect geometry, const QColor &colour)
{
    auto *panel = WindowKit::make<TPanel>(parent, name, geometry);
    panel->setColor(colour);
    panel->setBevelInner(TPanel::bvLowered);
    return panel;
}

QLabel *image(QWidget *parent, const char *name, QRect geometry)
{
    auto *l = WindowKit::make<QLabel>(parent, name, geometry);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

TSpinButton *spin(QWidget *parent, const char *name, QRect geometry)
{
    auto *s = WindowKit::make<TSpinButton>(parent, name, geometry);
    s->setFocusPolicy(Qt::StrongFocus);
    return s;
}
} // namespace

TFormDados::TFormDados(QWidget *parent, Construction construction) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormDados"));
    WindowKit::fixedWindow(this, QSize(692, 410), WindowKit::Border::Dialog);
    setWindowTitle(QStringLiteral("Sinalização"));
    setFont(WindowKit::font(13));
    WindowKit::fillBackground(this, kFace);

    m_controls.start(this, construction, [this] {
        buildSignSection();
        buildMarkingSection();
        buildPlateSection();

        Panel4 = WindowKit::make<TPanel>(this, "Panel4", QRect(0, 385, 692, 25));
        Panel4->setColor(kFace);
        Panel4->setBevelInner(TPanel::bvLowered);

        QWidget::setTabOrder(RadioItems[2], EditPlaca);
        QWidget::setTabOrder(EditPlaca, SpinButton2);
        QWidget::setTabOrder(SpinButton2, SpinButton3);
        QWidget::setTabOrder(SpinButton3, BitBtn3);
        QWidget::setTabOrder(BitBtn3, SpinButton1);
    });

    // The window sees Enter, Esc and F1 before its controls while it is the active window.
    qApp->installEventFilter(this);
    FormCreate();
}

TFormDados::~TFormDados()
{
    qApp->removeEventFilter(this);
}

void TFormDados::FormCreate()
{
    WindowKit::placeCentred(this, AppWindows::mainWindowHeight());
    // The stepper starts before the first sign of each group, with no marking and no plate shown.
    m_stepper = TSignStepper();
}

void TFormDados::buildSignSection()
{
    RxLabel8 = headerStrip(this, "RxLabel8", QStringLiteral(" Placas de Sinalização"), QRect(5, 5, 438, 20));
    Bevel2 = WindowKit::make<BevelFrame>(this, "Bevel2", QRect(5, 26, 438, 221));

    RadioGroupPlacas = WindowKit::make<QGroupBox>(this, "RadioGroupPlacas", QRect(12, 46, 220, 101));
    RadioGroupPlacas->setTitle(QStringLiteral("Placas de Sinalização"));
    RadioGroupPlacas->setFont(WindowKit::font(11, true));
    WindowKit::setTextColour(RadioGroupPlacas, kNavy);
    auto *items = new QVBoxLayout(RadioGroupPlacas);
    items->setContentsMargins(8, 6, 4, 6);
    items->setSpacing(2);
    m_groupButtons = new QButtonGroup(this);
    const QStringList captions{QStringLiteral(" Advertência"), QStringLiteral(" Regulamentação"),
                               QStringLiteral(" Indicativas/Serviços Auxiliares")};
    for (int i = 0; i < captions.size(); ++i) {
        auto *radio = new QRadioButton(captions[i], RadioGroupPlacas);
        radio->setObjectName(QStringLiteral("RadioPlacas%1").arg(i));
        radio->setFont(WindowKit::font(11));
        items->addWidget(radio);
        m_groupButtons->addButton(radio, i);
        RadioItems << radio;
    }
    RadioItems.first()->setChecked(true);
    WindowKit::tabToCheckedItem({RadioItems.begin(), RadioItems.end()});
    connect(m_groupButtons, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            guarded([this] { RadioGroupPlacasClick(); });
    });

    Panel5 = picturePanel(this, "Panel5", QRect(237, 42, 115, 114), Qt::white);
    ImagePlaca = image(Panel5, "ImagePlaca", Panel5->clientRect());

    Label28 = WindowKit::make<QLabel>(this, "Label28", QRect(356, 38, 80, 16));
    Label28->setText(QStringLiteral("Localizar:"));

    EditPlaca = WindowKit::make<QLineEdit>(this, "EditPlaca", QRect(356, 56, 51, 24));
    EditPlaca->setAccessibleName(QStringLiteral("Código da placa"));
    // Letters are forced to upper case as they are typed.
    connect(EditPlaca, &QLineEdit::textEdited, EditPlaca, [this](const QString &text) {
        const QString upper = text.toUpper();
        if (upper != text) {
            const int cursor = EditPlaca->cursorPosition();
            EditPlaca->setText(upper);
            EditPlaca->setCursorPosition(cursor);
        }
    });

    SBProcuraPlaca =
        WindowKit::button<QToolButton>(this, "SBProcuraPlaca", QRect(411, 56, 25, 24), QStringLiteral("..."));
    SBProcuraPlaca->setFocusPolicy(Qt::TabFocus); // reached by Tab, not taken by a click
    Hints::set(SBProcuraPlaca, QStringLiteral("Clique aqui ou pressione <Enter> no\n"
                                              "campo ao lado para localizar a placa"));
    connect(SBProcuraPlaca, &QToolButton::clicked, this, guard([this] { SBProcuraPlacaClick(); }));

    SpinButton2 = spin(this, "SpinButton2", QRect(356, 90, 51, 65));
    SpinButton2->setAccessibleName(QStringLiteral("Placa anterior / próxima"));
    connect(SpinButton2, &TSpinButton::downClick, this, guard([this] { SpinButton2DownClick(); }));
    connect(SpinButton2, &TSpinButton::upClick, this, guard([this] { SpinButton2UpClick(); }));

    LabelNomePlaca = WindowKit::make<QLabel>(this, "LabelNomePlaca", QRect(12, 167, 419, 20));
    LabelNomePlaca->setText(QStringLiteral("Nome da Placa"));
    LabelNomePlaca->setFont(WindowKit::font(13, true));

    LabelDescricaoPlaca = WindowKit::make<QLabel>(this, "LabelDescricaoPlaca", QRect(12, 190, 419, 46));
    LabelDescricaoPlaca->setText(QStringLiteral("Descrição"));
    LabelDescricaoPlaca->setWordWrap(true);
    LabelDescricaoPlaca->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    WindowKit::setTextColour(LabelDescricaoPlaca, kNavy);
}

void TFormDados::buildMarkingSection()
{
    RxLabel10 = headerStrip(this, "RxLabel10", QStringLiteral(" Linhas de Divisão de Fluxos"),
                            QRect(450, 5, 236, 20));
    Bevel4 = WindowKit::make<BevelFrame>(this, "Bevel4", QRect(450, 26, 236, 221));

    Panel7 = picturePanel(this, "Panel7", QRect(458, 42, 156, 114), kGray);
    ImageFaixa = image(Panel7, "ImageFaixa", Panel7->clientRect());
    // The car runs in its lane below the lines, drawn over the road picture.
    Image7 = image(Panel7, "Image7", QRect(31, 72, 94, 36));
    Image7->setPixmap(
        Artwork::glyphPixmap(QStringLiteral("carro_lateral"), Image7->size(), devicePixelRatioF()));
    Image7->setAttribute(Qt::WA_TransparentForMouseEvents);

    SpinButton1 = spin(this, "SpinButton1", QRect(626, 90, 51, 65));
    SpinButton1->setAccessibleName(QStringLiteral("Faixa anterior / próxima"));
    connect(SpinButton1, &TSpinButton::downClick, this, guard([this] { SpinButton1DownClick(); }));
    connect(SpinButton1, &TSpinButton::upClick, this, guard([this] { SpinButton1UpClick(); }));

    LabelNomeFaixa = WindowKit::make<QLabel>(this, "LabelNomeFaixa", QRect(460, 164, 220, 76));
    LabelNomeFaixa->setText(QStringLiteral("Descrição da Linha de Divisão"));
    LabelNomeFaixa->setWordWrap(true);
    LabelNomeFaixa->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    WindowKit::setTextColour(LabelNomeFaixa, kNavy);
}

void TFormDados::buildPlateSection()
{
    RxLabel9 =
        headerStrip(this, "RxLabel9", QStringLiteral(" Placas de Identificação"), QRect(5, 260, 681, 20));
    Bevel3 = WindowKit::make<BevelFrame>(this, "Bevel3", QRect(5, 280, 681, 96));

    ImagePlacaCarro = image(this, "ImagePlacaCarro", QRect(15, 291, 166, 76));

    SpinButton3 = spin(this, "SpinButton3", QRect(189, 296, 51, 65));
    SpinButton3->setAccessibleName(QStringLiteral("Tipo de placa de veículo anterior / próximo"));
    connect(SpinButton3, &TSpinButton::downClick, this, guard([this] { SpinButton3DownClick(); }));
    connect(SpinButton3, &TSpinButton::upClick, this, guard([this] { SpinButton3UpClick(); }));

    Label18 = WindowKit::make<QLabel>(this, "Label18", QRect(250, 295, 321, 46));
    Label18->setText(
        QStringLiteral("As placas de identificação são compostas de 3 letras e 4 algarismos, com "
                       "cores diferenciadas por categoria e são cadastradas no RENAVAN (Registro "
                       "Nacional de Veículos)."));
    Label18->setFont(WindowKit::font(11));
    Label18->setWordWrap(true);
    Label18->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    WindowKit::setTextColour(Label18, kNavy);

    LabelPlacaCarro = WindowKit::make<QLabel>(this, "LabelPlacaCarro", QRect(250, 342, 146, 21));
    LabelPlacaCarro->setText(QStringLiteral("Descrição da Placa"));
    LabelPlacaCarro->setFont(WindowKit::font(13, true));
    LabelPlacaCarro->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    LabelPlacaCarro->setIndent(2);
    LabelPlacaCarro->setAutoFillBackground(true);
    WindowKit::setColour(LabelPlacaCarro, QPalette::Window, kNavy);
    WindowKit::setTextColour(LabelPlacaCarro, Qt::white);

    BitBtn3 = WindowKit::button(this, "BitBtn3", QRect(585, 335, 91, 33), QStringLiteral("Cancelar"),
                                Artwork::glyph(this, "cancelar", 20), 20);
    BitBtn3->setAutoDefault(false);
    connect(BitBtn3, &QPushButton::clicked, this, guard([this] { BitBtn3Click(); }));
}

SignGroup TFormDados::selectedGroup() const
{
    const int item = m_groupButtons->checkedId();
    return item == 1 ? SignGroup::R : item == 2 ? SignGroup::I : SignGroup::A;
}

void TFormDados::MostraPlaca(const SignView &sign)
{
    ImagePlaca->setPixmap(CarregarFigura(sign.picture, devicePixelRatioF()));
    LabelNomePlaca->setText(sign.code);
    LabelDescricaoPlaca->setText(sign.name);
}

void TFormDados::MostraFaixa(const SignView &marking)
{
    ImageFaixa->setPixmap(CarregarFigura(marking.picture, devicePixelRatioF()));
    LabelNomeFaixa->setText(marking.name);
}

void TFormDados::MostraPlacaCarro(const SignView &plate)
{
    LabelPlacaCarro->setText(plate.name);
    ImagePlacaCarro->setPixmap(CarregarFigura(plate.picture, devicePixelRatioF()));
}

void TFormDados::ProcurarPlaca()
{
    const QString text = EditPlaca->text();
    if (text.isEmpty())
        return;
    if (const std::optional<SignView> found = m_stepper.Localizar(text)) {
        MostraPlaca(*found);
    } else {
        ImagePlaca->clear();
        LabelNomePlaca->clear();
        LabelDescricaoPlaca->clear();
    }
}

void TFormDados::SBProcuraPlacaClick()
{
    ProcurarPlaca();
}

void TFormDados::SpinButton2DownClick()
{
    if (const std::optional<SignView> sign = m_stepper.Next(selectedGroup()))
        MostraPlaca(*sign);
}

void TFormDados::SpinButton2UpClick()
{
    if (const std::optional<SignView> sign = m_stepper.Previous(selectedGroup()))
        MostraPlaca(*sign);
}

void TFormDados::RadioGroupPlacasClick()
{
    m_stepper.Restart();
    m_stepper.RestartPlacaCarro();
    // The whole picture area painted white.
    const qreal ratio = devicePixelRatioF();
    QPixmap white(ImagePlaca->size() * ratio);
    white.setDevicePixelRatio(ratio);
    white.fill(Qt::white);
    ImagePlaca->setPixmap(white);
    LabelNomePlaca->setText(QStringLiteral("Nome da Placa"));
    LabelDescricaoPlaca->setText(QStringLiteral("Descrição"));
}

void TFormDados::SpinButton1DownClick()
{
    if (const std::optional<SignView> marking = m_stepper.NextFaixa())
        MostraFaixa(*marking);
}

void TFormDados::SpinButton1UpClick()
{
    if (const std::optional<SignView> marking = m_stepper.PreviousFaixa())
        MostraFaixa(*marking);
}

void TFormDados::SpinButton3DownClick()
{
    if (const std::optional<SignView> plate = m_stepper.NextPlacaCarro())
        MostraPlacaCarro(*plate);
}

void TFormDados::SpinButton3UpClick()
{
    if (const std::optional<SignView> plate = m_stepper.PreviousPlacaCarro())
        MostraPlacaCarro(*plate);
}

void TFormDados::BitBtn3Click()
{
    close();
}

bool TFormDados::handleKey(QObject *watched, QKeyEvent *event)
{
    const int key = event->key();
    if (watched == EditPlaca && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        guarded([this] { ProcurarPlaca(); });
        return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // Enter presses the focused button ("Cancelar").
        if (auto *button = qobject_cast<QPushButton *>(watched); button && button->window() == this) {
            button->click();
            return true;
        }
    }
    if (key == Qt::Key_Escape) {
        // "Cancelar" is the window's cancel button.
        BitBtn3->click();
        return true;
    }
    if (key == Qt::Key_F1) {
        guarded([] { Desktop::current().helpContext(kHelpContext); });
        return true;
    }
    return false;
}

bool TFormDados::eventFilter(QObject *watched, QEvent *event)
{
    if (QKeyEvent *key = WindowKit::keyPressIn(this, watched, event); key && isActiveWindow())
        return handleKey(watched, key);
    return QWidget::eventFilter(watched, event);
}

void TFormDados::setVisible(bool visible)
{
    // The controls exist before the window is first shown, so they are shown with it.
    if (visible)
        m_controls.ensure();
    QWidget::setVisible(visible);
}
