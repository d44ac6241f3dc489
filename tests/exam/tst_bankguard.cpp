// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// Guards the question bank against answer patterns a candidate could exploit without knowing the
// law: where the right letter falls, how long the right alternative is against the others, and
// how often absolute words ("sempre", "nunca", ...) stand in right and in wrong alternatives.
// tools/bankstats.py prints the same figures for a quick look while editing the bank.
// The study questions (four alternatives, files estudo-NN.txt) are guarded as a group of their
// own, with the same limits scaled to four letters and to the size of each file.
// Last, the test-wise rules: a candidate who picks by form alone (the longest alternative, the one
// sharing most words with the others, the middle number, a hedge, the lone option of its kind...)
// must not beat chance by more than 5 points, in the five alternatives of a block question, in the
// four today's format shows of it, and in the study questions.

#include "exam/questionbank.h"

#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

namespace {

// Questions stored without an answer number; they take no part in the figures.
constexpr int kNoAnswer[] = {333, 334};

// Per block: each letter is the right one 4 to 9 times; no letter is right more than 3 times in a
// row; the right letter repeats from one question to the next 2 to 12 times (about 6 in 30 by chance).
constexpr int kMinPerLetter = 4;
constexpr int kMaxPerLetter = 9;
constexpr int kMaxRun = 3;
constexpr int kMinBlockRepeats = 2;
constexpr int kMaxBlockRepeats = 12;
// Bank-wide: runs of five questions (a block's 1-5, 6-10, ...) that use each letter once; by chance
// about one run in 26 does.
constexpr int kMaxFiveOfAKind = 8;
// Bank-wide, in percent: the right letter repeats from one question to the next about as often as
// by chance (one in five); the right alternative is the longest 15 to 30 % of the time and the
// second-longest at most 30 %; absolute words are as common in right as in wrong alternatives
// within a factor of two.
constexpr double kMinRepeats = 10.0;
constexpr double kMaxRepeats = 30.0;
constexpr double kMinLongest = 15.0;
constexpr double kMaxLongest = 30.0;
constexpr double kMaxSecondLongest = 30.0;
constexpr double kMaxAbsoluteRatio = 2.0;

// Study files: each letter is the right one between two thirds and one and a half times its
// chance share of the file (a quarter); the right letter repeats from one question to the next
// between half and one and a half times as often as by chance; runs of at most 3. Group-wide the
// repeats stay at 17 to 33 % (25 % by chance) and at most twice the chance number of runs of four
// (a file's 1-4, 5-8, ...) use each letter once (by chance 24 in 256).
constexpr double kStudyMinLetterShare = 2.0 / 3.0;
constexpr double kStudyMaxLetterShare = 1.5;
constexpr double kStudyMinRepeatShare = 0.5;
constexpr double kStudyMaxRepeatShare = 1.5;
constexpr double kStudyMinRepeats = 17.0;
constexpr double kStudyMaxRepeats = 33.0;
constexpr double kFourOfAKindChance = 24.0 / 256.0;
// Study questions only: the right answer is the shortest alternative (every other one longer) in
// at most 35 % of them (about a quarter by chance), so that trimming right answers to avoid the
// longest-answer cue does not create the opposite one.
constexpr double kStudyMaxShortest = 35.0;

struct Answered {
    int number = 0;
    int block = 0;  // the block, or the study file
    int answer = 0; // 0..4 for A..E
    int count = 5;  // alternatives: 5, or 4 for a study question
    std::array<QString, 5> alternatives;
    QString stem;
};

QList<Answered> answeredQuestions()
{
    const QuestionBank &bank = QuestionBank::instance();
    QList<Answered> out;
    for (const StoredQuestion &q : bank.questions()) {
        if (std::find(std::begin(kNoAnswer), std::end(kNoAnswer), q.number) != std::end(kNoAnswer))
            continue;
        Answered a;
        a.number = q.number;
        a.block = (q.number - 1) / kBlockSize + 1;
        a.answer = q.text(QuestionKind::Answer).toInt() - 1;
        for (int i = 0; i < 5; ++i)
            a.alternatives[static_cast<std::size_t>(i)] = q.text(QuestionKind::AlternativeA + i);
        a.stem = q.text(QuestionKind::Text);
        out << a;
    }
    return out;
}

QList<Answered> studyQuestions()
{
    QList<Answered> out;
    for (const StoredQuestion &q : QuestionBank::instance().studyQuestions()) {
        if (q.isRetired()) // never asked again
            continue;
        Answered a;
        a.number = q.number;
        a.block = studyFileOf(q.file);
        a.answer = q.text(QuestionKind::Answer).toInt() - 1;
        a.count = kStudyAlternatives;
        for (int i = 0; i < a.count; ++i)
            a.alternatives[static_cast<std::size_t>(i)] = q.text(QuestionKind::AlternativeA + i);
        a.stem = q.text(QuestionKind::Text);
        out << a;
    }
    return out;
}

// 0 when the right alternative is the longest (ties count for it), 1 when the second-longest, ...
int lengthRank(const Answered &q)
{
    const qsizetype right = q.alternatives[static_cast<std::size_t>(q.answer)].size();
    int longer = 0;
    for (int i = 0; i < q.count; ++i)
        if (q.alternatives[static_cast<std::size_t>(i)].size() > right)
            ++longer;
    return longer;
}

bool hasAbsoluteWord(const QString &text)
{
    static const QRegularExpression words(
        QStringLiteral("\\b(sempre|nunca|apenas|somente|só|qualquer|nenhum|nenhuma|todos|todas|"
                       "exclusivamente|jamais)\\b"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    return words.match(text).hasMatch();
}

double percent(qsizetype part, qsizetype whole)
{
    return whole ? 100.0 * part / whole : 0.0;
}

QString letter(int index)
{
    return QString(QChar(u'A' + index));
}

// Picking the longest or the second-longest alternative must not pay: the figures, and the
// limits broken.
QStringList lengthFaults(const QList<Answered> &questions, const char *what)
{
    qsizetype longest = 0, second = 0;
    for (const Answered &q : questions) {
        const int rank = lengthRank(q);
        longest += rank == 0 ? 1 : 0;
        second += rank == 1 ? 1 : 0;
    }
    const double longestRate = percent(longest, questions.size());
    const double secondRate = percent(second, questions.size());
    qInfo("%s: the right answer is the longest alternative in %lld of %lld questions (%.1f %%), the "
          "second-longest in %lld (%.1f %%)",
          what, static_cast<long long>(longest), static_cast<long long>(questions.size()), longestRate,
          static_cast<long long>(second), secondRate);
    QStringList faults;
    if (longestRate < kMinLongest || longestRate > kMaxLongest)
        faults << QStringLiteral("the right answer is the longest in %1 % of questions, not %2 to %3 %")
                      .arg(longestRate, 0, 'f', 1)
                      .arg(kMinLongest)
                      .arg(kMaxLongest);
    if (secondRate > kMaxSecondLongest)
        faults << QStringLiteral(
                      "the right answer is the second-longest in %1 % of questions, more than %2 %")
                      .arg(secondRate, 0, 'f', 1)
                      .arg(kMaxSecondLongest);
    return faults;
}

// Absolute words must not mark the wrong alternatives: the figures, and the limit broken.
QStringList absoluteWordFaults(const QList<Answered> &questions, const char *what)
{
    qsizetype wrong = 0, wrongWithWord = 0, right = 0, rightWithWord = 0;
    for (const Answered &q : questions) {
        for (int i = 0; i < q.count; ++i) {
            const bool hit = hasAbsoluteWord(q.alternatives[static_cast<std::size_t>(i)]);
            if (i == q.answer) {
                ++right;
                rightWithWord += hit ? 1 : 0;
            } else {
                ++wrong;
                wrongWithWord += hit ? 1 : 0;
            }
        }
    }
    const double wrongRate = percent(wrongWithWord, wrong);
    const double rightRate = percent(rightWithWord, right);
    const double low = std::min(wrongRate, rightRate), high = std::max(wrongRate, rightRate);
    qInfo("%s: absolute words in %lld of %lld wrong alternatives (%.1f %%) and %lld of %lld right ones (%.1f "
          "%%)",
          what, static_cast<long long>(wrongWithWord), static_cast<long long>(wrong), wrongRate,
          static_cast<long long>(rightWithWord), static_cast<long long>(right), rightRate);
    if (high > 0 && high > kMaxAbsoluteRatio * low)
        return {QStringLiteral("absolute words: %1 % of wrong against %2 % of right alternatives, "
                               "more than a factor of %3 apart")
                    .arg(wrongRate, 0, 'f', 1)
                    .arg(rightRate, 0, 'f', 1)
                    .arg(kMaxAbsoluteRatio)};
    return {};
}

// ---- Test-wise rules ---------------------------------------------------------------------------
// Each rule picks alternatives by their form alone; a pick of k tied alternatives scores 1/k when
// the right one is among them, so a rule that knows nothing scores 1/n. A rule on a feature only
// some alternatives have (a hedge, an absolute word, a negation, "not an infraction") is tried both
// ways, preferring and avoiding it, and the better way counts; such a rule counts only the
// questions where the feature splits the alternatives. Today's format shows a block question's
// right answer and three of its four wrong ones drawn at random: the mean over the four sets.
// tools/bankstats.py computes the same figures.

constexpr double kRuleMargin = 5.0;        // points over chance a rule may score
constexpr double kRuleMinQuestions = 10.0; // a rule is judged where it applies to this many or more

enum class Rule {
    Longest,
    Shortest,
    SharedWords,
    MiddleNumber,
    EchoesStem,
    LoneKind,
    SevereNature,
    Hedge,
    AbsoluteWord,
    Negation,
    NotInfraction
};
constexpr std::array kRules = {Rule::Longest,      Rule::Shortest, Rule::SharedWords,  Rule::MiddleNumber,
                               Rule::EchoesStem,   Rule::LoneKind, Rule::SevereNature, Rule::Hedge,
                               Rule::AbsoluteWord, Rule::Negation, Rule::NotInfraction};

const char *ruleName(Rule r)
{
    switch (r) {
    case Rule::Longest:
        return "longest";
    case Rule::Shortest:
        return "shortest";
    case Rule::SharedWords:
        return "most shared words";
    case Rule::MiddleNumber:
        return "middle number";
    case Rule::EchoesStem:
        return "echoes the stem";
    case Rule::LoneKind:
        return "lone of its kind";
    case Rule::SevereNature:
        return "most severe nature";
    case Rule::Hedge:
        return "hedge";
    case Rule::AbsoluteWord:
        return "absolute word";
    case Rule::Negation:
        return "negation";
    case Rule::NotInfraction:
        return "'not an infraction'";
    }
    return "";
}

QRegularExpression ruleRegex(const char *pattern)
{
    return QRegularExpression(QString::fromUtf8(pattern), QRegularExpression::CaseInsensitiveOption |
                                                              QRegularExpression::UseUnicodePropertiesOption);
}

bool hasHedge(const QString &t)
{
    static const QRegularExpression re = ruleRegex(
        "\\b(se for seguro|quando for seguro|com segurança|se possível|quando possível|sempre que possível|"
        "em geral|geralmente|normalmente|em regra|via de regra|de preferência|preferencialmente|se "
        "necessário|"
        "quando necessário|na maioria|em princípio|costuma|com cuidado|com cautela|com atenção|se "
        "houver)\\b");
    return re.match(t).hasMatch();
}

bool hasNegation(const QString &t)
{
    static const QRegularExpression re =
        ruleRegex("\\b(não|nunca|nem|jamais|nenhum|nenhuma|proibid[oa]s?)\\b");
    return re.match(t).hasMatch();
}

// The kind of an alternative: "permitted" (not an infraction, allowed), a bare infraction nature,
// a nature with more after it, a number, or a sentence.
enum class Kind { Permitted, BareNature, Nature, Number, Sentence };

int natureSeverity(const QString &text)
{
    static const QRegularExpression re = ruleRegex("^(infração\\s+)?(leve|média|grave|gravíssima)\\b");
    const QRegularExpressionMatch m = re.match(text.trimmed());
    if (!m.hasMatch())
        return 0;
    static const QStringList order = {QStringLiteral("leve"), QStringLiteral("média"),
                                      QStringLiteral("grave"), QString::fromUtf8("gravíssima")};
    return int(order.indexOf(m.captured(2).toLower())) + 1;
}

Kind kindOf(const QString &text)
{
    static const QRegularExpression permitted =
        ruleRegex("^(não é infração|não há infração|não constitui infração|não configura|nenhuma infração|"
                  "conduta permitida|é permitid[oa]|permitid[oa])");
    static const QRegularExpression bare = ruleRegex("^(infração\\s+)?(leve|média|grave|gravíssima)\\.?$");
    static const QRegularExpression number = ruleRegex("^\\d");
    const QString t = text.trimmed();
    if (permitted.match(t).hasMatch())
        return Kind::Permitted;
    if (bare.match(t).hasMatch())
        return Kind::BareNature;
    if (natureSeverity(t) > 0)
        return Kind::Nature;
    if (number.match(t).hasMatch())
        return Kind::Number;
    return Kind::Sentence;
}

QSet<QString> contentWords(const QString &text)
{
    static const QRegularExpression word = ruleRegex("\\w+");
    static const QSet<QString> stop = [] {
        QSet<QString> s;
        for (const QString &w :
             QString::fromUtf8("para pela pelo pelas pelos como mais deve devem quando onde qual quais sobre "
                               "entre esta este "
                               "isso essa esse seus suas outro outra outros outras muito pode podem sem com "
                               "que não uma uns "
                               "umas dos das nos nas ao aos à às ser são está estão tem têm sua seu")
                 .split(QLatin1Char(' ')))
            s.insert(w);
        return s;
    }();
    QSet<QString> out;
    for (auto it = word.globalMatch(text.toLower()); it.hasNext();) {
        const QString w = it.next().captured(0);
        if (w.size() > 3 && !stop.contains(w))
            out.insert(w);
    }
    return out;
}

// The alternatives a rule looks at (indices into the question's alternatives).
using Shown = QList<int>;
// The alternatives a rule picks, or nothing when it does not apply.
using Picked = std::optional<QList<int>>;

// The alternatives with the best value; nothing when all tie.
Picked pickBest(const Shown &shown, const std::function<double(int)> &value, bool highest = true)
{
    QList<double> values;
    for (int k : shown)
        values << value(k);
    const double best = highest ? *std::max_element(values.cbegin(), values.cend())
                                : *std::min_element(values.cbegin(), values.cend());
    QList<int> picked;
    for (qsizetype i = 0; i < shown.size(); ++i)
        if (values[i] == best)
            picked << shown[i];
    return picked.size() < shown.size() ? Picked(picked) : std::nullopt;
}

Picked pickMiddleNumber(const Answered &q, const Shown &shown)
{
    static const QRegularExpression number = ruleRegex("\\d+(?:[.,]\\d+)?");
    QMap<int, double> values;
    for (int k : shown) {
        const QRegularExpressionMatch m = number.match(q.alternatives[static_cast<std::size_t>(k)]);
        if (!m.hasMatch())
            return std::nullopt;
        values[k] = m.captured(0).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
    }
    QList<double> order = values.values();
    std::sort(order.begin(), order.end());
    order.erase(std::unique(order.begin(), order.end()), order.end());
    if (order.size() < 3 || order.size() < shown.size())
        return std::nullopt;
    const qsizetype n = order.size();
    QList<double> middle = {order[n / 2]};
    if (n % 2 == 0)
        middle = {order[n / 2 - 1], order[n / 2]};
    QList<int> picked;
    for (int k : shown)
        if (middle.contains(values[k]))
            picked << k;
    return picked;
}

Picked pickLoneKind(const Answered &q, const Shown &shown)
{
    QMap<int, Kind> kinds;
    QMap<Kind, int> counts;
    for (int k : shown) {
        kinds[k] = kindOf(q.alternatives[static_cast<std::size_t>(k)]);
        ++counts[kinds[k]];
    }
    if (counts.size() != 2)
        return std::nullopt;
    QList<int> lone;
    for (int k : shown)
        if (counts[kinds[k]] == 1)
            lone << k;
    return lone.size() == 1 ? Picked(lone) : std::nullopt;
}

Picked pickSevereNature(const Answered &q, const Shown &shown)
{
    QMap<int, int> severity;
    for (int k : shown)
        if (const int s = natureSeverity(q.alternatives[static_cast<std::size_t>(k)]); s > 0)
            severity[k] = s;
    const QList<int> values = severity.values();
    if (severity.size() < shown.size() - 1 || QSet<int>(values.cbegin(), values.cend()).size() < 2)
        return std::nullopt;
    const int top = *std::max_element(values.cbegin(), values.cend());
    QList<int> picked;
    for (auto it = severity.cbegin(); it != severity.cend(); ++it)
        if (it.value() == top)
            picked << it.key();
    return picked;
}

// The alternatives with (prefer) or without (avoid) the feature, when it splits them.
Picked pickByFeature(const Answered &q, const Shown &shown, const std::function<bool(const QString &)> &has,
                     bool prefer)
{
    QList<int> picked;
    for (int k : shown)
        if (has(q.alternatives[static_cast<std::size_t>(k)]) == prefer)
            picked << k;
    return !picked.isEmpty() && picked.size() < shown.size() ? Picked(picked) : std::nullopt;
}

Picked pick(Rule rule, bool prefer, const Answered &q, const Shown &shown)
{
    const auto text = [&q](int k) -> const QString & { return q.alternatives[static_cast<std::size_t>(k)]; };
    switch (rule) {
    case Rule::Longest:
        return pickBest(shown, [&](int k) { return double(text(k).size()); });
    case Rule::Shortest:
        return pickBest(
            shown, [&](int k) { return double(text(k).size()); }, false);
    case Rule::SharedWords: {
        QMap<int, QSet<QString>> words;
        for (int k : shown)
            words[k] = contentWords(text(k));
        return pickBest(shown, [&](int k) {
            qsizetype shared = 0;
            for (int o : shown)
                if (o != k)
                    shared += QSet<QString>(words[k]).intersect(words[o]).size();
            return double(shared);
        });
    }
    case Rule::MiddleNumber:
        return pickMiddleNumber(q, shown);
    case Rule::EchoesStem: {
        const QSet<QString> stem = contentWords(q.stem);
        return pickBest(shown, [&](int k) { return double(contentWords(text(k)).intersect(stem).size()); });
    }
    case Rule::LoneKind:
        return pickLoneKind(q, shown);
    case Rule::SevereNature:
        return pickSevereNature(q, shown);
    case Rule::Hedge:
        return pickByFeature(q, shown, hasHedge, prefer);
    case Rule::AbsoluteWord:
        return pickByFeature(q, shown, hasAbsoluteWord, prefer);
    case Rule::Negation:
        return pickByFeature(q, shown, hasNegation, prefer);
    case Rule::NotInfraction:
        return pickByFeature(
            q, shown, [](const QString &t) { return kindOf(t) == Kind::Permitted; }, prefer);
    }
    return std::nullopt;
}

bool isFeatureRule(Rule r)
{
    return r == Rule::Hedge || r == Rule::AbsoluteWord || r == Rule::Negation || r == Rule::NotInfraction;
}

// The sets of alternatives a candidate may see, equally likely: all of a study question's; for a
// block question in today's format, the right one and three of the four wrong ones.
QList<Shown> shownSets(const Answered &q, bool fourOfFive)
{
    Shown all;
    for (int k = 0; k < q.count; ++k)
        all << k;
    if (!fourOfFive || q.count <= 4)
        return {all};
    QList<Shown> sets;
    for (int dropped : all)
        if (dropped != q.answer) {
            Shown s = all;
            s.removeOne(dropped);
            sets << s;
        }
    return sets;
}

struct RuleScore {
    double hits = 0, applies = 0;
    bool prefer = true; // for a feature rule, the better way
    double percent() const { return applies > 0 ? 100.0 * hits / applies : 0.0; }
};

RuleScore scoreRule(Rule rule, bool prefer, const QList<const Answered *> &questions, bool fourOfFive)
{
    RuleScore score;
    score.prefer = prefer;
    for (const Answered *q : questions) {
        const QList<Shown> sets = shownSets(*q, fourOfFive);
        for (const Shown &shown : sets) {
            const Picked picked = pick(rule, prefer, *q, shown);
            if (!picked)
                continue;
            score.applies += 1.0 / double(sets.size());
            if (picked->contains(q->answer))
                score.hits += 1.0 / double(picked->size()) / double(sets.size());
        }
    }
    return score;
}

RuleScore ruleScore(Rule rule, const QList<const Answered *> &questions, bool fourOfFive)
{
    const RuleScore preferring = scoreRule(rule, true, questions, fourOfFive);
    if (!isFeatureRule(rule))
        return preferring;
    const RuleScore avoiding = scoreRule(rule, false, questions, fourOfFive);
    return preferring.percent() >= avoiding.percent() ? preferring : avoiding;
}

bool ruleBreaks(const RuleScore &s, double chance)
{
    return s.applies >= kRuleMinQuestions && s.percent() > 100.0 * chance + kRuleMargin;
}

// Scores every rule over questions; returns the limits broken.
QStringList ruleFaults(const QString &where, const QList<const Answered *> &questions, double chance,
                       bool fourOfFive, QStringList &figures)
{
    QStringList faults, cells;
    for (Rule rule : kRules) {
        const RuleScore s = ruleScore(rule, questions, fourOfFive);
        cells << QStringLiteral("%1%2 %3/%4")
                     .arg(QLatin1String(ruleName(rule)))
                     .arg(isFeatureRule(rule)
                              ? (s.prefer ? QStringLiteral(" (prefer)") : QStringLiteral(" (avoid)"))
                              : QString())
                     .arg(s.percent(), 0, 'f', 1)
                     .arg(s.applies, 0, 'f', 0);
        if (ruleBreaks(s, chance))
            faults << QStringLiteral(
                          "%1: picking by \"%2\" scores %3 % over %4 questions, more than chance (%5 %) + %6")
                          .arg(where)
                          .arg(QLatin1String(ruleName(rule)))
                          .arg(s.percent(), 0, 'f', 1)
                          .arg(s.applies, 0, 'f', 0)
                          .arg(100.0 * chance, 0, 'f', 0)
                          .arg(kRuleMargin);
    }
    figures << QStringLiteral("%1: %2").arg(where, cells.join(QStringLiteral(", ")));
    return faults;
}

} // namespace

class TestBankGuard : public QObject {
    Q_OBJECT

private slots:
    void absoluteWordMatching();
    void rightLetters();
    void lengthOfTheRightAnswer();
    void absoluteWords();

    void studyRightLetters();
    void studyLengthOfTheRightAnswer();
    void studyAbsoluteWords();

    void explanationsNameNoLetter();

    void testWiseRuleMatching();
    void testWiseRules();
};

void TestBankGuard::absoluteWordMatching()
{
    QVERIFY(hasAbsoluteWord(QStringLiteral("Sempre que possível.")));
    QVERIFY(hasAbsoluteWord(QStringLiteral("Pode-se dirigir só de dia.")));
    QVERIFY(hasAbsoluteWord(QStringLiteral("Em NENHUMA hipótese.")));
    QVERIFY(!hasAbsoluteWord(QStringLiteral("Sozinho, em todo o trajeto.")));
    QVERIFY(!hasAbsoluteWord(QStringLiteral("Qualquerum, sempreviva, apenasmente.")));

    Answered q;
    q.answer = 1;
    q.alternatives = {QStringLiteral("aaaa"), QStringLiteral("bbb"), QStringLiteral("ccc"),
                      QStringLiteral("dd"), QStringLiteral("e")};
    QCOMPARE(lengthRank(q), 1);
    q.answer = 0;
    QCOMPARE(lengthRank(q), 0);
    q.answer = 4;
    QCOMPARE(lengthRank(q), 4);
}

// Where the right letter falls: per block counts, runs and repeats; bank-wide repeats and runs of five.
void TestBankGuard::rightLetters()
{
    const QList<Answered> questions = answeredQuestions();
    QMap<int, QList<const Answered *>> byBlock;
    for (const Answered &q : questions)
        byBlock[q.block] << &q;

    QStringList figures, faults;
    qsizetype pairs = 0, repeats = 0, fiveOfAKind = 0;
    for (auto it = byBlock.cbegin(); it != byBlock.cend(); ++it) {
        const QList<const Answered *> &block = it.value();
        std::array<int, 5> counts{};
        int run = 0, longestRun = 0, longestRunAt = 0, blockRepeats = 0;
        for (qsizetype i = 0; i < block.size(); ++i) {
            ++counts[static_cast<std::size_t>(block[i]->answer)];
            const bool same = i > 0 && block[i - 1]->answer == block[i]->answer;
            run = same ? run + 1 : 1;
            blockRepeats += same ? 1 : 0;
            if (run > longestRun) {
                longestRun = run;
                longestRunAt = block[i]->number - run + 1;
            }
        }
        int blockFives = 0;
        for (qsizetype i = 0; i + 5 <= block.size(); i += 5) {
            std::array<bool, 5> used{};
            for (qsizetype j = i; j < i + 5; ++j)
                used[static_cast<std::size_t>(block[j]->answer)] = true;
            if (std::all_of(used.begin(), used.end(), [](bool u) { return u; }))
                ++blockFives;
        }
        pairs += std::max<qsizetype>(block.size() - 1, 0);
        repeats += blockRepeats;
        fiveOfAKind += blockFives;
        if (block.size() > 1 && (blockRepeats < kMinBlockRepeats || blockRepeats > kMaxBlockRepeats))
            faults << QStringLiteral("block %1: the right letter repeats %2 times from one question to the "
                                     "next, not %3 to %4")
                          .arg(it.key())
                          .arg(blockRepeats)
                          .arg(kMinBlockRepeats)
                          .arg(kMaxBlockRepeats);
        QStringList countText;
        for (int l = 0; l < 5; ++l) {
            countText << QStringLiteral("%1=%2").arg(letter(l)).arg(counts[static_cast<std::size_t>(l)]);
            const int c = counts[static_cast<std::size_t>(l)];
            if (c < kMinPerLetter || c > kMaxPerLetter)
                faults << QStringLiteral("block %1: %2 is the right letter %3 times, not %4 to %5")
                              .arg(it.key())
                              .arg(letter(l))
                              .arg(c)
                              .arg(kMinPerLetter)
                              .arg(kMaxPerLetter);
        }
        if (longestRun > kMaxRun)
            faults << QStringLiteral("block %1: the same right letter %2 times in a row from question %3")
                          .arg(it.key())
                          .arg(longestRun)
                          .arg(longestRunAt);
        figures << QStringLiteral(
                       "block %1: %2, repeats %3/%4, longest run %5, runs of five using each letter once %6")
                       .arg(it.key())
                       .arg(countText.join(QLatin1Char(' ')))
                       .arg(blockRepeats)
                       .arg(block.size() - 1)
                       .arg(longestRun)
                       .arg(blockFives);
    }
    const double repeatRate = percent(repeats, pairs);
    figures << QStringLiteral(
                   "bank: the right letter repeats %1/%2 = %3 %; %4 runs of five use each letter once")
                   .arg(repeats)
                   .arg(pairs)
                   .arg(repeatRate, 0, 'f', 1)
                   .arg(fiveOfAKind);
    if (fiveOfAKind > kMaxFiveOfAKind)
        faults << QStringLiteral("%1 runs of five questions use each letter once, more than %2")
                      .arg(fiveOfAKind)
                      .arg(kMaxFiveOfAKind);
    if (repeatRate < kMinRepeats || repeatRate > kMaxRepeats)
        faults << QStringLiteral("the right letter repeats in %1 % of consecutive questions, not %2 to %3 %")
                      .arg(repeatRate, 0, 'f', 1)
                      .arg(kMinRepeats)
                      .arg(kMaxRepeats);
    qInfo("%s", qPrintable(figures.join(QLatin1Char('\n'))));
    if (!faults.isEmpty())
        QFAIL(qPrintable(faults.join(QLatin1Char('\n'))));
}

// Picking the longest or the second-longest alternative must not pay.
void TestBankGuard::lengthOfTheRightAnswer()
{
    const QList<Answered> questions = answeredQuestions();
    QVERIFY(!questions.isEmpty());
    const QStringList faults = lengthFaults(questions, "bank");
    if (!faults.isEmpty())
        QFAIL(qPrintable(faults.join(QLatin1Char('\n'))));
}

// Absolute words must not mark the wrong alternatives.
void TestBankGuard::absoluteWords()
{
    const QStringList faults = absoluteWordFaults(answeredQuestions(), "bank");
    if (!faults.isEmpty())
        QFAIL(qPrintable(faults.join(QLatin1Char('\n'))));
}

// Where the right letter of the study questions falls, per file and over the group.
void TestBankGuard::studyRightLetters()
{
    const QList<Answered> questions = studyQuestions();
    if (questions.isEmpty())
        QSKIP("no study questions");
    QMap<int, QList<const Answered *>> byFile;
    for (const Answered &q : questions)
        byFile[q.block] << &q;

    QStringList figures, faults;
    qsizetype pairs = 0, repeats = 0, quads = 0, fourOfAKind = 0;
    for (auto it = byFile.cbegin(); it != byFile.cend(); ++it) {
        const QList<const Answered *> &file = it.value();
        const QString name = QStringLiteral("estudo-%1").arg(it.key(), 2, 10, QLatin1Char('0'));
        std::array<int, kStudyAlternatives> counts{};
        int run = 0, longestRun = 0, longestRunAt = 0, fileRepeats = 0;
        for (qsizetype i = 0; i < file.size(); ++i) {
            ++counts[static_cast<std::size_t>(file[i]->answer)];
            const bool same = i > 0 && file[i - 1]->answer == file[i]->answer;
            run = same ? run + 1 : 1;
            fileRepeats += same ? 1 : 0;
            if (run > longestRun) {
                longestRun = run;
                longestRunAt = file[i]->number - run + 1;
            }
        }
        int fileFours = 0;
        for (qsizetype i = 0; i + 4 <= file.size(); i += 4) {
            std::array<bool, kStudyAlternatives> used{};
            for (qsizetype j = i; j < i + 4; ++j)
                used[static_cast<std::size_t>(file[j]->answer)] = true;
            if (std::all_of(used.begin(), used.end(), [](bool u) { return u; }))
                ++fileFours;
            ++quads;
        }
        const qsizetype filePairs = std::max<qsizetype>(file.size() - 1, 0);
        pairs += filePairs;
        repeats += fileRepeats;
        fourOfAKind += fileFours;

        const double share = file.size() / double(kStudyAlternatives);
        const int minLetter = int(std::floor(kStudyMinLetterShare * share));
        const int maxLetter = int(std::ceil(kStudyMaxLetterShare * share));
        const double chanceRepeats = filePairs / double(kStudyAlternatives);
        const int minRepeats = int(std::floor(kStudyMinRepeatShare * chanceRepeats));
        const int maxRepeats = int(std::ceil(kStudyMaxRepeatShare * chanceRepeats));
        if (fileRepeats < minRepeats || fileRepeats > maxRepeats)
            faults << QStringLiteral(
                          "%1: the right letter repeats %2 times from one question to the next, not %3 to %4")
                          .arg(name)
                          .arg(fileRepeats)
                          .arg(minRepeats)
                          .arg(maxRepeats);
        QStringList countText;
        for (int l = 0; l < kStudyAlternatives; ++l) {
            const int c = counts[static_cast<std::size_t>(l)];
            countText << QStringLiteral("%1=%2").arg(letter(l)).arg(c);
            if (c < minLetter || c > maxLetter)
                faults << QStringLiteral("%1: %2 is the right letter %3 times, not %4 to %5")
                              .arg(name)
                              .arg(letter(l))
                              .arg(c)
                              .arg(minLetter)
                              .arg(maxLetter);
        }
        if (longestRun > kMaxRun)
            faults << QStringLiteral("%1: the same right letter %2 times in a row from question %3")
                          .arg(name)
                          .arg(longestRun)
                          .arg(longestRunAt);
        figures << QStringLiteral("%1: %2 questions, %3, repeats %4/%5, longest run %6, runs of four using "
                                  "each letter once %7")
                       .arg(name)
                       .arg(file.size())
                       .arg(countText.join(QLatin1Char(' ')))
                       .arg(fileRepeats)
                       .arg(filePairs)
                       .arg(longestRun)
                       .arg(fileFours);
    }
    const double repeatRate = percent(repeats, pairs);
    const int maxFours = std::max(2, int(std::ceil(2.0 * kFourOfAKindChance * quads)));
    figures << QStringLiteral(
                   "study: the right letter repeats %1/%2 = %3 %; %4 of %5 runs of four use each letter once")
                   .arg(repeats)
                   .arg(pairs)
                   .arg(repeatRate, 0, 'f', 1)
                   .arg(fourOfAKind)
                   .arg(quads);
    if (fourOfAKind > maxFours)
        faults << QStringLiteral("%1 runs of four study questions use each letter once, more than %2")
                      .arg(fourOfAKind)
                      .arg(maxFours);
    if (pairs >= 20 && (repeatRate < kStudyMinRepeats || repeatRate > kStudyMaxRepeats))
        faults << QStringLiteral(
                      "the right letter repeats in %1 % of consecutive study questions, not %2 to %3 %")
                      .arg(repeatRate, 0, 'f', 1)
                      .arg(kStudyMinRepeats)
                      .arg(kStudyMaxRepeats);
    qInfo("%s", qPrintable(figures.join(QLatin1Char('\n'))));
    if (!faults.isEmpty())
        QFAIL(qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestBankGuard::studyLengthOfTheRightAnswer()
{
    const QList<Answered> questions = studyQuestions();
    if (questions.isEmpty())
        QSKIP("no study questions");
    QStringList faults = lengthFaults(questions, "study");
    qsizetype shortest = 0;
    for (const Answered &q : questions)
        shortest += lengthRank(q) == q.count - 1 ? 1 : 0;
    const double shortestRate = percent(shortest, questions.size());
    qInfo("study: the right answer is the shortest alternative in %lld of %lld questions (%.1f %%)",
          static_cast<long long>(shortest), static_cast<long long>(questions.size()), shortestRate);
    if (shortestRate > kStudyMaxShortest)
        faults << QStringLiteral(
                      "the right answer is the shortest in %1 % of study questions, more than %2 %")
                      .arg(shortestRate, 0, 'f', 1)
                      .arg(kStudyMaxShortest);
    if (!faults.isEmpty())
        QFAIL(qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestBankGuard::studyAbsoluteWords()
{
    const QList<Answered> questions = studyQuestions();
    if (questions.isEmpty())
        QSKIP("no study questions");
    const QStringList faults = absoluteWordFaults(questions, "study");
    if (!faults.isEmpty())
        QFAIL(qPrintable(faults.join(QLatin1Char('\n'))));
}

// Today's exam shows four of a question's alternatives in an order of its own, so an explanation
// that names an alternative by its letter ("como diz C", "alternativa C", "letra C", "opção C",
// "como em E", "em E:") would point at another one. A sign's own letter ("a letra E na placa", "a
// letra E sem tarja") and categories ("categorias C, D e E") are no alternative and pass.
void TestBankGuard::explanationsNameNoLetter()
{
    static const QRegularExpression letter(QStringLiteral(
        "\\b(?i:como)\\s+(?:diz|dizem|em)\\s+(?:(?i:as?|os?)\\s+)?"
        "(?:(?i:alternativas?|opç(?:ão|ões)|letras?)\\s+)?\"?[A-E]\"?(?![\\w\"-])"
        "|\\b(?i:alternativas?|opç(?:ão|ões))\\s+\"?[A-E]\"?(?![\\w\"-])"
        "|\\b(?i:letras?)\\s+\"?[A-E]\"?(?![\\w\"-])(?!\\s+(?:na placa|da placa|sem tarja|cortada))"
        "|\\bem\\s+\"?[A-E]\"?[:,)]"));
    for (const char *named : {"A regra antiga (alternativa C) não vale.",
                              "Não basta a primeira vez, como diz C.", "Como diz a alternativa D, não.",
                              "Repetir, como em B, não vale.", "O inverso do sugerido em E: das decisões",
                              "A letra C erra.", "(letra \"D\")", "a opção A", "Opções B e C erram."})
        QVERIFY2(letter.match(QString::fromUtf8(named)).hasMatch(), named);
    for (const char *plain :
         {"Nas categorias C, D e E.", "A letra E na placa azul.", "A R-6b, a letra E sem tarja.",
          "Com a letra \"E\" cortada por uma barra.", "Como em A-39, o trilho."})
        QVERIFY2(!letter.match(QString::fromUtf8(plain)).hasMatch(), plain);
    QStringList faults;
    const QuestionBank &bank = QuestionBank::instance();
    for (const QList<StoredQuestion> *list : {&bank.questions(), &bank.studyQuestions()})
        for (const StoredQuestion &q : *list)
            if (const QRegularExpressionMatch m = letter.match(q.explanation); m.hasMatch())
                faults << QStringLiteral("%1:%2: the explanation names \"%3\"")
                              .arg(q.file)
                              .arg(q.line)
                              .arg(m.captured(0));
    if (!faults.isEmpty())
        QFAIL(qPrintable(faults.join(QLatin1Char('\n'))));
}

// Each rule on made-up questions: what it picks, and where it does not apply.
void TestBankGuard::testWiseRuleMatching()
{
    Answered q;
    q.count = 4;
    q.stem = QStringLiteral("Com chuva forte, a velocidade deve ser:");
    q.alternatives = {QStringLiteral("Reduzida, se for seguro."), QStringLiteral("Mantida."),
                      QStringLiteral("Reduzida conforme a chuva forte."),
                      QStringLiteral("Aumentada para sair logo.")};
    const Shown all = {0, 1, 2, 3};
    QCOMPARE(pick(Rule::Longest, true, q, all), Picked(QList<int>{2}));
    QCOMPARE(pick(Rule::Shortest, true, q, all), Picked(QList<int>{1}));
    QCOMPARE(pick(Rule::EchoesStem, true, q, all), Picked(QList<int>{2}));
    QCOMPARE(pick(Rule::SharedWords, true, q, all), Picked(QList<int>{0, 2}));
    QCOMPARE(pick(Rule::Hedge, true, q, all), Picked(QList<int>{0}));
    QCOMPARE(pick(Rule::Hedge, false, q, all), Picked(QList<int>{1, 2, 3}));
    QVERIFY(!pick(Rule::MiddleNumber, true, q, all));
    QVERIFY(!pick(Rule::Negation, true, q, all));

    q.alternatives = {QStringLiteral("40 km/h."), QStringLiteral("60 km/h."), QStringLiteral("80 km/h."),
                      QStringLiteral("110 km/h.")};
    QCOMPARE(pick(Rule::MiddleNumber, true, q, all), Picked(QList<int>{1, 2}));
    QVERIFY(!pick(Rule::Longest, true, q, {0, 1, 2})); // all of one length

    q.alternatives = {QStringLiteral("Grave."), QStringLiteral("Leve, com multa simples."),
                      QStringLiteral("Média, com advertência."),
                      QStringLiteral("Gravíssima, com suspensão.")};
    QCOMPARE(pick(Rule::LoneKind, true, q, all), Picked(QList<int>{0}));
    QCOMPARE(pick(Rule::SevereNature, true, q, all), Picked(QList<int>{3}));
    q.alternatives[1] = QStringLiteral("Não é infração.");
    QVERIFY(!pick(Rule::LoneKind, true, q, all)); // three kinds
    QCOMPARE(pick(Rule::NotInfraction, false, q, all), Picked(QList<int>{0, 2, 3}));

    // A block question in today's format: four sets, each without one wrong alternative.
    Answered b;
    b.count = 5;
    b.answer = 0;
    b.alternatives = {QStringLiteral("aaaaaa"), QStringLiteral("bbbbb"), QStringLiteral("ccc"),
                      QStringLiteral("dd"), QStringLiteral("e")};
    QCOMPARE(shownSets(b, true).size(), 4);
    QCOMPARE(shownSets(b, false).size(), 1);
    const RuleScore longest = scoreRule(Rule::Longest, true, {&b}, true);
    QCOMPARE(longest.hits, 1.0);
    QCOMPARE(longest.applies, 1.0);
    const RuleScore shortest = scoreRule(Rule::Shortest, true, {&b}, true);
    QCOMPARE(shortest.hits, 0.0);
    QVERIFY(ruleBreaks(RuleScore{4, 10}, 0.25));
    QVERIFY(!ruleBreaks(RuleScore{3, 10}, 0.25));
    QVERIFY(!ruleBreaks(RuleScore{4, 9}, 0.25)); // too few questions to judge
}

// No rule of form beats chance by more than 5 points: over the blocks (five alternatives, and the
// four today's format shows), over the study questions, and in each study file.
void TestBankGuard::testWiseRules()
{
    const QList<Answered> blockQuestions = answeredQuestions();
    const QList<Answered> study = studyQuestions();
    QList<const Answered *> blocks, studyAll;
    QMap<int, QList<const Answered *>> byFile;
    for (const Answered &q : blockQuestions)
        blocks << &q;
    for (const Answered &q : study) {
        studyAll << &q;
        byFile[q.block] << &q;
    }
    QVERIFY(!blocks.isEmpty());
    QStringList figures, faults;
    faults += ruleFaults(QStringLiteral("blocks"), blocks, 1.0 / 5, false, figures);
    faults += ruleFaults(QStringLiteral("blocks shown"), blocks, 1.0 / 4, true, figures);
    if (!studyAll.isEmpty())
        faults += ruleFaults(QStringLiteral("study"), studyAll, 1.0 / 4, false, figures);
    for (auto it = byFile.cbegin(); it != byFile.cend(); ++it) {
        const QString name = QStringLiteral("estudo-%1").arg(it.key(), 2, 10, QLatin1Char('0'));
        faults += ruleFaults(name, it.value(), 1.0 / 4, false, figures);
    }
    qInfo("%s", qPrintable(figures.join(QLatin1Char('\n'))));
    if (!faults.isEmpty())
        QFAIL(qPrintable(faults.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(TestBankGuard)
#include "tst_bankguard.moc"
