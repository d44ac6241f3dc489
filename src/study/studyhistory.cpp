#include "studyhistory.h"

#include "history.h"

#include "common/dialogs.h"
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
    if (!get().store(entryFor(exam)))
        tellOnce(QStringLiteral("As provas corrigidas não estão sendo guardadas no histórico de estudo."));
}
