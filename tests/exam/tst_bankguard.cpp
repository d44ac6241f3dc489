// Guards the question bank against answer patterns a candidate could exploit without knowing the
// law: where the right letter falls, how long the right alternative is against the others, and
// how often absolute words ("sempre", "nunca", ...) stand in right and in wrong alternatives.
// tools/bankstats.py prints the same figures for a quick look while editing the bank.
// The study questions (four alternatives, files estudo-NN.txt) are guarded as a group of their
// own, with the same limits scaled to four letters and to the size of each file.

#include "exam/questionbank.h"

#include <QMap>
#include <QRegularExpression>
#include <QtTest>
#include <algorithm>
#include <cmath>

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
        out << a;
    }
    return out;
}

QList<Answered> studyQuestions()
{
    QList<Answered> out;
    for (const StoredQuestion &q : QuestionBank::instance().studyQuestions()) {
        Answered a;
        a.number = q.number;
        a.block = studyFileOf(q.file);
        a.answer = q.text(QuestionKind::Answer).toInt() - 1;
        a.count = kStudyAlternatives;
        for (int i = 0; i < a.count; ++i)
            a.alternatives[static_cast<std::size_t>(i)] = q.text(QuestionKind::AlternativeA + i);
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

QTEST_GUILESS_MAIN(TestBankGuard)
#include "tst_bankguard.moc"
