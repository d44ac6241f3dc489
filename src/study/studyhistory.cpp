#include "studyhistory.h"

#include "history.h"

#include "common/dialogs.h"
#include "exam/examsession.h"

#include <QSet>

namespace {
QSet<QString> &told()
{
    static QSet<QString> texts;
    return texts;
}
} // namespace

History &StudyHistory::get()
{
    History &history = History::instance();
    const QString problem = history.problem();
    if (!problem.isEmpty() && !told().contains(problem)) {
        told().insert(problem);
        Dialogs::warning(problem);
    }
    return history;
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

void StudyHistory::keep(const CorrectedExam &exam)
{
    if (!get().store(entryFor(exam)))
        tellOnce(QStringLiteral("As provas corrigidas não estão sendo guardadas no histórico de estudo."));
}
