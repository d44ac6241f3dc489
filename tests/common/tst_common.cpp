// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/cp1252.h"
#include "common/errordisplay.h"
#include "common/errors.h"
#include "common/hints.h"
#include "common/settingsfile.h"
#include "common/windowkit.h"
#include "fakes.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <stdexcept>

class TestCommon : public QObject {
    Q_OBJECT
private slots:
    void cp1252RoundTrip();
    void cp1252Unmappable();
    void errorSubstitutions_data();
    void errorSubstitutions();
    void guardShowsAndGoesOn();
    void hintParts();
    void clickableControl();
    void settingsLeftoversRemoved();
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

// A clickable control counts a left click released over it (or anywhere, when made so), ignores
// the right button, and an error in its action is shown and goes no further.
void TestCommon::clickableControl()
{
    FakeDialogs dialogs;
    auto window = std::make_unique<QWidget>();
    window->resize(200, 100);
    auto *banner = WindowKit::make<QLabel>(window.get(), "Banner", QRect(10, 10, 100, 40));
    auto *loose = WindowKit::make<QLabel>(window.get(), nullptr, QRect(10, 55, 100, 40));
    QCOMPARE(banner->objectName(), QStringLiteral("Banner"));
    QCOMPARE(banner->geometry(), QRect(10, 10, 100, 40));
    int inside = 0, anywhere = 0;
    WindowKit::onClick(banner, [&] { ++inside; });
    WindowKit::onClick(
        loose, [&] { ++anywhere; }, WindowKit::Release::Anywhere);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QCOMPARE(banner->cursor().shape(), Qt::PointingHandCursor);

    QTest::mouseClick(banner, Qt::LeftButton, {}, QPoint(50, 20));
    QTest::mouseClick(banner, Qt::RightButton, {}, QPoint(50, 20));
    QCOMPARE(inside, 1);
    for (QLabel *l : {banner, loose}) {
        QTest::mousePress(l, Qt::LeftButton, {}, QPoint(50, 20));
        QTest::mouseRelease(l, Qt::LeftButton, {}, QPoint(150, 20)); // let go beside it
    }
    QCOMPARE(inside, 1);
    QCOMPARE(anywhere, 1);

    auto *failing = WindowKit::make<QLabel>(window.get(), nullptr, QRect(120, 10, 60, 40));
    WindowKit::onClick(failing, [] { throw std::runtime_error("sem conexão"); });
    failing->show();
    QTest::mouseClick(failing, Qt::LeftButton, {}, QPoint(20, 20));
    QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("sem conexão")});
}

// A kill during a settings write leaves quelvado.ini.XXXXXX behind: old ones go at start, a young
// one (a write in progress) and everything else stay.
void TestCommon::settingsLeftoversRemoved()
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("quelvado.ini"));
    const QStringList gone = {ini + QStringLiteral(".aB3xZ9"), ini + QStringLiteral(".Q1w2E3")};
    const QStringList kept = {ini, ini + QStringLiteral(".bak"), ini + QStringLiteral(".ab-cd!"),
                              ini + QStringLiteral(".abc1234"),
                              dir.filePath(QStringLiteral("other.ini.aB3xZ9"))};
    const QString young = ini + QStringLiteral(".Young1");
    for (const QString &name : gone + kept + QStringList{young}) {
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write("x") == 1 && file.flush());
        if (name != young)
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                     QFileDevice::FileModificationTime));
    }
    SettingsFile::removeLeftovers(ini);
    for (const QString &name : gone)
        QVERIFY2(!QFile::exists(name), qPrintable(name));
    for (const QString &name : kept + QStringList{young})
        QVERIFY2(QFile::exists(name), qPrintable(name));
}

QTEST_MAIN(TestCommon)
#include "tst_common.moc"
