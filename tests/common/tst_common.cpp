#include "common/cp1252.h"
#include "common/errordisplay.h"
#include "common/errors.h"
#include "common/hints.h"
#include "fakes.h"

#include <QtTest>

class TestCommon : public QObject {
    Q_OBJECT
private slots:
    void cp1252RoundTrip();
    void cp1252Unmappable();
    void errorSubstitutions_data();
    void errorSubstitutions();
    void guardShowsAndGoesOn();
    void hintParts();
};

void TestCommon::cp1252RoundTrip()
{
    const std::string text = "Código de Trânsito — “Ação” € ç";
    bool ok = false;
    const std::string bytes = cp1252::fromUtf8(text, &ok);
    QVERIFY(ok);
    QCOMPARE(static_cast<unsigned char>(bytes[1]), 0xF3); // ó
    QCOMPARE(cp1252::toUtf8(bytes), text);
    QCOMPARE(cp1252::toUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

void TestCommon::cp1252Unmappable()
{
    bool ok = true;
    QCOMPARE(cp1252::fromUtf8("x\xE2\x86\x92y", &ok), std::string("x?y")); // →
    QVERIFY(!ok);
    QCOMPARE(cp1252::fromUtf8("\xC3", &ok), std::string("?")); // cut sequence
    QVERIFY(!ok);
    QCOMPARE(cp1252::toUtf8("\x81"), std::string("?"));
}

void TestCommon::errorSubstitutions_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("shown");
    QTest::newRow("file open") << 0 << QStringLiteral("Erro no conteúdo do Arquivo");
    QTest::newRow("in/out") << 1 << QStringLiteral("Arquivo ou Drive Inválido");
    QTest::newRow("conversion") << 2 << QStringLiteral("Data Inválida");
    QTest::newRow("own message") << 3 << QStringLiteral("Bookmark 7 not found");
}

void TestCommon::errorSubstitutions()
{
    QFETCH(int, kind);
    QFETCH(QString, shown);
    FakeDialogs dialogs;
    guarded([kind] {
        switch (kind) {
        case 0:
            throw EFOpenError(QStringLiteral("Cannot open file x"));
        case 1:
            throw EInOutError(QStringLiteral("I/O error 21"));
        case 2:
            throw EConvertError(QStringLiteral("'abc' is not a valid integer value"));
        default:
            throw EBinaryDataSetError(QStringLiteral("Bookmark 7 not found"));
        }
    });
    QCOMPARE(dialogs.texts(), QStringList{shown});
    QCOMPARE(dialogs.boxes.first().icon, Dialogs::Icon::Error);
}

void TestCommon::guardShowsAndGoesOn()
{
    FakeDialogs dialogs;
    int after = 0;
    QVERIFY(!guarded([&] {
        throw std::runtime_error("falhou");
        ++after;
    }));
    QVERIFY(guarded([&] { ++after; }));
    QCOMPARE(after, 1);
    QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("falhou")});
}

void TestCommon::hintParts()
{
    QCOMPARE(Hints::shortHint(QStringLiteral("Ajuda| Como utilizar o programa")), QStringLiteral("Ajuda"));
    QCOMPARE(Hints::longHint(QStringLiteral("Ajuda| Como utilizar o programa")),
             QStringLiteral(" Como utilizar o programa"));
    QCOMPARE(Hints::longHint(QStringLiteral("sem barra")), QStringLiteral("sem barra"));
    QCOMPARE(Hints::shortHint(QStringLiteral("a|b|c")), QStringLiteral("a"));
    QCOMPARE(Hints::longHint(QStringLiteral("a|b|c")), QStringLiteral("b|c"));
}

QTEST_MAIN(TestCommon)
#include "tst_common.moc"
