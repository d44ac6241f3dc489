// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// Exam types and the selection page: every type's 30 questions, the item-to-type mapping, the
// personalised exam through numprova.dat, and the keyboard on the selection page.

#include "exam/examtypes.h"
#include "exam/formprova.h"
#include "exam/personalpool.h"

#include "common/appwindows.h"
#include "common/errordisplay.h"
#include "common/errors.h"
#include "controls/panel.h"
#include "store/binarydataset.h"

#include "examdriver.h"
#include "fakes.h"
#include "files.h"
#include "windowdriver.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QStackedWidget>
#include <QtTest>

namespace {
using Numbers = QList<int>;

// The lists as the exam table writes them, written out here independently of the program's table.
Numbers geral(int t)
{
    // Six cycles over blocks 1, 3, 5, 7, 9; type t takes the (6t-5)th..6t-th of each block, with
    // the first two of block 1 swapped in type 1 (2 first, 1 sixth).
    Numbers out;
    for (int cycle = 0; cycle < 6; ++cycle)
        for (int block : {0, 100, 200, 300, 400})
            out << block + 6 * (t - 1) + cycle + 1;
    if (t == 1)
        out[0] = 2, out[5] = 1;
    return out;
}

Numbers range(int first) // 30 numbers from first
{
    Numbers out;
    for (int i = 0; i < 30; ++i)
        out << first + i;
    return out;
}

const Numbers kGeral6 = {51,  151, 251, 351, 451, 501, 52,  152, 252, 352, 452, 502, 53,  253, 353,
                         453, 503, 54,  154, 254, 354, 454, 504, 55,  155, 255, 355, 455, 505, 56};

Numbers askedBy(TExamState &exam)
{
    Numbers out;
    for (int p = 1; p <= 30; ++p) {
        exam.Posicao = p;
        ProcurarProva(exam);
        out << exam.NumeroQuestao;
    }
    return out;
}

} // namespace

class TestExamTypes : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void fixedLists_data();
    void fixedLists();
    void fixedListsNeverRepeat();
    void positionsOutsideLeaveNumber();
    void captionsAndAccelerators();
    void startGeral1Twice();
    void startItem5And11();
    void personalisedCreatesPool();
    void personalisedReordersFile();
    void personalisedShortFileRepeatsLast();
    void personalisedBadNumbers_data();
    void personalisedBadNumbers();
    void personalisedDamagedFile();
    void personalisedMissingAfterExamUsesWholePool();
    void personalisedWrongFieldName_data();
    void personalisedWrongFieldName();
    void personalisedEditedPoolSetAside_data();
    void personalisedEditedPoolSetAside();
    void keyboard();
    void closeOnSelectionPageAsksNothing();

private:
    void start(int item);
    std::unique_ptr<FakeDialogs> m_dialogs;
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TFormProva> m_window;
};

void TestExamTypes::init()
{
    m_dialogs = std::make_unique<FakeDialogs>();
    m_folder = std::make_unique<TempProgramFolder>();
    m_window = std::make_unique<TFormProva>();
}

void TestExamTypes::cleanup()
{
    m_window.reset();
    m_folder.reset();
    m_dialogs.reset();
}

void TestExamTypes::start(int item)
{
    m_window->RadioItems[item]->setChecked(true);
    guarded([this] { m_window->BitBtn1->click(); });
}

void TestExamTypes::fixedLists_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("type");
    QTest::addColumn<Numbers>("numbers");
    for (int t = 1; t <= 5; ++t)
        QTest::addRow("Geral %d", t) << t - 1 << t << geral(t);
    QTest::newRow("6 - Geral") << 5 << 17 << kGeral6;
    const int firsts[] = {1, 51, 101, 151, 201, 501, 251, 301, 351, 401, 451};
    const int types[] = {6, 7, 8, 9, 10, 16, 11, 12, 13, 14, 15};
    for (int i = 0; i < 11; ++i)
        QTest::addRow("item %d", 6 + i) << 6 + i << types[i] << range(firsts[i]);
}

void TestExamTypes::fixedLists()
{
    QFETCH(int, item);
    QFETCH(int, type);
    QFETCH(Numbers, numbers);
    QCOMPARE(ExamTypes::typeForItem(item), type);
    TExamState exam;
    exam.TipoProva = type;
    QCOMPARE(askedBy(exam), numbers);
}

void TestExamTypes::fixedListsNeverRepeat()
{
    QSet<int> geral;
    for (int type = 1; type <= 17; ++type) {
        TExamState exam;
        exam.TipoProva = type;
        const Numbers asked = askedBy(exam);
        QCOMPARE(QSet<int>(asked.begin(), asked.end()).size(), 30);
        if (type <= 5)
            geral.unite(QSet<int>(asked.begin(), asked.end()));
    }
    // The five Geral exams together ask each question of blocks 1, 3, 5, 7, 9 once.
    QCOMPARE(geral.size(), 150);
    QCOMPARE(ExamTypes::typeForItem(17), 18);
    QCOMPARE(ExamTypes::typeForItem(18), 0);
    QVERIFY(!ExamTypes::fixedList(18));
}

void TestExamTypes::positionsOutsideLeaveNumber()
{
    for (int type : {1, 17, 18}) {
        TExamState exam;
        exam.TipoProva = type;
        exam.ListBox1 = QStringList(30, QStringLiteral("abc"));
        exam.NumeroQuestao = 77;
        for (int p : {0, 31, -1, 1000}) {
            exam.Posicao = p;
            ProcurarProva(exam);
            QCOMPARE(exam.NumeroQuestao, 77);
        }
    }
    TExamState exam;
    exam.TipoProva = 18;
    exam.ListBox1 = {QStringLiteral("001"), QStringLiteral("530")};
    exam.Posicao = 2;
    ProcurarProva(exam);
    QCOMPARE(exam.NumeroQuestao, 530);
    exam.Posicao = 3; // nothing stored there
    QVERIFY_THROWS_EXCEPTION(EConvertError, ProcurarProva(exam));
}

void TestExamTypes::captionsAndAccelerators()
{
    const QStringList expected = {" &1 - Geral",
                                  " &2 - Geral",
                                  " &3 - Geral",
                                  " &4 - Geral",
                                  " &5 - Geral",
                                  " &6 - Geral",
                                  " &7 - Legislação",
                                  " &8 - Legislação e Infrações",
                                  " &9 - Regras de Circulação",
                                  " 1&0 - Regras de Circulação",
                                  " 11 - &Sinalização",
                                  " 12 - Si&nalização",
                                  " 13 - &Direção Defensiva",
                                  " 14 - Direção De&fensiva",
                                  " 15 - &Primeiros Socorros",
                                  " 16 - Mecânica &Básica",
                                  " 17 - Cidadania e Meio &Ambiente",
                                  " 18 - PROVA PERSONALIZADA"};
    QCOMPARE(m_window->RadioItems.size(), 18);
    m_window->show();
    for (int i = 0; i < 18; ++i)
        QCOMPARE(m_window->RadioItems[i]->text(), expected[i]);
    QVERIFY(m_window->RadioItems[0]->isChecked());
    QCOMPARE(m_window->RadioGroupProvas->geometry().size(), QSize(681, 170));
    // Three columns: items 0, 6 and 12 start them, side by side.
    QCOMPARE(m_window->RadioItems[6]->y(), m_window->RadioItems[0]->y());
    QVERIFY(m_window->RadioItems[6]->x() > m_window->RadioItems[5]->x());
    QVERIFY(m_window->RadioItems[12]->x() > m_window->RadioItems[6]->x());
}

void TestExamTypes::startGeral1Twice()
{
    QList<Numbers> runs;
    for (int run = 0; run < 2; ++run) {
        start(0);
        QCOMPARE(m_window->Notebook1->currentIndex(), 1);
        QCOMPARE(m_window->exam().TipoProva, 1);
        QCOMPARE(m_window->exam().NumeroQuestao, 2);
        runs << askedBy(m_window->exam());
        m_window->showSelectionPage();
    }
    QCOMPARE(runs[0], runs[1]);
    QCOMPARE(runs[0].first(), 2);
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestExamTypes::startItem5And11()
{
    start(5);
    QCOMPARE(m_window->exam().TipoProva, 17);
    QCOMPARE(m_window->exam().NumeroQuestao, 51);
    Numbers asked = askedBy(m_window->exam());
    QCOMPARE(asked.last(), 56);
    m_window->showSelectionPage();
    start(11);
    QCOMPARE(m_window->exam().TipoProva, 16);
    QCOMPARE(askedBy(m_window->exam()), range(501));
}

void TestExamTypes::personalisedCreatesPool()
{
    const QString path = m_folder->file(QStringLiteral("numprova.dat"));
    QVERIFY(!QFile::exists(path));
    start(17);
    QVERIFY(m_dialogs->boxes.isEmpty());
    QCOMPARE(m_window->exam().TipoProva, 18);
    QCOMPARE(m_window->Notebook1->currentIndex(), 1);
    QCOMPARE(QFileInfo(path).size(), 4367);
    const QStringList file = readPool(path);
    QCOMPARE(file.size(), 330);
    const QStringList pool = ExamTypes::defaultPool();
    QCOMPARE(QSet<QString>(file.begin(), file.end()), QSet<QString>(pool.begin(), pool.end()));
    const Numbers asked = askedBy(m_window->exam());
    QCOMPARE(QSet<int>(asked.begin(), asked.end()).size(), 30);
    for (int n : asked)
        QVERIFY2(pool.contains(QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0'))),
                 qPrintable(QString::number(n)));
    // The 30 asked are the file's first 30 after its shuffle.
    QCOMPARE(m_window->exam().ListBox1, file.mid(0, 30));
}

void TestExamTypes::personalisedReordersFile()
{
    FakeClock clock;
    const QString path = m_folder->file(QStringLiteral("numprova.dat"));
    start(17);
    const QByteArray first = readFile(path);
    const QStringList firstAsked = m_window->exam().ListBox1;
    m_window->showSelectionPage();
    clock.utc = clock.utc.addMSecs(5); // the shuffle starts from the time of day
    start(17);
    const QByteArray second = readFile(path);
    QCOMPARE(second.size(), first.size());
    QVERIFY(second != first);
    const QStringList asked = m_window->exam().ListBox1;
    QCOMPARE(QSet<QString>(asked.begin(), asked.end()).size(), 30);
    QVERIFY(asked != firstAsked);
}

void TestExamTypes::personalisedShortFileRepeatsLast()
{
    const QString path = m_folder->file(QStringLiteral("numprova.dat"));
    QStringList ten;
    for (int i = 0; i < 10; ++i)
        ten << QStringLiteral("%1").arg(101 + i);
    writePool(path, ten);
    start(17);
    QVERIFY(m_dialogs->boxes.isEmpty());
    const QStringList list = m_window->exam().ListBox1;
    QCOMPARE(list.size(), 30);
    // The shuffled ten, then the last of them over and over.
    QCOMPARE(QSet<QString>(list.begin(), list.begin() + 10), QSet<QString>(ten.begin(), ten.end()));
    for (int i = 10; i < 30; ++i)
        QCOMPARE(list[i], list[9]);
    QCOMPARE(readPool(path).last(), list[9]);
}

void TestExamTypes::personalisedBadNumbers_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("empty file") << QStringList();
    QTest::newRow("not a number") << QStringList{QStringLiteral("abc")};
    QTest::newRow("not in the bank") << QStringList{QStringLiteral("001"), QStringLiteral("040")};
    QTest::newRow("twice the same") << QStringList{QStringLiteral("001"), QStringLiteral("002"),
                                                   QStringLiteral("001")};
}

void TestExamTypes::personalisedBadNumbers()
{
    // A pool the exam cannot use whole is made anew from the default pool, and the exam starts.
    QFETCH(QStringList, texts);
    writePool(m_folder->file(QStringLiteral("numprova.dat")), texts);
    start(17);
    QVERIFY(m_dialogs->boxes.isEmpty());
    QCOMPARE(m_window->Notebook1->currentIndex(), 1);
    const QStringList asked = m_window->exam().ListBox1;
    QCOMPARE(QSet<QString>(asked.begin(), asked.end()).size(), 30);
    for (const QString &n : asked)
        QVERIFY(ExamTypes::defaultPool().contains(n));
    QCOMPARE(readPool(m_folder->file(QStringLiteral("numprova.dat"))).size(), 330);
}

void TestExamTypes::personalisedDamagedFile()
{
    const QString path = m_folder->file(QStringLiteral("numprova.dat"));
    writePool(path, {QStringLiteral("001"), QStringLiteral("002")});
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    f.write("XXXX"); // wrong magic
    f.close();
    start(17);
    QVERIFY(m_dialogs->boxes.isEmpty());
    QCOMPARE(m_window->Notebook1->currentIndex(), 1);
    QCOMPARE(readPool(m_folder->file(QStringLiteral("numprova.dat"))).size(), 330);
    // A file too large for any pool is not even read.
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.resize(PersonalPool::kMaxFileSize + 1));
    f.close();
    m_window->showSelectionPage();
    start(17);
    QVERIFY(m_dialogs->boxes.isEmpty());
    QCOMPARE(readPool(m_folder->file(QStringLiteral("numprova.dat"))).size(), 330);
}

void TestExamTypes::personalisedMissingAfterExamUsesWholePool()
{
    const QString path = m_folder->file(QStringLiteral("numprova.dat"));
    start(17);
    m_window->showSelectionPage();
    QVERIFY(QFile::remove(path));
    start(17);
    QCOMPARE(readPool(path).size(), 330);
}

void TestExamTypes::personalisedWrongFieldName_data()
{
    QTest::addColumn<bool>("replaced"); // a sound pool written in its place, or the file deleted
    QTest::newRow("file deleted") << false;
    QTest::newRow("sound pool written") << true;
}

void TestExamTypes::personalisedWrongFieldName()
{
    // A pool whose field is not "Numero" gives the store's message and stays as it is; once the
    // user deletes it or writes a sound one, the personalised exam starts in the same run.
    QFETCH(bool, replaced);
    const QString path = m_folder->file(QStringLiteral("numprova.dat"));
    {
        TBinaryDataSet ds;
        TField &numero = ds.AddField(QStringLiteral("Numro"), ftString, 5);
        ds.SetTableName(path);
        ds.CreateTable();
        ds.Open();
        ds.Append();
        numero.SetAsString(QStringLiteral("151"));
        ds.Post();
        ds.Close();
    }
    const QByteArray wrong = readFile(path);
    start(17);
    QCOMPARE(m_dialogs->texts(), QStringList{QStringLiteral("BDS: Campo 'Numero' não encontrado")});
    QCOMPARE(m_window->Notebook1->currentIndex(), 0);
    QCOMPARE(readFile(path), wrong);

    m_dialogs->clear();
    QVERIFY(QFile::remove(path));
    if (replaced)
        writePool(path, poolFrom(151));
    start(17);
    QVERIFY2(m_dialogs->boxes.isEmpty(), qPrintable(m_dialogs->texts().join(QLatin1Char('\n'))));
    QCOMPARE(m_window->Notebook1->currentIndex(), 1);
    const QStringList asked = m_window->exam().ListBox1;
    const QStringList expected = replaced ? poolFrom(151) : ExamTypes::defaultPool();
    QCOMPARE(readPool(path).size(), expected.size());
    QCOMPARE(QSet<QString>(asked.begin(), asked.end()).size(), 30);
    for (const QString &n : asked)
        QVERIFY2(expected.contains(n), qPrintable(n));
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files), QStringList{QStringLiteral("numprova.dat")});
}

void TestExamTypes::personalisedEditedPoolSetAside_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("twice the same") << QStringList{QStringLiteral("151"), QStringLiteral("152"),
                                                   QStringLiteral("151")};
    QTest::newRow("not in the bank") << QStringList{QStringLiteral("151"), QStringLiteral("040")};
}

void TestExamTypes::personalisedEditedPoolSetAside()
{
    // A pool the user may have edited is kept, byte for byte, under a name of its own before a new
    // one is made; a second one in the same second gets a name of its own too.
    QFETCH(QStringList, texts);
    FakeClock clock(QDateTime(QDate(2026, 12, 8), QTime(10, 15, 0)));
    const QString path = m_folder->file(QStringLiteral("numprova.dat"));
    writePool(path, texts);
    const QByteArray edited = readFile(path);
    start(17);
    QVERIFY2(m_dialogs->boxes.isEmpty(), qPrintable(m_dialogs->texts().join(QLatin1Char('\n'))));
    QCOMPARE(m_window->Notebook1->currentIndex(), 1);
    QCOMPARE(readPool(path).size(), 330);
    const QString aside = path + QStringLiteral(".danificado-20261208-101500");
    QCOMPARE(readFile(aside), edited);

    m_window->showSelectionPage();
    QVERIFY(QFile::remove(path));
    writePool(path, texts);
    start(17);
    QCOMPARE(m_window->Notebook1->currentIndex(), 1);
    QCOMPARE(readPool(path).size(), 330);
    QCOMPARE(readFile(aside), edited);
    QCOMPARE(readFile(aside + QStringLiteral("-2")), edited);
    // A sound pool is used as it is and nothing more is set aside.
    m_window->showSelectionPage();
    start(17);
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files).size(), 3);
}

void TestExamTypes::keyboard()
{
    QVERIFY(showActive(m_window.get()));
    // Alt plus an accelerator selects its item.
    QTest::keySequence(m_window->windowHandle(), QKeySequence(QStringLiteral("Alt+N")));
    QTRY_VERIFY(m_window->RadioItems[11]->isChecked());
    QTest::keySequence(m_window->windowHandle(), QKeySequence(QStringLiteral("Alt+0")));
    QTRY_VERIFY(m_window->RadioItems[9]->isChecked());
    // Enter starts the selected exam.
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : m_window.get(),
                    Qt::Key_Return);
    QCOMPARE(m_window->Notebook1->currentIndex(), 1);
    QCOMPARE(m_window->exam().TipoProva, 9);
    QCOMPARE(m_window->exam().NumeroQuestao, 151);
    // Esc on the selection page closes the window.
    m_window->showSelectionPage();
    QTest::keyClick(m_window.get(), Qt::Key_Escape);
    QVERIFY(!m_window->isVisible());
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestExamTypes::closeOnSelectionPageAsksNothing()
{
    m_window->show();
    m_window->close();
    QVERIFY(!m_window->isVisible());
    QVERIFY(m_dialogs->boxes.isEmpty());
    QCOMPARE(m_window->Panel4->caption(),
             QStringLiteral("Selecione o tipo de prova e clique no botão Iniciar ou pressione <Enter>"));
}

QTEST_MAIN(TestExamTypes)
#include "tst_examtypes.moc"
