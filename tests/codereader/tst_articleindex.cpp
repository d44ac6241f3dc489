// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The articles a question's source cites, and where the traffic code text holds them: every
// article the bank cites must be found in the cnt.rtf the program ships.

#include "codereader/articleindex.h"
#include "codereader/rtfreader.h"

#include "exam/questionbank.h"

#include <QFile>
#include <QtTest>

Q_DECLARE_METATYPE(QList<ArticleRef>)

namespace {
LineModel shippedText()
{
    QFile file(QStringLiteral(QUELVADO_BIN_DIR "/cnt.rtf"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    for (const RtfLine &line : RtfReader::read(file.readAll()).lines)
        lines << line.text;
    return LineModel(lines);
}

QString textAt(const LineModel &text, const TextMatch &m)
{
    return text.plainText().mid(m.start, m.length);
}

// The line of the text that holds offset.
QString lineAt(const LineModel &text, qsizetype offset)
{
    for (qsizetype i = text.lineCount() - 1; i >= 0; --i)
        if (text.lineStart(i) <= offset)
            return text.lines().at(i);
    return {};
}
} // namespace

class TestArticleIndex : public QObject {
    Q_OBJECT
private slots:
    void citations_data();
    void citations();
    void headingsAndParagraphs();
    void neighboursAreNotConfused();
    void everyCitedArticleIsInTheShippedText();
};

void TestArticleIndex::citations_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QList<ArticleRef>>("expected");
    auto a = [](const char *article, const char *paragraph = "", const char *item = "",
                const char *letter = "") {
        return ArticleRef{QString::fromUtf8(article), QString::fromUtf8(paragraph), QString::fromUtf8(item),
                          QString::fromUtf8(letter)};
    };
    QTest::newRow("one") << QStringLiteral("CTB art. 162, I") << QList<ArticleRef>{a("162", "", "I")};
    QTest::newRow("lettered") << QStringLiteral("CTB art. 165-A") << QList<ArticleRef>{a("165-A")};
    QTest::newRow("ordinal") << QStringLiteral("CTB art. 1º, § 2º") << QList<ArticleRef>{a("1", "2")};
    QTest::newRow("paragraph and items")
        << QStringLiteral("CTB art. 61, § 1º, II, b, 1") << QList<ArticleRef>{a("61", "1", "II", "b")};
    QTest::newRow("range of items") << QStringLiteral("CTB art. 147, I a V, e § 3º")
                                    << QList<ArticleRef>{a("147", "3")};
    QTest::newRow("two articles") << QStringLiteral("CTB arts. 16 e 17, I")
                                  << QList<ArticleRef>{a("16"), a("17", "", "I")};
    QTest::newRow("items between") << QStringLiteral("CTB arts. 54, I, e 55, I")
                                   << QList<ArticleRef>{a("54", "", "I"), a("55", "", "I")};
    QTest::newRow("three") << QStringLiteral("CTB arts. 70, 227, II, e 230, XI")
                           << QList<ArticleRef>{a("70"), a("227", "", "II"), a("230", "", "XI")};
    QTest::newRow("sole paragraph") << QStringLiteral("CTB arts. 45 e 70, par. único")
                                    << QList<ArticleRef>{a("45"), a("70", "único")};
    QTest::newRow("parágrafo único") << QStringLiteral("CTB art. 165, parágrafo único, e art. 263, II")
                                     << QList<ArticleRef>{a("165", "único"), a("263", "", "II")};
    QTest::newRow("two paragraphs") << QStringLiteral("CTB art. 148, §§ 3º e 4º")
                                    << QList<ArticleRef>{a("148", "3")};
    QTest::newRow("paragraph 10") << QStringLiteral("CTB art. 147, § 2º, I, e art. 159, § 10")
                                  << QList<ArticleRef>{a("147", "2", "I"), a("159", "10")};
    QTest::newRow("remarks left out")
        << QStringLiteral(
               "CTB art. 276 (redação das Leis 11.705/2008 e 12.760/2012), art. 165 e art. 277, § 2º")
        << QList<ArticleRef>{a("276"), a("165"), a("277", "2")};
    QTest::newRow("other rules left out")
        << QStringLiteral("Res. CONTRAN 819/2021, art. 3º, I; CTB art. 64") << QList<ArticleRef>{a("64")};
    QTest::newRow("annex") << QStringLiteral("CTB art. 141 e Anexo I (ciclomotor)")
                           << QList<ArticleRef>{a("141")};
    QTest::newRow("annex only") << QStringLiteral("CTB Anexo II (R-10)") << QList<ArticleRef>{};
    QTest::newRow("no code") << QStringLiteral("Res. CONTRAN 969/2022, art. 2º, § 1º") << QList<ArticleRef>{};
    QTest::newRow("repeated") << QStringLiteral("CTB art. 29, X, c, e art. 34; CTB art. 29")
                              << QList<ArticleRef>{a("29", "", "X", "c"), a("34")};
    // An "e" before a number joins an article; one after an inciso and before a comma is an alínea.
    QTest::newRow("alínea e") << QStringLiteral("CTB arts. 29, III, e 44; CTB art. 40, V, e, e art. 61")
                              << QList<ArticleRef>{a("29", "", "III"), a("44"), a("40", "", "V", "e"),
                                                   a("61")};
}

void TestArticleIndex::citations()
{
    QFETCH(QString, source);
    QFETCH(QList<ArticleRef>, expected);
    QCOMPARE(ArticleIndex::citedArticles(source), expected);
}

void TestArticleIndex::headingsAndParagraphs()
{
    const LineModel text = shippedText();
    QVERIFY(text.lineCount() > 1000);
    const ArticleIndex index(text);
    QVERIFY(index.size() > 300);
    const struct {
        ArticleRef ref;
        QString selected;
        QString lineStart; // the line of the selection starts so
    } cases[] = {
        {{QStringLiteral("162"), {}}, QStringLiteral("Art. 162"), QStringLiteral("Art. 162.")},
        {{QStringLiteral("165-A"), {}}, QStringLiteral("Art. 165-A"), QStringLiteral("Art. 165-A.")},
        {{QStringLiteral("1"), {}}, QStringLiteral("Art. 1º"), QStringLiteral("Art. 1º ")},
        {{QStringLiteral("7-A"), {}}, QStringLiteral("Art. 7º-A"), QStringLiteral("Art. 7º-A.")},
        {{QStringLiteral("61"), QStringLiteral("1")},
         QStringLiteral("§ 1º"),
         QStringLiteral("§ 1º Onde não houver")},
        {{QStringLiteral("64"), QStringLiteral("único")},
         QStringLiteral("Parágrafo único"),
         QStringLiteral("Parágrafo único. O Contran")},
    };
    for (const auto &c : cases) {
        const std::optional<TextMatch> m = index.find(c.ref);
        QVERIFY2(m, qPrintable(c.ref.toString()));
        QCOMPARE(textAt(text, *m), c.selected);
        QVERIFY2(lineAt(text, m->start).startsWith(c.lineStart), qPrintable(lineAt(text, m->start)));
        QCOMPARE(text.lineStart(0) <= m->start, true);
    }
    // The paragraph is the one of its own article, after the heading and before the next one.
    const TextMatch art61 = *index.findArticle(QStringLiteral("61"));
    const TextMatch art62 = *index.findArticle(QStringLiteral("62"));
    const TextMatch para = *index.find({QStringLiteral("61"), QStringLiteral("2")});
    QVERIFY(art61.start < para.start && para.start < art62.start);
    // A paragraph the article does not have falls back on the article's heading; an unknown
    // article is not found.
    QCOMPARE(*index.find({QStringLiteral("62"), QStringLiteral("9")}), art62);
    QVERIFY(!index.find({QStringLiteral("999"), {}}));
    QCOMPARE(ArticleRef({QStringLiteral("61"), QStringLiteral("1")}).toString(),
             QStringLiteral("art. 61, § 1º"));
    QCOMPARE(ArticleRef({QStringLiteral("70"), QStringLiteral("único")}).toString(),
             QStringLiteral("art. 70, parágrafo único"));
}

void TestArticleIndex::neighboursAreNotConfused()
{
    const LineModel text(QStringList{
        QStringLiteral("Art. 1º-A. Lettered first."), QStringLiteral("Art. 1º Plain."),
        QStringLiteral("Art. 10. Ten."), QStringLiteral("§ 10. Not 1."), QStringLiteral("§ 1º One."),
        QStringLiteral("Art. 100. Hundred; see Art. 10 again."), QStringLiteral("Art. 10-A. Ten A."),
        QStringLiteral("Art. 101"), QStringLiteral("Art. 10. A second heading is not taken.")});
    const ArticleIndex index(text);
    QCOMPARE(textAt(text, *index.findArticle(QStringLiteral("1"))), QStringLiteral("Art. 1º"));
    QCOMPARE(lineAt(text, index.findArticle(QStringLiteral("1"))->start), QStringLiteral("Art. 1º Plain."));
    QCOMPARE(lineAt(text, index.findArticle(QStringLiteral("1-A"))->start),
             QStringLiteral("Art. 1º-A. Lettered first."));
    QCOMPARE(lineAt(text, index.findArticle(QStringLiteral("10"))->start), QStringLiteral("Art. 10. Ten."));
    QCOMPARE(textAt(text, *index.findArticle(QStringLiteral("10-A"))), QStringLiteral("Art. 10-A"));
    QCOMPARE(textAt(text, *index.findArticle(QStringLiteral("101"))), QStringLiteral("Art. 101"));
    QCOMPARE(lineAt(text, index.find({QStringLiteral("10"), QStringLiteral("1")})->start),
             QStringLiteral("§ 1º One."));
    QCOMPARE(lineAt(text, index.find({QStringLiteral("10"), QStringLiteral("10")})->start),
             QStringLiteral("§ 10. Not 1."));
    // The paragraphs of article 10 end at the next heading.
    QCOMPARE(*index.find({QStringLiteral("100"), QStringLiteral("1")}),
             *index.findArticle(QStringLiteral("100")));
}

void TestArticleIndex::everyCitedArticleIsInTheShippedText()
{
    const LineModel text = shippedText();
    const ArticleIndex index(text);
    const QuestionBank &bank = QuestionBank::instance();
    QList<StoredQuestion> all = bank.questions();
    all += bank.studyQuestions();
    int citing = 0;
    int refs = 0;
    QStringList missing;
    QStringList paragraphsMissing;
    QStringList itemsMissing;
    int items = 0;
    for (const StoredQuestion &q : std::as_const(all)) {
        const QList<ArticleRef> cited = ArticleIndex::citedArticles(q.source);
        if (q.source.contains(QLatin1String("CTB art")))
            QVERIFY2(!cited.isEmpty(), qPrintable(q.source));
        citing += cited.isEmpty() ? 0 : 1;
        for (const ArticleRef &ref : cited) {
            ++refs;
            const std::optional<TextMatch> article = index.findArticle(ref.article);
            if (!article) {
                missing << QStringLiteral("%1 (question %2)").arg(ref.toString()).arg(q.number);
                continue;
            }
            QCOMPARE(textAt(text, *article), ref.heading());
            const std::optional<TextMatch> m = index.find(ref);
            if (!ref.paragraph.isEmpty() && *m == *article)
                paragraphsMissing << QStringLiteral("%1 (question %2)").arg(ref.toString()).arg(q.number);
            // The inciso and alínea cited are where the reader lands.
            const QString landed = textAt(text, *m);
            items += ref.item.isEmpty() ? 0 : 1;
            if (!ref.item.isEmpty() &&
                landed != (ref.letter.isEmpty() ? ref.item : ref.letter + QLatin1Char(')')))
                itemsMissing << QStringLiteral("%1 (question %2)").arg(ref.toString()).arg(q.number);
        }
    }
    qInfo("%d questions cite %d articles of the code, %d of them at an inciso", citing, refs, items);
    QVERIFY(citing > 100);
    QVERIFY(items > 100);
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral("; "))));
    // Two study questions still cite the sole paragraph these articles had before it became § 1º;
    // the reader shows them the article's heading. Any other paragraph must be found.
    const QStringList formerSoleParagraph{QStringLiteral("art. 281, parágrafo único (question 1041)"),
                                          QStringLiteral("art. 40, parágrafo único (question 1230)")};
    for (const QString &m : std::as_const(paragraphsMissing))
        QVERIFY2(formerSoleParagraph.contains(m), qPrintable(m));
    QVERIFY2(itemsMissing.isEmpty(), qPrintable(itemsMissing.join(QStringLiteral("; "))));
}

QTEST_GUILESS_MAIN(TestArticleIndex)
#include "tst_articleindex.moc"
