// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The rich-text reader of the traffic code (text, bold runs, code page 1252, what is skipped, what
// malformed input becomes), the line/offset model and the two searches of the reader, without a
// window.

#include "codereader/linemodel.h"
#include "codereader/rtfreader.h"

#include <QtTest>

namespace {
QStringList textsOf(const RtfDocument &doc)
{
    QStringList out;
    for (const RtfLine &line : doc.lines)
        out << line.text;
    return out;
}

QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

LineModel model(const QStringList &lines)
{
    return LineModel(lines);
}

// Lines with blanks normalised: each cell (between tabs) trimmed, runs of spaces made one, empty
// lines dropped.
QStringList normalised(const QStringList &lines)
{
    QStringList out;
    for (const QString &line : lines) {
        QStringList cells = line.split(u'\t');
        for (QString &cell : cells)
            cell = cell.simplified();
        const QString joined = cells.join(u'\t');
        if (!joined.trimmed().isEmpty())
            out << joined;
    }
    return out;
}
} // namespace

class TestRtfReader : public QObject {
    Q_OBJECT
private slots:
    void readsText_data();
    void readsText();
    void boldRuns();
    void paragraphSpacing();
    void plainTextIsCodePage1252();
    void deepNestingIsBounded();
    void realFile();
    void tables_data();
    void tables();
    void tablesFromOtherPrograms_data();
    void tablesFromOtherPrograms();

    void offsetsCountBreaksAsTwo();
    void longLinesShownInPieces();
    void chapterHeadings();
    void findNext_data();
    void findNext();
    void findNextAsLineByLine();
};

void TestRtfReader::readsText_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("generator's header")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252\\deff0 {\\fonttbl{\\f0\\fswiss Arial;}}\r\n"
                      "\\viewkind4\\uc1\\f0\\fs20\r\n\\pard Tr\\'e2nsito\\par\r\n}\r\n")
        << QStringList{u("Trânsito")};
    QTest::newRow("trailing paragraph makes no line")
        << QByteArray("{\\rtf1 a\\par b\\par}") << QStringList{"a", "b"};
    QTest::newRow("empty paragraphs inside stay")
        << QByteArray("{\\rtf1 a\\par\\par b}") << QStringList{"a", "", "b"};
    QTest::newRow("escapes") << QByteArray("{\\rtf1 \\{x\\} \\\\y\\~z}") << QStringList{u("{x} \\y\u00a0z")};
    QTest::newRow("raw breaks ignored, delimiter space eaten")
        << QByteArray("{\\rtf1 one\r\ntwo\\b  three}") << QStringList{"onetwo three"};
    QTest::newRow("hex escapes, upper and lower case")
        << QByteArray("{\\rtf1 CAP\\'CDTULO \\'e9\\'96}") << QStringList{u("CAPÍTULO é–")};
    QTest::newRow("bad hex escape shows nothing of itself")
        << QByteArray("{\\rtf1 a\\'zzb}") << QStringList{"azzb"};
    QTest::newRow("unicode with fallback")
        << QByteArray("{\\rtf1 \\u8364?x\\uc2\\u-3?? y}") << QStringList{u("€x\ufffd y")};
    QTest::newRow("unicode paragraph separator becomes a space")
        << QByteArray("{\\rtf1 a\\u8233?b}") << QStringList{"a b"};
    QTest::newRow("lone surrogate replaced")
        << QByteArray("{\\rtf1 \\u55357?x}") << QStringList{u("\ufffdx")};
    QTest::newRow("surrogate pair kept") << QByteArray("{\\rtf1 \\u55357?\\u56832?}") << QStringList{u("😀")};
    QTest::newRow("destinations skipped")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0;}{\\*\\generator "
                      "Foo;}{\\info{\\title T}}ok}")
        << QStringList{"ok"};
    QTest::newRow("field result shown, instruction not")
        << QByteArray("{\\rtf1{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt link}}}") << QStringList{"link"};
    QTest::newRow("binary data skipped") << QByteArray("{\\rtf1 a\\bin3 {}\\b}") << QStringList{"ab"};
    QTest::newRow("huge binary length")
        << QByteArray("{\\rtf1 a\\bin99999999999999 xyz}") << QStringList{"a"};
    QTest::newRow("tab and quotes") << QByteArray("{\\rtf1 a\\tab b\\ldblquote c\\rdblquote\\emdash}")
                                    << QStringList{u("a\tb“c”—")};
    QTest::newRow("control characters dropped")
        << QByteArray("{\\rtf1 a\\'00\\'0d\\'0ab\x01}") << QStringList{"ab"};
    QTest::newRow("backslash newline is a paragraph")
        << QByteArray("{\\rtf1 a\\\nb}") << QStringList{"a", "b"};
    QTest::newRow("text after the document is not read")
        << QByteArray("{\\rtf1 a}b\\par c") << QStringList{"a"};
    QTest::newRow("unclosed document") << QByteArray("{\\rtf1 a\\par b{\\b c") << QStringList{"a", "bc"};
    QTest::newRow("truncated escapes") << QByteArray("{\\rtf1 a\\'4") << QStringList{"a4"};
    QTest::newRow("lone backslash at end") << QByteArray("{\\rtf1 a\\") << QStringList{"a"};
    QTest::newRow("very long word and parameter")
        << QByteArray("{\\rtf1 a\\" + QByteArray(100, 'x') + "123 b\\b99999999999999999999 c}")
        << QStringList{"abc"};
    QTest::newRow("empty document") << QByteArray("{\\rtf1}") << QStringList{};
}

void TestRtfReader::readsText()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QStringList, lines);
    const RtfDocument doc = RtfReader::read(rtf);
    QVERIFY(doc.richText);
    QCOMPARE(textsOf(doc), lines);
}

void TestRtfReader::boldRuns()
{
    const RtfDocument doc = RtfReader::read("{\\rtf1\\pard\\b Art. 1\\'ba\\b0  O tr\\'e2nsito {\\b "
                                            "grupo}x\\b1 y\\plain z\\par\\b T\\'cdTULO\\b0\\par}");
    QCOMPARE(textsOf(doc), (QStringList{u("Art. 1º O trânsito grupoxyz"), u("TÍTULO")}));
    // Bold ends with its group; \plain ends it too.
    QCOMPARE(doc.lines[0].bold, (QList<RtfSpan>{{0, 7}, {19, 5}, {25, 1}}));
    QCOMPARE(doc.lines[1].bold, (QList<RtfSpan>{{0, 6}}));
}

void TestRtfReader::paragraphSpacing()
{
    const RtfDocument doc = RtfReader::read("{\\rtf1\\pard\\sb240 A\\par\\pard\\sa120 B\\par\\pard C\\par}");
    QCOMPARE(doc.lines.size(), 3);
    QCOMPARE(doc.lines[0].spaceBefore, 240);
    QCOMPARE(doc.lines[1].spaceBefore, 0);
    QCOMPARE(doc.lines[1].spaceAfter, 120);
    QCOMPARE(doc.lines[2].spaceAfter, 0);
}

void TestRtfReader::plainTextIsCodePage1252()
{
    const RtfDocument doc = RtfReader::read("CAP\xcdTULO I\r\nlinha \x80\x81\nfim\rx\t{\\b y}\r\n");
    QVERIFY(!doc.richText);
    QCOMPARE(textsOf(doc), (QStringList{u("CAPÍTULO I"), u("linha €?"), u("fim"), u("x\t{\\b y}")}));
    QVERIFY(doc.lines[0].bold.isEmpty());
    // Not quite the start of a rich-text file.
    QCOMPARE(textsOf(RtfReader::read(" {\\rtf1 a}")), QStringList{" {\\rtf1 a}"});
    QCOMPARE(textsOf(RtfReader::read(QByteArray())), QStringList{});
    QCOMPARE(textsOf(RtfReader::read("\n\n")), (QStringList{"", ""}));
}

void TestRtfReader::deepNestingIsBounded()
{
    const int depth = 100000;
    QByteArray rtf = "{\\rtf1 a";
    rtf += QByteArray(depth, '{') + "hidden\\}" + QByteArray(depth, '}');
    rtf += "b}";
    const RtfDocument doc = RtfReader::read(rtf);
    // The groups beyond the depth limit are skipped whole, the text around them is read.
    QCOMPARE(doc.lines.size(), 1);
    QVERIFY(doc.lines[0].text.startsWith(u'a'));
    QVERIFY(doc.lines[0].text.endsWith(u'b'));
    QVERIFY(!doc.lines[0].text.contains(QStringLiteral("hidden")));

    // Within the limit, nested text is read.
    QByteArray shallow = "{\\rtf1 " + QByteArray(RtfReader::kMaxDepth - 1, '{') + "deep" +
                         QByteArray(RtfReader::kMaxDepth - 1, '}') + "}";
    QCOMPARE(textsOf(RtfReader::read(shallow)), QStringList{"deep"});
}

void TestRtfReader::realFile()
{
    QFile file(QStringLiteral(QUELVADO_BIN_DIR "/cnt.rtf"));
    if (!file.open(QIODevice::ReadOnly))
        QSKIP("cnt.rtf is not built");
    const RtfDocument doc = RtfReader::read(file.readAll());
    QVERIFY(doc.richText);
    const qsizetype heading = textsOf(doc).indexOf(u("CAPÍTULO I"));
    QVERIFY(heading > 0);
    QCOMPARE(doc.lines[heading].bold, (QList<RtfSpan>{{0, 10}}));
    QCOMPARE(doc.lines[heading + 1].text, u("DISPOSIÇÕES PRELIMINARES"));
    QCOMPARE(doc.lines[heading].spaceBefore, 240);
    // Every article label is bold, the rest of its line is not.
    for (const RtfLine &line : doc.lines) {
        if (line.text.startsWith(QStringLiteral("Art. "))) {
            QCOMPARE(line.bold.size(), 1);
            QCOMPARE(line.bold[0].start, 0);
            QCOMPARE(line.text.at(line.bold[0].length), u' ');
        }
    }
}

void TestRtfReader::offsetsCountBreaksAsTwo()
{
    const LineModel m = model({"ab", "", "cde"});
    QCOMPARE(m.plainText(), QStringLiteral("ab\r\n\r\ncde"));
    QCOMPARE(m.lineStart(1), 4);
    QCOMPARE(m.lineStart(2), 6);
    QCOMPARE(m.lineStart(3), 11);
    // offset -> view position: a break is one character in the view.
    const QList<std::pair<qsizetype, qsizetype>> pairs = {{0, 0}, {2, 2}, {4, 3}, {6, 4}, {9, 7}};
    for (const auto &[offset, position] : pairs) {
        QCOMPARE(m.toViewPosition(offset), position);
        QCOMPARE(m.fromViewPosition(position), offset);
    }
    QCOMPARE(m.toViewPosition(3), 2);   // on the LF of the first break: end of its line
    QCOMPARE(m.toViewPosition(100), 7); // past the text: its end
    QCOMPARE(m.fromViewPosition(100), 9);
    QCOMPARE(LineModel().toViewPosition(5), 0);
    QCOMPARE(LineModel().fromViewPosition(5), 0);
}

// A line longer than the longest display paragraph is shown in pieces: every offset still lands on
// its own character in the view, and back. A line of that length itself stays whole.
void TestRtfReader::longLinesShownInPieces()
{
    constexpr qsizetype longest = LineModel::kLongestPiece;
    // Words to break after; a run with no space, broken where a surrogate pair would be parted.
    const QString words = QStringLiteral("palavra ").repeated(longest / 8 * 3);
    const QString run = QString(longest - 1, u'x') + u("\U0001F697") + QString(longest, u'y');
    const QString whole(LineModel::kLongestParagraph, u'z');
    const QStringList lines = {QStringLiteral("ab"), words + run, QString(), QStringLiteral("cd"), whole};
    QVERIFY(lines.at(1).size() > LineModel::kLongestParagraph);
    const LineModel m = model(lines);
    QCOMPARE(m.lineCount(), 5);

    // The pieces cover each line in order, none longer than the longest, breaking after a space
    // where one is near and never inside a surrogate pair.
    QString view;
    qsizetype line = -1;
    qsizetype column = 0;
    bool pairKept = false; // a piece ended just before the pair instead of inside it
    for (qsizetype i = 0; i < m.paragraphCount(); ++i) {
        const DisplayParagraph &p = m.paragraph(i);
        if (p.line != line) {
            QCOMPARE(column, line < 0 ? 0 : lines.at(line).size());
            QCOMPARE(p.line, line + 1);
            line = p.line;
            column = 0;
        }
        QCOMPARE(p.column, column);
        QVERIFY(p.length <= (line == 4 ? whole.size() : longest));
        const QString piece = lines.at(line).mid(p.column, p.length);
        const bool last = p.column + p.length == lines.at(line).size();
        if (!last && p.column + p.length <= words.size())
            QVERIFY2(piece.endsWith(u' '), qPrintable(piece.right(20)));
        if (!last)
            QVERIFY(!piece.back().isHighSurrogate());
        if (line == 1 && p.column + p.length == words.size() + longest - 1)
            pairKept = true;
        view += (i ? QStringLiteral("\n") : QString()) + piece;
        column += p.length;
    }
    QCOMPARE(line, 4);
    QVERIFY(pairKept);
    QVERIFY(m.paragraphCount() >= 5 + (lines.at(1).size() - 1) / longest);
    QVERIFY(m.paragraphCount() <= 5 + 2 * lines.at(1).size() / longest);
    QCOMPARE(m.paragraph(m.paragraphCount() - 1), (DisplayParagraph{4, 0, whole.size()}));

    // Every character of the text is at its view position, and the view position maps back.
    const QString &plain = m.plainText();
    for (qsizetype offset = 0; offset < plain.size(); ++offset) {
        if (plain.at(offset) == u'\r' || plain.at(offset) == u'\n')
            continue;
        const qsizetype position = m.toViewPosition(offset);
        QCOMPARE(view.at(position), plain.at(offset));
        QCOMPARE(m.fromViewPosition(position), offset);
        QCOMPARE(m.paragraph(m.paragraphAt(position)).line, m.firstLineFrom(offset + 1) - 1);
        // A selection that ends here ends just past the character before, never on a break.
        if (offset > 0 && plain.at(offset - 1) != u'\n')
            QCOMPARE(m.toViewEnd(offset), m.toViewPosition(offset - 1) + 1);
    }
    // A display break maps to the offset after it; the text's end to the view's end.
    const qsizetype firstBreak = 3 + m.paragraph(1).length; // after "ab", its break and a piece
    QCOMPARE(view.at(firstBreak), u'\n');
    QCOMPARE(m.fromViewPosition(firstBreak), m.lineStart(1) + m.paragraph(1).length);
    QCOMPARE(m.toViewPosition(plain.size()), view.size());
    QCOMPARE(m.fromViewPosition(view.size() + 5), plain.size());
    // Short lines are one piece each.
    const LineModel shortLines = model({"ab", "", "cde"});
    QCOMPARE(shortLines.paragraphCount(), 3);
    QCOMPARE(shortLines.paragraph(2), (DisplayParagraph{2, 0, 3}));
}

void TestRtfReader::chapterHeadings()
{
    QCOMPARE(CodeSearch::chapterEntry(8), u("Capítulo IX -  DOS VEÍCULOS"));
    QCOMPARE(CodeSearch::chapterEntry(20), u("Anexo I  -  DOS CONCEITOS E DEFINIÇÕES"));
    QCOMPARE(CodeSearch::chapterHeading(0), u("CAPÍTULO I"));
    QCOMPARE(CodeSearch::chapterHeading(21), QString());
    QCOMPARE(CodeSearch::chapterHeading(-1), QString());

    const LineModel m = model({u("Nota"), u("CAPÍTULO I"), u("x"), u("CAPÍTULO IX"), u("ANEXO I")});
    QCOMPARE(CodeSearch::findChapter(m, 0), (TextMatch{6, 10}));
    // The first occurrence wins, even inside a longer heading (chapter II is not in the text).
    QCOMPARE(CodeSearch::findChapter(m, 8), (TextMatch{21, 11}));
    QCOMPARE(CodeSearch::findChapter(m, 20), (TextMatch{34, 7}));
    QVERIFY(!CodeSearch::findChapter(m, 1));
    QVERIFY(!CodeSearch::findChapter(m, 21));
    QVERIFY(!CodeSearch::findChapter(m, -1));
    // Case-sensitive.
    QVERIFY(!CodeSearch::findChapter(model({u("capítulo i")}), 0));
}

void TestRtfReader::findNext_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<qsizetype>("from");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<qsizetype>("start"); // -1: not found
    QTest::addColumn<qsizetype>("length");

    const QStringList lines{u("Nota inicial"), u("CAPÍTULO I"), u("Art. 1º a infração e a INFRAÇÃO"),
                            u("sinal e sinal"), u("sinal no início")};
    // Offsets: line starts 0, 14, 26, 59, 74.
    QTest::newRow("match case finds the heading word")
        << lines << qsizetype(0) << u("CAPÍTULO") << true << false << qsizetype(14) << qsizetype(8);
    QTest::newRow("upper-case only ASCII: infração finds the lower-case word")
        << lines << qsizetype(0) << u("infração") << false << false << qsizetype(26 + 10) << qsizetype(8);
    QTest::newRow("INFRAÇÃO with match case")
        << lines << qsizetype(0) << u("INFRAÇÃO") << true << false << qsizetype(26 + 23) << qsizetype(8);
    QTest::newRow("accented upper case never found by lower-case pattern")
        << lines.mid(3) + QStringList{u("INFRAÇÃO")} << qsizetype(0) << u("infração") << false << false
        << qsizetype(-1) << qsizetype(0);
    QTest::newRow("unaccented pattern does not find accents")
        << lines << qsizetype(0) << u("infracao") << false << false << qsizetype(-1) << qsizetype(0);
    QTest::newRow("search starts at the next line start")
        << lines << qsizetype(60) << u("sinal") << false << false << qsizetype(74) << qsizetype(5);
    QTest::newRow("selection at a line start searches that line")
        << lines << qsizetype(59) << u("sinal") << false << false << qsizetype(59) << qsizetype(5);
    QTest::newRow("whole word adds the spaces")
        << lines << qsizetype(0) << u("e") << false << true << qsizetype(26 + 18) << qsizetype(3);
    QTest::newRow("whole word not at line start or end")
        << QStringList{"sinal x", "y sinal"} << qsizetype(0) << u("sinal") << false << true << qsizetype(-1)
        << qsizetype(0);
    QTest::newRow("empty text never matches")
        << lines << qsizetype(0) << QString() << false << false << qsizetype(-1) << qsizetype(0);
    QTest::newRow("empty whole word is two spaces") << QStringList{"a", "b  c"} << qsizetype(0) << QString()
                                                    << false << true << qsizetype(4) << qsizetype(2);
    QTest::newRow("past the last line start")
        << lines << qsizetype(75) << u("s") << false << false << qsizetype(-1) << qsizetype(0);
    QTest::newRow("empty text of the view")
        << QStringList{} << qsizetype(0) << u("a") << false << false << qsizetype(-1) << qsizetype(0);
}

void TestRtfReader::findNext()
{
    QFETCH(QStringList, lines);
    QFETCH(qsizetype, from);
    QFETCH(QString, text);
    QFETCH(bool, matchCase);
    QFETCH(bool, wholeWord);
    QFETCH(qsizetype, start);
    QFETCH(qsizetype, length);
    const std::optional<TextMatch> found =
        CodeSearch::findNext(model(lines), from, text, matchCase, wholeWord);
    if (start < 0) {
        QVERIFY(!found);
    } else {
        QVERIFY(found);
        QCOMPARE(*found, (TextMatch{start, length}));
    }
}

// The search through the whole text gives what the line-by-line walk gives, on the code's own
// text, for words with and without accents, cases, whole words, from every kind of start.
void TestRtfReader::findNextAsLineByLine()
{
    QFile file(QStringLiteral(QUELVADO_BIN_DIR "/cnt.rtf"));
    if (!file.open(QIODevice::ReadOnly))
        QSKIP("cnt.rtf is not built");
    QStringList lines;
    for (const RtfLine &line : RtfReader::read(file.readAll()).lines)
        lines << line.text;
    lines << QStringLiteral("fim do texto, infração") << QString() << QStringLiteral("Art");
    const LineModel text(lines);
    const auto walk = [&](qsizetype from, const QString &find, bool matchCase,
                          bool wholeWord) -> std::optional<TextMatch> {
        const QString t = CodeSearch::pattern(find, matchCase, wholeWord);
        qsizetype i = 0, s = 0;
        while (s < from && i < text.lineCount())
            s += text.lines()[i++].size() + 2;
        if (t.isEmpty() || s < from)
            return std::nullopt;
        for (; i < text.lineCount(); ++i) {
            const QString &line = text.lines()[i];
            const qsizetype q = matchCase ? line.indexOf(t) : CodeSearch::upperAscii(line).indexOf(t);
            if (q >= 0)
                return TextMatch{s + q, t.size()};
            s += line.size() + 2;
        }
        return std::nullopt;
    };
    const qsizetype end = text.lineStart(text.lineCount());
    QList<qsizetype> starts{-5, 0, 1, 2, end - 7, end - 3, end - 2, end, end + 10};
    for (qsizetype k = 1; k < 40; ++k)
        starts << end * k / 40 << end * k / 40 + 1;
    for (const char *find : {"art", "Art", "CAPÍTULO", "infração", "INFRAÇÃO", "de", "trânsito", "", " ",
                             "zzqx", "ção do", "texto,", "a\r\nb"})
        for (const qsizetype from : std::as_const(starts))
            for (const bool matchCase : {false, true})
                for (const bool wholeWord : {false, true}) {
                    const QString f = QString::fromUtf8(find);
                    QCOMPARE(CodeSearch::findNext(text, from, f, matchCase, wholeWord),
                             walk(from, f, matchCase, wholeWord));
                }
}

// Tables: a tab between cells, one line per row, the row and cell settings unseen.
void TestRtfReader::tables_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("two rows")
        << QByteArray("{\\rtf1 antes\\par\\trowd\\trgaph108\\cellx1000\\cellx2000\\pard\\intbl "
                      "a\\cell b\\cell\\row\\trowd\\cellx1000\\cellx2000\\pard\\intbl c\\cell "
                      "d\\cell\\row\\pard depois\\par}")
        << QStringList{"antes", "a\tb", "c\td", "depois"};
    QTest::newRow("empty cells keep their places")
        << QByteArray("{\\rtf1\\trowd\\pard\\intbl\\cell b\\cell\\cell d\\cell\\row}")
        << QStringList{"\tb\t\td"};
    QTest::newRow("paragraphs inside a cell are spaces")
        << QByteArray("{\\rtf1\\trowd{\\pard\\intbl um\\par dois\\par}\\cell{\\pard\\intbl "
                      "tr\\'eas\\par}\\cell\\row}")
        << QStringList{u("um dois\ttrês")};
    QTest::newRow("bold in a cell") << QByteArray("{\\rtf1\\trowd\\pard\\intbl{\\b Art.}\\cell x\\cell\\row}")
                                    << QStringList{"Art.\tx"};
    QTest::newRow("nested row a line of its own, plain fallback skipped")
        << QByteArray(
               "{\\rtf1\\trowd\\pard\\intbl a\\nestcell{\\*\\nesttableprops\\trowd x}b\\nestcell\\nestrow"
               "{\\nonesttables dup}\\cell z\\cell\\row}")
        << QStringList{"a\tb", "\tz"};
    QTest::newRow("row without cells makes no line")
        << QByteArray("{\\rtf1 a\\par\\row b\\par}") << QStringList{"a", "b"};
}

void TestRtfReader::tables()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QStringList, lines);
    QCOMPARE(textsOf(RtfReader::read(rtf)), lines);
}

// Files written by LibreOffice, pandoc and in WordPad's form (tests/codereader/rtf/README.md):
// each reads as the same plain text.
void TestRtfReader::tablesFromOtherPrograms_data()
{
    QTest::addColumn<QString>("file");
    for (const char *name : {"libreoffice-tabela.rtf", "pandoc-tabela.rtf", "wordpad-tabela.rtf"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestRtfReader::tablesFromOtherPrograms()
{
    QFETCH(QString, file);
    const QString folder = QStringLiteral(QUELVADO_SOURCE_DIR "/tests/codereader/rtf/");
    QFile rtf(folder + file);
    QFile expected(folder + QStringLiteral("tabela.txt"));
    QVERIFY(rtf.open(QIODevice::ReadOnly));
    QVERIFY(expected.open(QIODevice::ReadOnly));
    const RtfDocument doc = RtfReader::read(rtf.readAll());
    QVERIFY(doc.richText);
    QCOMPARE(normalised(textsOf(doc)), normalised(QString::fromUtf8(expected.readAll()).split(u'\n')));
    // The heading is found as the chapter list looks for it.
    QVERIFY(CodeSearch::findChapter(LineModel(textsOf(doc)), 14));
}

QTEST_GUILESS_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
