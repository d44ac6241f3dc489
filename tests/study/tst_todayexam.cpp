// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The exam in today's format: the draw (shares per subject, no question twice, four alternatives
// always holding the right one), answers as shown letters mapped back to the bank, the pass mark,
// the time limit setting; and the window taken as a candidate takes it: keys and buttons, the
// countdown run by the fake clock to its end, finishing and closing with questions left, the exam
// stored in the history and reviewed with its four alternatives.

#include "study/formprovaatual.h"
#include "study/history.h"
#include "study/memory.h"
#include "study/subjects.h"
#include "study/todayexam.h"

#include "common/readaloud.h"
#include "common/settingsfile.h"
#include "common/speechtext.h"
#include "exam/formrevisao.h"
#include "exam/questionbank.h"

#include "fakes.h"
#include "windowdriver.h"
#include "windowfakes.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QSpinBox>
#include <QTextDocument>
#include <QToolButton>
#include <QtTest>

namespace {
const QuestionBank &bank()
{
    return QuestionBank::instance();
}

// The bank's right alternative (1..5) of question number.
int bankRight(int number)
{
    return bank().question(number)->text(QuestionKind::Answer).toInt();
}

// Boxes that let something happen while a question is open, as the real boxes' event loop does.
class DialogsThatWait : public FakeDialogs {
public:
    std::function<void()> meanwhile;
    bool askYesNo(Icon icon, const QString &title, const QString &text) override
    {
        const bool yes = FakeDialogs::askYesNo(icon, title, text);
        if (meanwhile)
            meanwhile();
        return yes;
    }
};

// A letter shown at position p of exam that is wrong.
QString wrongLetter(const TodayExam &exam, int p)
{
    return exam.rightLetter(p) == QLatin1String("A") ? QStringLiteral("B") : QStringLiteral("A");
}
} // namespace

class TestTodayExam : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void fourAlternativesHoldingTheRightOne();
    void sharesOfTheSubjectsNoQuestionTwice();
    void retiredQuestionsNeitherDrawnNorRemembered();
    void lettersMappedBack();
    void passAtTwenty();
    void timeLimitSetting();

    void takenWithKeysAndStored_data();
    void takenWithKeysAndStored();
    void countdownEndsTheExam();
    void clockJumpDoesNotEndTheExam();
    void finishAsksWhenQuestionsAreLeft();
    void timeRunsOutWhileAsked();
    void closingAsksWhetherToAbandon();
    void continuedAfterTheProgramEnds();
    void extendedTime();
    void readAloudAndLargerText();
    void pictures();

private:
    // Shows the window, sets the time limit and starts the exam.
    void start(int minutes);
    // The index (0..3) of the label showing the right alternative of the question shown.
    int rightShown() const;
    std::unique_ptr<FakeDialogs> m_dialogs;
    std::unique_ptr<FakeClock> m_clock;
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TFormProvaAtual> w;
};

void TestTodayExam::init()
{
    m_dialogs = std::make_unique<FakeDialogs>();
    m_clock = std::make_unique<FakeClock>(QDateTime(QDate(2026, 12, 7), QTime(9, 0, 0)));
    m_folder = std::make_unique<TempProgramFolder>();
}

void TestTodayExam::cleanup()
{
    w.reset();
    m_folder.reset();
    m_clock.reset();
    m_dialogs.reset();
}

void TestTodayExam::fourAlternativesHoldingTheRightOne()
{
    TodayExam exam(bank());
    std::array<int, 4> rightAt{}; // how often the right one stood under each letter
    for (quint32 start = 1; start <= 40; ++start) {
        exam.draw(start);
        QCOMPARE(exam.size(), 30);
        for (int p = 1; p <= 30; ++p) {
            const TodayQuestion &t = exam.questions()[p - 1];
            const StoredQuestion *q = bank().question(t.number);
            QVERIFY(q);
            QSet<int> distinct(t.shown.cbegin(), t.shown.cend());
            QCOMPARE(distinct.size(), 4);
            for (int k = 0; k < 4; ++k) {
                const int b = t.shown[static_cast<std::size_t>(k)];
                QVERIFY(b >= 1 && b <= q->alternativeCount());
                QCOMPARE(exam.alternative(p, k), q->text(QuestionKind::AlternativeA + b - 1));
                QVERIFY(!exam.alternative(p, k).isEmpty());
            }
            // The right one is always among the four, under the letter the exam names.
            QVERIFY(distinct.contains(bankRight(t.number)));
            QCOMPARE(t.shown[static_cast<std::size_t>(t.right)], bankRight(t.number));
            // A study question shows its own four.
            if (q->isStudy())
                QCOMPARE(distinct, QSet<int>({1, 2, 3, 4}));
            ++rightAt[static_cast<std::size_t>(t.right)];
        }
    }
    // Shown in an order of the exam's own: the right one stands under every letter, roughly as often.
    for (const int n : rightAt)
        QVERIFY2(n > 200 && n < 400, qPrintable(QString::number(n)));
    // The same start draws the same exam; another start another.
    TodayExam again(bank());
    again.draw(7);
    exam.draw(7);
    for (int p = 1; p <= 30; ++p) {
        QCOMPARE(again.questions()[p - 1].number, exam.questions()[p - 1].number);
        QCOMPARE(again.questions()[p - 1].shown, exam.questions()[p - 1].shown);
    }
    exam.draw(8);
    int same = 0;
    for (int p = 1; p <= 30; ++p)
        same += again.questions()[p - 1].number == exam.questions()[p - 1].number ? 1 : 0;
    QVERIFY(same < 5);
}

void TestTodayExam::sharesOfTheSubjectsNoQuestionTwice()
{
    int total = 0;
    for (const int s : TodayExam::shares())
        total += s;
    QCOMPARE(total, 30);
    TodayExam exam(bank());
    bool blocks = false;
    bool study = false;
    for (quint32 start = 100; start < 140; ++start) {
        exam.draw(start);
        std::array<int, Subjects::kCount> count{};
        QSet<int> numbers;
        for (const TodayQuestion &t : exam.questions()) {
            numbers.insert(t.number);
            const int s = Subjects::of(t.number);
            QVERIFY(s >= 0 && s < Subjects::kCount);
            ++count[static_cast<std::size_t>(s)];
            blocks |= t.number <= kLastQuestion;
            study |= t.number >= kFirstStudyQuestion;
        }
        QCOMPARE(numbers.size(), 30);
        for (int s = 0; s < Subjects::kCount; ++s)
            QCOMPARE(count[static_cast<std::size_t>(s)], TodayExam::shares()[static_cast<std::size_t>(s)]);
    }
    // Drawn from the whole bank.
    QVERIFY(blocks && study);
}

// A question retired from study keeps its number in the bank, but no exam draws it and the answers a
// history keeps under its number leave nothing in the memory (nothing due, nothing expected).
void TestTodayExam::retiredQuestionsNeitherDrawnNorRemembered()
{
    QString file = QStringLiteral("# Estudo 01 — Legislação (questões 1001 a 1003)\n\n");
    for (int n = 1001; n <= 1003; ++n)
        file += QStringLiteral("%1\nP: Questão %1?\nA: Um.\nB: Dois.\nC: Três.\nD: Quatro.\nResposta: B\n"
                               "Fonte: CTB art. 1º\nExplicação: Porque sim.\n%2\n")
                    .arg(n)
                    .arg(n == 1002 ? QStringLiteral("Retirada: repete a 1001\n") : QString());
    const QuestionBank small({{QStringLiteral("estudo-01.txt"), file}});
    QVERIFY(small.problems().isEmpty());
    QVERIFY(small.isRetired(1002));
    QSet<int> pooled;
    for (const QList<int> &pool : TodayExam::pools(small))
        for (int n : pool)
            pooled.insert(n);
    QCOMPARE(pooled, QSet<int>({1001, 1003}));
    TodayExam exam(small);
    for (quint32 start = 1; start <= 20; ++start) {
        exam.draw(start);
        QSet<int> drawn;
        for (const TodayQuestion &t : exam.questions())
            drawn.insert(t.number);
        QCOMPARE(drawn, QSet<int>({1001, 1003}));
    }

    const QList<StoredQuestion> &study = bank().studyQuestions();
    const auto retired =
        std::find_if(study.begin(), study.end(), [](const StoredQuestion &q) { return q.isRetired(); });
    QVERIFY(retired != study.end());
    const int kept = study.first().number;
    QVERIFY(!bank().isRetired(kept));
    const QDateTime at(QDate(2026, 3, 2), QTime(10, 0));
    HistoryExam stored;
    stored.start = at;
    stored.end = at.addSecs(600);
    for (const int n : {retired->number, kept}) {
        HistoryAnswer a;
        a.number = n;
        a.right = true;
        stored.answers << a;
    }
    const DrillAnswer studied{retired->number, at.addDays(1), true, DrillAnswer::Confidence::Knew,
                              DrillAnswer::Kind::Review};
    const Memory::State state = Memory::replay({stored}, {studied});
    QCOMPARE(state.answers, 1);
    QVERIFY(state.questions.contains(kept));
    QVERIFY(!state.questions.contains(retired->number));
}

void TestTodayExam::lettersMappedBack()
{
    TodayExam exam(bank());
    exam.draw(42);
    for (int p = 1; p <= 30; ++p) {
        const TodayQuestion &t = exam.questions()[p - 1];
        int rights = 0;
        for (int k = 0; k < 4; ++k) {
            const QString letter(QChar(u'A' + k));
            const int b = exam.bankAlternative(p, letter);
            QCOMPARE(b, t.shown[static_cast<std::size_t>(k)]);
            QCOMPARE(exam.isRight(p, letter), b == bankRight(t.number));
            rights += exam.isRight(p, letter) ? 1 : 0;
        }
        QCOMPARE(rights, 1);
        QCOMPARE(exam.bankAlternative(p, QStringLiteral("E")), 0);
        QVERIFY(!exam.isRight(p, QString()));
    }
    // Answers given as shown: odd positions right, even ones wrong, the last left empty.
    for (int p = 1; p < 30; ++p)
        exam.setAnswer(p, p % 2 ? exam.rightLetter(p) : wrongLetter(exam, p));
    exam.setAnswer(30, QStringLiteral("E")); // not a letter shown: ignored
    QCOMPARE(exam.answered(), 29);
    QCOMPARE(exam.right(), 15);

    const QDateTime start(QDate(2026, 12, 7), QTime(9, 0, 0));
    const HistoryExam stored = exam.historyExam(start, start.addSecs(754));
    QCOMPARE(stored.type, kTodayFormatType);
    QCOMPARE(stored.seconds, 754);
    QCOMPARE(stored.answers.size(), 30);
    const QList<QuestaoCorrigida> review = exam.corrected();
    QCOMPARE(review.size(), 30);
    for (int p = 1; p <= 30; ++p) {
        const TodayQuestion &t = exam.questions()[p - 1];
        const HistoryAnswer &a = stored.answers[p - 1];
        QCOMPARE(a.number, t.number);
        QCOMPARE(a.given, exam.answer(p));
        QCOMPARE(a.right, p % 2 == 1 && p < 30);
        QCOMPARE(a.shown.size(), 4);
        for (int k = 0; k < 4; ++k)
            QCOMPARE(a.shown.at(k).digitValue(), t.shown[static_cast<std::size_t>(k)]);
        const QuestaoCorrigida &r = review[p - 1];
        QCOMPARE(r.numero, t.number);
        QCOMPARE(r.resposta, a.given);
        QCOMPARE(r.certa, exam.rightLetter(p));
        QCOMPARE(r.marca, a.right ? QStringLiteral("*") : QStringLiteral("X"));
        QCOMPARE(r.alternativas, QList<int>(t.shown.cbegin(), t.shown.cend()));
    }
    // A new draw forgets the answers.
    exam.draw(43);
    QCOMPARE(exam.answered(), 0);
}

void TestTodayExam::passAtTwenty()
{
    QVERIFY(TodayExam::passes(20));
    QVERIFY(!TodayExam::passes(19));
    TodayExam exam(bank());
    exam.draw(5);
    for (int p = 1; p <= 30; ++p)
        exam.setAnswer(p, p <= 19 ? exam.rightLetter(p) : wrongLetter(exam, p));
    QCOMPARE(exam.right(), 19);
    QVERIFY(!exam.passed());
    exam.setAnswer(20, exam.rightLetter(20));
    QCOMPARE(exam.right(), 20);
    QVERIFY(exam.passed());
}

void TestTodayExam::timeLimitSetting()
{
    QCOMPARE(TodayExam::timeLimitMinutes(), 60);
    QVERIFY(TodayExam::setTimeLimitMinutes(80));
    QCOMPARE(TodayExam::timeLimitMinutes(), 80);
    QCOMPARE(SettingsFile::readString(SettingsFile::path(), QStringLiteral("ProvaAtual"),
                                      QStringLiteral("Minutos")),
             QStringLiteral("80"));
    QVERIFY(SettingsFile::path().startsWith(m_folder->path()));
    QVERIFY(TodayExam::setTimeLimitMinutes(1000));
    QCOMPARE(TodayExam::timeLimitMinutes(), TodayExam::kMaxMinutes);
    QVERIFY(SettingsFile::writeString(SettingsFile::path(), QStringLiteral("ProvaAtual"),
                                      QStringLiteral("Minutos"), QStringLiteral("uma hora")));
    QCOMPARE(TodayExam::timeLimitMinutes(), 60);
    // One clamp for every whole number, past the largest int as below it.
    for (const auto &[text, minutes] :
         {std::pair{"2147483647", TodayExam::kMaxMinutes}, std::pair{"2147483648", TodayExam::kMaxMinutes},
          std::pair{"99999999999999999999999", TodayExam::kMaxMinutes},
          std::pair{"-2147483649", TodayExam::kMinMinutes}, std::pair{"0", TodayExam::kMinMinutes},
          std::pair{"+0045", 45}, std::pair{"4.5", 60}}) {
        QVERIFY(SettingsFile::writeString(SettingsFile::path(), QStringLiteral("ProvaAtual"),
                                          QStringLiteral("Minutos"), QString::fromLatin1(text)));
        QVERIFY2(TodayExam::timeLimitMinutes() == minutes, text);
    }
    QCOMPARE(TodayExam::mmss(3600), QStringLiteral("60:00"));
    QCOMPARE(TodayExam::mmss(309), QStringLiteral("05:09"));
    const QDateTime start(QDate(2026, 12, 7), QTime(23, 50, 0));
    QCOMPARE(TodayExam::secondsLeft(start, start.addSecs(1190), 20), 10); // across midnight
    QCOMPARE(TodayExam::secondsLeft(start, start.addSecs(5000), 20), 0);
}

void TestTodayExam::start(int minutes)
{
    w = std::make_unique<TFormProvaAtual>();
    QVERIFY(showActive(w.get()));
    QCOMPARE(w->windowTitle(), QStringLiteral("Prova no formato atual"));
    QCOMPARE(w->pagina(), TFormProvaAtual::Inicio);
    QCOMPARE(w->SpinTempo->value(), 60);
    QVERIFY(w->LabelDescricao->text().contains(QStringLiteral("<b>30 questões</b>")));
    // The time limit typed into its box.
    w->SpinTempo->setFocus();
    w->SpinTempo->selectAll();
    QTest::keyClicks(w->SpinTempo, QString::number(minutes));
    QCOMPARE(w->SpinTempo->value(), minutes);
    QTest::mouseClick(w->BBIniciar, Qt::LeftButton);
    QCOMPARE(w->pagina(), TFormProvaAtual::Prova);
    QCOMPARE(TodayExam::timeLimitMinutes(), minutes);
    QCOMPARE(w->LabelTempo->text(), TodayExam::mmss(minutes * 60));
    QCOMPARE(w->LabelPosicao->text(), QStringLiteral("Questão 1 de 30"));
}

int TestTodayExam::rightShown() const
{
    const int number = w->prova().questions()[w->posicao() - 1].number;
    const QString right = bank().question(number)->text(QuestionKind::AlternativeA + bankRight(number) - 1);
    int found = -1;
    for (int k = 0; k < 4; ++k)
        if (w->LabelAlternativas[k]->text() == right)
            found = k;
    return found;
}

void TestTodayExam::takenWithKeysAndStored_data()
{
    QTest::addColumn<int>("rights");
    QTest::addColumn<QString>("verdict");
    QTest::newRow("20 right") << 20 << QStringLiteral("Aprovado");
    QTest::newRow("19 right") << 19 << QStringLiteral("Reprovado");
    QTest::newRow("1 right") << 1 << QStringLiteral("Reprovado");
}

void TestTodayExam::takenWithKeysAndStored()
{
    QFETCH(int, rights);
    QFETCH(QString, verdict);
    start(45);
    QStringList given;
    for (int p = 1; p <= 30; ++p) {
        QCOMPARE(w->LabelPosicao->text(), QStringLiteral("Questão %1 de 30").arg(p));
        const int right = rightShown();
        QVERIFY(right >= 0);
        const int chosen = p <= rights ? right : (right + 1) % 4;
        const QString letter(QChar(u'A' + chosen));
        // A letter key marks the alternative; position 3 is answered with its button instead.
        if (p == 3)
            QTest::mouseClick(w->BBAlternativas[chosen], Qt::LeftButton);
        else
            QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(Qt::Key_A + chosen));
        for (int k = 0; k < 4; ++k)
            QCOMPARE(w->BBAlternativas[k]->isChecked(), k == chosen);
        QVERIFY(w->LabelRespondidas->text().contains(QStringLiteral("%1 de 30").arg(p)));
        given << letter;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    }
    QCOMPARE(w->posicao(), 30);
    QVERIFY(!w->BBProximo->isEnabled());
    // Going back shows the answer given.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    QCOMPARE(w->posicao(), 29);
    QVERIFY(w->BBAlternativas[given[28].at(0).unicode() - u'A']->isChecked());

    m_clock->local = m_clock->local.addSecs(12 * 60 + 34);
    QTest::mouseClick(w->BBFinalizar, Qt::LeftButton);
    QVERIFY(m_dialogs->boxes.isEmpty()); // all answered: nothing asked
    QCOMPARE(w->pagina(), TFormProvaAtual::Resultado);
    QCOMPARE(w->LabelResultado->text(), verdict);
    QCOMPARE(w->LabelAcertos->text(),
             QStringLiteral("%1 %2 em 30 questões (para aprovação: pelo menos 20)")
                 .arg(rights)
                 .arg(rights == 1 ? QStringLiteral("acerto") : QStringLiteral("acertos")));
    QCOMPARE(w->LabelTempoGasto->text(), QStringLiteral("Tempo gasto: 12:34 de 45:00"));
    QVERIFY(!w->LabelAviso->isVisibleTo(w.get()));

    // Stored in the history of the temporary folder.
    QVERIFY(w->idHistorico() > 0);
    QVERIFY(History::instance().path().startsWith(m_folder->path()));
    const QList<HistoryExam> exams = History::instance().exams();
    QCOMPARE(exams.size(), 1);
    const HistoryExam &e = exams.first();
    QCOMPARE(e.type, kTodayFormatType);
    QCOMPARE(e.seconds, 12 * 60 + 34);
    QCOMPARE(e.start, QDateTime(QDate(2026, 12, 7), QTime(9, 0, 0)));
    QCOMPARE(e.right(), rights);
    QCOMPARE(e.answers.size(), 30);
    for (int p = 1; p <= 30; ++p) {
        const TodayQuestion &t = w->prova().questions()[p - 1];
        QCOMPARE(e.answers[p - 1].number, t.number);
        QCOMPARE(e.answers[p - 1].given, given[p - 1]);
        QCOMPARE(e.answers[p - 1].right, p <= rights);
        QCOMPARE(e.answers[p - 1].shown.at(given[p - 1].at(0).unicode() - u'A').digitValue(),
                 w->prova().bankAlternative(p, given[p - 1]));
    }

    // The review shows the four alternatives as they were shown, with the marks.
    QTest::mouseClick(w->BBRevisar, Qt::LeftButton);
    TFormRevisao *r = w->Revisao;
    QVERIFY(r && r->isVisible());
    for (int p = 1; p <= 30; ++p) {
        r->MostraPosicao(p);
        QCOMPARE(r->LabelPergunta->text(), w->prova().text(p));
        QVERIFY(!r->LabelAlternativas[4]->isVisibleTo(r));
        const int right = w->prova().rightLetter(p).at(0).unicode() - u'A';
        const int chosen = given[p - 1].at(0).unicode() - u'A';
        for (int k = 0; k < 4; ++k) {
            const QLabel *l = r->LabelAlternativas[k];
            QVERIFY(l->isVisibleTo(r));
            QVERIFY(l->text().contains(QStringLiteral("%1) ").arg(QChar(u'A' + k)) +
                                       w->prova().alternative(p, k)));
            if (k == right)
                QVERIFY(l->text().endsWith(k == chosen ? QStringLiteral("— sua resposta, certa")
                                                       : QStringLiteral("— resposta certa")));
            else if (k == chosen)
                QVERIFY(l->text().endsWith(QStringLiteral("— sua resposta, errada")));
            else
                QVERIFY(l->text().startsWith(QStringLiteral("    ")));
        }
        const StoredQuestion *q = bank().question(w->prova().questions()[p - 1].number);
        QCOMPARE(r->LabelFonte->text(), QStringLiteral("Fonte: ") + q->source);
    }
    // Printed the same way: four alternatives each.
    QTextDocument document;
    r->MontaImpressao(document);
    const QString text = document.toPlainText();
    QCOMPARE(text.count(QStringLiteral("— resposta certa")) +
                 text.count(QStringLiteral("— sua resposta, certa")),
             30);
    QVERIFY(text.contains(QStringLiteral("%1 %2 em 30 questões.")
                              .arg(rights)
                              .arg(rights == 1 ? QStringLiteral("acerto") : QStringLiteral("acertos"))));
    QMap<QString, int> rows; // alternative rows by letter
    static const QRegularExpression row(QStringLiteral("^\\s*[✔✘]?\\s*([A-E])\\) "),
                                        QRegularExpression::MultilineOption);
    for (auto it = row.globalMatch(text); it.hasNext();)
        ++rows[it.next().captured(1)];
    QCOMPARE(rows, (QMap<QString, int>{{QStringLiteral("A"), 30},
                                       {QStringLiteral("B"), 30},
                                       {QStringLiteral("C"), 30},
                                       {QStringLiteral("D"), 30}}));
}

void TestTodayExam::countdownEndsTheExam()
{
    start(5);
    const QDateTime begun = m_clock->local;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C);
    m_clock->local = begun.addSecs(4 * 60 + 59);
    QTRY_COMPARE(w->LabelTempo->text(), QStringLiteral("00:01"));
    QCOMPARE(w->pagina(), TFormProvaAtual::Prova);
    m_clock->local = begun.addSecs(5 * 60 + 3);
    QTRY_COMPARE(w->pagina(), TFormProvaAtual::Resultado);
    QCOMPARE(m_dialogs->texts(),
             QStringList{QStringLiteral("O tempo acabou. A prova foi encerrada e corrigida.")});
    QCOMPARE(w->LabelAviso->text(), QStringLiteral("Respondidas: 1 de 30. 29 não chegaram a ser exibidas. "
                                                   "O tempo acabou: a prova terminou sozinha."));
    QCOMPARE(w->LabelResultado->text(), QStringLiteral("Reprovado"));
    QCOMPARE(w->LabelTempoGasto->text(), QStringLiteral("Tempo gasto: 05:00 de 05:00"));
    QVERIFY(!w->TimerTempo->isActive());
    const QList<HistoryExam> exams = History::instance().exams();
    QCOMPARE(exams.size(), 1);
    QCOMPARE(exams.first().seconds, 300);
    QCOMPARE(exams.first().answers.first().given, QStringLiteral("C"));
    // The 29 never shown are neither right nor wrong: the exam counts one question.
    QVERIFY(!exams.first().answers[1].seen);
    QCOMPARE(exams.first().seen(), 1);
    QCOMPARE(History::instance().summaries().first().total, 1);
    // Keys no longer answer.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A);
    QCOMPARE(w->prova().answer(1), QStringLiteral("C"));
}

// The time of day set two hours forward (and then back) during the exam: the exam's time is
// counted on the steady clock, so it neither ends nor gains time.
void TestTodayExam::clockJumpDoesNotEndTheExam()
{
    start(5);
    const QDateTime begun = m_clock->local;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C);
    m_clock->local = begun.addSecs(60);
    QTRY_COMPARE(w->LabelTempo->text(), QStringLiteral("04:00"));
    m_clock->local = m_clock->local.addSecs(2 * 3600);
    m_clock->jumpedMs += 2 * 3600 * 1000;
    QTest::qWait(3 * w->TimerTempo->interval());
    QCOMPARE(w->pagina(), TFormProvaAtual::Prova);
    QCOMPARE(w->LabelTempo->text(), QStringLiteral("04:00"));
    m_clock->local = m_clock->local.addSecs(-3 * 3600);
    m_clock->jumpedMs -= 3 * 3600 * 1000;
    m_clock->local = m_clock->local.addSecs(4 * 60 + 30);
    QTRY_COMPARE(w->pagina(), TFormProvaAtual::Resultado);
    QCOMPARE(w->LabelTempoGasto->text(), QStringLiteral("Tempo gasto: 05:00 de 05:00"));
    QCOMPARE(History::instance().exams().value(0).seconds, 300);
}

void TestTodayExam::finishAsksWhenQuestionsAreLeft()
{
    start(60);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_B);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_D);
    m_dialogs->answer({false, true});
    QTest::mouseClick(w->BBFinalizar, Qt::LeftButton);
    QCOMPARE(m_dialogs->texts(),
             QStringList{QStringLiteral("Há 28 questões sem resposta. Deseja finalizar a prova?")});
    QCOMPARE(w->pagina(), TFormProvaAtual::Prova);
    QCOMPARE(History::instance().exams().size(), 0);
    // "Não" goes back to the first question without an answer; "Sem resposta" to the next one.
    QCOMPARE(w->posicao(), 3);
    // (a button's Alt key presses it as a click does: after a short animation)
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_R, Qt::AltModifier);
    QTRY_COMPARE(w->posicao(), 4);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    QCOMPARE(w->posicao(), 1);
    QTest::mouseClick(w->BBSemResposta, Qt::LeftButton);
    QCOMPARE(w->posicao(), 3);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::AltModifier);
    QTRY_COMPARE(w->pagina(), TFormProvaAtual::Resultado);
    QCOMPARE(History::instance().exams().size(), 1);
    QCOMPARE(History::instance().exams().first().answers[1].given, QStringLiteral("D"));
    // Shown, not answered: a blank; never shown: neither.
    QVERIFY(History::instance().exams().first().answers[3].seen);
    QVERIFY(!History::instance().exams().first().answers[4].seen);
    QCOMPARE(w->LabelAviso->text(), QStringLiteral("Respondidas: 2 de 30. 26 não chegaram a ser exibidas."));
    // Right answers per subject, the exam's thirty in all.
    int perSubject = 0;
    for (const SubjectTotal &t : w->prova().bySubject())
        perSubject += t.total;
    QCOMPARE(perSubject, 30);
    QVERIFY(w->LabelMaterias->text().contains(QStringLiteral("<td>Direção Defensiva</td>")));
    // A new exam from the result page; Enter starts it.
    QTest::mouseClick(w->BBNovaProva, Qt::LeftButton);
    QCOMPARE(w->pagina(), TFormProvaAtual::Inicio);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(w->prova().answered(), 0);
    QCOMPARE(w->LabelPosicao->text(), QStringLiteral("Questão 1 de 30"));
}

void TestTodayExam::timeRunsOutWhileAsked()
{
    start(5);
    const QDateTime begun = m_clock->local;
    DialogsThatWait boxes;
    boxes.setDefaultAnswer(true);
    boxes.meanwhile = [&] {
        m_clock->local = begun.addSecs(301);
        QVERIFY(QTest::qWaitFor([&] { return w->pagina() == TFormProvaAtual::Resultado; }));
    };
    // "Finalizar" asks; the time runs out before the answer, and the exam ends once.
    QTest::mouseClick(w->BBFinalizar, Qt::LeftButton);
    QCOMPARE(w->pagina(), TFormProvaAtual::Resultado);
    QCOMPARE(boxes.texts().size(), 2);
    QCOMPARE(boxes.texts().last(), QStringLiteral("O tempo acabou. A prova foi encerrada e corrigida."));
    QCOMPARE(History::instance().exams().size(), 1);
    QCOMPARE(w->LabelTempoGasto->text(), QStringLiteral("Tempo gasto: 05:00 de 05:00"));
    // Closing then asks nothing more and keeps the result.
    w->close();
    QCOMPARE(boxes.texts().size(), 2);
    QCOMPARE(w->pagina(), TFormProvaAtual::Resultado);
}

void TestTodayExam::closingAsksWhetherToAbandon()
{
    start(60);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A);
    m_dialogs->answer({false, true});
    w->close();
    QCOMPARE(m_dialogs->texts(),
             QStringList{QStringLiteral(
                 "Deseja abandonar a prova? Ela não será corrigida nem guardada no histórico.")});
    QVERIFY(w->isVisible());
    QCOMPARE(w->pagina(), TFormProvaAtual::Prova);
    w->close();
    QVERIFY(!w->isVisible());
    QVERIFY(!w->TimerTempo->isActive());
    QCOMPARE(w->pagina(), TFormProvaAtual::Inicio);
    QCOMPARE(History::instance().exams().size(), 0);
    // Closed on the start page (Esc) nothing is asked.
    QVERIFY(showActive(w.get()));
    m_dialogs->clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!w->isVisible());
    QVERIFY(m_dialogs->boxes.isEmpty());
    QVERIFY(!TFormProvaAtual::provaGuardada());
}

// The program ends during an exam: the exam is kept, with its answers, its position and its time
// left, and the next run continues it; finishing forgets it. What cannot be continued is not offered.
void TestTodayExam::continuedAfterTheProgramEnds()
{
    start(5);
    const QDateTime begun = m_clock->local;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_B);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_D);
    const QList<TodayQuestion> questions = w->prova().questions();
    m_clock->local = begun.addSecs(100);
    w.reset(); // the program ends: no question, the exam is kept
    QVERIFY(m_dialogs->boxes.isEmpty());
    const std::optional<TFormProvaAtual::Guardada> kept = TFormProvaAtual::provaGuardada();
    QVERIFY(kept);
    QCOMPARE(kept->answered, 2);
    QCOMPARE(kept->total, 30);
    QCOMPARE(kept->progress.elapsed, 100);
    QCOMPARE(kept->progress.start, begun);

    // An hour later the next run continues it as it was.
    m_clock->local = begun.addSecs(3600);
    w = std::make_unique<TFormProvaAtual>();
    QVERIFY(showActive(w.get()));
    QVERIFY(w->continuaProva());
    QCOMPARE(w->pagina(), TFormProvaAtual::Prova);
    QCOMPARE(w->posicao(), 3);
    QCOMPARE(w->prova().questions().size(), questions.size());
    for (qsizetype i = 0; i < questions.size(); ++i) {
        QCOMPARE(w->prova().questions()[i].number, questions[i].number);
        QCOMPARE(w->prova().questions()[i].shown, questions[i].shown);
    }
    QCOMPARE(w->prova().answer(1), QStringLiteral("B"));
    QCOMPARE(w->prova().answer(3), QStringLiteral("D"));
    QVERIFY(w->BBAlternativas[3]->isChecked());
    QCOMPARE(w->LabelTempo->text(), QStringLiteral("03:20"));
    m_clock->local = begun.addSecs(3600 + 20);
    QTRY_COMPARE(w->LabelTempo->text(), QStringLiteral("03:00"));
    m_dialogs->answer({true});
    QTest::mouseClick(w->BBFinalizar, Qt::LeftButton);
    QCOMPARE(w->pagina(), TFormProvaAtual::Resultado);
    const HistoryExam stored = History::instance().exams().last();
    QCOMPARE(stored.start, begun);
    QCOMPARE(stored.seconds, 120);
    QVERIFY(stored.answers[1].seen && stored.answers[1].given.isEmpty());
    QVERIFY(!stored.answers[3].seen);
    QVERIFY(!TFormProvaAtual::provaGuardada());
    QVERIFY(!QFile::exists(TodayExam::progressFile()));

    // A damaged file, and one whose right letter the bank no longer holds, are not offered.
    TodayExam exam(bank());
    exam.draw(3);
    QByteArray text = exam.saveProgress({begun, 60, 10, 1});
    for (const QByteArray &bad : {QByteArray("{\"versao\": 1, \"questoes\": [tru"),
                                  text.replace("\"certa\": \"A\"", "\"certa\": \"Z\"")
                                      .replace("\"certa\": \"B\"", "\"certa\": \"Z\""),
                                  QByteArray(exam.saveProgress({begun, 60, 3600, 1}))}) {
        QFile file(TodayExam::progressFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bad);
        file.close();
        QVERIFY(!TFormProvaAtual::provaGuardada());
        QVERIFY(!QFile::exists(TodayExam::progressFile()));
    }
}

// QUELVADO_TODAYEXAM_PICTURES=folder writes the window's three pages there as pictures.
// "Tempo ampliado" gives twice the time chosen; the time box keeps the limit chosen, and an exam of
// twice the longest limit is kept and continued like any other.
void TestTodayExam::extendedTime()
{
    w = std::make_unique<TFormProvaAtual>();
    QVERIFY(showActive(w.get()));
    w->SpinTempo->setValue(TodayExam::kMaxMinutes);
    QTest::mouseClick(w->CheckTempoAmpliado, Qt::LeftButton, {},
                      QPoint(8, w->CheckTempoAmpliado->height() / 2));
    QVERIFY(w->CheckTempoAmpliado->isChecked());
    QTest::mouseClick(w->BBIniciar, Qt::LeftButton);
    QCOMPARE(w->LabelTempo->text(), QStringLiteral("360:00"));
    QCOMPARE(TodayExam::timeLimitMinutes(), TodayExam::kMaxMinutes);
    m_clock->local = m_clock->local.addSecs(200 * 60);
    QTRY_COMPARE(w->LabelTempo->text(), QStringLiteral("160:00"));
    QCOMPARE(w->pagina(), TFormProvaAtual::Prova);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A);
    const std::optional<TFormProvaAtual::Guardada> kept = TFormProvaAtual::provaGuardada();
    QVERIFY(kept);
    QCOMPARE(kept->progress.minutes, 2 * TodayExam::kMaxMinutes);
    // Without it, the time chosen.
    m_dialogs->setDefaultAnswer(true);
    w.reset();
    TFormProvaAtual::esqueceProgresso();
    w = std::make_unique<TFormProvaAtual>();
    QVERIFY(showActive(w.get()));
    QVERIFY(!w->CheckTempoAmpliado->isChecked());
    QCOMPARE(w->SpinTempo->value(), TodayExam::kMaxMinutes);
    w->SpinTempo->setValue(30);
    QTest::mouseClick(w->BBIniciar, Qt::LeftButton);
    QCOMPARE(w->LabelTempo->text(), QStringLiteral("30:00"));
}

// "Ouvir" reads the question and its four alternatives as shown; a move stops it; the larger text
// keeps every line inside the sheet, which scrolls.
void TestTodayExam::readAloudAndLargerText()
{
    FakeSpeech speech;
    ReadingSettings::instance().reload();
    start(60);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F8);
    QCOMPARE(speech.said.size(), 1);
    const QString said = speech.said.first();
    QVERIFY(said.contains(QStringLiteral("\nalternativa dê: ") +
                          SpeechText::spoken(w->prova().alternative(1, 3))));
    QVERIFY(!said.contains(QStringLiteral("alternativa é:")));
    QVERIFY(w->findChild<QToolButton *>(QStringLiteral("BBOuvir"))->isChecked());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QVERIFY(!speech.speaking);
    // Answering keeps the question (and the reading) where it is.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F8);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_B);
    QVERIFY(speech.speaking);

    auto *menu = w->findChild<QMenu *>(QStringLiteral("MenuLeitura"));
    menu->findChild<QAction *>(QStringLiteral("Texto_150"))->trigger();
    QCOMPARE(w->LabelPergunta->font().pixelSize(), 21);
    QStringList cut;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    for (int p = 1; p <= w->prova().size(); ++p) {
        if (p > 1)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QCOMPARE(w->posicao(), p);
        QCOMPARE(w->LabelAlternativas[0]->font().pixelSize(), 20);
        QApplication::processEvents();
        if (w->ScrollQuestao->horizontalScrollBar()->maximum() > 0)
            cut << QStringLiteral("%1: wider than the sheet").arg(p);
        for (QLabel *l : w->LabelAlternativas + QList<QLabel *>{w->LabelPergunta})
            if (l->height() < l->heightForWidth(l->width()))
                cut << QStringLiteral("%1: %2 cut").arg(p).arg(l->objectName());
    }
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
    // The setting is the program's: a new window opens with it.
    m_dialogs->setDefaultAnswer(true);
    w.reset();
    start(60);
    QCOMPARE(w->LabelPergunta->font().pixelSize(), 21);
    menu = w->findChild<QMenu *>(QStringLiteral("MenuLeitura"));
    menu->findChild<QAction *>(QStringLiteral("Texto_100"))->trigger();
    QCOMPARE(w->LabelPergunta->font().pixelSize(), 14);
}

void TestTodayExam::pictures()
{
    const QString folder = qEnvironmentVariable("QUELVADO_TODAYEXAM_PICTURES");
    if (folder.isEmpty())
        QSKIP("QUELVADO_TODAYEXAM_PICTURES not set");
    w = std::make_unique<TFormProvaAtual>();
    w->setSorteio(3);
    QVERIFY(showActive(w.get()));
    QVERIFY(w->grab().save(folder + QStringLiteral("/provaatual-inicio.png")));
    QTest::mouseClick(w->BBIniciar, Qt::LeftButton);
    int withPicture = 1;
    while (withPicture < 30 && w->prova().picture(withPicture).isEmpty())
        ++withPicture;
    for (int p = 1; p < withPicture; ++p)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_B);
    m_clock->local = m_clock->local.addSecs(17 * 60 + 12);
    QTRY_COMPARE(w->LabelTempo->text(), QStringLiteral("42:48"));
    QVERIFY(w->grab().save(folder + QStringLiteral("/provaatual-prova.png")));
    m_dialogs->setDefaultAnswer(true);
    QTest::mouseClick(w->BBFinalizar, Qt::LeftButton);
    QVERIFY(w->grab().save(folder + QStringLiteral("/provaatual-resultado.png")));
    QCOMPARE(w->LabelAcertos->text().left(9),
             w->prova().right() == 1 ? QStringLiteral("1 acerto ") : QStringLiteral("0 acertos"));
    QTest::mouseClick(w->BBRevisar, Qt::LeftButton);
    w->Revisao->MostraPosicao(withPicture);
    QVERIFY(QTest::qWaitForWindowExposed(w->Revisao));
    QVERIFY(w->Revisao->grab().save(folder + QStringLiteral("/provaatual-revisao.png")));
}

QTEST_MAIN(TestTodayExam)
#include "tst_todayexam.moc"
