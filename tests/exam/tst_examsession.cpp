// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// Taking an exam in the exam window as a candidate does: typing and clicking answers, moving back
// and forth, the immediate answer on the traffic light, ending, and the corrected answer sheet.

#include "exam/examrules.h"
#include "exam/examtypes.h"
#include "exam/formprova.h"
#include "exam/questionbank.h"

#include "common/errordisplay.h"
#include "common/hints.h"
#include "controls/gauge.h"
#include "controls/leddisplay.h"
#include "controls/ledmeter.h"
#include "controls/panel.h"
#include "controls/shadowlabel.h"
#include "controls/sinaltraffic.h"
#include "signs/picturestore.h"

#include "examdriver.h"
#include "fakes.h"
#include "windowdriver.h"
#include "windowfakes.h"

#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

namespace {
bool samePicture(const QPixmap &a, const QPixmap &b)
{
    return !a.isNull() && a.toImage() == b.toImage();
}
} // namespace

class TestExamSession : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void startShowsFirstQuestion();
    void questionWithPicture();
    void answerBoxKeys();
    void answerButtons();
    void goingBackKeepsTheAnswer();
    void pastTheLastQuestion();
    void finishAtThirtyDoesNotStoreTypedAnswer();
    void finishBelowThirtyAsks();
    void immediateAnswer();
    void scoring_data();
    void scoring();
    void capitalFMarkedWrong();
    void timeTakenAcrossMidnight();
    void timeTakenRule_data();
    void timeTakenRule();
    void personalisedSheetNumbersPositions();
    void questionWithNothingStored();
    void closingAsksDuringExam();
    void closingAsksAtEveryPositionBelowThirty();
    void immediateAnswerTurnedOnByStartAndAnterior();
    void pastedSmallLetterBecomesCapital();
    void helpKeyAndHints();
    void answerSheetByKeyboard();
    void newExamClearsResults();
    void everyTypeCanBeTakenAndCorrected();
    void correctedExamReported();

private:
    std::unique_ptr<FakeDialogs> m_dialogs;
    std::unique_ptr<FakeClock> m_clock;
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TFormProva> w;
};

void TestExamSession::init()
{
    m_dialogs = std::make_unique<FakeDialogs>();
    m_clock = std::make_unique<FakeClock>(QDateTime(QDate(2026, 12, 7), QTime(9, 0, 0)));
    m_folder = std::make_unique<TempProgramFolder>();
    w = std::make_unique<TFormProva>();
    QVERIFY(showActive(w.get()));
}

void TestExamSession::cleanup()
{
    w.reset();
    m_folder.reset();
    m_clock.reset();
    m_dialogs.reset();
}

void TestExamSession::startShowsFirstQuestion()
{
    start(*w, kLegislacao);
    QCOMPARE(w->Notebook1->currentIndex(), 1);
    QCOMPARE(w->windowTitle(), QStringLiteral("Prova de Legislação de Trânsito"));
    QCOMPARE(w->Panel4->caption(), QStringLiteral(" "));
    QCOMPARE(w->LEDDisplayQuestao->value(), 1.0);
    QCOMPARE(w->LabelPergunta->text(), QStringLiteral("O candidato à Carteira Nacional de Habilitação "
                                                      "deverá ser submetido aos seguintes exames:"));
    const QStringList lines = w->Memo2->toPlainText().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 5);
    for (int k = 0; k < 5; ++k)
        QCOMPARE(lines[k], QString(QChar(u'A' + k)) + QStringLiteral(" - ") +
                               QuestionBank::instance().string(2 + k, 1));
    QCOMPARE(w->Memo2->textCursor().position(), 0);
    QVERIFY(w->ImageQuestao->pixmap().isNull());
    QCOMPARE(w->LabelHoraInicio->text(), QStringLiteral("Início:  09:00:00"));
    QVERIFY(w->BBProximo->isEnabled());
    QVERIFY(!w->BBAnterior->isEnabled());
    QVERIFY(w->BBRespostaImediata->isEnabled());
    QCOMPARE(w->SinalTraffic1->state(), TSinalTraffic::sNone);
    QVERIFY(w->EditResposta->text().isEmpty());
}

void TestExamSession::questionWithPicture()
{
    start(*w, 10); // " 11 - &Sinalização" asks 201 first: the R-10 sign
    QCOMPARE(w->exam().NumeroQuestao, 201);
    QVERIFY(samePicture(w->ImageQuestao->pixmap(),
                        CarregarFigura(QStringLiteral("R12"), w->devicePixelRatioF())));
}

void TestExamSession::answerBoxKeys()
{
    start(*w, kLegislacao);
    type(*w, QStringLiteral("b"));
    QCOMPARE(w->EditResposta->text(), QStringLiteral("B"));
    QVERIFY(m_dialogs->boxes.isEmpty());
    for (const QString &refused : {QStringLiteral("f"), QStringLiteral("7"), QStringLiteral("z")}) {
        type(*w, refused);
        QCOMPARE(w->EditResposta->text(), QStringLiteral("B"));
        QCOMPARE(m_dialogs->texts().last(), QStringLiteral("Selecione uma opção válida!"));
    }
    m_dialogs->clear();
    type(*w, QStringLiteral("c")); // a second letter
    QCOMPARE(m_dialogs->texts(), QStringList{QStringLiteral("Opção inválida!")});
    QVERIFY(w->EditResposta->text().isEmpty());
    // Enter goes to the next question and leaves the box empty.
    type(*w, QStringLiteral("e"));
    QTest::keyClick(w->EditResposta, Qt::Key_Return);
    QCOMPARE(w->exam().Posicao, 2);
    QCOMPARE(w->gabarito(0, 2), QStringLiteral("E"));
    QVERIFY(w->EditResposta->text().isEmpty());
    QVERIFY(w->BBAnterior->isEnabled());
}

void TestExamSession::answerButtons()
{
    start(*w, kLegislacao);
    type(*w, QStringLiteral("a"));
    for (int tag = 1; tag <= 5; ++tag) {
        QTest::mouseClick(w->AnswerButtons[tag - 1], Qt::LeftButton);
        QCOMPARE(w->EditResposta->text(), QString(QChar(u'A' + tag - 1)));
    }
    QVERIFY(m_dialogs->boxes.isEmpty());
    w->BBRespostaClick(6); // no such button: nothing happens
    QCOMPARE(w->EditResposta->text(), QStringLiteral("E"));
}

void TestExamSession::goingBackKeepsTheAnswer()
{
    start(*w, kLegislacao);
    for (int p = 1; p <= 29; ++p)
        answerAndNext(*w, QStringLiteral("C"));
    QCOMPARE(w->exam().Posicao, 30);
    for (int i = 0; i < 25; ++i)
        QTest::mouseClick(w->BBAnterior, Qt::LeftButton);
    QCOMPARE(w->exam().Posicao, 5);
    QCOMPARE(w->LEDDisplayQuestao->value(), 5.0);
    // The stored answer is back in the box: going on keeps it, clearing the box erases it.
    QCOMPARE(w->EditResposta->text(), QStringLiteral("C"));
    answerAndNext(*w, QString());
    QCOMPARE(w->gabarito(4, 2), QStringLiteral("C"));
    QCOMPARE(w->EditResposta->text(), QStringLiteral("C")); // position 6, answered before
    QTest::mouseClick(w->BBAnterior, Qt::LeftButton);
    QTest::keyClick(w->EditResposta, Qt::Key_Backspace);
    answerAndNext(*w, QString());
    QCOMPARE(w->gabarito(4, 2), QString());
    QCOMPARE(w->gabarito(3, 2), QStringLiteral("C"));
    // Back to the first question: "Anterior" goes off.
    for (int i = 0; i < 5; ++i)
        QTest::mouseClick(w->BBAnterior, Qt::LeftButton);
    QCOMPARE(w->exam().Posicao, 1);
    QVERIFY(!w->BBAnterior->isEnabled());
}

void TestExamSession::pastTheLastQuestion()
{
    start(*w, kLegislacao);
    for (int p = 1; p <= 29; ++p)
        answerAndNext(*w, QStringLiteral("A"));
    const QPixmap lastPicture = w->ImageQuestao->pixmap();
    answerAndNext(*w, QStringLiteral("D"));
    QCOMPARE(w->exam().Posicao, 31);
    QCOMPARE(w->gabarito(29, 2), QStringLiteral("D"));
    QCOMPARE(w->LEDDisplayQuestao->value(), 0.0);
    QCOMPARE(w->LabelPergunta->text(), QStringLiteral(" "));
    QVERIFY(w->Memo2->toPlainText().isEmpty());
    QVERIFY(!w->BBProximo->isEnabled());
    QCOMPARE(QApplication::focusWidget(), w->BBFinalizar);
    QCOMPARE(w->ImageQuestao->pixmap().cacheKey(), lastPicture.cacheKey());

    // Enter in the answer box now asks whether to finish; "Não" keeps the exam.
    m_dialogs->answer({false});
    type(*w, QString());
    QTest::keyClick(w->EditResposta, Qt::Key_Return);
    QCOMPARE(m_dialogs->texts(), QStringList{QStringLiteral("Deseja finalizar a prova?")});
    QCOMPARE(w->Notebook1->currentIndex(), 1);

    // "Anterior" shows question 30 again and "Próxima" can store a new answer for it.
    QTest::mouseClick(w->BBAnterior, Qt::LeftButton);
    QCOMPARE(w->exam().Posicao, 30);
    QCOMPARE(w->LEDDisplayQuestao->value(), 30.0);
    QVERIFY(w->BBProximo->isEnabled());
    answerAndNext(*w, QStringLiteral("B"));
    QCOMPARE(w->gabarito(29, 2), QStringLiteral("B"));

    // Enter with "Sim" ends the exam.
    m_dialogs->answer({true});
    type(*w, QString());
    QTest::keyClick(w->EditResposta, Qt::Key_Return);
    QCOMPARE(w->Notebook1->currentIndex(), 2);
}

void TestExamSession::finishAtThirtyDoesNotStoreTypedAnswer()
{
    start(*w, kLegislacao);
    for (int p = 1; p <= 29; ++p)
        answerAndNext(*w, QStringLiteral("A"));
    type(*w, QStringLiteral("E"));
    QTest::mouseClick(w->BBFinalizar, Qt::LeftButton);
    QVERIFY(m_dialogs->boxes.isEmpty());
    QCOMPARE(w->Notebook1->currentIndex(), 2);
    QCOMPARE(w->windowTitle(), QStringLiteral("Gabarito"));
    QCOMPARE(w->gabarito(29, 2), QString());
    for (int c = 0; c < 30; ++c)
        QCOMPARE(w->gabarito(c, 0), QString::number(c + 1));
    QVERIFY(w->BBCorrigir->isEnabled());
    QCOMPARE(QApplication::focusWidget(), w->BBCorrigir);
}

void TestExamSession::finishBelowThirtyAsks()
{
    start(*w, kLegislacao);
    answerAndNext(*w, QStringLiteral("A"));
    m_dialogs->answer({false, true});
    QTest::mouseClick(w->BBFinalizar, Qt::LeftButton);
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QCOMPARE(m_dialogs->boxes[0].text, QStringLiteral("Deseja finalizar a prova?"));
    QCOMPARE(m_dialogs->boxes[0].title, QStringLiteral("Finalizar prova"));
    QVERIFY(m_dialogs->boxes[0].question);
    QCOMPARE(w->Notebook1->currentIndex(), 1);
    QCOMPARE(w->exam().Posicao, 2);
    // Esc on the exam page presses "Finalizar".
    QTest::keyClick(w->EditResposta, Qt::Key_Escape);
    QCOMPARE(m_dialogs->boxes.size(), 2);
    QCOMPARE(w->Notebook1->currentIndex(), 2);
}

void TestExamSession::immediateAnswer()
{
    start(*w, kLegislacao);
    // Question 1: the right answer is E.
    QTest::mouseClick(w->BBRespostaImediata, Qt::LeftButton);
    QCOMPARE(w->EditResposta->text(), QStringLiteral("E"));
    QVERIFY(!w->BBRespostaImediata->isEnabled());
    QCOMPARE(w->SinalTraffic1->state(), TSinalTraffic::sNone);
    answerAndNext(*w, QString());
    QCOMPARE(w->gabarito(0, 2), QStringLiteral("E"));
    QVERIFY(w->BBRespostaImediata->isEnabled());

    const int q = w->exam().NumeroQuestao;
    type(*w, wrongLetter(q));
    QTest::mouseClick(w->BBRespostaImediata, Qt::LeftButton);
    QCOMPARE(w->SinalTraffic1->state(), TSinalTraffic::sRed);
    QCOMPARE(w->EditResposta->text(), wrongLetter(q));
    w->EditResposta->clear();
    type(*w, rightLetter(q));
    QTest::mouseClick(w->BBRespostaImediata, Qt::LeftButton);
    QCOMPARE(w->SinalTraffic1->state(), TSinalTraffic::sGreen);
    // Any move puts the light out.
    QTest::mouseClick(w->BBAnterior, Qt::LeftButton);
    QCOMPARE(w->SinalTraffic1->state(), TSinalTraffic::sNone);
}

void TestExamSession::scoring_data()
{
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("percent");
    QTest::addColumn<QString>("verdict");
    QTest::addColumn<QString>("picture");
    struct Band {
        int upTo;
        const char *verdict;
        const char *picture;
    };
    const Band bands[] = {{9, "Este resultado não foi nada bom!!!", "BOMBA"},
                          {20, "Tente fazer pelo menos 21 pontos (70% da prova)", "SMILE1"},
                          {23, "Você pode melhorar este resultado!", "SMILE2"},
                          {26, "Bom! 80% da prova está garantido!", "MAO"},
                          {29, "Muito bom!", "SMILE"},
                          {30, "Excelente! Você tirou nota máxima!", "ROSTO"}};
    const int percents[] = {0,  3,  6,  10, 13, 16, 20, 23, 26, 30, 33, 36, 40, 43, 46, 50,
                            53, 56, 60, 63, 66, 70, 73, 76, 80, 83, 86, 90, 93, 96, 100};
    for (int right = 0; right <= 30; ++right) {
        const Band *band = std::find_if(std::begin(bands), std::end(bands),
                                        [right](const Band &b) { return right <= b.upTo; });
        QTest::addRow("%d", right) << right << percents[right] << QString::fromUtf8(band->verdict)
                                   << QString::fromLatin1(band->picture);
    }
}

void TestExamSession::scoring()
{
    QFETCH(int, right);
    QFETCH(int, percent);
    QFETCH(QString, verdict);
    QFETCH(QString, picture);
    start(*w, kLegislacao);
    // The first `right` questions right; of the rest, every third left empty, the others wrong.
    for (int p = 1; p <= 30; ++p) {
        const int q = w->exam().NumeroQuestao;
        answerAndNext(*w, p <= right ? rightLetter(q) : (p % 3 == 0 ? QString() : wrongLetter(q)));
    }
    QTest::mouseClick(w->BBFinalizar, Qt::LeftButton);
    QTest::mouseClick(w->BBCorrigir, Qt::LeftButton);
    QVERIFY(m_dialogs->boxes.isEmpty());
    for (int c = 0; c < 30; ++c) {
        QCOMPARE(w->gabarito(c, 1), rightLetter(c + 1));
        QCOMPARE(w->gabarito(c, 3), c < right ? QStringLiteral("*") : QStringLiteral("X"));
    }
    QCOMPARE(w->Label4->text(), QString::number(right));
    QCOMPARE(w->Label16->text(), QString::number(30 - right));
    QCOMPARE(w->Label17->text(), QStringLiteral("0"));
    QCOMPARE(w->LEDMeter1->position(), percent);
    QCOMPARE(w->GaugePorCento->text(), QStringLiteral("%1%").arg(percent));
    QCOMPARE(w->LabelResultado->text(), verdict);
    // The verdict fits its 161 x 31 label, clear of the grid below.
    QCOMPARE(w->LabelResultado->geometry(), QRect(500, 200, 161, 31));
    QVERIFY(w->LabelResultado->heightForWidth(161) <= 31);
    QVERIFY(samePicture(w->ImageResultado->pixmap(), CarregarFigura(picture, w->devicePixelRatioF())));
    QVERIFY(!w->BBCorrigir->isEnabled());
    // The focus goes to "Revisar": a second Enter opens the review and the sheet stays.
    QCOMPARE(QApplication::focusWidget(), w->BBRevisar);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(w->isVisible());
    QVERIFY(w->Revisao && w->Revisao->isVisible());
    w->Revisao->close();
    QApplication::setActiveWindow(w.get());
    QCOMPARE(w->exam().Posicao, 30);
    // Esc on the sheet closes the window without asking.
    QTest::keyClick(w.get(), Qt::Key_Escape);
    QVERIFY(!w->isVisible());
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestExamSession::capitalFMarkedWrong()
{
    start(*w, kLegislacao);
    QTest::keyClicks(w->EditResposta, QStringLiteral("F"));
    QCOMPARE(w->EditResposta->text(), QStringLiteral("F"));
    QVERIFY(m_dialogs->boxes.isEmpty());
    answerAndNext(*w, QString());
    QTest::mouseClick(w->BBFinalizar, Qt::LeftButton); // asks: answered "Sim" below
    m_dialogs->setDefaultAnswer(true);
    QTest::mouseClick(w->BBFinalizar, Qt::LeftButton);
    QCOMPARE(w->Notebook1->currentIndex(), 2);
    QTest::mouseClick(w->BBCorrigir, Qt::LeftButton);
    QCOMPARE(w->gabarito(0, 2), QStringLiteral("F"));
    QCOMPARE(w->gabarito(0, 3), QStringLiteral("X"));
}

void TestExamSession::timeTakenAcrossMidnight()
{
    m_clock->local = QDateTime(QDate(2026, 12, 7), QTime(23, 50, 0));
    start(*w, kLegislacao);
    m_clock->local = QDateTime(QDate(2026, 12, 8), QTime(0, 10, 0));
    m_dialogs->setDefaultAnswer(true);
    QTest::mouseClick(w->BBFinalizar, Qt::LeftButton);
    QCOMPARE(w->Label1->text(), QStringLiteral("23:50:00"));
    QCOMPARE(w->Label2->text(), QStringLiteral("00:10:00"));
    QCOMPARE(w->LabelTempo->text(), QStringLiteral("00:19:59"));
}

void TestExamSession::timeTakenRule_data()
{
    QTest::addColumn<QTime>("start");
    QTest::addColumn<QTime>("end");
    QTest::addColumn<QString>("taken");
    QTest::newRow("same day") << QTime(9, 0, 0) << QTime(9, 42, 17) << "00:42:17";
    QTest::newRow("no time") << QTime(9, 0, 0) << QTime(9, 0, 0) << "00:00:00";
    QTest::newRow("milliseconds ignored") << QTime(9, 0, 0, 900) << QTime(9, 0, 1, 100) << "00:00:01";
    QTest::newRow("midnight exactly") << QTime(23, 59, 59) << QTime(0, 0, 0) << "00:00:00";
}

void TestExamSession::timeTakenRule()
{
    QFETCH(QTime, start);
    QFETCH(QTime, end);
    QFETCH(QString, taken);
    QCOMPARE(ExamRules::timeText(ExamRules::timeTaken(start, end)), taken);
}

void TestExamSession::personalisedSheetNumbersPositions()
{
    // A pool of 30 questions from the blocks whose answers are all written, asked in shuffled order.
    writePool(m_folder->file(QStringLiteral("numprova.dat")), poolFrom(151));
    start(*w, 17);
    QCOMPARE(w->exam().TipoProva, 18);
    QVERIFY(m_dialogs->boxes.isEmpty());
    for (int p = 1; p <= 30; ++p)
        answerAndNext(*w, QStringLiteral("A"));
    QTest::mouseClick(w->BBFinalizar, Qt::LeftButton);
    for (int c = 0; c < 30; ++c)
        QCOMPARE(w->gabarito(c, 0), QString::number(c + 1));
    QTest::mouseClick(w->BBCorrigir, Qt::LeftButton);
    int marked = 0;
    for (int c = 0; c < 30; ++c)
        marked += w->gabarito(c, 3) == QLatin1String("*") || w->gabarito(c, 3) == QLatin1String("X");
    QCOMPARE(marked, 30);
}

void TestExamSession::questionWithNothingStored()
{
    // A personalised pool naming question 40, which has nothing stored, is made anew from the
    // default pool: the exam asks only questions the bank has.
    writePool(m_folder->file(QStringLiteral("numprova.dat")), {QStringLiteral("040")});
    start(*w, 17);
    QVERIFY(ExamTypes::defaultPool().contains(w->exam().ListBox1.value(0)));
    QCOMPARE(QSet<QString>(w->exam().ListBox1.begin(), w->exam().ListBox1.end()).size(), 30);
    QVERIFY(!w->LabelPergunta->text().isEmpty());

    // Shown anyway, question 40 reads as empty texts and no picture.
    w->exam().NumeroQuestao = 40;
    w->MostraQuestao();
    QVERIFY(w->LabelPergunta->text().isEmpty());
    QCOMPARE(w->Memo2->toPlainText(), QStringLiteral("A - \nB - \nC - \nD - \nE - "));
    QVERIFY(w->ImageQuestao->pixmap().isNull());
    // Its immediate answer fails with the conversion error; the light and box stay.
    QTest::mouseClick(w->BBRespostaImediata, Qt::LeftButton);
    QCOMPARE(m_dialogs->texts(), QStringList{QStringLiteral("Data Inválida")});
    QVERIFY(w->EditResposta->text().isEmpty());
    QCOMPARE(w->SinalTraffic1->state(), TSinalTraffic::sNone);
}

void TestExamSession::closingAsksDuringExam()
{
    start(*w, kLegislacao);
    m_dialogs->answer({false});
    w->close();
    QVERIFY(w->isVisible());
    QCOMPARE(m_dialogs->texts(), QStringList{QStringLiteral("Deseja finalizar a prova?")});
    m_dialogs->answer({true});
    w->close();
    QVERIFY(!w->isVisible());
    // Shown again, the exam page is where it was.
    QVERIFY(showActive(w.get()));
    QCOMPARE(w->Notebook1->currentIndex(), 1);
}

void TestExamSession::newExamClearsResults()
{
    start(*w, kLegislacao);
    for (int p = 1; p <= 30; ++p)
        answerAndNext(*w, rightLetter(w->exam().NumeroQuestao));
    QTest::mouseClick(w->BBFinalizar, Qt::LeftButton);
    QTest::mouseClick(w->BBCorrigir, Qt::LeftButton);
    QCOMPARE(w->Label4->text(), QStringLiteral("30"));
    w->showSelectionPage();
    start(*w, kLegislacao);
    QCOMPARE(w->Label4->text(), QStringLiteral("00"));
    QCOMPARE(w->LEDMeter1->position(), 0);
    QCOMPARE(w->GaugePorCento->text(), QStringLiteral("0%"));
    QVERIFY(w->LabelResultado->text().isEmpty());
    QVERIFY(w->ImageResultado->pixmap().isNull());
    for (int c = 0; c < 30; ++c)
        for (int r = 0; r < 4; ++r)
            QVERIFY(w->gabarito(c, r).isEmpty());
}

void TestExamSession::everyTypeCanBeTakenAndCorrected()
{
    // Each of the 18 exam types shows 30 written questions and corrects without an error.
    for (int item = 0; item < 18; ++item) {
        w->showSelectionPage();
        start(*w, item);
        QCOMPARE(w->Notebook1->currentIndex(), 1);
        for (int p = 1; p <= 30; ++p) {
            QVERIFY2(
                !w->LabelPergunta->text().isEmpty(),
                qPrintable(QStringLiteral("item %1, question %2").arg(item).arg(w->exam().NumeroQuestao)));
            QTest::mouseClick(w->BBRespostaImediata, Qt::LeftButton); // fills in the right letter
            answerAndNext(*w, QString());
        }
        QTest::mouseClick(w->BBFinalizar, Qt::LeftButton);
        QTest::mouseClick(w->BBCorrigir, Qt::LeftButton);
        QVERIFY2(m_dialogs->boxes.isEmpty(), qPrintable(m_dialogs->texts().join(QLatin1Char('|'))));
        QCOMPARE(w->Label4->text(), QStringLiteral("30"));
        QCOMPARE(w->LabelResultado->text(), QStringLiteral("Excelente! Você tirou nota máxima!"));
    }
}

QTEST_MAIN(TestExamSession)
void TestExamSession::correctedExamReported()
{
    QSignalSpy reports(w.get(), &TFormProva::examCorrected);
    start(*w, kLegislacao);
    for (int p = 1; p <= 30; ++p) {
        const int q = w->exam().NumeroQuestao;
        if (p == 2) {
            // The light checks a typed letter at 2 and writes the right one at 3: both were shown.
            type(*w, rightLetter(q));
            QTest::mouseClick(w->BBRespostaImediata, Qt::LeftButton);
            QTest::mouseClick(w->BBProximo, Qt::LeftButton);
        } else if (p == 3) {
            QTest::mouseClick(w->BBRespostaImediata, Qt::LeftButton);
            QTest::mouseClick(w->BBProximo, Qt::LeftButton);
        } else {
            answerAndNext(*w, p % 4 == 0 ? wrongLetter(q) : (p == 5 ? QString() : rightLetter(q)));
        }
    }
    m_clock->local = m_clock->local.addSecs(754);
    QTest::mouseClick(w->BBFinalizar, Qt::LeftButton);
    QCOMPARE(reports.size(), 0); // reported when corrected, not before
    QTest::mouseClick(w->BBCorrigir, Qt::LeftButton);
    QVERIFY(m_dialogs->boxes.isEmpty());

    QCOMPARE(reports.size(), 1);
    const auto e = reports.first().first().value<CorrectedExam>();
    QCOMPARE(e.type, w->exam().TipoProva);
    QCOMPARE(e.start, QDateTime(QDate(2026, 12, 7), QTime(9, 0, 0)));
    QCOMPARE(e.end, QDateTime(QDate(2026, 12, 7), QTime(9, 12, 34)));
    QCOMPARE(e.seconds, 754);
    QCOMPARE(e.positions.size(), 30);
    for (int c = 0; c < 30; ++c) {
        QCOMPARE(e.positions[c].numero, c + 1);
        QCOMPARE(e.positions[c].resposta, w->gabarito(c, 2));
        QCOMPARE(e.positions[c].acertou(), w->gabarito(c, 3) == QStringLiteral("*"));
        QCOMPARE(e.positions[c].lightConsulted, c == 1 || c == 2);
        QCOMPARE(e.positions[c].filledByLight, c == 2);
    }

    // The review says where the light was consulted.
    QTest::mouseClick(w->BBRevisar, Qt::LeftButton);
    w->Revisao->MostraPosicao(3);
    QVERIFY(w->Revisao->LabelSituacao->text().endsWith(QStringLiteral("(conferida no semáforo)")));
    w->Revisao->MostraPosicao(4);
    QVERIFY(!w->Revisao->LabelSituacao->text().contains(QStringLiteral("semáforo")));
    w->Revisao->hide();

    // An exam abandoned before its correction is not reported.
    start(*w, kLegislacao);
    m_dialogs->setDefaultAnswer(true);
    QTest::mouseClick(w->BBFinalizar, Qt::LeftButton);
    w->close();
    QCOMPARE(reports.size(), 1);

    // An exam ended at position 5: the positions after it were never shown.
    QVERIFY(showActive(w.get()));
    w->showSelectionPage();
    start(*w, kLegislacao);
    for (int p = 1; p <= 4; ++p)
        answerAndNext(*w, rightLetter(p));
    QTest::mouseClick(w->BBFinalizar, Qt::LeftButton);
    QTest::mouseClick(w->BBCorrigir, Qt::LeftButton);
    QCOMPARE(reports.size(), 2);
    const auto early = reports.last().first().value<CorrectedExam>();
    QVERIFY(early.positions[4].seen);
    QVERIFY(!early.positions[5].seen);
    QVERIFY(!early.positions[29].seen);
}

#include "tst_examsession.moc"

void TestExamSession::closingAsksAtEveryPositionBelowThirty()
{
    start(*w, kLegislacao);
    for (int position = 1; position <= 31; ++position) {
        QCOMPARE(w->exam().Posicao, position);
        m_dialogs->boxes.clear();
        m_dialogs->answer({false});
        w->close();
        if (position < 30) {
            QCOMPARE(m_dialogs->texts(), QStringList{QStringLiteral("Deseja finalizar a prova?")});
            QVERIFY(w->isVisible());
        } else {
            QVERIFY(m_dialogs->boxes.isEmpty());
            QVERIFY(!w->isVisible());
            QVERIFY(showActive(w.get()));
        }
        if (position <= 30)
            answerAndNext(*w, QStringLiteral("A"));
    }
}

void TestExamSession::immediateAnswerTurnedOnByStartAndAnterior()
{
    start(*w, kLegislacao);
    answerAndNext(*w, QStringLiteral("A"));
    QTest::mouseClick(w->BBRespostaImediata, Qt::LeftButton);
    QVERIFY(!w->BBRespostaImediata->isEnabled());
    QTest::mouseClick(w->BBAnterior, Qt::LeftButton);
    QVERIFY(w->BBRespostaImediata->isEnabled());
    // Filled in, then the exam ended without a move: the next exam starts with it on.
    QTest::keyClick(w->EditResposta, Qt::Key_Backspace);
    QTest::mouseClick(w->BBRespostaImediata, Qt::LeftButton);
    QVERIFY(!w->BBRespostaImediata->isEnabled());
    m_dialogs->setDefaultAnswer(true);
    QTest::mouseClick(w->BBFinalizar, Qt::LeftButton);
    QTest::mouseClick(w->BitBtnCancelar, Qt::LeftButton);
    QVERIFY(showActive(w.get()));
    w->showSelectionPage();
    start(*w, kLegislacao);
    QVERIFY(w->BBRespostaImediata->isEnabled());
}

void TestExamSession::pastedSmallLetterBecomesCapital()
{
    start(*w, kLegislacao);
    QGuiApplication::clipboard()->setText(QStringLiteral("c"));
    w->EditResposta->setFocus();
    QTest::keyClick(w->EditResposta, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w->EditResposta->text(), QStringLiteral("C"));
    QVERIFY(m_dialogs->boxes.isEmpty());
    // Two letters pasted at once are refused as two typed ones are.
    w->EditResposta->clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("cd"));
    QTest::keyClick(w->EditResposta, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(m_dialogs->texts(), QStringList{QStringLiteral("Opção inválida!")});
    QVERIFY(w->EditResposta->text().isEmpty());
}

void TestExamSession::helpKeyAndHints()
{
    FakeDesktop desktop;
    QTest::keyClick(w.get(), Qt::Key_F1);
    start(*w, kLegislacao);
    QTest::keyClick(w->EditResposta, Qt::Key_F1);
    QCOMPARE(desktop.helps, (QStringList{QStringLiteral("context20"), QStringLiteral("context20")}));
    // Every hint of the page is a long hint for the status panel too.
    const auto *consultar = w->findChild<QToolButton *>(QStringLiteral("SpeedButton1"));
    QCOMPARE(Hints::longHintOf(consultar), QStringLiteral("Consulta placas de Sinalização"));
    QCOMPARE(Hints::longHintOf(w->BBRespostaImediata),
             QStringLiteral("Clique aqui para conferir \nou consultar a resposta"));
    QVERIFY(Hints::longHintOf(w->EditResposta).startsWith(QStringLiteral("Escolha a alternativa")));
}

void TestExamSession::answerSheetByKeyboard()
{
    start(*w, kLegislacao);
    m_dialogs->setDefaultAnswer(true);
    QTest::mouseClick(w->BBFinalizar, Qt::LeftButton);
    QTest::mouseClick(w->BBCorrigir, Qt::LeftButton);
    // Tab reaches the grid; the arrow keys then scroll it to position 30.
    for (int i = 0; i < 6 && QApplication::focusWidget() != w->StringGridGabarito; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w->StringGridGabarito);
    for (int i = 0; i < 30; ++i)
        QTest::keyClick(w->StringGridGabarito, Qt::Key_Right);
    const QRect last = w->StringGridGabarito->visualItemRect(w->StringGridGabarito->item(0, 29));
    QVERIFY(w->StringGridGabarito->viewport()->rect().contains(last));
}
