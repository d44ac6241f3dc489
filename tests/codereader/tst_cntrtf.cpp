// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// Checks cnt.rtf, the traffic code text the reader loads, as the reader uses it: the chapter list
// jumps to the first case-sensitive occurrence of "CAPÍTULO I" ... "CAPÍTULO XX", "ANEXO I" in the
// plain text of the view. Also checks that the generator, ctb2rtf, refuses malformed sources.

#include "common/cp1252.h"

#include "files.h"

#include <QtTest>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <optional>

namespace {

// One paragraph of the RTF as the view shows it, with the bold state of each character.
struct Line {
    QString text;
    QList<bool> bold;

    bool allBold() const { return !bold.isEmpty() && !bold.contains(false); }
    qsizetype boldPrefix() const
    {
        qsizetype n = 0;
        while (n < bold.size() && bold[n])
            ++n;
        return n;
    }
    bool anyBold() const { return bold.contains(true); }
};

struct Document {
    QList<Line> lines;
    QString text; // the lines joined with '\n'
};

// A small RTF reader: groups, control words, \'hh escapes, \par as a line break. Destination
// groups (font table, \*...) are skipped.
Document readRtf(const QByteArray &rtf)
{
    struct GroupState {
        bool bold = false;
        bool skip = false;
    };
    QList<GroupState> stack;
    GroupState state;
    Document doc;
    std::string bytes;
    QList<bool> bold;

    const auto put = [&](char ch) {
        if (state.skip)
            return;
        bytes += ch;
        bold.append(state.bold);
    };
    const auto endLine = [&] {
        if (state.skip)
            return;
        doc.lines.append({QString::fromStdString(cp1252::toUtf8(bytes)), bold});
        bytes.clear();
        bold.clear();
    };

    for (qsizetype i = 0; i < rtf.size(); ++i) {
        const char c = rtf[i];
        if (c == '{') {
            stack.append(state);
        } else if (c == '}') {
            if (!stack.isEmpty())
                state = stack.takeLast();
        } else if (c == '\\' && i + 1 < rtf.size()) {
            const char n = rtf[++i];
            if (QChar::fromLatin1(n).isLetter()) {
                QByteArray word;
                while (i < rtf.size() && QChar::fromLatin1(rtf[i]).isLetter())
                    word += rtf[i++];
                QByteArray param;
                if (i < rtf.size() && (rtf[i] == '-' || QChar::fromLatin1(rtf[i]).isDigit())) {
                    param += rtf[i++];
                    while (i < rtf.size() && QChar::fromLatin1(rtf[i]).isDigit())
                        param += rtf[i++];
                }
                if (i >= rtf.size() || rtf[i] != ' ')
                    --i; // no delimiting space: the next character is text
                if (word == "par") {
                    endLine();
                } else if (word == "b") {
                    state.bold = param.isEmpty() || param.toInt() != 0;
                } else if (word == "plain") {
                    state.bold = false;
                } else if (word == "fonttbl" || word == "colortbl" || word == "stylesheet" ||
                           word == "info") {
                    state.skip = true;
                } else if (word == "tab") {
                    put('\t');
                }
            } else if (n == '\'' && i + 2 < rtf.size()) {
                bool ok = false;
                const int value = rtf.mid(i + 1, 2).toInt(&ok, 16);
                i += 2;
                if (ok)
                    put(static_cast<char>(value));
            } else if (n == '\\' || n == '{' || n == '}') {
                put(n);
            } else if (n == '*') {
                state.skip = true;
            }
        } else if (c != '\r' && c != '\n') {
            put(c);
        }
    }
    if (!bytes.empty())
        endLine();
    QStringList texts;
    for (const Line &line : std::as_const(doc.lines))
        texts.append(line.text);
    doc.text = texts.join(QLatin1Char('\n'));
    return doc;
}

struct Chapter {
    const char *heading; // searched by the reader, or a lettered chapter
    const char *title;
    bool searched; // one of the 21 entries of the reader's chapter list
};

// Every chapter of the code in the order of the law, with its official title.
const Chapter kChapters[] = {
    {"CAPÍTULO I", "DISPOSIÇÕES PRELIMINARES", true},
    {"CAPÍTULO II", "DO SISTEMA NACIONAL DE TRÂNSITO", true},
    {"CAPÍTULO III", "DAS NORMAS GERAIS DE CIRCULAÇÃO E CONDUTA", true},
    {"CAPÍTULO III-A", "DA CONDUÇÃO DE VEÍCULOS POR MOTORISTAS PROFISSIONAIS", false},
    {"CAPÍTULO IV", "DOS PEDESTRES E CONDUTORES DE VEÍCULOS NÃO MOTORIZADOS", true},
    {"CAPÍTULO V", "DO CIDADÃO", true},
    {"CAPÍTULO VI", "DA EDUCAÇÃO PARA O TRÂNSITO", true},
    {"CAPÍTULO VII", "DA SINALIZAÇÃO DE TRÂNSITO", true},
    {"CAPÍTULO VIII",
     "DA ENGENHARIA DE TRÁFEGO, DA OPERAÇÃO, DA FISCALIZAÇÃO E DO POLICIAMENTO OSTENSIVO DE TRÂNSITO", true},
    {"CAPÍTULO IX", "DOS VEÍCULOS", true},
    {"CAPÍTULO X", "DOS VEÍCULOS EM CIRCULAÇÃO INTERNACIONAL", true},
    {"CAPÍTULO XI", "DO REGISTRO DE VEÍCULOS", true},
    {"CAPÍTULO XII", "DO LICENCIAMENTO", true},
    {"CAPÍTULO XIII", "DA CONDUÇÃO DE ESCOLARES", true},
    {"CAPÍTULO XIII-A", "DA CONDUÇÃO DE MOTO-FRETE", false},
    {"CAPÍTULO XIV", "DA HABILITAÇÃO", true},
    {"CAPÍTULO XV", "DAS INFRAÇÕES", true},
    {"CAPÍTULO XVI", "DAS PENALIDADES", true},
    {"CAPÍTULO XVII", "DAS MEDIDAS ADMINISTRATIVAS", true},
    {"CAPÍTULO XVIII", "DO PROCESSO ADMINISTRATIVO", true},
    {"CAPÍTULO XIX", "DOS CRIMES DE TRÂNSITO", true},
    {"CAPÍTULO XX", "DISPOSIÇÕES FINAIS E TRANSITÓRIAS", true},
    {"ANEXO I", "DOS CONCEITOS E DEFINIÇÕES", true},
};

const QRegularExpression kHeadingLine(QStringLiteral("^(CAPÍTULO [IVX]+(-A)?|ANEXO [IVX]+)$"));
const QRegularExpression kArticleLabel(QStringLiteral("^Art\\. (\\d+)(º)?(?:-([A-Z]+))?(\\.)? "));

struct Label {
    int number = 0;
    QString letters;
    qsizetype length = 0; // characters of "Art. 25-A."

    bool operator<(const Label &o) const
    {
        if (number != o.number)
            return number < o.number;
        if (letters.size() != o.letters.size())
            return letters.size() < o.letters.size();
        return letters < o.letters;
    }
    QString name() const
    {
        return QString::number(number) + (letters.isEmpty() ? QString() : QChar(u'-') + letters);
    }
};

std::optional<Label> parseLabel(const QString &line)
{
    const QRegularExpressionMatch m = kArticleLabel.match(line);
    if (!m.hasMatch())
        return std::nullopt;
    Label label;
    label.number = m.captured(1).toInt();
    label.letters = m.captured(3);
    label.length = m.capturedLength(0) - 1;
    const bool ordinal = m.hasCaptured(2);
    const bool point = m.hasCaptured(4);
    const bool wellFormed =
        label.number <= 9 ? ordinal && point == !label.letters.isEmpty() : !ordinal && point;
    if (!wellFormed)
        return std::nullopt;
    return label;
}

QString utf8(const char *s)
{
    return QString::fromUtf8(s);
}

} // namespace

class TestCntRtf : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void isRtfInCodePage1252();
    void noteComesFirst();
    void headingsAreFoundWhereTheReaderJumps();
    void requiredChaptersArePresent();
    void upperCaseWordsOnlyInHeadings();
    void titlesFollowHeadings();
    void headingsAndLabelsAreBold();
    void articlesInOrder();
    void chaptersOneAndTwoAreComplete();
    void generatorRefuses_data();
    void generatorRefuses();
    void generatorKeepsOldOutputOnFailure();
    void generatorAcceptsGoodInput();

private:
    QByteArray m_rtf;
    Document m_doc;
};

void TestCntRtf::initTestCase()
{
    QFile file(QStringLiteral(QUELVADO_BIN_DIR "/cnt.rtf"));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    m_rtf = file.readAll();
    m_doc = readRtf(m_rtf);
    QVERIFY(m_doc.lines.size() > 100);
}

void TestCntRtf::isRtfInCodePage1252()
{
    QVERIFY(m_rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0"));
    QVERIFY(m_rtf.contains("{\\fonttbl{\\f0\\fswiss Arial;}}"));
    int depth = 0;
    for (qsizetype i = 0; i < m_rtf.size(); ++i) {
        const auto b = static_cast<unsigned char>(m_rtf[i]);
        QVERIFY2(b < 0x80, "every byte above ASCII is written as an \\'hh escape");
        if (m_rtf[i] == '\\') {
            ++i; // an escaped brace does not count
            continue;
        }
        if (m_rtf[i] == '{')
            ++depth;
        if (m_rtf[i] == '}')
            --depth;
        QVERIFY(depth >= 0);
        if (depth == 0)
            QVERIFY2(m_rtf.mid(i + 1).trimmed().isEmpty(), "nothing follows the closing brace");
    }
    QCOMPARE(depth, 0);
    // The headings hold the code page byte of "Í".
    QVERIFY(m_rtf.contains("CAP\\'cdTULO I\\b0"));
}

void TestCntRtf::noteComesFirst()
{
    const QString first = utf8("CAPÍTULO I");
    qsizetype chapterLine = -1;
    for (qsizetype k = 0; k < m_doc.lines.size() && chapterLine < 0; ++k)
        if (m_doc.lines[k].text == first)
            chapterLine = k;
    QVERIFY(chapterLine >= 2);
    QString note;
    for (qsizetype k = 0; k < chapterLine; ++k) {
        QVERIFY(!m_doc.lines[k].text.startsWith(QStringLiteral("Art.")));
        note += m_doc.lines[k].text + u'\n';
    }
    QVERIFY(note.contains(utf8("Código de Trânsito Brasileiro")));
    QVERIFY(note.contains(QStringLiteral("planalto.gov.br")));
    QVERIFY(note.contains(utf8("Diário Oficial da União")));
}

void TestCntRtf::headingsAreFoundWhereTheReaderJumps()
{
    qsizetype previous = -1;
    for (const Chapter &chapter : kChapters) {
        if (!chapter.searched)
            continue;
        const QString heading = utf8(chapter.heading);
        const qsizetype at = m_doc.text.indexOf(heading); // exact and case-sensitive, as the reader does
        if (at < 0)
            continue;
        QVERIFY2(at == 0 || m_doc.text[at - 1] == u'\n',
                 qPrintable(heading + QStringLiteral(" is not at a line start")));
        qsizetype end = m_doc.text.indexOf(u'\n', at);
        if (end < 0)
            end = m_doc.text.size();
        const QString line = m_doc.text.mid(at, end - at);
        if (line != heading) {
            // Only a lettered chapter may be reached this way, and only when its plain chapter is absent.
            QVERIFY2(line == heading + QStringLiteral("-A"),
                     qPrintable(heading + QStringLiteral(" first found in: ") + line));
            bool plainPresent = false;
            for (const Line &l : std::as_const(m_doc.lines))
                plainPresent = plainPresent || l.text == heading;
            QVERIFY2(!plainPresent, qPrintable(heading + QStringLiteral(" comes after ") + line));
        }
        QVERIFY2(at > previous, qPrintable(heading + QStringLiteral(" is out of order")));
        previous = at;
    }
}

void TestCntRtf::requiredChaptersArePresent()
{
    // The whole law: every chapter and the annex.
    for (const Chapter &chapter : kChapters) {
        bool found = false;
        for (const Line &line : std::as_const(m_doc.lines))
            found = found || line.text == utf8(chapter.heading);
        QVERIFY2(found, chapter.heading);
    }
}

void TestCntRtf::upperCaseWordsOnlyInHeadings()
{
    // Heading lines are exactly the chapter headings, in the order of the law.
    int next = 0;
    for (const Line &line : std::as_const(m_doc.lines)) {
        for (const QString &word : {utf8("CAPÍTULO"), QStringLiteral("ANEXO")}) {
            if (line.text.contains(word)) {
                QVERIFY2(line.text.startsWith(word) && line.text.count(word) == 1 &&
                             kHeadingLine.match(line.text).hasMatch(),
                         qPrintable(QStringLiteral("upper-case word outside a heading: ") + line.text));
            }
        }
        if (!kHeadingLine.match(line.text).hasMatch())
            continue;
        while (next < int(std::size(kChapters)) && line.text != utf8(kChapters[next].heading))
            ++next;
        QVERIFY2(next < int(std::size(kChapters)),
                 qPrintable(QStringLiteral("unknown or misplaced heading: ") + line.text));
        ++next;
    }
}

void TestCntRtf::titlesFollowHeadings()
{
    for (const Chapter &chapter : kChapters) {
        for (qsizetype k = 0; k < m_doc.lines.size(); ++k) {
            if (m_doc.lines[k].text != utf8(chapter.heading))
                continue;
            QVERIFY2(k + 1 < m_doc.lines.size(), chapter.heading);
            QCOMPARE(m_doc.lines[k + 1].text, utf8(chapter.title));
        }
    }
}

void TestCntRtf::headingsAndLabelsAreBold()
{
    const QRegularExpression sectionLine(QStringLiteral("^(Seção|Subseção) [IVX]+$"));
    bool titleNext = false;
    int articles = 0;
    for (const Line &line : std::as_const(m_doc.lines)) {
        const bool heading =
            kHeadingLine.match(line.text).hasMatch() || sectionLine.match(line.text).hasMatch();
        if (heading || titleNext) {
            QVERIFY2(line.allBold(), qPrintable(QStringLiteral("not bold: ") + line.text));
            titleNext = heading;
            continue;
        }
        if (const std::optional<Label> label = parseLabel(line.text)) {
            QCOMPARE(line.boldPrefix(), label->length);
            QVERIFY2(!line.allBold(), qPrintable(line.text));
            ++articles;
            continue;
        }
        QVERIFY2(!line.anyBold(), qPrintable(QStringLiteral("bold in a plain paragraph: ") + line.text));
    }
    QVERIFY(articles > 50);
}

void TestCntRtf::articlesInOrder()
{
    std::optional<Label> previous;
    bool newChapter = false;
    for (const Line &line : std::as_const(m_doc.lines)) {
        if (kHeadingLine.match(line.text).hasMatch()) {
            newChapter = true;
            continue;
        }
        if (!line.text.startsWith(QStringLiteral("Art.")))
            continue;
        const std::optional<Label> label = parseLabel(line.text);
        QVERIFY2(label, qPrintable(QStringLiteral("malformed article label: ") + line.text.left(40)));
        if (!previous) {
            QCOMPARE(label->name(), QStringLiteral("1"));
        } else {
            QVERIFY2(*previous < *label,
                     qPrintable(label->name() + QStringLiteral(" after ") + previous->name()));
            // Within a chapter no article is skipped.
            if (!newChapter)
                QVERIFY2(label->number <= previous->number + 1,
                         qPrintable(QStringLiteral("missing articles between ") + previous->name() +
                                    QStringLiteral(" and ") + label->name()));
        }
        previous = label;
        newChapter = false;
    }
    QVERIFY(previous);
}

void TestCntRtf::chaptersOneAndTwoAreComplete()
{
    QStringList chapterOne, chapterTwo;
    QStringList *current = nullptr;
    for (const Line &line : std::as_const(m_doc.lines)) {
        if (kHeadingLine.match(line.text).hasMatch()) {
            current = line.text == utf8("CAPÍTULO I")    ? &chapterOne
                      : line.text == utf8("CAPÍTULO II") ? &chapterTwo
                                                         : nullptr;
            continue;
        }
        if (current)
            if (const std::optional<Label> label = parseLabel(line.text))
                current->append(label->name());
    }
    QCOMPARE(chapterOne, (QStringList{"1", "2", "3", "4"}));
    QStringList expected{"5", "6", "7", "7-A", "8", "9", "10", "10-A"};
    for (int n = 11; n <= 25; ++n) {
        expected.append(QString::number(n));
        if (n == 24)
            expected.append(QStringLiteral("24-A"));
    }
    expected.append(QStringLiteral("25-A"));
    QCOMPARE(chapterTwo, expected);
}

namespace {

struct Run {
    int exitCode = -1;
    QString errors;
};

Run runGenerator(const QString &output, const QStringList &inputs)
{
    QProcess process;
    process.start(QStringLiteral(CTB2RTF), QStringList{output} + inputs);
    Run run;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}

const QByteArray kGoodStart = "# a small chapter\n"
                              "= CAP\xC3\x8DTULO I\n"
                              "= DISPOSI\xC3\x87\xC3\x95"
                              "ES PRELIMINARES\n";

} // namespace

void TestCntRtf::generatorRefuses_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<int>("line");

    QTest::newRow("arrow") << kGoodStart + "Art. 1\xC2\xBA Siga \xE2\x86\x92 em frente.\n" << 4;
    QTest::newRow("upper-case chapter in an article")
        << kGoodStart + "Art. 1\xC2\xBA Veja o CAP\xC3\x8DTULO II.\n"
        << 4;
    QTest::newRow("upper-case annex in a paragraph")
        << kGoodStart + "Art. 1\xC2\xBA Texto.\nVeja o ANEXO I.\n"
        << 5;
    QTest::newRow("invalid UTF-8") << kGoodStart + "Art. 1\xC2\xBA Texto \xC3\x28 partido.\n" << 4;
    QTest::newRow("Latin-1 byte") << kGoodStart + "\nArt. 1\xBA Texto.\n" << 5;
    QTest::newRow("unknown heading") << QByteArray("= CAP\xC3\x8DTULO XXV\n= TITULO\n") << 1;
    QTest::newRow("heading without title")
        << kGoodStart.left(kGoodStart.indexOf("= DIS")) + "Art. 1\xC2\xBA X.\n"
        << 3;
    QTest::newRow("lower-case title") << QByteArray("= CAP\xC3\x8DTULO I\n= Disposi\xC3\xA7\xC3\xB5"
                                                    "es\n")
                                      << 2;
    QTest::newRow("chapters out of order") << kGoodStart + "Art. 1\xC2\xBA X.\n= CAP\xC3\x8DTULO I\n= OUTRO\n"
                                           << 5;
    QTest::newRow("articles backwards") << kGoodStart + "Art. 2\xC2\xBA X.\nArt. 1\xC2\xBA Y.\n" << 5;
    QTest::newRow("ordinal from ten") << kGoodStart + "Art. 10\xC2\xBA X.\n" << 4;
    QTest::newRow("section heading") << kGoodStart + "== Se\xC3\xA7\xC3\xA3o Um\n" << 4;
}

void TestCntRtf::generatorRefuses()
{
    QFETCH(QByteArray, source);
    QFETCH(int, line);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString input = dir.filePath(QStringLiteral("bad.txt"));
    const QString output = dir.filePath(QStringLiteral("out.rtf"));
    QVERIFY(writeFile(input, source));

    const Run run = runGenerator(output, {input});
    QVERIFY2(run.exitCode > 0, qPrintable(run.errors));
    QVERIFY2(run.errors.contains(QStringLiteral("bad.txt:%1: error").arg(line)), qPrintable(run.errors));
    QVERIFY(!QFile::exists(output));
    QVERIFY(!QFile::exists(output + QStringLiteral(".tmp")));
}

void TestCntRtf::generatorKeepsOldOutputOnFailure()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString input = dir.filePath(QStringLiteral("bad.txt"));
    const QString output = dir.filePath(QStringLiteral("out.rtf"));
    QVERIFY(writeFile(input, kGoodStart + "Art. 1\xC2\xBA \xE2\x89\xA4 cinco.\n"));
    QVERIFY(writeFile(output, "old"));
    QVERIFY(runGenerator(output, {input}).exitCode > 0);
    QFile file(output);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("old"));
}

void TestCntRtf::generatorAcceptsGoodInput()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString note = dir.filePath(QStringLiteral("00-nota.txt"));
    const QString chapter = dir.filePath(QStringLiteral("01-capitulo-i.txt"));
    const QString output = dir.filePath(QStringLiteral("out.rtf"));
    QVERIFY(writeFile(note, "Nota {com chaves} e \\barra\\ \xE2\x80\x9C"
                            "aspas\xE2\x80\x9D.\n"));
    QVERIFY(writeFile(chapter, kGoodStart + "Art. 1\xC2\xBA O tr\xC3\xA2nsito.\n\xC2\xA7 1\xC2\xBA Texto.\n"
                                            "Art. 7\xC2\xBA-A. Porto.\nArt. 10. Dez.\nArt. 10-A. Dez A.\n"));
    const Run run = runGenerator(output, {note, chapter});
    QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
    QFile file(output);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const Document doc = readRtf(file.readAll());
    QCOMPARE(doc.lines.size(), 8);
    QCOMPARE(doc.lines[0].text, utf8("Nota {com chaves} e \\barra\\ “aspas”."));
    QCOMPARE(doc.lines[1].text, utf8("CAPÍTULO I"));
    QVERIFY(doc.lines[1].allBold() && doc.lines[2].allBold());
    QCOMPARE(doc.lines[3].text, utf8("Art. 1º O trânsito."));
    QCOMPARE(doc.lines[3].boldPrefix(), 7);
    QCOMPARE(doc.lines[5].boldPrefix(), 10);
    QCOMPARE(doc.lines[6].text, QStringLiteral("Art. 10. Dez."));
}

QTEST_GUILESS_MAIN(TestCntRtf)
#include "tst_cntrtf.moc"
