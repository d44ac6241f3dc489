// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The sign tables, the search by code, the picture-name rule and the stepping through groups,
// road markings and plate kinds.

#include "signs/signcatalog.h"
#include "signs/signstepper.h"

#include <QRegularExpression>
#include <QSet>
#include <QtTest>

Q_DECLARE_METATYPE(SignGroup)

// Readable failure messages (found by QCOMPARE through argument-dependent lookup).
char *toString(const std::optional<SignPlace> &place)
{
    return place ? QTest::toString(QStringLiteral("%1 %2")
                                       .arg(QLatin1Char(SignCatalog::letter(place->group)))
                                       .arg(place->position))
                 : QTest::toString(QStringLiteral("not found"));
}

char *toString(const SignView &v)
{
    return QTest::toString(v.picture + QLatin1Char('|') + v.code + QLatin1Char('|') + v.name);
}

namespace {
constexpr SignGroup kGroups[] = {SignGroup::A, SignGroup::R, SignGroup::I};

QString show(const std::optional<SignView> &v)
{
    return v ? v->picture + QLatin1Char('|') + v->code + QLatin1Char('|') + v->name
             : QStringLiteral("(nothing)");
}
} // namespace

class TestSignCatalog : public QObject {
    Q_OBJECT

private slots:
    // Tables.
    void tablesHoldDistinctWellFormedCodes();
    void positionsWithoutSign();
    void textsAsWritten();
    void mendedNames_data();
    void mendedNames();
    void todaysNames_data();
    void todaysNames();

    // Search.
    void localizar_data();
    void localizar();
    void notFound_data();
    void notFound();

    // Stepping.
    void startValues();
    void walkEachGroupToBothEnds_data();
    void walkEachGroupToBothEnds();
    void restart();
    void searchResultMovesOnlyItsGroup();
    void markingAndPlateStepping();
};

void TestSignCatalog::tablesHoldDistinctWellFormedCodes()
{
    const int expectedCount[] = {62, 41, 21};
    QSet<QString> codes;
    int withQuotes = 0;
    for (SignGroup g : kGroups) {
        const QChar letter = QLatin1Char(SignCatalog::letter(g));
        const QRegularExpression form(QStringLiteral("^%1-[1-9][0-9]*[A-Z]?$").arg(letter));
        const int first = SignCatalog::firstPosition(g), last = SignCatalog::lastPosition(g);
        QCOMPARE(last - first + 1, expectedCount[static_cast<int>(g)]);
        for (int p = first; p <= last; ++p) {
            const QString code = SignCatalog::code(g, p), name = SignCatalog::name(g, p);
            QVERIFY2(form.match(code).hasMatch(), qPrintable(code));
            QVERIFY2(!codes.contains(code), qPrintable(code + " appears twice"));
            codes.insert(code);
            QVERIFY2(!name.isEmpty() && name.trimmed() == name, qPrintable(code));
            // Every code is found again at its own place, and its picture follows the position.
            QCOMPARE(LocalizarPlaca(code), std::optional(SignPlace{g, p}));
            QCOMPARE(FiguraPlaca(g, p), QString(letter) + QString::number(p));
            QCOMPARE(SignCatalog::sign(g, p), (SignView{FiguraPlaca(g, p), code, name}));
            if (name.contains(QLatin1Char('"'))) {
                ++withQuotes;
                QVERIFY2(g == SignGroup::A && QList<int>({6, 7, 8, 9, 13, 14}).contains(p), qPrintable(code));
                QCOMPARE(name.count(QLatin1Char('"')), 2);
            }
        }
    }
    QCOMPARE(codes.size(), 124);
    QCOMPARE(withQuotes, 6);
}

void TestSignCatalog::positionsWithoutSign()
{
    const QList<QPair<SignGroup, int>> empty = {{SignGroup::A, -1}, {SignGroup::A, 62}, {SignGroup::R, -1},
                                                {SignGroup::R, 41}, {SignGroup::I, 0},  {SignGroup::I, 1},
                                                {SignGroup::I, 2},  {SignGroup::I, 24}};
    for (const auto &[g, p] : empty) {
        QVERIFY(!SignCatalog::holdsSign(g, p));
        QCOMPARE(SignCatalog::sign(g, p), SignView());
    }
    QCOMPARE(SignCatalog::beforeFirst(SignGroup::A), -1);
    QCOMPARE(SignCatalog::beforeFirst(SignGroup::R), -1);
    QCOMPARE(SignCatalog::beforeFirst(SignGroup::I), 2);
}

// Texts that are easy to "correct" by mistake: missing accents, quotes, shared names.
void TestSignCatalog::textsAsWritten()
{
    const auto nameOf = [](const char *code) {
        const auto place = LocalizarPlaca(QString::fromUtf8(code));
        return place ? SignCatalog::name(place->group, place->position) : QStringLiteral("?");
    };
    QCOMPARE(nameOf("A-4A"), QStringLiteral("Curva acentuada em \"s\" à esquerda"));
    QCOMPARE(nameOf("A-10A"), QStringLiteral("Entroncamento obliquo à esquerda"));
    QCOMPARE(nameOf("A-14"), QStringLiteral("Semáforo a frente"));
    QCOMPARE(nameOf("A-42A"), QStringLiteral("Inicio de pista dupla"));
    // Shared names, different pictures.
    QCOMPARE(nameOf("I-9A"), nameOf("I-9B"));
    QCOMPARE(nameOf("A-43"), QStringLiteral("Aeroporto"));
    QCOMPARE(nameOf("I-20"), nameOf("A-43"));
}

void TestSignCatalog::mendedNames_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("name");
    const auto row = [](const char *code, int position, const char *name) {
        QTest::newRow(code) << QString::fromUtf8(code) << position << QString::fromUtf8(name);
    };
    row("A-3A", 4, "Pista sinuosa à esquerda");
    row("A-3B", 5, "Pista sinuosa à direita");
    row("A-5A", 8, "Curva em \"s\" à esquerda");
    row("A-5B", 9, "Curva em \"s\" à direita");
    row("A-7A", 11, "Via lateral à esquerda");
    row("A-7B", 12, "Via lateral à direita");
    row("A-11A", 17, "Junções sucessivas contrárias primeira à esquerda");
    row("A-11B", 18, "Junções sucessivas contrárias primeira à direita");
    row("A-13A", 20, "Confluência à esquerda");
    row("A-13B", 21, "Confluência à direita");
}

// The five pairs carry the official names; codes, positions and pictures did not move.
void TestSignCatalog::mendedNames()
{
    QFETCH(QString, code);
    QFETCH(int, position);
    QFETCH(QString, name);
    QCOMPARE(LocalizarPlaca(code), std::optional(SignPlace{SignGroup::A, position}));
    QCOMPARE(SignCatalog::sign(SignGroup::A, position),
             (SignView{QStringLiteral("A%1").arg(position), code, name}));
}

void TestSignCatalog::todaysNames_data()
{
    QTest::addColumn<SignGroup>("group");
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("name");
    const auto row = [](SignGroup g, const char *code, int position, const char *name) {
        QTest::newRow(code) << g << QString::fromUtf8(code) << position << QString::fromUtf8(name);
    };
    row(SignGroup::A, "A-8", 13, "Interseção em \"T\"");
    row(SignGroup::A, "A-30", 42, "Trânsito de ciclistas");
    row(SignGroup::A, "A-31", 43, "Trânsito de máquinas agrícolas");
    row(SignGroup::A, "A-32A", 44, "Trânsito de pedestres");
    row(SignGroup::A, "A-32B", 45, "Passagem sinalizada de pedestres");
    row(SignGroup::A, "A-35", 49, "Animais");
    row(SignGroup::R, "R-5", 5, "Proibido retornar à esquerda");
    row(SignGroup::R, "R-8", 10, "Proibido mudar de faixa ou pista de trânsito da esquerda para direita");
    row(SignGroup::R, "R-13", 15, "Proibido trânsito de tratores e máquinas de obras");
    row(SignGroup::R, "R-14", 16, "Peso bruto total máximo permitido");
    row(SignGroup::R, "R-24A", 26, "Sentido de circulação da via/pista");
    row(SignGroup::R, "R-27", 33, "Ônibus, caminhões e veículos de grande porte mantenham-se à direita");
}

// Signs whose official name changed carry today's name under their old code, position and picture.
void TestSignCatalog::todaysNames()
{
    QFETCH(SignGroup, group);
    QFETCH(QString, code);
    QFETCH(int, position);
    QFETCH(QString, name);
    QCOMPARE(LocalizarPlaca(code), std::optional(SignPlace{group, position}));
    QCOMPARE(SignCatalog::sign(group, position),
             (SignView{QLatin1Char(SignCatalog::letter(group)) + QString::number(position), code, name}));
}

void TestSignCatalog::localizar_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<SignGroup>("group");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("name");
    const auto row = [](const char *text, SignGroup g, int p, const char *picture, const char *name) {
        QTest::newRow(text) << QString::fromUtf8(text) << g << p << QString::fromLatin1(picture)
                            << QString::fromUtf8(name);
    };
    row("A-1A", SignGroup::A, 0, "A0", "Curva acentuada à esquerda");
    row("A-2A", SignGroup::A, 2, "A2", "Curva à esquerda");
    row("A-45", SignGroup::A, 61, "A61", "Rua sem saída");
    row("R-1", SignGroup::R, 0, "R0", "Parada obrigatória");
    row("R-6C", SignGroup::R, 8, "R8", "Proibido parar e estacionar");
    row("R-10", SignGroup::R, 12, "R12", "Proibido trânsito de veículos automotores");
    row("R-34", SignGroup::R, 40, "R40", "Circulação exclusiva de bicicletas");
    row("I-1", SignGroup::I, 3, "I3", "Rodovia panamericana");
    row("I-8", SignGroup::I, 6, "I6", "Via interrompida");
    row("I-9", SignGroup::I, 7, "I7", "Via interrompida");
    row("I-23", SignGroup::I, 23, "I23", "Ponto de parada");
}

void TestSignCatalog::localizar()
{
    QFETCH(QString, text);
    QFETCH(SignGroup, group);
    QFETCH(int, position);
    QFETCH(QString, picture);
    QFETCH(QString, name);
    QCOMPARE(LocalizarPlaca(text), std::optional(SignPlace{group, position}));
    QCOMPARE(FiguraPlaca(group, position), picture);
    QCOMPARE(SignCatalog::name(group, position), name);
    TSignStepper stepper;
    QCOMPARE(show(stepper.Localizar(text)), show(SignView{picture, text, name}));
}

void TestSignCatalog::notFound_data()
{
    QTest::addColumn<QString>("text");
    for (const char *text : {"A1A", "R10", "R-10 ", " R-10", "r-10", "I-2", "A-46", "R-35", "", "A-1a", "A-1",
                             "R-1 0", "R-10\n", "R", "-", "I-9C"})
        QTest::newRow(QByteArray("\"") + text + "\"") << QString::fromLatin1(text);
    QTest::newRow("en dash") << QStringLiteral("R–10");
}

// Exact, whole-text, case-sensitive: no trimming, no prefix, no case folding.
void TestSignCatalog::notFound()
{
    QFETCH(QString, text);
    QCOMPARE(LocalizarPlaca(text), std::nullopt);
}

void TestSignCatalog::startValues()
{
    TSignStepper s;
    QCOMPARE(s.IndiceAdv(), -1);
    QCOMPARE(s.IndiceReg(), -1);
    QCOMPARE(s.IndiceInd(), 2);
    QCOMPARE(s.IndiceFaixa(), 0);
    QCOMPARE(s.IndicePlacaCarro(), 0);
    // Previous before the first sign does nothing.
    for (SignGroup g : kGroups) {
        QCOMPARE(s.Previous(g), std::nullopt);
        QCOMPARE(s.Indice(g), SignCatalog::beforeFirst(g));
    }
}

void TestSignCatalog::walkEachGroupToBothEnds_data()
{
    QTest::addColumn<SignGroup>("group");
    QTest::addColumn<QString>("firstCode");
    QTest::addColumn<QString>("lastCode");
    QTest::newRow("A") << SignGroup::A << QStringLiteral("A-1A") << QStringLiteral("A-45");
    QTest::newRow("R") << SignGroup::R << QStringLiteral("R-1") << QStringLiteral("R-34");
    QTest::newRow("I") << SignGroup::I << QStringLiteral("I-1") << QStringLiteral("I-23");
}

// Next from the start visits every sign in table order and stops at the last; Previous walks
// back and stops at the first. No wrap-around at either end.
void TestSignCatalog::walkEachGroupToBothEnds()
{
    QFETCH(SignGroup, group);
    QFETCH(QString, firstCode);
    QFETCH(QString, lastCode);
    const int first = SignCatalog::firstPosition(group), last = SignCatalog::lastPosition(group);
    TSignStepper s;
    QCOMPARE(s.Next(group)->code, firstCode);
    for (int p = first + 1; p <= last; ++p) {
        const auto v = s.Next(group);
        QCOMPARE(show(v), show(SignCatalog::sign(group, p)));
        QCOMPARE(s.Indice(group), p);
    }
    QCOMPARE(SignCatalog::code(group, s.Indice(group)), lastCode);
    QCOMPARE(s.Next(group), std::nullopt);
    QCOMPARE(s.Indice(group), last);
    for (int p = last - 1; p >= first; --p)
        QCOMPARE(show(s.Previous(group)), show(SignCatalog::sign(group, p)));
    QCOMPARE(s.Previous(group), std::nullopt);
    QCOMPARE(s.Indice(group), first);
    QCOMPARE(s.Next(group)->picture, FiguraPlaca(group, first + 1));
}

void TestSignCatalog::restart()
{
    TSignStepper s;
    s.Next(SignGroup::A);
    s.Next(SignGroup::A);
    s.Localizar(QStringLiteral("R-10"));
    s.Localizar(QStringLiteral("I-10"));
    s.NextFaixa();
    s.NextPlacaCarro();
    s.Restart();
    QCOMPARE(s.IndiceAdv(), -1);
    QCOMPARE(s.IndiceReg(), -1);
    QCOMPARE(s.IndiceInd(), 2);
    // Restart is about the sign groups only.
    QCOMPARE(s.IndiceFaixa(), 1);
    QCOMPARE(s.IndicePlacaCarro(), 1);
    QCOMPARE(s.Previous(SignGroup::I), std::nullopt);
    QCOMPARE(show(s.Next(SignGroup::I)), show(SignView{QStringLiteral("I3"), QStringLiteral("I-1"),
                                                       QStringLiteral("Rodovia panamericana")}));
    QCOMPARE(s.Next(SignGroup::R)->code, QStringLiteral("R-1"));
    QCOMPARE(s.Next(SignGroup::A)->code, QStringLiteral("A-1A"));
}

void TestSignCatalog::searchResultMovesOnlyItsGroup()
{
    TSignStepper s;
    QCOMPARE(s.Localizar(QStringLiteral("R-10"))->picture, QStringLiteral("R12"));
    QCOMPARE(s.IndiceReg(), 12);
    QCOMPARE(s.IndiceAdv(), -1);
    QCOMPARE(s.IndiceInd(), 2);
    // Stepping in another group starts that group from its own position...
    QCOMPARE(s.Next(SignGroup::A)->code, QStringLiteral("A-1A"));
    // ...and stepping in the found sign's group continues from the sign found.
    QCOMPARE(s.Next(SignGroup::R)->code, QStringLiteral("R-11"));
    QCOMPARE(s.Previous(SignGroup::R)->code, QStringLiteral("R-10"));

    // A text that is no code moves nothing.
    QCOMPARE(s.Localizar(QStringLiteral("XYZ")), std::nullopt);
    QCOMPARE(s.Localizar(QString()), std::nullopt);
    QCOMPARE(s.IndiceAdv(), 0);
    QCOMPARE(s.IndiceReg(), 12);

    // Found at either end of a group, the steps stop there.
    QVERIFY(s.Localizar(QStringLiteral("A-45")));
    QCOMPARE(s.Next(SignGroup::A), std::nullopt);
    QVERIFY(s.Localizar(QStringLiteral("I-1")));
    QCOMPARE(s.Previous(SignGroup::I), std::nullopt);
    QVERIFY(s.Localizar(QStringLiteral("I-9")));
    QCOMPARE(s.Previous(SignGroup::I)->picture, QStringLiteral("I6"));
}

// Road markings 1..7 and plate kinds 1..6: no wrap-around, nothing before the first; the plate
// restart of a sign-group change brings back " Particular".
void TestSignCatalog::markingAndPlateStepping()
{
    TSignStepper s;
    QCOMPARE(s.PreviousFaixa(), std::nullopt);
    QCOMPARE(show(s.NextFaixa()),
             show(SignView{QStringLiteral("FAIXA1"), QString(),
                           QStringLiteral("Faixa de divisão de fluxos opostos - Proibido ultrapassar")}));
    QCOMPARE(s.NextFaixa()->name,
             QStringLiteral("Faixa de divisão de fluxos opostos - Permitido ultrapassar"));
    QCOMPARE(s.NextFaixa()->name,
             QStringLiteral("Faixa de divisão de fluxos opostos - Permite ultrapassar quando a 1ª "
                            "faixa à sua esquerda for pontilhada"));
    for (int p = 4; p <= 7; ++p)
        QCOMPARE(s.NextFaixa()->picture, QStringLiteral("FAIXA%1").arg(p));
    QCOMPARE(s.NextFaixa(), std::nullopt);
    QCOMPARE(s.IndiceFaixa(), 7);
    QCOMPARE(SignCatalog::NomeFaixa(7),
             QStringLiteral("Faixa de divisão de fluxo do mesmo sentido - Permitido ultrapassar"));
    for (int p = 6; p >= 1; --p)
        QCOMPARE(s.PreviousFaixa()->name, SignCatalog::NomeFaixa(p));
    QCOMPARE(s.PreviousFaixa(), std::nullopt);
    QCOMPARE(s.IndiceFaixa(), 1);

    QCOMPARE(s.PreviousPlacaCarro(), std::nullopt);
    QStringList labels;
    while (const auto v = s.NextPlacaCarro()) {
        QCOMPARE(v->picture, QStringLiteral("PLC%1").arg(s.IndicePlacaCarro()));
        labels << v->name;
    }
    QCOMPARE(labels, QStringList({QStringLiteral(" Particular"), QStringLiteral(" Aluguel"),
                                  QStringLiteral(" Oficial"), QStringLiteral(" Experiência"),
                                  QStringLiteral(" Fabricante"), QStringLiteral(" Aprendizado")}));
    QCOMPARE(s.IndicePlacaCarro(), 6);
    s.PreviousPlacaCarro();
    s.PreviousPlacaCarro();
    QCOMPARE(s.PreviousPlacaCarro()->name, QStringLiteral(" Oficial"));
    s.RestartPlacaCarro();
    QCOMPARE(s.PreviousPlacaCarro(), std::nullopt);
    QCOMPARE(s.NextPlacaCarro()->name, QStringLiteral(" Particular"));
    QCOMPARE(s.IndiceFaixa(), 1);

    // No entry outside the tables.
    for (int p : {0, 8}) {
        QVERIFY(SignCatalog::NomeFaixa(p).isEmpty() && SignCatalog::FiguraFaixa(p).isEmpty());
        QVERIFY(SignCatalog::NomePlacaCarro(p).isEmpty() && SignCatalog::FiguraPlacaCarro(p).isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestSignCatalog)
#include "tst_signcatalog.moc"
