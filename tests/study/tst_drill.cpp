// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The window of the reviews and of study by subject as a candidate uses it, over an exam stored in
// a history of its own: the answers, "Sei / Acho / Chutei", what is stored and when the question
// comes back, the daily number of new questions, coverage and studying ahead.

#include "study/formtreino.h"
#include "study/history.h"
#include "study/reviews.h"
#include "study/subjects.h"

#include "codereader/articleindex.h"
#include "codereader/formcodigo.h"
#include "common/appwindows.h"
#include "exam/questionbank.h"

#include "fakes.h"
#include "windowdriver.h"
#include "windowfakes.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextEdit>
#include <QtTest>

#include <memory>

namespace {
const QDate kDay(2026, 12, 7);

} // namespace

class TestDrill : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void answerRightAndWrongInTheWindow();
    void studyBySubjectInTheWindow();

private:
    // Stores an exam ended at 09:30 on the clock's day with m_block and m_study answered wrong;
    // false when it could not be stored.
    bool storeExam();
    std::unique_ptr<FakeDialogs> m_dialogs;
    std::unique_ptr<FakeClock> m_clock;
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TFormCodigo> m_reader;
    std::unique_ptr<TFormTreino> w;
    const StoredQuestion *m_block = nullptr; // a block question whose source cites an article
    const StoredQuestion *m_study = nullptr; // a study question (four alternatives) of another subject
};

void TestDrill::init()
{
    m_dialogs = std::make_unique<FakeDialogs>();
    m_clock = std::make_unique<FakeClock>(QDateTime(kDay, QTime(10, 0, 0)));
    m_folder = std::make_unique<TempProgramFolder>();
    QVERIFY(
        QFile::copy(QStringLiteral(QUELVADO_BIN_DIR "/cnt.rtf"), m_folder->file(QStringLiteral("cnt.rtf"))));
    m_reader = std::make_unique<TFormCodigo>();
    AppWindows::set(AppWindow::Codigo, m_reader.get());
    const QuestionBank &bank = QuestionBank::instance();
    for (const StoredQuestion &q : bank.questions())
        if (!m_block && !ArticleIndex::citedArticles(q.source).isEmpty() && !q.explanation.isEmpty())
            m_block = &q;
    QVERIFY(m_block);
    for (const StoredQuestion &q : bank.studyQuestions())
        if (!m_study && Subjects::of(q.number) != Subjects::of(m_block->number))
            m_study = &q;
    QVERIFY(m_study);
}

void TestDrill::cleanup()
{
    w.reset();
    AppWindows::set(AppWindow::Codigo, nullptr);
    m_reader.reset();
    m_folder.reset();
    m_clock.reset();
    m_dialogs.reset();
}

bool TestDrill::storeExam()
{
    HistoryExam e;
    e.type = 1;
    e.start = QDateTime(m_clock->local.date(), QTime(9, 0, 0));
    e.end = e.start.addSecs(1800);
    e.seconds = 1800;
    e.answers.append({m_block->number, QStringLiteral("A"), false, QString(), -1});
    e.answers.append({m_study->number, QString(), false, QString(), -1});
    e.answers.append({100, QStringLiteral("B"), true, QString(), -1});
    return History::instance().store(e) > 0;
}

namespace {
int rightOf(const StoredQuestion *q)
{
    return q->text(QuestionKind::Answer).toInt();
}
QString letterOf(int alternative)
{
    return QString(QChar(u'A' + alternative - 1));
}
} // namespace

void TestDrill::answerRightAndWrongInTheWindow()
{
    QVERIFY(storeExam());
    // Wrong answers come back the next day.
    m_clock->local = m_clock->local.addDays(1);
    w = std::make_unique<TFormTreino>();
    QVERIFY(showActive(w.get()));
    QCOMPARE(w->windowTitle(), QStringLiteral("Revisões de hoje"));
    QCOMPARE(w->LabelPendentes->text(), QStringLiteral("2 revisões para hoje"));
    QCOMPARE(w->Paginas->currentIndex(), 0);
    // Both as forgotten: the lower number first.
    QVERIFY(w->LabelPosicao->text().startsWith(
        QStringLiteral("Questão 1 de 2  ·  nº %1 do banco").arg(m_block->number)));
    QVERIFY(w->LabelPosicao->text().endsWith(QStringLiteral("revisão")));
    QCOMPARE(w->LabelPergunta->text(), m_block->text(QuestionKind::Text).trimmed());
    QVERIFY(w->LabelAlternativas[4]->isVisible());
    QVERIFY(!w->LabelExplicacao->isVisible());
    QVERIFY(!w->BBVerCodigo->isEnabled());
    QVERIFY(!w->BBProximo->isEnabled());

    // Right, by the key of its letter: the window asks how sure the candidate was before storing.
    const int right = rightOf(m_block);
    QTest::keyClick(w.get(), Qt::Key(Qt::Key_A + right - 1));
    QCOMPARE(w->LabelSituacao->text(), QStringLiteral("✔ Certa: sua resposta foi ") + letterOf(right));
    QVERIFY(w->LabelAlternativas[right - 1]->text().endsWith(QStringLiteral("— sua resposta, certa")));
    QVERIFY(w->PainelCerteza->isVisible());
    QVERIFY(!w->BBProximo->isEnabled());
    QVERIFY(!w->guardada());
    QCOMPARE(History::instance().drillAnswers().size(), 0);
    QTest::keyClick(w.get(), Qt::Key_Return); // no way on before saying
    QCOMPARE(w->posicao(), 0);
    QVERIFY(w->LabelExplicacao->isVisible());
    QCOMPARE(w->LabelExplicacao->text(), QStringLiteral("Explicação: ") + m_block->explanation);
    QCOMPARE(w->LabelFonte->text(), QStringLiteral("Fonte: ") + m_block->source);
    // A second answer changes nothing.
    QTest::keyClick(w.get(), Qt::Key(Qt::Key_A + right % 5));
    QVERIFY(w->LabelSituacao->text().startsWith(QStringLiteral("✔")));
    // "Chutei" by its key: a guess is not known, so it comes back the next day.
    QTest::keyClick(w.get(), Qt::Key_U);
    QVERIFY(w->guardada());
    QVERIFY(!w->PainelCerteza->isVisible());
    QCOMPARE(w->LabelDestino->text(), QStringLiteral("Guardada. A questão volta amanhã, 09/12/2026."));
    QList<DrillAnswer> stored = History::instance().drillAnswers();
    QCOMPARE(stored.size(), 1);
    QCOMPARE(stored[0].number, m_block->number);
    QCOMPARE(stored[0].at, m_clock->local);
    QVERIFY(stored[0].right);
    QCOMPARE(stored[0].confidence, DrillAnswer::Confidence::Guessed);
    QCOMPARE(stored[0].kind, DrillAnswer::Kind::Review);
    QCOMPARE(w->LabelPendentes->text(), QStringLiteral("1 revisão para hoje"));
    QVERIFY(w->BBVerCodigo->isEnabled());
    QTest::mouseClick(w->BBVerCodigo, Qt::LeftButton);
    QVERIFY(m_reader->isVisible());
    QVERIFY(m_reader->RichEdit->textCursor().hasSelection());

    // Back in the drill (the reader came to the front), F8 reads the question, the verdict and the
    // explanation; the next question stops it.
    QVERIFY(showActive(w.get()));
    FakeSpeech speech;
    QTest::keyClick(w.get(), Qt::Key_F8);
    QCOMPARE(speech.said.size(), 1);
    QVERIFY(speech.said[0].contains(QStringLiteral("alternativa bê: ")));
    QVERIFY(speech.said[0].contains(QStringLiteral("Certa: sua resposta foi")));
    QVERIFY(speech.said[0].contains(QStringLiteral("Explicação:")));
    QVERIFY(speech.speaking);

    // Wrong, by a click on an alternative: the study question has four; stored at once.
    QTest::mouseClick(w->BBProximo, Qt::LeftButton);
    QVERIFY(!speech.speaking);
    QVERIFY(w->LabelPosicao->text().startsWith(
        QStringLiteral("Questão 2 de 2  ·  nº %1 do banco").arg(m_study->number)));
    QVERIFY(!w->LabelAlternativas[4]->isVisible());
    QVERIFY(!w->BBRespostas[4]->isVisible());
    const int certa = rightOf(m_study);
    const int errada = certa % 4 + 1;
    QTest::mouseClick(w->LabelAlternativas[errada - 1], Qt::LeftButton);
    QCOMPARE(
        w->LabelSituacao->text(),
        QStringLiteral("✘ Errada: sua resposta foi %1, a certa é %2").arg(letterOf(errada), letterOf(certa)));
    QVERIFY(w->LabelAlternativas[certa - 1]->text().endsWith(QStringLiteral("— resposta certa")));
    QVERIFY(!w->PainelCerteza->isVisible());
    QCOMPARE(w->LabelDestino->text(), QStringLiteral("Guardada. A questão volta amanhã, 09/12/2026."));
    stored = History::instance().drillAnswers();
    QCOMPARE(stored.size(), 2);
    QVERIFY(!stored[1].right);

    // The end of the round, and studying ahead: the soonest due first.
    QCOMPARE(w->BBProximo->text(), QStringLiteral("Concluir"));
    QTest::keyClick(w.get(), Qt::Key_Return);
    QCOMPARE(w->Paginas->currentIndex(), 1);
    QCOMPARE(w->LabelAviso->text(),
             QStringLiteral("Fim da rodada: 1 acerto em 2.\nNenhuma revisão para hoje.\n"
                            "A próxima revisão é amanhã, 09/12/2026."));
    QVERIFY(w->BBAntecipar->isVisible());
    QVERIFY(!w->BBContinuar->isVisible());
    QTest::mouseClick(w->BBAntecipar, Qt::LeftButton);
    QCOMPARE(w->Paginas->currentIndex(), 0);
    QCOMPARE(w->rodada().size(), 2);
    QCOMPARE(w->rodada()[0].number, m_block->number);
    QVERIFY(w->LabelPosicao->text().endsWith(QStringLiteral("prevista para 09/12/2026")));
    QCOMPARE(w->BBProximo->text(), QStringLiteral("Próxima"));
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestDrill::studyBySubjectInTheWindow()
{
    // Study by subject: new questions first, within the daily number, with coverage.
    QVERIFY(Reviews::setLimits({60, 2}));
    const int subject = Subjects::of(m_block->number);
    w = std::make_unique<TFormTreino>();
    w->Abre(subject, TFormTreino::Modo::Assunto);
    QVERIFY(showActive(w.get()));
    QCOMPARE(w->windowTitle(), QStringLiteral("Estudar por assunto"));
    QCOMPARE(w->ComboAssunto->currentText(), Subjects::name(subject));
    QCOMPARE(w->rodada().size(), 2);
    QVERIFY(w->rodada()[0].fresh);
    QVERIFY(w->rodada()[0].number / 100 != w->rodada()[1].number / 100); // the sources mixed
    QCOMPARE(w->LabelPendentes->text(),
             QStringLiteral("2 questões novas para hoje em %1").arg(Subjects::name(subject)));
    const QString visto = w->LabelCobertura->text();
    QVERIFY2(visto.startsWith(QStringLiteral("Visto 0 de ")), qPrintable(visto));
    QVERIFY(w->LabelPosicao->text().endsWith(QStringLiteral("nova")));

    // Right and sure ("Sei" by its mnemonic): stored as study by subject.
    const StoredQuestion *q = QuestionBank::instance().question(w->rodada()[0].number);
    QVERIFY(q);
    QTest::mouseClick(w->BBRespostas[rightOf(q) - 1], Qt::LeftButton);
    QTest::keyClick(w.get(), Qt::Key_S, Qt::AltModifier);
    QTRY_VERIFY(w->guardada());
    const QList<DrillAnswer> stored = History::instance().drillAnswers();
    QCOMPARE(stored.size(), 1);
    QCOMPARE(stored[0].confidence, DrillAnswer::Confidence::Knew);
    QCOMPARE(stored[0].kind, DrillAnswer::Kind::Subject);
    QVERIFY(w->LabelCobertura->text().startsWith(QStringLiteral("Visto 1 de ")));
    QVERIFY(w->LabelDestino->text().startsWith(QStringLiteral("Guardada. A questão volta em ")));

    // The daily number holds across openings: one new question left today, none after it.
    w->refresh();
    QCOMPARE(w->rodada().size(), 1);
    const StoredQuestion *second = QuestionBank::instance().question(w->rodada()[0].number);
    QTest::mouseClick(w->BBRespostas[rightOf(second) % second->alternativeCount()], Qt::LeftButton);
    QVERIFY(w->guardada());
    QTest::mouseClick(w->BBProximo, Qt::LeftButton);
    QCOMPARE(w->LabelAviso->text(),
             QStringLiteral("Fim da rodada: 0 acertos em 1.\nNada mais para hoje em %1.\n"
                            "A próxima revisão é amanhã, 08/12/2026.")
                 .arg(Subjects::name(subject)));
    // The next day the wrong one is a review and two new questions wait.
    m_clock->local = m_clock->local.addDays(1);
    w->refresh();
    QCOMPARE(w->rodada().size(), 3);
    QVERIFY(w->rodada()[0].fresh && w->rodada()[1].fresh && !w->rodada()[2].fresh);
    QCOMPARE(w->rodada()[2].number, second->number);
}

QTEST_MAIN(TestDrill)
#include "tst_drill.moc"
