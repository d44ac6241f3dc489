// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The exam window's answer sheet: the correction of a finished exam, the counts, the percentage
// on the LED meter and gauge, and the verdict.

#include "formprova.h"

#include "examrules.h"
#include "questionbank.h"

#include "common/errordisplay.h"
#include "common/hints.h"
#include "common/windowkit.h"
#include "controls/artwork.h"
#include "controls/colorconv.h"
#include "controls/gauge.h"
#include "controls/ledmeter.h"
#include "controls/panel.h"
#include "signs/picturestore.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

namespace {
QLabel *filledLabel(QWidget *parent, const QString &text, QRect geometry, const QColor &background,
                    const QColor &foreground, Qt::Alignment alignment)
{
    auto *l = WindowKit::make<QLabel>(parent, nullptr, geometry);
    l->setText(text);
    l->setAlignment(alignment);
    l->setFont(WindowKit::font(12, true));
    WindowKit::fillBackground(l, background);
    WindowKit::setTextColour(l, foreground);
    return l;
}

} // namespace

void TFormProva::buildAnswerSheetPage(QWidget *page)
{
    auto *box = WindowKit::make<QGroupBox>(page, "GroupResultados", QRect(103, 15, 388, 206));
    box->setTitle(QStringLiteral("Resultados"));
    box->setFont(WindowKit::font(12, true));
    WindowKit::setTextColour(box, Qt::white);

    const QString captions[] = {QStringLiteral(" Hora Início"),       QStringLiteral(" Hora Término"),
                                QStringLiteral(" Tempo Decorrido"),   QStringLiteral(" Respostas Corretas"),
                                QStringLiteral(" Respostas Erradas"), QStringLiteral(" Respostas Inválidas"),
                                QStringLiteral(" Aproveitamento")};
    QLabel **values[] = {&Label1, &Label2, &LabelTempo, &Label4, &Label16, &Label17};
    const char *names[] = {"Label1", "Label2", "LabelTempo", "Label4", "Label16", "Label17"};
    for (int row = 0; row < 7; ++row) {
        const int top = 23 + 25 * row;
        filledLabel(box, captions[row], QRect(8, top, 193, 22), QColor(128, 128, 128), Qt::white,
                    Qt::AlignLeft | Qt::AlignVCenter);
        if (row < 6) {
            QLabel *value =
                filledLabel(box, row < 3 ? QStringLiteral("00:00:00") : QStringLiteral("00"),
                            QRect(205, top, 70, 22), Qt::white, QColor(0, 0, 128), Qt::AlignCenter);
            value->setObjectName(QLatin1String(names[row]));
            *values[row] = value;
        }
    }

    LEDMeter1 = WindowKit::make<TLEDMeter>(box, "LEDMeter1", QRect(205, 23 + 25 * 6, 103, 22));
    LEDMeter1->setMin(0);
    LEDMeter1->setMax(100);
    LEDMeter1->setNumDigits(20);
    LEDMeter1->setDirection(TLEDMeter::mdRight);
    LEDMeter1->setColorLED1(clRed);
    LEDMeter1->setColorLED2(clYellow);
    LEDMeter1->setColorLED3(clLime);
    LEDMeter1->setColorSeperator(clBlack);
    LEDMeter1->setLEDContrast(6);
    LEDMeter1->setBevelStyle(TLEDMeter::bvLowered);
    // The zones are set in this order: StartColor2 is clamped against StartColor3.
    LEDMeter1->setStartColor3(90);
    LEDMeter1->setStartColor2(33);
    LEDMeter1->setStartColor3(66);
    LEDMeter1->setPosition(0);

    GaugePorCento = WindowKit::make<TGauge>(box, "GaugePorCento", QRect(312, 23 + 25 * 6, 46, 22));
    GaugePorCento->setMin(0);
    GaugePorCento->setMax(100);
    GaugePorCento->setForeColor(clWhite);
    GaugePorCento->setBackColor(clWhite);
    GaugePorCento->setProgress(0);

    BBCorrigir = WindowKit::button(page, "BBCorrigir", QRect(529, 25, 101, 33), QStringLiteral(" Corrigir"),
                                   Artwork::glyph(this, "corrigir", 24), 24);
    connect(BBCorrigir, &QPushButton::clicked, this, guard([this] { BBCorrigirClick(); }));
    BitBtnCancelar = WindowKit::button(page, "BitBtnCancelar", QRect(529, 65, 101, 33),
                                       QStringLiteral(" Cancelar"), Artwork::glyph(this, "cancelar", 24), 24);
    connect(BitBtnCancelar, &QPushButton::clicked, this, guard([this] { BitBtnCancelarClick(); }));
    // Beside the sheet, under the decorative picture: the review of the corrected exam.
    BBRevisar = WindowKit::button(page, "BBRevisar", QRect(5, 188, 94, 33), QStringLiteral(" Revisar"),
                                  Artwork::glyph(this, "pesquisar", 20), 20);
    BBRevisar->setEnabled(false);
    Hints::set(BBRevisar,
               QStringLiteral("Rever cada questão com a resposta certa, a explicação e o artigo da lei|"
                              "Depois de corrigir: rever cada questão (ou clique duas vezes numa coluna)"));
    connect(BBRevisar, &QPushButton::clicked, this, guard([this] { BBRevisarClick(); }));

    auto *picturePanel = WindowKit::make<TPanel>(page, "PanelResultado", QRect(539, 114, 81, 76));
    picturePanel->setBevelOuter(TPanel::bvLowered);
    picturePanel->setColor(Qt::white);
    ImageResultado = WindowKit::make<QLabel>(picturePanel, "ImageResultado", picturePanel->clientRect());
    ImageResultado->setAlignment(Qt::AlignCenter);

    LabelResultado = WindowKit::make<QLabel>(page, "LabelResultado", QRect(500, 200, 161, 31));
    LabelResultado->setAlignment(Qt::AlignCenter);
    LabelResultado->setWordWrap(true);
    // The condensed face keeps the longest verdict on two lines inside the label.
    QFont verdictFont = WindowKit::font(12, true);
    verdictFont.setFamily(QStringLiteral("DejaVu Sans Condensed"));
    LabelResultado->setFont(verdictFont);
    WindowKit::setTextColour(LabelResultado, QColor(255, 255, 0));

    auto *decor = WindowKit::make<QLabel>(page, nullptr, QRect(30, 30, 48, 48));
    decor->setPixmap(
        Artwork::glyphPixmap(QStringLiteral("decor_gabarito"), QSize(48, 48), devicePixelRatioF()));

    const QString rowLabels[] = {QStringLiteral(" Questão Nº"), QStringLiteral(" Resultados"),
                                 QStringLiteral(" Prova"), QStringLiteral(" Correção")};
    for (int row = 0; row < AnswerSheet::kRows; ++row)
        filledLabel(page, rowLabels[row], QRect(5, 242 + 18 * row, 96, 17), QColor(128, 128, 128), Qt::white,
                    Qt::AlignLeft | Qt::AlignVCenter)
            ->setFont(WindowKit::font(11, true));

    StringGridGabarito = WindowKit::make<QTableWidget>(page, "StringGridGabarito", QRect(103, 241, 560, 95));
    StringGridGabarito->setRowCount(AnswerSheet::kRows);
    StringGridGabarito->setColumnCount(ExamTypes::kQuestions);
    StringGridGabarito->setAccessibleName(QStringLiteral("Gabarito"));
    StringGridGabarito->horizontalHeader()->hide();
    StringGridGabarito->verticalHeader()->hide();
    StringGridGabarito->horizontalHeader()->setMinimumSectionSize(10);
    StringGridGabarito->verticalHeader()->setMinimumSectionSize(10);
    StringGridGabarito->horizontalHeader()->setDefaultSectionSize(30);
    StringGridGabarito->verticalHeader()->setDefaultSectionSize(18);
    StringGridGabarito->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGridGabarito->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    StringGridGabarito->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGridGabarito->setFont(WindowKit::font(11, true));
    // A column is selected as a whole: it follows the position the review shows.
    StringGridGabarito->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGridGabarito->setSelectionBehavior(QAbstractItemView::SelectColumns);
    connect(StringGridGabarito, &QTableWidget::cellDoubleClicked, this,
            guard([this](int, int column) { Revisar(column + 1); }));
    // Enter on the grid opens the review at the grid's current column.
    WindowKit::onKey(
        StringGridGabarito,
        [](const QKeyEvent &key) { return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter; },
        [this] { Revisar(std::max(StringGridGabarito->currentColumn(), 0) + 1); });
    // The grid takes the focus (Tab or a click) so the arrow keys scroll to positions 20 to 30.
    StringGridGabarito->setFocusPolicy(Qt::StrongFocus);
    for (int column = 0; column < ExamTypes::kQuestions; ++column) {
        for (int row = 0; row < AnswerSheet::kRows; ++row) {
            auto *item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            if (row == 0)
                item->setBackground(QColor(255, 255, 0)); // the fixed header row
            StringGridGabarito->setItem(row, column, item);
        }
    }

    auto *notice = WindowKit::make<QLabel>(page, "LabelAviso", QRect(5, 352, 682, 24));
    notice->setAlignment(Qt::AlignCenter);
    notice->setFont(WindowKit::font(12, true));
    notice->setText(
        QStringLiteral("No exame atual do Detran você precisa acertar pelo menos 20 das 30 questões."));
    WindowKit::setTextColour(notice, Qt::white);
}

QString TFormProva::gabarito(int column, int row) const
{
    const QTableWidgetItem *item = StringGridGabarito->item(row, column);
    return item ? item->text() : QString();
}

void TFormProva::setGabarito(int column, int row, const QString &text)
{
    m_session.setCell(column, row, text);
    showGabarito(column, row);
}

void TFormProva::showGabarito(int column, int row)
{
    if (QTableWidgetItem *item = StringGridGabarito->item(row, column))
        item->setText(m_session.sheet().cell(column, row));
}

void TFormProva::clearResults()
{
    for (QLabel *l : {Label4, Label16, Label17})
        l->setText(QStringLiteral("00"));
    for (QLabel *l : {Label1, Label2, LabelTempo})
        l->setText(QStringLiteral("00:00:00"));
    LEDMeter1->setPosition(0);
    GaugePorCento->setProgress(0);
    LabelResultado->clear();
    ImageResultado->clear();
    // A new exam has no review until it is corrected.
    BBRevisar->setEnabled(false);
    if (Revisao) {
        Revisao->hide();
        Revisao->setProva({});
    }
}

void TFormProva::BBCorrigirClick()
{
    m_session.correct(QuestionBank::instance());
    for (int column = 0; column < ExamTypes::kQuestions; ++column)
        for (int row : {AnswerSheet::Right, AnswerSheet::Mark})
            showGabarito(column, row);
    CalculaResultados();
    BBCorrigir->setEnabled(false);
    if (Revisao)
        Revisao->setProva(m_session.corrected(), descricaoDaProva());
    BBRevisar->setEnabled(true);
    // Not "Cancelar": a second Enter must not close the sheet just corrected.
    BBRevisar->setFocus(Qt::OtherFocusReason);
    emit examCorrected(m_session.record());
}

QString TFormProva::descricaoDaProva() const
{
    const CorrectedExam exam = m_session.record();
    return TFormRevisao::descricao(exam.type, exam.start);
}

void TFormProva::CalculaResultados()
{
    const AnswerSheet::Counts counts = m_session.counts();
    Label4->setText(QString::number(counts.right));
    Label16->setText(QString::number(counts.wrong));
    Label17->setText(QString::number(counts.invalid));
    const int percent = ExamRules::percentage(counts.right);
    LEDMeter1->setPosition(percent);
    GaugePorCento->setProgress(percent);
    const ExamRules::Verdict verdict = ExamRules::verdictFor(counts.right);
    LabelResultado->setText(verdict.text);
    ImageResultado->setPixmap(CarregarFigura(verdict.picture, devicePixelRatioF()));
}

void TFormProva::BitBtnCancelarClick()
{
    close();
}

void TFormProva::BBRevisarClick()
{
    Revisar(std::max(StringGridGabarito->currentColumn(), 0) + 1);
}

void TFormProva::Revisar(int posicao)
{
    if (!m_session.isCorrected())
        return;
    if (!Revisao) {
        Revisao = new TFormRevisao(this);
        Revisao->setProva(m_session.corrected(), descricaoDaProva());
        connect(Revisao, &TFormRevisao::posicaoMudou, this, [this](int p) {
            StringGridGabarito->setCurrentCell(0, p - 1);
            StringGridGabarito->scrollToItem(StringGridGabarito->item(0, p - 1));
        });
    }
    Revisao->MostraPosicao(posicao);
    WindowKit::showInFront(Revisao);
}
