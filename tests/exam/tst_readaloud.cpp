// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// "Ouvir", F8, the voice's speed and the larger text on the exam page and in the review, driven as
// a candidate does with a fake voice behind the speech seam: what is read, that a second press or
// a move stops it, that the settings are kept, and that without a voice the control is off and says
// what to install.

#include "exam/formprova.h"
#include "exam/formrevisao.h"
#include "exam/questionbank.h"

#include "common/readaloud.h"
#include "common/settingsfile.h"
#include "common/speechtext.h"
#include "controls/shadowlabel.h"

#include "examdriver.h"
#include "fakes.h"
#include "windowdriver.h"
#include "windowfakes.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {
QAction *option(QWidget *window, const QString &name)
{
    auto *menu = window->findChild<QMenu *>(QStringLiteral("MenuLeitura"));
    return menu ? menu->findChild<QAction *>(name) : nullptr;
}

QString setting(const QString &key)
{
    return SettingsFile::readString(SettingsFile::path(), QStringLiteral("Leitura"), key);
}
} // namespace

class TestReadAloud : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void examPageReadsAndStops();
    void signCodeOfThePictureIsNotRead();
    void withoutAVoice();
    void reviewReadsTheVerdictAndExplanation();
    void largerTextScrollsInsideTheExamBoxes();
    void largerTextInTheReview();

private:
    std::unique_ptr<FakeDialogs> m_dialogs;
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<FakeSpeech> m_speech;
    std::unique_ptr<TFormProva> w;
};

void TestReadAloud::init()
{
    m_dialogs = std::make_unique<FakeDialogs>();
    m_folder = std::make_unique<TempProgramFolder>();
    m_speech = std::make_unique<FakeSpeech>();
    ReadingSettings::instance().reload();
    w = std::make_unique<TFormProva>();
    QVERIFY(showActive(w.get()));
}

void TestReadAloud::cleanup()
{
    w.reset();
    m_speech.reset();
    m_folder.reset();
    m_dialogs.reset();
}

void TestReadAloud::examPageReadsAndStops()
{
    start(*w, kLegislacao);
    auto *ouvir = w->findChild<QToolButton *>(QStringLiteral("BBOuvir"));
    QVERIFY(ouvir && ouvir->isVisible() && ouvir->isEnabled());
    QVERIFY(ouvir->toolTip().contains(QStringLiteral("F8")));
    const QuestionBank &bank = QuestionBank::instance();
    const int n = w->exam().NumeroQuestao;

    // F8 with the focus in the answer box reads; nothing goes into the box, no box is shown.
    QTest::keyClick(w->EditResposta, Qt::Key_F8);
    QCOMPARE(m_speech->said.size(), 1);
    const QString said = m_speech->said.first();
    QVERIFY(said.startsWith(SpeechText::spoken(bank.string(QuestionKind::Text, n).trimmed())));
    QVERIFY(said.contains(QStringLiteral("\nalternativa á: ")));
    QVERIFY(said.contains(QStringLiteral("\nalternativa é: ") +
                          SpeechText::spoken(bank.string(QuestionKind::AlternativeE, n).trimmed())));
    QCOMPARE(m_speech->speeds.first(), SpeechEngine::Speed::Normal);
    QVERIFY(ouvir->isChecked());
    QVERIFY(w->EditResposta->text().isEmpty());
    QVERIFY(m_dialogs->boxes.isEmpty());

    // A second press stops.
    QTest::keyClick(w->EditResposta, Qt::Key_F8);
    QVERIFY(!m_speech->speaking);
    QVERIFY(!ouvir->isChecked());

    // "Ouvir" reads; the voice reaching the end lets the button go.
    QTest::mouseClick(ouvir, Qt::LeftButton);
    QVERIFY(m_speech->speaking && ouvir->isChecked());
    m_speech->finish();
    QVERIFY(!ouvir->isChecked());

    // A move to another question stops the reading.
    QTest::mouseClick(ouvir, Qt::LeftButton);
    answerAndNext(*w, QStringLiteral("A"));
    QVERIFY(!m_speech->speaking);
    QVERIFY(!ouvir->isChecked());
    QTest::keyClick(w->EditResposta, Qt::Key_F8);
    QTest::mouseClick(w->BBAnterior, Qt::LeftButton);
    QVERIFY(!m_speech->speaking);

    // The speed chosen is kept and used.
    option(w.get(), QStringLiteral("Velocidade_rapida"))->trigger();
    QCOMPARE(setting(QStringLiteral("Velocidade")), QStringLiteral("rapida"));
    QTest::keyClick(w->EditResposta, Qt::Key_F8);
    QCOMPARE(m_speech->speeds.last(), SpeechEngine::Speed::Fast);
    // Ending the exam stops it too, and the answer sheet page has nothing to read.
    m_dialogs->setDefaultAnswer(true);
    QTest::mouseClick(w->BBFinalizar, Qt::LeftButton);
    QCOMPARE(w->Notebook1->currentIndex(), 2);
    QVERIFY(!m_speech->speaking);
    const qsizetype before = m_speech->said.size();
    QTest::keyClick(w.get(), Qt::Key_F8);
    QCOMPARE(m_speech->said.size(), before);
}

void TestReadAloud::signCodeOfThePictureIsNotRead()
{
    // A question whose text names the sign shown: its code would give the answer away.
    const QuestionBank &bank = QuestionBank::instance();
    static const QRegularExpression named(QStringLiteral("placa (do código )?R-10\\b"));
    int n = 0;
    for (const StoredQuestion &q : bank.questions())
        if (!q.text(QuestionKind::Picture).isEmpty() && named.match(q.text(QuestionKind::Text)).hasMatch())
            n = q.number;
    QVERIFY(n != 0);
    start(*w, kLegislacao);
    w->exam().NumeroQuestao = n;
    w->MostraQuestao();
    QTest::keyClick(w->EditResposta, Qt::Key_F8);
    const QString question = m_speech->said.last().section(QLatin1Char('\n'), 0, 0);
    QVERIFY2(question.contains(QStringLiteral("placa mostrada")), qPrintable(question));
    QVERIFY(!question.contains(QStringLiteral("erre dez")));
}

void TestReadAloud::withoutAVoice()
{
    m_speech->problemText =
        QStringLiteral("Para ouvir as questões, instale os pacotes libespeak-ng1 e espeak-ng-data.");
    TFormProva other;
    QVERIFY(showActive(&other));
    start(other, kLegislacao);
    auto *ouvir = other.findChild<QToolButton *>(QStringLiteral("BBOuvir"));
    QVERIFY(!ouvir->isEnabled());
    QVERIFY(ouvir->toolTip().contains(QStringLiteral("indisponível")));
    QVERIFY(other.findChild<QToolButton *>(QStringLiteral("BBLeitura"))->isEnabled());
    QTest::keyClick(other.EditResposta, Qt::Key_F8);
    QVERIFY(m_speech->said.isEmpty());
    QVERIFY(!option(&other, QStringLiteral("Velocidade_devagar"))->isEnabled());
    QVERIFY(option(&other, QStringLiteral("Texto_125"))->isEnabled());
}

void TestReadAloud::reviewReadsTheVerdictAndExplanation()
{
    const QuestionBank &bank = QuestionBank::instance();
    QList<QuestaoCorrigida> prova;
    for (int p = 1; p <= 30; ++p)
        prova << QuestaoCorrigida{p, QStringLiteral("B"), rightLetter(p),
                                  rightLetter(p) == QLatin1String("B") ? QStringLiteral("*")
                                                                       : QStringLiteral("X")};
    TFormRevisao r;
    r.setProva(prova);
    QVERIFY(showActive(&r));
    int wrong = 1;
    while (prova[wrong - 1].acertou())
        ++wrong;
    r.MostraPosicao(wrong);
    QTest::keyClick(&r, Qt::Key_F8);
    QCOMPARE(m_speech->said.size(), 1);
    const QString said = m_speech->said.first();
    QVERIFY2(said.contains(QStringLiteral("Errada: sua resposta foi bê, a certa é ") +
                           SpeechText::letterName(prova[wrong - 1].certa.at(0))),
             qPrintable(said));
    QVERIFY(said.endsWith(QStringLiteral("Explicação: ") +
                          SpeechText::spoken(bank.question(wrong)->explanation)));
    QVERIFY(!said.contains(QStringLiteral("✘")) && !said.contains(QStringLiteral("✔")));
    // Stepping to another position stops it.
    QTest::keyClick(&r, Qt::Key_Right);
    QVERIFY(!m_speech->speaking);
    // A window that goes while it reads stops the voice.
    auto other = std::make_unique<TFormRevisao>();
    other->setProva(prova);
    QVERIFY(showActive(other.get()));
    QTest::keyClick(other.get(), Qt::Key_F8);
    QVERIFY(m_speech->speaking);
    other.reset();
    QVERIFY(!m_speech->speaking);
}

void TestReadAloud::largerTextScrollsInsideTheExamBoxes()
{
    start(*w, kLegislacao);
    auto *box = w->findChild<QScrollArea *>(QStringLiteral("ScrollPergunta"));
    QVERIFY(box);
    const QRect questionBox = box->geometry();
    const QRect alternativesBox = w->Memo2->geometry();
    QCOMPARE(questionBox, QRect(10, 40, 426, 101));
    for (int scale : {125, 150}) {
        option(w.get(), QStringLiteral("Texto_%1").arg(scale))->trigger();
        QCOMPARE(setting(QStringLiteral("Texto")), QString::number(scale));
        QCOMPARE(w->LabelPergunta->font().pixelSize(), (14 * scale + 50) / 100);
        QCOMPARE(w->Memo2->font().pixelSize(), (12 * scale + 50) / 100);
        QStringList cut;
        int scrolled = 0;
        for (const StoredQuestion &q : QuestionBank::instance().questions()) {
            w->exam().NumeroQuestao = q.number;
            w->MostraQuestao();
            // The boxes keep their places and sizes; the whole text is inside the label, which
            // lies within the box's width and scrolls in its height.
            QCOMPARE(box->geometry(), questionBox);
            QCOMPARE(w->Memo2->geometry(), alternativesBox);
            if (!w->LabelPergunta->textFits() || w->LabelPergunta->width() > box->viewport()->width())
                cut << QStringLiteral("%1: question cut at %2 %").arg(q.number).arg(scale);
            if (box->verticalScrollBar()->maximum() > 0) {
                ++scrolled;
                if (box->verticalScrollBar()->maximum() !=
                    w->LabelPergunta->height() - box->viewport()->height())
                    cut << QStringLiteral("%1: the end of the question cannot be scrolled to").arg(q.number);
            }
            if (w->Memo2->horizontalScrollBar()->maximum() > 0)
                cut << QStringLiteral("%1: alternatives wider than their box at %2 %")
                           .arg(q.number)
                           .arg(scale);
        }
        QVERIFY2(cut.isEmpty(), qPrintable(cut.mid(0, 20).join(QLatin1Char('\n'))));
        // The long questions do not fit the box at 150 %: they scroll.
        if (scale == 150)
            QVERIFY(scrolled > 0);
    }
    option(w.get(), QStringLiteral("Texto_100"))->trigger();
    QCOMPARE(w->LabelPergunta->font().pixelSize(), 14);
    QCOMPARE(w->LabelPergunta->size(), QSize(426, 101));
}

void TestReadAloud::largerTextInTheReview()
{
    QList<QuestaoCorrigida> prova;
    for (int p = 1; p <= 30; ++p)
        prova << QuestaoCorrigida{p, QStringLiteral("A"), rightLetter(p),
                                  rightLetter(p) == QLatin1String("A") ? QStringLiteral("*")
                                                                       : QStringLiteral("X")};
    TFormRevisao r;
    r.setProva(prova);
    QVERIFY(showActive(&r));
    auto *menu = r.findChild<QMenu *>(QStringLiteral("MenuLeitura"));
    menu->findChild<QAction *>(QStringLiteral("Texto_150"))->trigger();
    QStringList cut;
    for (int p = 1; p <= 30; ++p) {
        r.MostraPosicao(p);
        QApplication::processEvents();
        QCOMPARE(r.LabelPergunta->font().pixelSize(), 21);
        QCOMPARE(r.LabelExplicacao->font().pixelSize(), 20);
        // The marked alternatives keep their bold at the larger size.
        for (QLabel *l : r.LabelAlternativas)
            if (l->isVisible() && l->font().pixelSize() != 20)
                cut << QStringLiteral("%1: %2 at %3 px")
                           .arg(p)
                           .arg(l->objectName())
                           .arg(l->font().pixelSize());
        if (r.ScrollQuestao->horizontalScrollBar()->maximum() > 0)
            cut << QStringLiteral("%1: wider than the sheet").arg(p);
        for (QLabel *l :
             r.LabelAlternativas + QList<QLabel *>{r.LabelPergunta, r.LabelExplicacao, r.LabelFonte})
            if (l->isVisible() && l->height() < l->heightForWidth(l->width()))
                cut << QStringLiteral("%1: %2 cut").arg(p).arg(l->objectName());
    }
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
    menu->findChild<QAction *>(QStringLiteral("Texto_100"))->trigger();
}

QTEST_MAIN(TestReadAloud)
#include "tst_readaloud.moc"
