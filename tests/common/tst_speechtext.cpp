// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// What the voice is given to say: numbers, the law's references, units and abbreviations as a
// person reads them, checked on chosen cases and on every text of the question bank.

#include "common/speechtext.h"
#include "exam/questionbank.h"

#include <QRegularExpression>
#include <QtTest>

#include <limits>

class TestSpeechText : public QObject {
    Q_OBJECT
private slots:
    void numbers_data();
    void numbers();
    void phrases_data();
    void phrases();
    void signCodeHiddenWhileAnswering();
    void everyBankTextIsSpeakable();
};

void TestSpeechText::numbers_data()
{
    QTest::addColumn<qint64>("n");
    QTest::addColumn<bool>("feminine");
    QTest::addColumn<QString>("words");
    QTest::newRow("0") << qint64(0) << false << QStringLiteral("zero");
    QTest::newRow("21") << qint64(21) << false << QStringLiteral("vinte e um");
    QTest::newRow("100") << qint64(100) << false << QStringLiteral("cem");
    QTest::newRow("101") << qint64(101) << false << QStringLiteral("cento e um");
    QTest::newRow("1000") << qint64(1000) << false << QStringLiteral("mil");
    QTest::newRow("1250") << qint64(1250) << false << QStringLiteral("mil duzentos e cinquenta");
    QTest::newRow("2025") << qint64(2025) << false << QStringLiteral("dois mil e vinte e cinco");
    QTest::newRow("3500") << qint64(3500) << false << QStringLiteral("três mil e quinhentos");
    QTest::newRow("14071") << qint64(14071) << false << QStringLiteral("quatorze mil e setenta e um");
    QTest::newRow("1000000") << qint64(1000000) << false << QStringLiteral("um milhão");
    QTest::newRow("2000100") << qint64(2000100) << false << QStringLiteral("dois milhões e cem");
    QTest::newRow("negative") << qint64(-3) << false << QStringLiteral("menos três");
    QTest::newRow("largest") << std::numeric_limits<qint64>::min() << false
                             << QStringLiteral(
                                    "menos nove quintilhões duzentos e vinte e três quatrilhões trezentos e "
                                    "setenta e dois trilhões trinta e seis bilhões oitocentos e cinquenta e "
                                    "quatro milhões setecentos e setenta e cinco mil oitocentos e oito");
    QTest::newRow("22 f") << qint64(22) << true << QStringLiteral("vinte e duas");
    QTest::newRow("201 f") << qint64(201) << true << QStringLiteral("duzentas e uma");
}

void TestSpeechText::numbers()
{
    QFETCH(qint64, n);
    QFETCH(bool, feminine);
    QFETCH(QString, words);
    QCOMPARE(SpeechText::number(n, feminine), words);
}

void TestSpeechText::phrases_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("said");
    QTest::newRow("inciso") << QStringLiteral("art. 29, X")
                            << QStringLiteral("artigo vinte e nove, inciso dez");
    QTest::newRow("alínea") << QStringLiteral("o art. 29, VII, a, manda")
                            << QStringLiteral("o artigo vinte e nove, inciso sete, alínea á, manda");
    QTest::newRow("paragraph") << QStringLiteral("(art. 61, § 1º, I, c).")
                               << QStringLiteral(
                                      "(artigo sessenta e um, parágrafo primeiro, inciso um, alínea cê).");
    QTest::newRow("ordinal article") << QStringLiteral("O art. 7º, I, põe")
                                     << QStringLiteral("O artigo sétimo, inciso um, põe");
    QTest::newRow("two articles") << QStringLiteral("CTB arts. 54, I, e 55, I")
                                  << QStringLiteral(
                                         "cê tê bê artigos cinquenta e quatro, inciso um, e cinquenta e "
                                         "cinco, inciso um");
    QTest::newRow("lettered article") << QStringLiteral("art. 148-A, § 10")
                                      << QStringLiteral("artigo cento e quarenta e oito á, parágrafo dez");
    QTest::newRow("sole paragraph") << QStringLiteral("art. 268, IV e parágrafo único")
                                    << QStringLiteral("artigo duzentos e sessenta e oito, inciso quatro e "
                                                      "parágrafo único");
    QTest::newRow("inciso named") << QStringLiteral("o inciso I admite")
                                  << QStringLiteral("o inciso um admite");
    QTest::newRow("volume") << QStringLiteral("(vol. II)") << QStringLiteral("(volume dois)");
    QTest::newRow("letter X is a letter") << QStringLiteral("um X preto") << QStringLiteral("um X preto");
    QTest::newRow("the law's lines") << QStringLiteral(
                                            "Art. 29. O trânsito:\nX - todo condutor;\na) em vias;")
                                     << QStringLiteral(
                                            "Artigo vinte e nove. O trânsito:\ninciso dez: todo condutor;\n"
                                            "alínea á: em vias;");
    QTest::newRow("speed") << QStringLiteral("a 80 km/h; 1 km/h")
                           << QStringLiteral("a oitenta quilômetros por hora; um quilômetro por hora");
    QTest::newRow("metres") << QStringLiteral("a 1,50 m do ciclista")
                            << QStringLiteral("a um vírgula cinquenta metros do ciclista");
    QTest::newRow("weight") << QStringLiteral("3.500 kg, 10 t")
                            << QStringLiteral("três mil e quinhentos quilos, dez toneladas");
    QTest::newRow("alcohol") << QStringLiteral("0,3 mg/L")
                             << QStringLiteral("zero vírgula três miligramas por litro de ar");
    QTest::newRow("percent") << QStringLiteral("20% do limite")
                             << QStringLiteral("vinte por cento do limite");
    QTest::newRow("law") << QStringLiteral("Lei 14.071/2020")
                         << QStringLiteral("Lei quatorze mil e setenta e um de dois mil e vinte");
    QTest::newRow("number sign") << QStringLiteral("Resolução nº 819")
                                 << QStringLiteral("Resolução número oitocentos e dezenove");
    QTest::newRow("feminine") << QStringLiteral("entre as 22 horas")
                              << QStringLiteral("entre as vinte e duas horas");
    QTest::newRow("emergency") << QStringLiteral("chamar o 192; art. 94, par. único")
                               << QStringLiteral(
                                      "chamar o um nove dois; artigo noventa e quatro, parágrafo único");
    QTest::newRow("sign code") << QStringLiteral("como a R-6C") << QStringLiteral("como a erre seis cê");
    QTest::newRow("abbreviations") << QStringLiteral("O CONTRAN, o DETRAN/RS e a CNH")
                                   << QStringLiteral("O contran, o detran erre esse e a cê ene agá");
}

void TestSpeechText::phrases()
{
    QFETCH(QString, written);
    QFETCH(QString, said);
    QCOMPARE(SpeechText::spoken(written), said);
}

void TestSpeechText::signCodeHiddenWhileAnswering()
{
    using SpeechText::withoutSignCode;
    QCOMPARE(withoutSignCode(QStringLiteral("O que significa a placa do código R-10?"), true),
             QStringLiteral("O que significa a placa mostrada?"));
    QCOMPARE(withoutSignCode(QStringLiteral("A placa de advertência A-34 alerta o condutor para:"), true),
             QStringLiteral("A placa de advertência mostrada alerta o condutor para:"));
    // Without a picture the code is the question itself.
    QCOMPARE(withoutSignCode(QStringLiteral("A placa R-1 obriga a:"), false),
             QStringLiteral("A placa R-1 obriga a:"));
    const QString reading =
        SpeechText::questionReading(QStringLiteral("Diante da placa R-1, o condutor deve:"),
                                    {QStringLiteral("Parar."), QStringLiteral("Seguir a 40 km/h.")}, true);
    QCOMPARE(reading, QStringLiteral("Diante da placa mostrada, o condutor deve:\n"
                                     "alternativa á: Parar.\n"
                                     "alternativa bê: Seguir a quarenta quilômetros por hora."));
}

void TestSpeechText::everyBankTextIsSpeakable()
{
    // Nothing a voice would spell or misread is left: no digit, no paragraph or ordinal sign, no
    // "nº", no roman numeral (a lone "X" may be the letter: "um X preto"), and no sign code of a
    // question with a picture.
    static const QRegularExpression raw(
        QStringLiteral("\\d|§|º|ª|°|\\bn[º°]|\\b[IVXL]{2,}\\b|\\b[IV]\\b|\\bart\\."),
        QRegularExpression::UseUnicodePropertiesOption);
    static const QRegularExpression signCode(
        QStringLiteral("\\b(erre|á|esse) [a-zçéêíóú ]+ mostrada|placa [ARS]-"));
    const QuestionBank &bank = QuestionBank::instance();
    QVERIFY(bank.problems().isEmpty());
    QList<StoredQuestion> all = bank.questions();
    all += bank.studyQuestions();
    QVERIFY(all.size() > 500);
    QStringList left;
    for (const StoredQuestion &q : std::as_const(all)) {
        QStringList alternatives;
        for (int k = 0; k < q.alternativeCount(); ++k)
            alternatives << q.text(QuestionKind::AlternativeA + k);
        const bool picture = !q.text(QuestionKind::Picture).isEmpty();
        const QString said = SpeechText::questionReading(q.text(QuestionKind::Text), alternatives, picture) +
                             QLatin1Char('\n') + SpeechText::spoken(q.explanation);
        for (const QString &line : said.split(QLatin1Char('\n'))) {
            const QRegularExpressionMatch m = raw.match(line);
            if (m.hasMatch())
                left << QStringLiteral("%1 (%2:%3) \"%4\": %5")
                            .arg(q.number)
                            .arg(q.file)
                            .arg(q.line)
                            .arg(m.captured(), line);
        }
        if (picture &&
            signCode.match(SpeechText::withoutSignCode(q.text(QuestionKind::Text), true)).hasMatch())
            left << QStringLiteral("%1: sign code read").arg(q.number);
    }
    QVERIFY2(left.isEmpty(), qPrintable(QStringLiteral("%1 texts:\n").arg(left.size()) +
                                        left.mid(0, 40).join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(TestSpeechText)
#include "tst_speechtext.moc"
