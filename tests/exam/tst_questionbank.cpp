// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/errordisplay.h"
#include "common/errors.h"
#include "exam/answersheet.h"
#include "exam/examrules.h"
#include "exam/questionbank.h"
#include "fakes.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

namespace {

// Questions stored in each block when the block is complete, blocks 1 to 11.
const int kBlockCounts[11] = {30, 30, 31, 34, 32, 34, 37, 36, 30, 30, 30};

// The questions that carry a picture, with its code; no other question has one.
const QMap<int, QString> kPictures = {
    {102, "FX05"}, {118, "PLEX1"}, {152, "FX03"},  {155, "FX03"}, {176, "PLEX2"}, {201, "R12"},
    {202, "R8"},   {203, "A48"},   {204, "A40"},   {205, "R26"},  {206, "A49"},   {207, "R0"},
    {208, "R20"},  {209, "R10"},   {210, "R19"},   {211, "R25"},  {212, "A16"},   {213, "A2"},
    {214, "R39"},  {215, "A13"},   {216, "A58"},   {217, "A53"},  {218, "A26"},   {219, "A8"},
    {220, "A46"},  {221, "A29"},   {222, "I21"},   {226, "A36"},  {230, "LOCAL"}, {501, "A11"},
    {502, "R5"},   {503, "R9"},    {504, "A54"},   {505, "R23"},  {506, "R33"},   {507, "R35"},
    {508, "R37"},  {509, "A60"},   {510, "A4"},    {511, "A7"},   {512, "A31"},   {513, "A10"},
    {514, "A14"},  {515, "A18"},   {516, "A19"},   {517, "A21"},  {518, "R6"},    {519, "A25"},
    {520, "A27"},  {521, "R1"},    {522, "R16"},   {523, "A23"},  {524, "LOCAL"}, {525, "A51"},
    {526, "A44"},  {527, "A55"},   {528, "LOCAL"}, {529, "A38"},  {530, "LOCAL"},
};

constexpr int kMaxQuestionLength = 250;
constexpr int kMaxAlternativeLength = 236;
constexpr int kMaxExplanationLength = 400;
// Study questions are written to fit the exam page with room to spare.
constexpr int kMaxStudyQuestionLength = 200;
constexpr int kMaxStudyAlternativeLength = 120;

// Pictures that show the verdict of an exam, never a question.
const QSet<QString> kVerdictPictures = {"BOMBA", "SMILE", "SMILE1", "SMILE2", "MAO", "ROSTO"};

// A well-formed study question numbered n: four alternatives, its explanation.
QString studyQuestion(int n, const QString &text = QString(), const QString &answer = QStringLiteral("C"))
{
    return QStringLiteral("%1\nP: %2\nA: Alfa.\nB: Beta.\nC: Gama.\nD: Delta.\nResposta: %3\n"
                          "Fonte: CTB art. 29\nExplicação: Porque sim.\n")
        .arg(n)
        .arg(text.isEmpty() ? QStringLiteral("Estudo %1?").arg(n) : text, answer);
}

QString studyHeader(int file, int first, int last)
{
    return QStringLiteral("# Estudo %1 — Teste (questões %2 a %3)\n\n")
        .arg(file, 2, 10, QLatin1Char('0'))
        .arg(first)
        .arg(last);
}

// Two study questions are alike when they show the same picture and either have the same text,
// or have the same right answer and nearly the same words in their text.
bool studyQuestionsAlike(const StoredQuestion &a, const QSet<QString> &wordsA, const StoredQuestion &b,
                         const QSet<QString> &wordsB)
{
    if (a.text(QuestionKind::Picture) != b.text(QuestionKind::Picture))
        return false;
    if (a.text(QuestionKind::Text).simplified().toLower() ==
        b.text(QuestionKind::Text).simplified().toLower())
        return true;
    const auto right = [](const StoredQuestion &q) {
        return q.text(QuestionKind::AlternativeA + q.text(QuestionKind::Answer).toInt() - 1)
            .simplified()
            .toLower();
    };
    if (right(a) != right(b))
        return false;
    const qsizetype common = QSet<QString>(wordsA).intersect(wordsB).size();
    const qsizetype all = QSet<QString>(wordsA).unite(wordsB).size();
    return all > 0 && 10 * common >= 8 * all;
}

QSet<QString> wordsOf(const QString &text)
{
    static const QRegularExpression nonWord(QStringLiteral("[^\\w]+"),
                                            QRegularExpression::UseUnicodePropertiesOption);
    const QStringList words = text.toLower().split(nonWord, Qt::SkipEmptyParts);
    return QSet<QString>(words.begin(), words.end());
}

// The study file names carried in the program, in order.
QStringList studyFileNames()
{
    return QDir(QStringLiteral(":/questions"))
        .entryList({QStringLiteral("estudo-*.txt")}, QDir::Files, QDir::Name);
}

// A well-formed question numbered n, its field lines joined by newlines.
QString question(int n, const QString &text = QString(), const QString &answer = QStringLiteral("B"))
{
    return QStringLiteral("%1\nP: %2\nA: Alfa.\nB: Beta.\nC: Gama.\nD: Delta.\nE: Épsilon.\nResposta: %3\n"
                          "Fonte: CTB art. 1º\nExplicação: Porque sim.\n")
        .arg(n)
        .arg(text.isEmpty() ? QStringLiteral("Pergunta %1?").arg(n) : text, answer);
}

QString problemList(const QList<QuestionFileProblem> &problems)
{
    QStringList lines;
    for (const auto &p : problems)
        lines << p.toString();
    return lines.join(QLatin1Char('\n'));
}

// Fails the running test with every fault found, one per line.
#define REPORT_FAULTS(faults)                                                                                \
    do {                                                                                                     \
        if (!(faults).isEmpty())                                                                             \
            QFAIL(qPrintable(QStringLiteral("%1 fault(s):\n").arg((faults).size()) +                         \
                             (faults).join(QLatin1Char('\n'))));                                             \
    } while (false)

} // namespace

class TestQuestionBank : public QObject {
    Q_OBJECT

private slots:
    // Reading the bank carried in the program.
    void identifiersAndKinds();
    void missingQuestionReadsEmpty();
    void answerConversion();
    void firstQuestionOfEachBlock_data();
    void firstQuestionOfEachBlock();
    void answerSheetCorrection();

    // The file format.
    void wellFormedFile();
    void malformedFile_data();
    void malformedFile();
    void sameNumberTwice();

    // The content of the whole bank.
    void bankFilesParse();
    void blocksNumberedWithoutGaps();
    void questionsComplete();
    void pictureCodes();
    void noRepeatedText();

    // Study questions: the format, their own list, and the content of every study file.
    void studyFile();
    void studyAlikeRule();
    void malformedStudyFile_data();
    void malformedStudyFile();
    void studyQuestionsApart();
    void studyFilesNumberedWithoutGaps();
    void studyQuestionsComplete();
    void studyPictures();
    void studyQuestionsNotAlike();
    void levelsAndModules();
};

void TestQuestionBank::identifiersAndKinds()
{
    const QuestionBank &bank = QuestionBank::instance();
    QCOMPARE(bank.string(1, 201), QStringLiteral("O que significa a placa do código R-10?"));
    QCOMPARE(bank.string(1201), bank.string(1, 201));
    QCOMPARE(bank.string(4201), QStringLiteral("Proibido o trânsito de veículos automotores."));
    QCOMPARE(bank.string(7201), QStringLiteral("R12"));
    QCOMPARE(bank.pictureCode(201), QStringLiteral("R12"));
    QCOMPARE(bank.string(8201), QStringLiteral("3"));
    QCOMPARE(bank.answerNumber(201), 3);
    QVERIFY(!bank.source(201).isEmpty());
    QVERIFY(!bank.explanation(201).isEmpty());

    // The five alternatives of question 1 are kinds 2 to 6, all different.
    QSet<QString> alternatives;
    for (int kind = 2; kind <= 6; ++kind)
        alternatives.insert(bank.string(kind, 1));
    QCOMPARE(alternatives.size(), 5);
    QVERIFY(!alternatives.contains(QString()));
    QVERIFY(!alternatives.contains(bank.string(1, 1)));

    // A question without a picture has an empty code.
    QCOMPARE(bank.pictureCode(1), QString());

    // The shorthands read the same bank.
    QCOMPARE(questionString(1, 401), bank.string(1401));
    QCOMPARE(questionPicture(501), QStringLiteral("A11"));
    QCOMPARE(questionAnswer(501), 1);
}

void TestQuestionBank::missingQuestionReadsEmpty()
{
    const QuestionBank &bank = QuestionBank::instance();
    for (int kind = 1; kind <= 8; ++kind)
        QCOMPARE(bank.string(kind, 40), QString());
    for (int id : {0, 1000, 1531, 8999, 9001, -1201})
        QCOMPARE(bank.string(id), QString());
    // Only kinds 1 to 8 of numbers 1 to 530 name strings: 1000 + 1201 would be alternative A of 201.
    QCOMPARE(bank.string(1, 1201), QString());
    QCOMPARE(bank.string(0, 201), QString());
    QCOMPARE(bank.string(9, 201), QString());
    QCOMPARE(bank.string(2, 0), QString());
    QCOMPARE(bank.source(40), QString());
    QCOMPARE(bank.explanation(40), QString());

    QVERIFY_THROWS_EXCEPTION(EConvertError, bank.answerNumber(40));
    QVERIFY_THROWS_EXCEPTION(EConvertError, questionAnswer(531));

    // Checking the answer of question 40 ends with the "Data Inválida" box.
    FakeDialogs dialogs;
    QVERIFY(!guarded([] { questionAnswer(40); }));
    QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("Data Inválida")});
}

void TestQuestionBank::answerConversion()
{
    QCOMPARE(answerNumberFromText(QStringLiteral("1")), 1);
    QCOMPARE(answerNumberFromText(QStringLiteral("5")), 5);
    for (const char *bad : {"", "abc", "3a", "C", "3.0"})
        QVERIFY_THROWS_EXCEPTION(EConvertError, answerNumberFromText(QString::fromLatin1(bad)));

    // A right letter that is no letter A to E leaves the question out, so its answer cannot be read.
    const QuestionBank bank(
        {{QStringLiteral("bloco-01.txt"),
          question(1) + QLatin1Char('\n') + question(2, QString(), QStringLiteral("abc"))}});
    QCOMPARE(bank.answerNumber(1), 2);
    QCOMPARE(bank.string(1, 2), QString());
    QVERIFY_THROWS_EXCEPTION(EConvertError, bank.answerNumber(2));
    QCOMPARE(bank.problems().size(), 1);
    QCOMPARE(bank.problems()[0].file, QStringLiteral("bloco-01.txt"));
    QCOMPARE(bank.problems()[0].line, 19);
    QVERIFY2(bank.problems()[0].what.contains(QStringLiteral("\"abc\"")),
             qPrintable(bank.problems()[0].what));
}

void TestQuestionBank::firstQuestionOfEachBlock_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("answer");
    const std::tuple<int, const char *, int> rows[] = {
        {1, "O candidato à Carteira Nacional de Habilitação deverá ser submetido aos seguintes exames:", 5},
        {51, "Dirigir veículo com defeito no espelho retrovisor interno, acarretará:", 3},
        {101, "As vias, de acordo com a sua utilização, classificam-se como:", 5},
        {151, "A via coletora é aquela destinada:", 4},
        {201, "O que significa a placa do código R-10?", 3},
        {251, "O que é direção defensiva?", 3},
        {301, "É fundamento básico da direção defensiva para a prevenção de acidentes:", 5},
        {351, "Quando ocorrer uma parada respiratória, o socorrista deve, exceto:", 3},
        {401, "Qual a finalidade do sistema de transmissão? ", 5}, // the trailing blank is part of it
        {451, "Selecione a alternativa incorreta:", 3},
        {501, "A placa A-7A sinaliza para o condutor:", 1},
    };
    for (const auto &[number, text, answer] : rows)
        QTest::addRow("%d", number) << number << QString::fromUtf8(text) << answer;
}

void TestQuestionBank::firstQuestionOfEachBlock()
{
    QFETCH(int, number);
    QFETCH(QString, text);
    QFETCH(int, answer);
    const QuestionBank &bank = QuestionBank::instance();
    QCOMPARE(bank.string(QuestionKind::Text, number), text);
    QCOMPARE(bank.answerNumber(number), answer);
}

// Comments, the optional picture line, blanks kept at the end of a text, CR LF line ends.
void TestQuestionBank::wellFormedFile()
{
    const QString text = QStringLiteral("\xFEFF# Bloco de teste\n"
                                        "\n"
                                        "7\n"
                                        "P: Texto com espaço no fim \n"
                                        "A:  Dois espaços antes.\n"
                                        "# um comentário no meio\n"
                                        "B: b\n"
                                        "C: c: com dois-pontos\n"
                                        "D: d\n"
                                        "E: e\n"
                                        "Figura: PLEX1\n"
                                        "Resposta: E\n"
                                        "Fonte: CTB art. 29, II\n"
                                        "Explicação: A preferência é de quem vem pela direita.\n"
                                        "Nível: intermediário\n"
                                        "Módulo: 1\n"
                                        "\n"
                                        "\n"
                                        "8\r\n"
                                        "P: Sem figura?\r\n"
                                        "A: a\r\nB: b\r\nC: c\r\nD: d\r\nE: e\r\n"
                                        "Resposta: A\r\n"
                                        "Fonte: CTB art. 44\r\n");
    const ParsedQuestionFile parsed = parseQuestionFile(QStringLiteral("teste.txt"), text);
    QVERIFY2(parsed.problems.isEmpty(), qPrintable(problemList(parsed.problems)));
    QCOMPARE(parsed.questions.size(), 2);

    const StoredQuestion &q = parsed.questions[0];
    QCOMPARE(q.number, 7);
    QCOMPARE(q.line, 3);
    QCOMPARE(q.text(1), QStringLiteral("Texto com espaço no fim "));
    QCOMPARE(q.text(2), QStringLiteral(" Dois espaços antes."));
    QCOMPARE(q.text(4), QStringLiteral("c: com dois-pontos"));
    QCOMPARE(q.text(7), QStringLiteral("PLEX1"));
    QCOMPARE(q.text(8), QStringLiteral("5"));
    QCOMPARE(q.source, QStringLiteral("CTB art. 29, II"));
    QCOMPARE(q.explanation, QStringLiteral("A preferência é de quem vem pela direita."));
    QCOMPARE(levelName(q.level), QStringLiteral("intermediário"));
    QCOMPARE(moduleName(q.module), QStringLiteral("Placas, cores e caminhos"));

    const StoredQuestion &r = parsed.questions[1];
    QCOMPARE(r.number, 8);
    QCOMPARE(r.text(1), QStringLiteral("Sem figura?"));
    QCOMPARE(r.text(7), QString());
    QCOMPARE(r.text(8), QStringLiteral("1"));
    QCOMPARE(r.source, QStringLiteral("CTB art. 44"));
    QCOMPARE(r.explanation, QString()); // a question may still wait for its explanation
    QCOMPARE(r.level, 0);
    QCOMPARE(r.module, 0);
}

void TestQuestionBank::malformedFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("content"); // of the middle question, between two good ones
    QTest::addColumn<int>("line");        // of the problem within the file
    QTest::addColumn<QString>("what");    // part of the problem text

    // The good question 1 takes lines 1 to 10 and a blank; the middle question starts at line 12.
    const QString q2 = question(2);
    const auto replaced = [&](const char *from, const char *to) {
        return QString(q2).replace(QString::fromUtf8(from), QString::fromUtf8(to));
    };
    const QString block1 = QStringLiteral("bloco-01.txt");
    QTest::newRow("missing alternative") << block1 << replaced("D: Delta.\n", "") << 12 << "no \"D:\" line";
    QTest::newRow("missing source") << block1 << replaced("Fonte: CTB art. 1º\n", "") << 12
                                    << "no \"Fonte:\" line";
    QTest::newRow("explanation before source") << block1
                                               << replaced("Fonte: CTB art. 1º\nExplicação: Porque sim.",
                                                           "Explicação: Porque sim.\nFonte: CTB art. 1º")
                                               << 21 << "\"Fonte:\" out of order";
    QTest::newRow("empty explanation")
        << block1 << replaced("Explicação: Porque sim.", "Explicação: ") << 21 << "\"Explicação:\" is empty";
    QTest::newRow("explanation twice")
        << block1 << replaced("Explicação: Porque sim.\n", "Explicação: Porque sim.\nExplicação: De novo.\n")
        << 22 << "\"Explicação:\" given twice";
    QTest::newRow("missing answer") << block1 << replaced("Resposta: B\n", "") << 12
                                    << "no \"Resposta:\" line";
    QTest::newRow("answer not a letter")
        << block1 << replaced("Resposta: B", "Resposta: abc") << 19 << "A to E, found \"abc\"";
    QTest::newRow("answer F") << block1 << replaced("Resposta: B", "Resposta: F") << 19 << "found \"F\"";
    QTest::newRow("answer as number")
        << block1 << replaced("Resposta: B", "Resposta: 2") << 19 << "found \"2\"";
    QTest::newRow("answer with blank")
        << block1 << replaced("Resposta: B", "Resposta: B ") << 19 << "found \"B \"";
    QTest::newRow("empty text") << block1 << replaced("P: Pergunta 2?", "P: ") << 13 << "\"P:\" is empty";
    QTest::newRow("blank only") << block1 << replaced("C: Gama.", "C:    ") << 16 << "\"C:\" is empty";
    QTest::newRow("no blank after colon")
        << block1 << replaced("B: Beta.", "B:Beta.") << 15 << "one blank must follow \"B:\"";
    QTest::newRow("unknown field") << block1 << replaced("E: Épsilon.", "F: Épsilon.") << 18
                                   << "unknown field \"F:\"";
    QTest::newRow("field twice") << block1 << replaced("B: Beta.\n", "B: Beta.\nB: Beta 2.\n") << 16
                                 << "\"B:\" given twice";
    QTest::newRow("out of order") << block1 << replaced("A: Alfa.\nB: Beta.", "B: Beta.\nA: Alfa.") << 15
                                  << "\"A:\" out of order";
    QTest::newRow("level unknown") << block1 << replaced("Porque sim.", "Porque sim.\nNível: médio") << 22
                                   << "found \"médio\"";
    QTest::newRow("module five") << block1 << replaced("Porque sim.", "Porque sim.\nMódulo: 5") << 22
                                 << "module must be 1 to 4";
    QTest::newRow("block question retired")
        << block1 << replaced("Porque sim.", "Porque sim.\nRetirada: repete a 1") << 22
        << "only a study question can be retired";
    QTest::newRow("retired without a reason")
        << block1 << replaced("Porque sim.", "Porque sim.\nRetirada: ") << 22 << "\"Retirada:\" is empty";
    QTest::newRow("module before level")
        << block1 << replaced("Porque sim.", "Porque sim.\nMódulo: 2\nNível: fácil") << 23
        << "\"Nível:\" out of order";
    QTest::newRow("text on two lines")
        << block1 << replaced("P: Pergunta 2?", "P: Pergunta\n2 continua?") << 14 << "field line";
    QTest::newRow("picture lower case")
        << block1 << replaced("Resposta", "Figura: r12\nResposta") << 19 << "found \"r12\"";
    QTest::newRow("picture too long")
        << block1 << replaced("Resposta", "Figura: PLACA1\nResposta") << 19 << "found \"PLACA1\"";
    QTest::newRow("number not a number")
        << block1 << replaced("2\nP:", "dois\nP:") << 12 << "question number expected, found \"dois\"";
    QTest::newRow("number with blank")
        << block1 << replaced("2\nP:", "2 \nP:") << 12 << "question number expected";
    QTest::newRow("number zero") << QStringLiteral("teste.txt") << replaced("2\nP:", "0\nP:") << 12
                                 << "outside 1 to 530";
    QTest::newRow("number too big") << QStringLiteral("teste.txt") << replaced("2\nP:", "531\nP:") << 12
                                    << "outside 1 to 530";
    QTest::newRow("leading zero") << block1 << replaced("2\nP:", "02\nP:") << 12 << "starts with a zero";
    QTest::newRow("other block") << block1 << replaced("2\nP:", "52\nP:") << 12
                                 << "does not belong to block 1 (1 to 50)";
    QTest::newRow("no blank line before next")
        << block1 << replaced("Explicação: Porque sim.\n", "Explicação: Porque sim.\n3\n") << 22
        << "blank line missing before question 3";
}

// A fault is reported with its file and line; only the faulty question is left out.
void TestQuestionBank::malformedFile()
{
    QFETCH(QString, file);
    QFETCH(QString, content);
    QFETCH(int, line);
    QFETCH(QString, what);

    const QString text = question(1) + QLatin1Char('\n') + content + QLatin1Char('\n') + question(4);
    const ParsedQuestionFile parsed = parseQuestionFile(file, text);
    QVERIFY2(!parsed.problems.isEmpty(), "the fault went unnoticed");
    const QuestionFileProblem &p = parsed.problems.first();
    QVERIFY2(p.what.contains(what) && p.line == line, qPrintable(problemList(parsed.problems)));
    QCOMPARE(p.file, file);
    QCOMPARE(p.toString(), QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(p.what));

    QList<int> numbers;
    QStringList kept;
    for (const auto &q : parsed.questions) {
        numbers << q.number;
        kept << QString::number(q.number);
    }
    QVERIFY2(numbers.startsWith(1) && numbers.endsWith(4) && !numbers.contains(2),
             qPrintable(QStringLiteral("kept: ") + kept.join(QLatin1Char(' '))));
}

// The first question of a number is kept; the second is reported where it stands.
void TestQuestionBank::sameNumberTwice()
{
    const QuestionBank bank({{QStringLiteral("bloco-01.txt"), question(1, QStringLiteral("Primeira?"))},
                             {QStringLiteral("extra.txt"),
                              QStringLiteral("# outra\n\n") + question(1, QStringLiteral("Segunda?"))}});
    QCOMPARE(bank.string(1, 1), QStringLiteral("Primeira?"));
    QCOMPARE(bank.questions().size(), 1);
    QCOMPARE(bank.problems().size(), 1);
    QCOMPARE(bank.problems()[0].toString(),
             QStringLiteral("extra.txt:3: question 1 is already stored at bloco-01.txt:1"));
}

// Every file carried in the program, bloco-01 to bloco-11, reads without a fault.
void TestQuestionBank::bankFilesParse()
{
    const QStringList names = QDir(QStringLiteral(":/questions")).entryList(QDir::Files, QDir::Name);
    QStringList expected;
    for (int b = 1; b <= 11; ++b)
        expected << QStringLiteral("bloco-%1.txt").arg(b, 2, 10, QLatin1Char('0'));
    // The study files follow, estudo-01 on; a file of a subject not yet begun may be missing.
    const QStringList study = studyFileNames();
    for (const QString &name : study)
        QVERIFY2(studyFileOf(name) > 0, qPrintable(name));
    QCOMPARE(names, expected + study);

    QStringList faults;
    for (const auto &p : QuestionBank::instance().problems())
        faults << p.toString();
    REPORT_FAULTS(faults);
}

// In each block file the questions run from the block's first number without gaps; a complete
// block holds exactly its count, an incomplete one is only reported.
void TestQuestionBank::blocksNumberedWithoutGaps()
{
    QMap<QString, QList<int>> byFile;
    for (const auto &q : QuestionBank::instance().questions())
        byFile[q.file] << q.number;

    QStringList faults, incomplete;
    for (int b = 1; b <= 11; ++b) {
        const QString name = QStringLiteral("bloco-%1.txt").arg(b, 2, 10, QLatin1Char('0'));
        const QList<int> numbers = byFile.value(name);
        const int first = (b - 1) * kBlockSize + 1, count = kBlockCounts[b - 1];
        for (qsizetype i = 0; i < numbers.size(); ++i) {
            if (numbers[i] != first + i) {
                faults << QStringLiteral("%1: question %2 stands where %3 belongs")
                              .arg(name)
                              .arg(numbers[i])
                              .arg(first + i);
                break;
            }
        }
        if (numbers.size() > count)
            faults << QStringLiteral("%1: %2 questions, more than the %3 of the block")
                          .arg(name)
                          .arg(numbers.size())
                          .arg(count);
        else if (numbers.size() < count)
            incomplete << QStringLiteral("block %1 %2/%3").arg(b).arg(numbers.size()).arg(count);
    }
    if (!incomplete.isEmpty())
        qInfo("incomplete blocks: %s", qPrintable(incomplete.join(QStringLiteral(", "))));
    REPORT_FAULTS(faults);
}

void TestQuestionBank::questionsComplete()
{
    const QuestionBank &bank = QuestionBank::instance();
    QStringList faults;
    for (const auto &q : bank.questions()) {
        const QString where = QStringLiteral("%1:%2: question %3").arg(q.file).arg(q.line).arg(q.number);
        const QString text = bank.string(QuestionKind::Text, q.number);
        if (text.trimmed().isEmpty() || text.size() > kMaxQuestionLength)
            faults << QStringLiteral("%1: text of %2 characters").arg(where).arg(text.size());
        for (int kind = QuestionKind::AlternativeA; kind <= QuestionKind::AlternativeE; ++kind) {
            const QString alt = bank.string(kind, q.number);
            if (alt.trimmed().isEmpty() || alt.size() > kMaxAlternativeLength)
                faults << QStringLiteral("%1: alternative %2 of %3 characters")
                              .arg(where)
                              .arg(QChar(u'A' + (kind - 2)))
                              .arg(alt.size());
        }
        try {
            const int answer = bank.answerNumber(q.number);
            if (answer < 1 || answer > 5)
                faults << QStringLiteral("%1: answer number %2").arg(where).arg(answer);
        } catch (const EConvertError &) {
            faults << QStringLiteral("%1: no answer number").arg(where);
        }
        if (bank.source(q.number).trimmed().isEmpty())
            faults << QStringLiteral("%1: no source").arg(where);
        // The explanation is shown to the candidate in the review: one short paragraph.
        const QString explanation = bank.explanation(q.number);
        if (explanation.trimmed().isEmpty())
            faults << QStringLiteral("%1: no explanation").arg(where);
        else if (explanation.size() > kMaxExplanationLength)
            faults << QStringLiteral("%1: explanation of %2 characters, more than %3")
                          .arg(where)
                          .arg(explanation.size())
                          .arg(kMaxExplanationLength);
        if (explanation.contains(QLatin1Char('\n')) || explanation.contains(QLatin1Char('\r')))
            faults << QStringLiteral("%1: explanation with a line break").arg(where);
    }
    REPORT_FAULTS(faults);
}

// The questions present carry exactly the pictures of the list, and each picture of a sign of
// group A or R exists; the pictures still to be drawn are reported.
void TestQuestionBank::pictureCodes()
{
    QCOMPARE(kPictures.size(), 59);
    const QuestionBank &bank = QuestionBank::instance();
    QStringList faults, missing;
    for (const auto &q : bank.questions()) {
        const QString code = bank.pictureCode(q.number);
        const QString expected = kPictures.value(q.number);
        if (code != expected) {
            faults << QStringLiteral("%1:%2: question %3 has picture \"%4\", not \"%5\"")
                          .arg(q.file)
                          .arg(q.line)
                          .arg(q.number)
                          .arg(code, expected);
            continue;
        }
        if (code.isEmpty() || QFile::exists(QStringLiteral(":/pictures/%1.svg").arg(code)))
            continue;
        if (code.startsWith(u'A') || code.startsWith(u'R'))
            faults << QStringLiteral("question %1: picture %2 does not exist").arg(q.number).arg(code);
        else
            missing << QStringLiteral("%1 (question %2)").arg(code).arg(q.number);
    }
    if (!missing.isEmpty())
        qInfo("missing picture: %s", qPrintable(missing.join(QStringLiteral(", "))));
    REPORT_FAULTS(faults);
}

void TestQuestionBank::noRepeatedText()
{
    QHash<QString, int> seen;
    QStringList faults;
    for (const auto &q : QuestionBank::instance().questions()) {
        const QString key = q.text(QuestionKind::Text).simplified();
        if (const auto it = seen.constFind(key); it != seen.constEnd())
            faults << QStringLiteral("questions %1 and %2 have the same text").arg(*it).arg(q.number);
        else
            seen.insert(key, q.number);
    }
    REPORT_FAULTS(faults);
}

// A study file: header, four alternatives, the subject kept with each question.
void TestQuestionBank::studyFile()
{
    QCOMPARE(studyFileOf(QStringLiteral("estudo-01.txt")), 1);
    QCOMPARE(studyFileOf(QStringLiteral(":/questions/estudo-12.txt")), 12);
    QCOMPARE(studyFileOf(QStringLiteral("estudo-1.txt")), 0);
    QCOMPARE(studyFileOf(QStringLiteral("estudo-00.txt")), 0);
    QCOMPARE(studyFileOf(QStringLiteral("bloco-01.txt")), 0);
    QCOMPARE(firstStudyNumber(1), 1001);
    QCOMPARE(lastStudyNumber(1), 1100);
    QCOMPARE(firstStudyNumber(4), 1301);

    const QString text = studyHeader(4, 1301, 1302) + studyQuestion(1301) + QLatin1Char('\n') +
                         QString(studyQuestion(1302, QString(), QStringLiteral("D")))
                             .replace(QStringLiteral("Resposta"), QStringLiteral("Figura: A0\nResposta"));
    const ParsedQuestionFile parsed = parseQuestionFile(QStringLiteral("estudo-04.txt"), text);
    QVERIFY2(parsed.problems.isEmpty(), qPrintable(problemList(parsed.problems)));
    QCOMPARE(parsed.questions.size(), 2);
    const StoredQuestion &q = parsed.questions[0];
    QCOMPARE(q.number, 1301);
    QVERIFY(q.isStudy());
    QCOMPARE(q.alternativeCount(), 4);
    QCOMPARE(q.subject, QStringLiteral("Teste"));
    QCOMPARE(q.text(5), QStringLiteral("Delta."));
    QCOMPARE(q.text(6), QString());
    QCOMPARE(q.text(8), QStringLiteral("3"));
    QCOMPARE(parsed.questions[1].text(7), QStringLiteral("A0"));
    QCOMPARE(parsed.questions[1].text(8), QStringLiteral("4"));
    QVERIFY(!q.isRetired());

    // A retired question keeps its number and its texts; the bank knows it as retired.
    const QString retired = studyHeader(4, 1301, 1302) + studyQuestion(1301) + QLatin1Char('\n') +
                            studyQuestion(1302) +
                            QStringLiteral("Nível: fácil\nMódulo: 1\nRetirada: repete a 1301\n");
    const QuestionBank bank({{QStringLiteral("estudo-04.txt"), retired}});
    QVERIFY2(bank.problems().isEmpty(), qPrintable(problemList(bank.problems())));
    QCOMPARE(bank.studyQuestions().size(), 2);
    QCOMPARE(bank.studyQuestion(1302)->retired, QStringLiteral("repete a 1301"));
    QVERIFY(bank.isRetired(1302));
    QVERIFY(!bank.isRetired(1301));
    QCOMPARE(bank.studyQuestion(1302)->text(QuestionKind::Answer), QStringLiteral("3"));
}

// The rule that finds two study questions alike: same picture, and the same text or the same
// right answer with nearly the same words.
void TestQuestionBank::studyAlikeRule()
{
    const auto parsed = [](const QString &text, const QString &answer, const QString &picture) {
        QString q = studyQuestion(1001, text, answer);
        if (!picture.isEmpty())
            q.replace(QStringLiteral("Resposta"), QStringLiteral("Figura: %1\nResposta").arg(picture));
        const ParsedQuestionFile file =
            parseQuestionFile(QStringLiteral("estudo-01.txt"), studyHeader(1, 1001, 1001) + q);
        return file.questions.value(0);
    };
    const auto alike = [](const StoredQuestion &a, const StoredQuestion &b) {
        return studyQuestionsAlike(a, wordsOf(a.text(1)), b, wordsOf(b.text(1)));
    };
    const StoredQuestion base = parsed(QStringLiteral("Dirigir usando o celular é infração de que natureza?"),
                                       QStringLiteral("A"), QString());
    QVERIFY(alike(base, parsed(QStringLiteral("dirigir usando o  celular é infração de que natureza?"),
                               QStringLiteral("B"), QString())));
    QVERIFY(alike(base, parsed(QStringLiteral("Dirigir usando o celular é infração de qual natureza?"),
                               QStringLiteral("A"), QString())));
    QVERIFY(!alike(base, parsed(QStringLiteral("Dirigir usando o celular é infração de qual natureza?"),
                                QStringLiteral("B"), QString())));
    QVERIFY(!alike(base, parsed(QStringLiteral("Jogar lixo pela janela é infração de que natureza?"),
                                QStringLiteral("A"), QString())));
    QVERIFY(!alike(base, parsed(QStringLiteral("Dirigir usando o celular é infração de que natureza?"),
                                QStringLiteral("A"), QStringLiteral("R1"))));
}

void TestQuestionBank::malformedStudyFile_data()
{
    QTest::addColumn<QString>("content"); // the whole file estudo-02.txt
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("what");

    // The header takes lines 1 and 2; question 1101 starts at line 3, 1102 at line 13 (its D at 18).
    const QString head = studyHeader(2, 1101, 1103);
    const QString q1 = studyQuestion(1101) + QLatin1Char('\n');
    const QString q2 = studyQuestion(1102) + QLatin1Char('\n');
    const QString q3 = studyQuestion(1103);
    const auto with2 = [&](const char *from, const char *to) {
        return head + q1 + QString(q2).replace(QString::fromUtf8(from), QString::fromUtf8(to)) + q3;
    };
    QTest::newRow("fifth alternative")
        << with2("D: Delta.\n", "D: Delta.\nE: Épsilon.\n") << 19 << "four alternatives, A to D";
    QTest::newRow("answer E") << with2("Resposta: C", "Resposta: E") << 19 << "one of A to D, found \"E\"";
    QTest::newRow("no explanation") << with2("Explicação: Porque sim.\n", "") << 13
                                    << "no \"Explicação:\" line";
    QTest::newRow("no source") << with2("Fonte: CTB art. 29\n", "") << 13 << "no \"Fonte:\" line";
    QTest::newRow("no D") << with2("D: Delta.\n", "") << 13 << "no \"D:\" line";
    QTest::newRow("number of another file")
        << with2("1102\n", "1202\n") << 13 << "does not belong to study file 02 (1101 to 1200)";
    QTest::newRow("block number") << with2("1102\n", "102\n") << 13 << "does not belong to study file 02";
    QTest::newRow("no header") << QString(q1 + q2 + q3) << 1 << "header \"# Estudo 02";
    QTest::newRow("header of another file")
        << QString(studyHeader(3, 1101, 1103) + q1 + q2 + q3) << 1 << "names file 03, not 02";
    QTest::newRow("header first number")
        << QString(studyHeader(2, 1001, 1103) + q1 + q2 + q3) << 1 << "start at 1001, not 1101";
    QTest::newRow("header last number") << QString(studyHeader(2, 1101, 1150) + q1 + q2 + q3) << 1
                                        << "end at 1150, the last question is 1103";
}

void TestQuestionBank::malformedStudyFile()
{
    QFETCH(QString, content);
    QFETCH(int, line);
    QFETCH(QString, what);
    const ParsedQuestionFile parsed = parseQuestionFile(QStringLiteral("estudo-02.txt"), content);
    QVERIFY2(!parsed.problems.isEmpty(), "the fault went unnoticed");
    const QuestionFileProblem &p = parsed.problems.first();
    QVERIFY2(p.what.contains(what) && p.line == line, qPrintable(problemList(parsed.problems)));
}

// Study questions live in their own list: the table the exam types read never answers for them,
// and a study number that looks like an identifier (1201 = text of question 201) changes nothing.
void TestQuestionBank::studyQuestionsApart()
{
    const QuestionBank bank(
        {{QStringLiteral("bloco-05.txt"), question(201, QStringLiteral("Bloco?"))},
         {QStringLiteral("estudo-03.txt"),
          studyHeader(3, 1201, 1202) + studyQuestion(1201) + QLatin1Char('\n') + studyQuestion(1202)}});
    QVERIFY2(bank.problems().isEmpty(), qPrintable(problemList(bank.problems())));
    QCOMPARE(bank.questions().size(), 1);
    QCOMPARE(bank.studyQuestions().size(), 2);
    QCOMPARE(bank.string(1201), QStringLiteral("Bloco?"));
    QCOMPARE(bank.string(1, 201), QStringLiteral("Bloco?"));
    QCOMPARE(bank.string(2, 201), QStringLiteral("Alfa."));
    for (int kind = 1; kind <= 8; ++kind)
        QCOMPARE(bank.string(kind, 1201), QString());
    QCOMPARE(bank.source(1201), QString());
    QVERIFY_THROWS_EXCEPTION(EConvertError, bank.answerNumber(1201));
    QVERIFY(bank.studyQuestion(1202));
    QCOMPARE(bank.studyQuestion(1202)->text(1), QStringLiteral("Estudo 1202?"));
    QCOMPARE(bank.studyQuestion(1203), nullptr);
    QCOMPARE(bank.studyQuestion(201), nullptr);

    // The same study number twice: the first is kept.
    const QuestionBank twice({{QStringLiteral("estudo-01.txt"),
                               studyHeader(1, 1001, 1001) + studyQuestion(1001, QStringLiteral("Um?"))},
                              {QStringLiteral("estudo-01.txt"),
                               studyHeader(1, 1001, 1001) + studyQuestion(1001, QStringLiteral("Dois?"))}});
    QCOMPARE(twice.studyQuestions().size(), 1);
    QCOMPARE(twice.studyQuestion(1001)->text(1), QStringLiteral("Um?"));
    QCOMPARE(twice.problems().size(), 1);

    // The bank carried in the program: the 354 questions of the blocks, and the study list apart.
    const QuestionBank &carried = QuestionBank::instance();
    QCOMPARE(carried.questions().size(), 354);
    for (const StoredQuestion &q : carried.questions())
        QVERIFY(!q.isStudy());
    for (const StoredQuestion &q : carried.studyQuestions())
        QVERIFY(q.isStudy());
}

// Each study file holds its numbers from its first on without gaps, and its subject.
void TestQuestionBank::studyFilesNumberedWithoutGaps()
{
    QMap<QString, QList<const StoredQuestion *>> byFile;
    for (const auto &q : QuestionBank::instance().studyQuestions())
        byFile[q.file] << &q;

    QStringList faults, counts;
    const QStringList names = studyFileNames();
    for (const QString &name : names) {
        const int file = studyFileOf(name);
        const QList<const StoredQuestion *> questions = byFile.value(name);
        if (questions.isEmpty()) {
            faults << QStringLiteral("%1: no question").arg(name);
            continue;
        }
        for (qsizetype i = 0; i < questions.size(); ++i) {
            if (questions[i]->number != firstStudyNumber(file) + i) {
                faults << QStringLiteral("%1: question %2 stands where %3 belongs")
                              .arg(name)
                              .arg(questions[i]->number)
                              .arg(firstStudyNumber(file) + i);
                break;
            }
        }
        counts
            << QStringLiteral("%1 %2 (%3)").arg(name).arg(questions.size()).arg(questions.first()->subject);
    }
    // Subjects are written in any order: a file not yet begun is only reported.
    QStringList notBegun;
    const int lastFile = names.isEmpty() ? 0 : studyFileOf(names.last());
    for (int file = 1; file < lastFile; ++file) {
        const QString name = QStringLiteral("estudo-%1.txt").arg(file, 2, 10, QLatin1Char('0'));
        if (!names.contains(name))
            notBegun << name;
    }
    if (!notBegun.isEmpty())
        qInfo("study files not begun: %s", qPrintable(notBegun.join(QStringLiteral(", "))));
    qInfo("study questions: %lld; %s",
          static_cast<long long>(QuestionBank::instance().studyQuestions().size()),
          qPrintable(counts.join(QStringLiteral(", "))));
    REPORT_FAULTS(faults);
}

void TestQuestionBank::studyQuestionsComplete()
{
    static const QRegularExpression citable(QStringLiteral(
        "\\b(art\\.|arts\\.|Res\\.|Anexo|Lei|MBST|Manual|DENATRAN|DETRAN|ABRAMET|ABNT|Diretrizes)"));
    QStringList faults;
    for (const auto &q : QuestionBank::instance().studyQuestions()) {
        const QString where = QStringLiteral("%1:%2: question %3").arg(q.file).arg(q.line).arg(q.number);
        const QString text = q.text(QuestionKind::Text);
        if (text.trimmed().isEmpty() || text.size() > kMaxStudyQuestionLength)
            faults << QStringLiteral("%1: text of %2 characters").arg(where).arg(text.size());
        QSet<QString> alternatives;
        for (int kind = QuestionKind::AlternativeA; kind < QuestionKind::AlternativeA + kStudyAlternatives;
             ++kind) {
            const QString alt = q.text(kind);
            if (alt.trimmed().isEmpty() || alt.size() > kMaxStudyAlternativeLength)
                faults << QStringLiteral("%1: alternative %2 of %3 characters")
                              .arg(where)
                              .arg(QChar(u'A' + (kind - 2)))
                              .arg(alt.size());
            alternatives.insert(alt.simplified().toLower());
        }
        if (alternatives.size() != kStudyAlternatives)
            faults << QStringLiteral("%1: two alternatives alike").arg(where);
        if (!q.text(QuestionKind::AlternativeE).isEmpty())
            faults << QStringLiteral("%1: a fifth alternative").arg(where);
        const int answer = q.text(QuestionKind::Answer).toInt();
        if (answer < 1 || answer > kStudyAlternatives)
            faults << QStringLiteral("%1: right alternative %2").arg(where).arg(answer);
        if (!citable.match(q.source).hasMatch())
            faults << QStringLiteral("%1: the source names no article, resolution or manual: \"%2\"")
                          .arg(where, q.source);
        if (q.explanation.trimmed().isEmpty())
            faults << QStringLiteral("%1: no explanation").arg(where);
        else if (q.explanation.size() > kMaxExplanationLength)
            faults << QStringLiteral("%1: explanation of %2 characters, more than %3")
                          .arg(where)
                          .arg(q.explanation.size())
                          .arg(kMaxExplanationLength);
        if (q.subject.isEmpty())
            faults << QStringLiteral("%1: no subject").arg(where);
    }
    REPORT_FAULTS(faults);
}

// Every question, of the blocks and of the study, carries its level and the course's module it
// belongs to; the study questions are about half easy, a third intermediate and a sixth hard, as
// the national bank is (50 / 35 / 15 %), each share within 3 points of that.
void TestQuestionBank::levelsAndModules()
{
    const QuestionBank &bank = QuestionBank::instance();
    QStringList faults;
    for (const QList<StoredQuestion> *list : {&bank.questions(), &bank.studyQuestions()})
        for (const StoredQuestion &q : *list)
            if (q.level == 0 || q.module == 0)
                faults << QStringLiteral("%1:%2: question %3 has no %4")
                              .arg(q.file)
                              .arg(q.line)
                              .arg(q.number)
                              .arg(q.level == 0 ? QStringLiteral("\"Nível:\"")
                                                : QStringLiteral("\"Módulo:\""));
    // The levels of the questions still asked.
    std::array<int, kLevels> counts{};
    int asked = 0;
    for (const StoredQuestion &q : bank.studyQuestions()) {
        if (q.isRetired())
            continue;
        ++asked;
        if (q.level > 0)
            ++counts[static_cast<std::size_t>(q.level - 1)];
    }
    constexpr std::array<double, kLevels> aim{50.0, 35.0, 15.0};
    constexpr double kWithin = 3.0;
    const auto n = static_cast<double>(asked);
    for (std::size_t k = 0; k < counts.size(); ++k) {
        const double share = 100.0 * counts[k] / n;
        if (std::abs(share - aim[k]) > kWithin)
            faults << QStringLiteral("study questions: %1 %2 %, the aim is %3 % (within %4 points)")
                          .arg(levelName(static_cast<int>(k) + 1))
                          .arg(share, 0, 'f', 1)
                          .arg(aim[k])
                          .arg(kWithin);
    }
    REPORT_FAULTS(faults);
}

// Every picture a study question names exists and is no verdict picture. Which sign pictures of
// the catalogue no study question shows yet is reported.
void TestQuestionBank::studyPictures()
{
    QStringList faults;
    QSet<QString> shown;
    for (const auto &q : QuestionBank::instance().studyQuestions()) {
        const QString code = q.text(QuestionKind::Picture);
        if (code.isEmpty())
            continue;
        shown.insert(code);
        if (kVerdictPictures.contains(code) || !QFile::exists(QStringLiteral(":/pictures/%1.svg").arg(code)))
            faults << QStringLiteral("%1:%2: question %3: no picture \"%4\"")
                          .arg(q.file)
                          .arg(q.line)
                          .arg(q.number)
                          .arg(code);
    }
    QStringList notShown;
    static const QRegularExpression sign(QStringLiteral("^([ARI][0-9]+|FAIXA[0-9])\\.svg$"));
    for (const QString &name : QDir(QStringLiteral(":/pictures")).entryList(QDir::Files, QDir::Name)) {
        if (sign.match(name).hasMatch() && !shown.contains(name.chopped(4)))
            notShown << name.chopped(4);
    }
    if (!notShown.isEmpty())
        qInfo("%lld sign pictures no study question shows yet: %s", static_cast<long long>(notShown.size()),
              qPrintable(notShown.join(QLatin1Char(' '))));
    REPORT_FAULTS(faults);
}

// No two study questions alike, and none repeats the text of a question of the blocks.
void TestQuestionBank::studyQuestionsNotAlike()
{
    const QuestionBank &bank = QuestionBank::instance();
    QHash<QString, int> blockTexts;
    for (const auto &q : bank.questions())
        blockTexts.insert(q.text(QuestionKind::Text).simplified().toLower(), q.number);
    const QList<StoredQuestion> &study = bank.studyQuestions();
    QList<QSet<QString>> words;
    for (const auto &q : study)
        words << wordsOf(q.text(QuestionKind::Text));
    QStringList faults;
    for (qsizetype i = 0; i < study.size(); ++i) {
        const QString text = study[i].text(QuestionKind::Text).simplified().toLower();
        if (const auto it = blockTexts.constFind(text); it != blockTexts.constEnd())
            faults << QStringLiteral("study question %1 repeats the text of question %2")
                          .arg(study[i].number)
                          .arg(*it);
        for (qsizetype j = 0; j < i; ++j)
            if (studyQuestionsAlike(study[j], words[j], study[i], words[i]))
                faults << QStringLiteral("study questions %1 and %2 are alike")
                              .arg(study[j].number)
                              .arg(study[i].number);
    }
    REPORT_FAULTS(faults);
}

// The answer sheet marks each position against the bank, counts the marks and gives the corrected
// exam; a question with no valid answer stops the correction before any cell changes.
void TestQuestionBank::answerSheetCorrection()
{
    const QuestionBank &bank = QuestionBank::instance();
    QList<int> numbers;
    for (int i = 0; i < ExamTypes::kQuestions; ++i)
        numbers << bank.questions().at(i).number;
    AnswerSheet sheet;
    for (int c = 0; c < ExamTypes::kQuestions; ++c) {
        const QString right = ExamRules::letterFor(bank.answerNumber(numbers[c]));
        const QString other = right == QLatin1String("A") ? QStringLiteral("B") : QStringLiteral("A");
        sheet.setCell(c, AnswerSheet::Given, c < 21 ? right : c < 29 ? other : QString());
    }
    sheet.correct(numbers, bank);
    const AnswerSheet::Counts counts = sheet.counts();
    QCOMPARE(counts.right, 21);
    QCOMPARE(counts.wrong, 9); // an empty answer is wrong
    QCOMPARE(counts.invalid, 0);
    const QList<QuestaoCorrigida> exam = sheet.corrected(numbers);
    QCOMPARE(exam.size(), ExamTypes::kQuestions);
    QCOMPARE(exam[0].numero, numbers[0]);
    QVERIFY(exam[20].acertou());
    QCOMPARE(exam[21].marca, QStringLiteral("X"));
    QCOMPARE(exam[29].resposta, QString());
    QCOMPARE(exam[29].certa, sheet.cell(29, AnswerSheet::Right));
    QCOMPARE(sheet.cell(30, 0), QString()); // outside the sheet

    AnswerSheet fresh;
    fresh.setCell(0, AnswerSheet::Given, QStringLiteral("C"));
    QList<int> unknown = numbers;
    unknown[15] = 999999;
    QVERIFY_THROWS_EXCEPTION(std::exception, fresh.correct(unknown, bank));
    QCOMPARE(fresh.cell(0, AnswerSheet::Right), QString());
    QCOMPARE(fresh.cell(0, AnswerSheet::Mark), QString());
    QCOMPARE(fresh.cell(0, AnswerSheet::Given), QStringLiteral("C"));
}

QTEST_MAIN(TestQuestionBank)
#include "tst_questionbank.moc"
