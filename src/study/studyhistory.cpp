// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "studyhistory.h"

#include "history.h"
#include "memory.h"

#include "common/dialogs.h"
#include "common/programfolder.h"
#include "exam/answersheet.h"
#include "exam/examsession.h"
#include "exam/questionbank.h"

#include <QSet>

namespace {
QSet<QString> &told()
{
    static QSet<QString> texts;
    return texts;
}

// The history could not keep what was last given to it, and the user was told.
bool g_failing = false;

// After a store: a failure is remembered, and a store that works after one is told once (what
// was told about the failures may then be told again if they come back).
template <typename Result> Result noted(Result result)
{
    if (!result) {
        g_failing = true;
    } else if (g_failing) {
        g_failing = false;
        told().clear();
        Dialogs::information(QStringLiteral("O histórico de estudo voltou a funcionar: o que foi feito "
                                            "agora já está guardado nele."));
    }
    return result;
}
} // namespace

namespace {
StudyHistory::Runner &runner()
{
    static StudyHistory::Runner run;
    return run;
}
} // namespace

void StudyHistory::setRunner(Runner run)
{
    runner() = std::move(run);
}

History &StudyHistory::get()
{
    // An older history's migration (16 s for 20,000 exams) runs through the runner: opened, and so
    // migrated, once on the runner's thread, then opened here with nothing left to do.
    const QString path = ProgramFolder::dataFile(QStringLiteral("historico.sqlite"));
    static QString checked;
    QString migration; // what went wrong with the file while it was migrated, if anything
    if (runner() && path != checked && History::madeInstance() == nullptr) {
        checked = path;
        if (History::needsMigration(path))
            runner()(QStringLiteral("Atualizando o histórico de estudo para esta versão do programa..."),
                     [path, &migration] { migration = History(path).problem(); });
    }
    History &history = History::instance();
    if (!migration.isEmpty() && !told().contains(migration)) {
        told().insert(migration);
        Dialogs::warning(migration);
    }
    const QString problem = history.problem();
    if (!problem.isEmpty() && !told().contains(problem)) {
        told().insert(problem);
        Dialogs::warning(problem);
    }
    if (!history.isOpen() && !problem.isEmpty())
        g_failing = true;
    return history;
}

namespace {
// The memory the history's answers leave, as last worked out, and the history and revision it
// stands for.
struct MemoryCache {
    QString path;
    quint64 revision = 0;
    bool made = false;
    quint64 replays = 0; // full replays made: the past may have changed at each
    Memory::State state;
};
MemoryCache &memoryCache()
{
    static MemoryCache cache;
    return cache;
}

// After a store that worked: when the memory was up to date just before it, the new answers are
// added to it (a full replay would give the same but for answers stored out of time order, which
// only a clock set back makes); otherwise it is left to be worked out again.
void addToMemory(quint64 before, const QList<HistoryExam> &exams, const QList<DrillAnswer> &answers)
{
    MemoryCache &cache = memoryCache();
    if (!cache.made || cache.revision != before || cache.path != StudyHistory::get().path())
        return;
    for (const Memory::Event &e : Memory::events(exams, answers))
        Memory::apply(cache.state, e);
    cache.revision = History::revision();
}
} // namespace

const Memory::State &StudyHistory::memory()
{
    MemoryCache &cache = memoryCache();
    History &history = get();
    if (!cache.made || cache.revision != History::revision() || cache.path != history.path()) {
        cache.revision = History::revision();
        cache.path = history.path();
        cache.state = history.isOpen()
                          ? Memory::replay(history.exams(History::Answers::Marks), history.drillAnswers())
                          : Memory::State();
        cache.made = true;
        ++cache.replays;
    }
    return cache.state;
}

QList<Readiness::DayChance> StudyHistory::chanceCurve(const Readiness::Pools &pools, Fsrs::Day today,
                                                      int days)
{
    struct CurveCache {
        QString path;
        quint64 replays = 0;
        Fsrs::Day today = 0;
        int days = 0;
        Readiness::Pools pools;
        QList<Readiness::DayChance> points;
    };
    static CurveCache curve;
    memory(); // brings the memory up to date: a full replay there means the past may have changed
    const MemoryCache &cache = memoryCache();
    History &history = get();
    if (curve.path != history.path() || curve.replays != cache.replays || curve.today != today ||
        curve.days != days || curve.pools != pools) {
        curve.points = history.isOpen()
                           ? Readiness::curve(Memory::events(history.exams(History::Answers::Marks),
                                                             history.drillAnswers()),
                                              pools, today, days)
                           : QList<Readiness::DayChance>();
        curve.path = history.path();
        curve.replays = cache.replays;
        curve.today = today;
        curve.days = days;
        curve.pools = pools;
    }
    return curve.points;
}

qint64 StudyHistory::store(const HistoryExam &exam)
{
    const quint64 before = History::revision();
    const qint64 id = noted(get().store(exam));
    if (id > 0)
        addToMemory(before, {exam}, {});
    return id;
}

bool StudyHistory::storeDrillAnswer(const DrillAnswer &answer)
{
    const quint64 before = History::revision();
    const bool stored = noted(get().storeDrillAnswer(answer));
    if (stored)
        addToMemory(before, {}, {answer});
    return stored;
}

void StudyHistory::tellOnce(const QString &text)
{
    if (told().contains(text))
        return;
    told().insert(text);
    QString whole = text;
    const QString problem = History::instance().problem();
    if (!problem.isEmpty() && !told().contains(problem)) {
        told().insert(problem);
        whole += QLatin1Char('\r') + problem;
    }
    Dialogs::warning(whole);
}

HistoryExam StudyHistory::entryFor(const CorrectedExam &exam)
{
    HistoryExam entry;
    entry.type = exam.type;
    entry.start = exam.start;
    entry.end = exam.end;
    entry.seconds = exam.seconds;
    for (const QuestaoCorrigida &q : exam.positions) {
        HistoryAnswer a{q.numero, q.resposta, q.acertou(), QString(), -1};
        a.revealed = q.lightConsulted;
        a.seen = q.seen;
        entry.answers << a;
    }
    return entry;
}

QList<QuestaoCorrigida> StudyHistory::reviewOf(const HistoryExam &exam, const QuestionBank &bank)
{
    QList<QuestaoCorrigida> review;
    for (const HistoryAnswer &a : exam.answers) {
        QuestaoCorrigida q;
        q.numero = a.number;
        q.resposta = a.given;
        for (const QChar c : a.shown)
            if (c >= QLatin1Char('1') && c <= QLatin1Char('5'))
                q.alternativas << c.digitValue();
        const StoredQuestion *stored = bank.question(a.number);
        bool ok = false;
        const int right = stored ? stored->text(QuestionKind::Answer).toInt(&ok) : 0;
        const int shownAt = q.alternativas.isEmpty() ? right : int(q.alternativas.indexOf(right)) + 1;
        if (ok && shownAt >= 1 && shownAt <= ExamTypes::kAlternatives) {
            q.certa = QChar(u'A' + shownAt - 1);
            q.marca = q.resposta == q.certa ? QStringLiteral("*") : QStringLiteral("X");
        } else {
            q.marca = QStringLiteral("-");
        }
        q.lightConsulted = a.revealed;
        q.seen = a.seen;
        review << q;
    }
    return review;
}

void StudyHistory::keep(const CorrectedExam &exam)
{
    if (!store(entryFor(exam)))
        tellOnce(QStringLiteral("As provas corrigidas não estão sendo guardadas no histórico de estudo; "
                                "o programa tentará de novo a cada prova corrigida."));
}
