// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "todayexam.h"

#include "subjects.h"

#include "common/programfolder.h"
#include "common/settingsfile.h"
#include "exam/questionbank.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <algorithm>

namespace {
const QString kSection = QStringLiteral("ProvaAtual");
const QString kKey = QStringLiteral("Minutos");

// The legislation part of the course (18 of 45 hours: 12 of 30 questions) split evenly between
// the three subjects that make it up; the other four subjects as their hours give them.
constexpr std::array<int, Subjects::kCount> kShares = {
    4,  // Legislação
    4,  // Regras de Circulação
    4,  // Sinalização
    10, // Direção Defensiva
    3,  // Primeiros Socorros
    2,  // Mecânica Básica
    3,  // Cidadania e Meio Ambiente
};
static_assert(kShares[0] + kShares[1] + kShares[2] + kShares[3] + kShares[4] + kShares[5] + kShares[6] ==
              TodayExam::kQuestions);

// The right alternative (1..n) of q, 0 when q cannot be asked: an alternative is missing or the
// right answer is not one of them.
int usableRight(const StoredQuestion &q)
{
    const int n = q.alternativeCount();
    for (int k = 0; k < n; ++k)
        if (q.text(QuestionKind::AlternativeA + k).trimmed().isEmpty())
            return 0;
    bool ok = false;
    const int right = q.text(QuestionKind::Answer).trimmed().toInt(&ok);
    return ok && right >= 1 && right <= n ? right : 0;
}

// True when q may be drawn: it can be asked and is not retired from study.
bool drawable(const StoredQuestion &q)
{
    return !q.isRetired() && usableRight(q) != 0;
}

int subjectOf(const StoredQuestion &q)
{
    return q.isStudy() ? Subjects::fromName(q.subject) : Subjects::of(q.number);
}

// Moves `count` elements drawn at random to the front of list (a partial Fisher-Yates shuffle).
template <typename T> void drawToFront(QList<T> &list, qsizetype count, QRandomGenerator &rng)
{
    count = std::min(count, list.size());
    for (qsizetype i = 0; i < count; ++i) {
        const auto j = i + static_cast<qsizetype>(rng.bounded(static_cast<quint32>(list.size() - i)));
        list.swapItemsAt(i, j);
    }
}

int letterIndex(const QString &letter)
{
    if (letter.size() != 1)
        return -1;
    const int k = letter.at(0).unicode() - u'A';
    return k >= 0 && k < TodayExam::kAlternatives ? k : -1;
}

QString letter(int k)
{
    return QString(QChar(u'A' + k));
}
} // namespace

const std::array<int, 7> &TodayExam::shares()
{
    return kShares;
}

std::array<QList<int>, 7> TodayExam::pools(const QuestionBank &bank)
{
    std::array<QList<int>, Subjects::kCount> pools;
    for (const QList<StoredQuestion> *list : {&bank.questions(), &bank.studyQuestions()})
        for (const StoredQuestion &q : *list) {
            const int s = subjectOf(q);
            if (drawable(q) && s >= 0 && s < Subjects::kCount)
                pools[static_cast<std::size_t>(s)].append(q.number);
        }
    return pools;
}

TodayExam::TodayExam(const QuestionBank &bank) : m_bank(bank) {}

void TodayExam::draw()
{
    draw(QRandomGenerator::global()->generate());
}

void TodayExam::draw(quint32 start)
{
    QRandomGenerator rng(start);
    // Every usable question by subject; a question of no known subject goes to the rest only.
    std::array<QList<const StoredQuestion *>, Subjects::kCount> pools;
    QList<const StoredQuestion *> rest;
    for (const QList<StoredQuestion> *list : {&m_bank.questions(), &m_bank.studyQuestions()})
        for (const StoredQuestion &q : *list) {
            if (!drawable(q))
                continue;
            const int s = subjectOf(q);
            (s >= 0 && s < Subjects::kCount ? pools[static_cast<std::size_t>(s)] : rest).append(&q);
        }

    QList<const StoredQuestion *> chosen;
    for (std::size_t s = 0; s < pools.size(); ++s) {
        QList<const StoredQuestion *> &pool = pools[s];
        drawToFront(pool, kShares[s], rng);
        const qsizetype taken = std::min<qsizetype>(kShares[s], pool.size());
        chosen += pool.mid(0, taken);
        rest += pool.mid(taken);
    }
    // What a short subject could not give comes from the others.
    const qsizetype missing = std::max<qsizetype>(0, kQuestions - chosen.size());
    drawToFront(rest, missing, rng);
    chosen += rest.mid(0, std::min(missing, rest.size()));
    drawToFront(chosen, chosen.size(), rng); // the subjects mixed

    m_questions.clear();
    for (const StoredQuestion *q : std::as_const(chosen)) {
        const int right = usableRight(*q);
        QList<int> wrong;
        for (int k = 1; k <= q->alternativeCount(); ++k)
            if (k != right)
                wrong << k;
        drawToFront(wrong, kAlternatives - 1, rng);
        QList<int> shown = wrong.mid(0, kAlternatives - 1);
        shown << right;
        drawToFront(shown, shown.size(), rng);
        TodayQuestion t;
        t.number = q->number;
        for (int k = 0; k < kAlternatives; ++k) {
            t.shown[static_cast<std::size_t>(k)] = shown[k];
            if (shown[k] == right)
                t.right = k;
        }
        m_questions << t;
    }
    m_answers = QList<QString>(m_questions.size());
    m_seen = QList<bool>(m_questions.size(), false);
}

const TodayQuestion *TodayExam::at(int position) const
{
    return position >= 1 && position <= size() ? &m_questions[position - 1] : nullptr;
}

QString TodayExam::text(int position) const
{
    const TodayQuestion *t = at(position);
    const StoredQuestion *q = t ? m_bank.question(t->number) : nullptr;
    return q ? q->text(QuestionKind::Text).trimmed() : QString();
}

QString TodayExam::picture(int position) const
{
    const TodayQuestion *t = at(position);
    const StoredQuestion *q = t ? m_bank.question(t->number) : nullptr;
    return q ? q->text(QuestionKind::Picture).trimmed() : QString();
}

QString TodayExam::alternative(int position, int letterIndex) const
{
    const TodayQuestion *t = at(position);
    const StoredQuestion *q = t ? m_bank.question(t->number) : nullptr;
    if (!q || letterIndex < 0 || letterIndex >= kAlternatives)
        return {};
    return q->text(QuestionKind::AlternativeA + t->shown[static_cast<std::size_t>(letterIndex)] - 1);
}

void TodayExam::setAnswer(int position, const QString &letter)
{
    if (!at(position) || (!letter.isEmpty() && letterIndex(letter) < 0))
        return;
    m_answers[position - 1] = letter;
}

QString TodayExam::answer(int position) const
{
    return at(position) ? m_answers[position - 1] : QString();
}

int TodayExam::answered() const
{
    return static_cast<int>(
        std::count_if(m_answers.cbegin(), m_answers.cend(), [](const QString &a) { return !a.isEmpty(); }));
}

void TodayExam::markSeen(int position)
{
    if (at(position))
        m_seen[position - 1] = true;
}

bool TodayExam::seen(int position) const
{
    return at(position) && m_seen[position - 1];
}

int TodayExam::nextUnanswered(int after) const
{
    for (int step = 1; step <= size(); ++step) {
        const int p = (std::max(after, 0) + step - 1) % size() + 1;
        if (m_answers[p - 1].isEmpty())
            return p;
    }
    return 0;
}

int TodayExam::bankAlternative(int position, const QString &letter) const
{
    const TodayQuestion *t = at(position);
    const int k = letterIndex(letter);
    return t && k >= 0 ? t->shown[static_cast<std::size_t>(k)] : 0;
}

QString TodayExam::rightLetter(int position) const
{
    const TodayQuestion *t = at(position);
    return t ? letter(t->right) : QString();
}

bool TodayExam::isRight(int position, const QString &letter) const
{
    const TodayQuestion *t = at(position);
    return t && letterIndex(letter) == t->right;
}

int TodayExam::right() const
{
    int count = 0;
    for (int p = 1; p <= size(); ++p)
        count += isRight(p, answer(p)) ? 1 : 0;
    return count;
}

QList<SubjectTotal> TodayExam::bySubject() const
{
    QList<SubjectTotal> totals(Subjects::kCount);
    for (int p = 1; p <= size(); ++p) {
        const StoredQuestion *q = m_bank.question(m_questions[p - 1].number);
        const int s = q ? subjectOf(*q) : -1;
        if (s < 0 || s >= Subjects::kCount)
            continue;
        totals[s].total += 1;
        totals[s].right += isRight(p, answer(p)) ? 1 : 0;
    }
    return totals;
}

HistoryExam TodayExam::historyExam(const QDateTime &start, const QDateTime &end, int seconds) const
{
    HistoryExam exam;
    exam.type = kTodayFormatType;
    exam.start = start;
    exam.end = end;
    exam.seconds = seconds >= 0 ? seconds : static_cast<int>(std::max<qint64>(0, start.secsTo(end)));
    for (int p = 1; p <= size(); ++p) {
        const TodayQuestion &t = m_questions[p - 1];
        HistoryAnswer a;
        a.number = t.number;
        a.given = answer(p);
        a.right = isRight(p, a.given);
        a.seen = seen(p);
        for (const int k : t.shown)
            a.shown += QChar(u'0' + k);
        exam.answers << a;
    }
    return exam;
}

QList<QuestaoCorrigida> TodayExam::corrected() const
{
    QList<QuestaoCorrigida> exam;
    for (int p = 1; p <= size(); ++p) {
        const TodayQuestion &t = m_questions[p - 1];
        QuestaoCorrigida q;
        q.numero = t.number;
        q.resposta = answer(p);
        q.certa = rightLetter(p);
        q.marca = isRight(p, q.resposta) ? QStringLiteral("*") : QStringLiteral("X");
        q.alternativas = QList<int>(t.shown.cbegin(), t.shown.cend());
        q.seen = seen(p);
        exam << q;
    }
    return exam;
}

namespace {
constexpr int kProgressVersion = 1;
constexpr qint64 kMaxProgressBytes = 64 * 1024;
} // namespace

QByteArray TodayExam::saveProgress(const Progress &progress) const
{
    QJsonArray positions;
    for (int p = 1; p <= size(); ++p) {
        const TodayQuestion &t = m_questions[p - 1];
        QString shown;
        for (const int k : t.shown)
            shown += QChar(u'0' + k);
        positions.append(QJsonObject{{QStringLiteral("questao"), t.number},
                                     {QStringLiteral("alternativas"), shown},
                                     {QStringLiteral("certa"), rightLetter(p)},
                                     {QStringLiteral("resposta"), answer(p)},
                                     {QStringLiteral("exibida"), seen(p)}});
    }
    const QJsonObject root{{QStringLiteral("versao"), kProgressVersion},
                           {QStringLiteral("inicio"), progress.start.toString(Qt::ISODateWithMs)},
                           {QStringLiteral("minutos"), progress.minutes},
                           {QStringLiteral("decorridos"), progress.elapsed},
                           {QStringLiteral("posicao"), progress.position},
                           {QStringLiteral("questoes"), positions}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<TodayExam::Progress> TodayExam::restoreProgress(const QByteArray &text)
{
    if (text.size() > kMaxProgressBytes)
        return std::nullopt;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("versao")).toInt() != kProgressVersion)
        return std::nullopt;
    Progress progress;
    progress.start =
        QDateTime::fromString(root.value(QStringLiteral("inicio")).toString(), Qt::ISODateWithMs);
    progress.minutes = root.value(QStringLiteral("minutos")).toInt(-1);
    progress.elapsed = root.value(QStringLiteral("decorridos")).toInt(-1);
    progress.position = root.value(QStringLiteral("posicao")).toInt(0);
    const QJsonArray positions = root.value(QStringLiteral("questoes")).toArray();
    if (!progress.start.isValid() || progress.minutes < kMinMinutes ||
        progress.minutes > kMaxExtendedMinutes || progress.elapsed < 0 ||
        progress.elapsed >= progress.minutes * 60 || positions.isEmpty() || positions.size() > kQuestions ||
        progress.position < 1 || progress.position > positions.size())
        return std::nullopt;
    QList<TodayQuestion> questions;
    QList<QString> answers;
    QList<bool> shownFlags;
    for (const auto &value : positions) {
        const QJsonObject o = value.toObject();
        const StoredQuestion *q = m_bank.question(o.value(QStringLiteral("questao")).toInt());
        const QString shown = o.value(QStringLiteral("alternativas")).toString();
        const QString given = o.value(QStringLiteral("resposta")).toString();
        const int right = q ? usableRight(*q) : 0;
        if (!right || shown.size() != kAlternatives || (!given.isEmpty() && letterIndex(given) < 0))
            return std::nullopt;
        TodayQuestion t;
        t.number = q->number;
        t.right = -1;
        for (int k = 0; k < kAlternatives; ++k) {
            const int alternative = shown.at(k).digitValue();
            if (alternative < 1 || alternative > q->alternativeCount() || shown.count(shown.at(k)) != 1)
                return std::nullopt;
            t.shown[static_cast<std::size_t>(k)] = alternative;
            if (alternative == right)
                t.right = k;
        }
        // The bank may have changed since: the letter kept as right must still be the right one.
        if (t.right < 0 || letter(t.right) != o.value(QStringLiteral("certa")).toString())
            return std::nullopt;
        questions << t;
        answers << given;
        shownFlags << o.value(QStringLiteral("exibida")).toBool();
    }
    m_questions = questions;
    m_answers = answers;
    m_seen = shownFlags;
    return progress;
}

QString TodayExam::progressFile()
{
    return ProgramFolder::dataFile(QStringLiteral("prova-atual.json"));
}

int TodayExam::secondsLeft(const QDateTime &start, const QDateTime &now, int minutes)
{
    const qint64 left = qint64(minutes) * 60 - start.secsTo(now);
    return static_cast<int>(std::clamp<qint64>(left, 0, qint64(minutes) * 60));
}

QString TodayExam::mmss(int seconds)
{
    seconds = std::max(0, seconds);
    return QStringLiteral("%1:%2")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

int TodayExam::timeLimitMinutes()
{
    // Any whole number is clamped, however many digits it has: one past the largest int is as
    // much too long as the largest.
    static const QRegularExpression whole(QStringLiteral("^([+-]?)0*(\\d{1,18})$"));
    const QString text = SettingsFile::readString(SettingsFile::path(), kSection, kKey).trimmed();
    const QRegularExpressionMatch digits = whole.match(text);
    if (!digits.hasMatch()) {
        static const QRegularExpression longer(QStringLiteral("^([+-]?)\\d+$"));
        const QRegularExpressionMatch huge = longer.match(text);
        if (!huge.hasMatch())
            return kDefaultMinutes;
        return huge.captured(1) == QLatin1String("-") ? kMinMinutes : kMaxMinutes;
    }
    const qint64 minutes =
        digits.captured(2).toLongLong() * (digits.captured(1) == QLatin1String("-") ? -1 : 1);
    return static_cast<int>(std::clamp<qint64>(minutes, kMinMinutes, kMaxMinutes));
}

bool TodayExam::setTimeLimitMinutes(int minutes)
{
    return SettingsFile::writeString(SettingsFile::path(), kSection, kKey,
                                     QString::number(std::clamp(minutes, kMinMinutes, kMaxMinutes)));
}
