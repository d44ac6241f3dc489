// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// Tests of the table store: the file it writes byte for byte, the cursor over live and deleted
// records, the shuffle, exclusive opening (also between processes) and damaged files.
//
// The binary also serves as its own helper process:
//   tst_binarydataset --hold PATH ro|rw       opens PATH, prints "open" or "failed", waits for a line
//   tst_binarydataset --append-and-stop PATH  builds numprova.dat at PATH and stops without closing

#include "common/errordisplay.h"
#include "common/errors.h"
#include "fakes.h"
#include "files.h"
#include "store/binarydataset.h"
#include "store/random.h"

#include <QProcess>
#include <QtTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <iostream>

namespace {
// The store as the exam window declares it: `BDS` with the string field `Numero` of size 5.
struct Numprova {
    explicit Numprova(const QString &path) : Numero(BDS.AddField(QStringLiteral("Numero"), ftString, 5))
    {
        BDS.SetName(QStringLiteral("BDS"));
        BDS.SetTableName(path);
    }
    TBinaryDataSet BDS;
    TField &Numero;

    // Creates the file and inserts the numbers the way the exam does; the store is left open.
    void build(const QStringList &numbers)
    {
        BDS.CreateTable();
        BDS.Open();
        BDS.First();
        for (const QString &n : numbers) {
            BDS.Insert();
            Numero.SetAsString(n);
            BDS.Post();
            BDS.Next();
        }
    }
    // Numero of every live record, first to last.
    QStringList walk()
    {
        QStringList out;
        for (BDS.First(); !BDS.Eof(); BDS.Next())
            out << Numero.AsString();
        return out;
    }
    QStringList walkBack()
    {
        QStringList out;
        for (BDS.Last(); !BDS.Bof(); BDS.Prior())
            out << Numero.AsString();
        return out;
    }
};

// "001" to "030", "051" to "080", ... "501" to "530".
QStringList defaultPool()
{
    QStringList out;
    for (int block = 0; block < 11; ++block)
        for (int k = 1; k <= 30; ++k)
            out << QStringLiteral("%1").arg(block * 50 + k, 3, 10, QLatin1Char('0'));
    return out;
}

QStringList numbers(int count)
{
    QStringList out;
    for (int k = 1; k <= count; ++k)
        out << QStringLiteral("%1").arg(k, 3, 10, QLatin1Char('0'));
    return out;
}

// Little-endian 32-bit integer, written out by hand so the format is checked independently.
QByteArray le32(qint32 v)
{
    const auto u = static_cast<quint32>(v);
    QByteArray b;
    for (int k = 0; k < 4; ++k)
        b += static_cast<char>((u >> (8 * k)) & 0xFF);
    return b;
}

qint32 int32At(const QByteArray &b, int offset)
{
    quint32 u = 0;
    for (int k = 3; k >= 0; --k)
        u = (u << 8) | static_cast<quint8>(b.at(offset + k));
    return static_cast<qint32>(u);
}

QByteArray header(qint32 recordSize, qint32 count, qint32 fields = 1, qint32 firstDeleted = -1,
                  qint32 deleted = 0, qint32 startData = INT_MIN)
{
    return QByteArray("BDS\x1a", 4) + le32(13) + le32(recordSize) + le32(count) + le32(fields) + le32(-1) +
           le32(firstDeleted) + le32(deleted) + le32(startData == INT_MIN ? 36 + 41 * fields : startData);
}

QByteArray descriptor(const QByteArray &name, char type, qint32 slot, qint32 size)
{
    return name + QByteArray(28 - name.size(), '\0') + type + le32(slot) + le32(size) + le32(0);
}

QByteArray numeroRecord(const QByteArray &text, qint32 link = 0)
{
    return le32(link) + text + QByteArray(9 - text.size(), '\0');
}

// A good numprova.dat with the given numbers.
QByteArray numprovaBytes(const QList<QByteArray> &texts)
{
    QByteArray b = header(13, static_cast<qint32>(texts.size())) + descriptor("Numero", 1, 9, 5);
    for (const QByteArray &t : texts)
        b += numeroRecord(t);
    return b;
}

// "Class: message" of what f throws, "no error" when it throws nothing.
template <typename F> QString errorOf(F f)
{
    try {
        f();
    } catch (const EBinaryDataSetError &e) {
        return QStringLiteral("EBinaryDataSetError: ") + e.message();
    } catch (const EDatabaseError &e) {
        return QStringLiteral("EDatabaseError: ") + e.message();
    } catch (const EAssertionFailed &e) {
        return QStringLiteral("EAssertionFailed: ") + e.message();
    } catch (const EFOpenError &e) {
        return QStringLiteral("EFOpenError: ") + e.message();
    } catch (const EFCreateError &e) {
        return QStringLiteral("EFCreateError: ") + e.message();
    } catch (const EStreamError &e) {
        return QStringLiteral("EStreamError: ") + e.message();
    } catch (const EConvertError &e) {
        return QStringLiteral("EConvertError: ") + e.message();
    } catch (const Exception &e) {
        return QStringLiteral("Exception: ") + e.message();
    }
    return QStringLiteral("no error");
}

// True when nobody holds a lock on path: the store released it.
bool unlocked(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR);
    if (fd < 0)
        return false;
    const bool ok = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return ok;
}

// The length check's message with its four figures.
QString invalidSize(qint64 startData, qint64 count, qint64 recordSize, qint64 length)
{
    return QStringLiteral("EBinaryDataSetError: Internal open: Invalid record size.\rStartData   : %1"
                          "\rfRecordCount: %2\rfRecordSize : %3\rfStream.SIze: %4")
        .arg(startData)
        .arg(count)
        .arg(recordSize)
        .arg(length);
}
} // namespace

class TestBinaryDataSet : public QObject {
    Q_OBJECT
private slots:
    void init() { m_dir = std::make_unique<TempProgramFolder>(); }
    void cleanup() { m_dir.reset(); }

    void generator();
    void numprovaFileByteForByte();
    void neverClosedFileFailsToOpen();
    void deleteChains();
    void recordNumbersAndBookmarks();
    void editInsertCancel();
    void stringsAndNames();
    void fieldTypes();
    void overwriteQuestion();
    void shuffle();
    void exclusiveOpening();
    void exclusiveBetweenProcesses();
    void misuse();
    void damagedFiles_data();
    void damagedFiles();
    void messagesAsTheUserSeesThem();

private:
    QString path(const QString &name = QStringLiteral("numprova.dat")) const { return m_dir->file(name); }
    std::unique_ptr<TempProgramFolder> m_dir;
};

void TestBinaryDataSet::generator()
{
    // state 0 -> 1 -> 134775814 -> 3698175007 -> 870078620 (each × 134775813 + 1 mod 2^32)
    TRandom r(0);
    QCOMPARE(r.Random(100), 0u);                 // 1 × 100 >> 32
    QCOMPARE(r.Random(0xFFFFFFFFu), 134775813u); // 134775814 × (2^32 − 1) >> 32
    QCOMPARE(r.Random(10), 8u);                  // 3698175007 × 10 >> 32 = 8.61...
    QCOMPARE(r.State(), 3698175007u);
    QCOMPARE(r.Random(1), 0u);

    FakeClock clock;
    clock.utc = QTime(23, 59, 59, 999);
    r.Randomize();
    QCOMPARE(r.State(), 86399999u);
    clock.utc = QTime(9, 8, 7, 654);
    r.Randomize();
    QCOMPARE(r.State(), 32887654u);
}

void TestBinaryDataSet::numprovaFileByteForByte()
{
    FakeDialogs dialogs;
    Numprova exam(path());
    exam.build(defaultPool());
    QCOMPARE(exam.BDS.RecordCount(), 330);
    // Appending never touches the header: it still says 0 records until close.
    const QByteArray open = readFile(path());
    QCOMPARE(open.size(), 4367);
    QCOMPARE(int32At(open, 12), 0);
    exam.BDS.Close();

    const QByteArray file = readFile(path());
    QCOMPARE(file.size(), 4367);
    QCOMPARE(file.left(36), QByteArray::fromHex("4244531a 0d000000 0d000000 4a010000 01000000"
                                                "ffffffff ffffffff 00000000 4d000000"));
    QCOMPARE(file.mid(36, 41), QByteArray::fromHex("4e756d65726f00000000000000000000000000000000000000000000"
                                                   "01 09000000 05000000 00000000"));
    QCOMPARE(file.mid(77, 13), QByteArray::fromHex("00000000 303031 00 000000 0000"));
    QCOMPARE(file.mid(77 + 30 * 13, 13), QByteArray::fromHex("00000000 303531 00 000000 0000")); // "051"
    QCOMPARE(file.right(13), QByteArray::fromHex("00000000 353330 00 000000 0000"));             // "530"
    const QStringList pool = defaultPool();
    for (int k = 0; k < 330; ++k)
        QCOMPARE(file.mid(77 + k * 13, 13), QByteArray(4, '\0') + pool[k].toLatin1() + QByteArray(6, '\0'));

    exam.BDS.Open();
    QCOMPARE(exam.walk(), pool);
    QVERIFY(dialogs.boxes.isEmpty());
}

void TestBinaryDataSet::neverClosedFileFailsToOpen()
{
    // A second copy of this program builds the file and stops without closing the store.
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--append-and-stop"), path()});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitCode(), 0);
    const QByteArray before = readFile(path());
    QCOMPARE(before.size(), 4367);
    QCOMPARE(int32At(before, 12), 0);

    Numprova exam(path());
    QCOMPARE(errorOf([&] { exam.BDS.Open(); }), invalidSize(77, 0, 13, 4367));
    QVERIFY(!exam.BDS.Active());
    QCOMPARE(readFile(path()), before);
    QVERIFY(unlocked(path()));
}

void TestBinaryDataSet::deleteChains()
{
    Numprova s(path());
    s.build(numbers(5));
    s.BDS.SetRecNo(3);
    QCOMPARE(s.Numero.AsString(), QStringLiteral("003"));
    s.BDS.Delete();
    QCOMPARE(s.Numero.AsString(), QStringLiteral("004")); // the next live record is current
    QCOMPARE(s.BDS.RecordCount(), 4);
    QByteArray file = readFile(path());
    QCOMPARE(file.size(), 77 + 5 * 13); // the record keeps its place
    QCOMPARE(int32At(file, 12), 4);     // RecordCount
    QCOMPARE(int32At(file, 24), 3);     // FirstDeleted
    QCOMPARE(int32At(file, 28), 1);     // DeletedCount
    QCOMPARE(file.mid(77 + 2 * 13, 13), numeroRecord("003", -1));
    QCOMPARE(s.walk(), QStringList({"001", "002", "004", "005"}));
    QCOMPARE(s.walkBack(), QStringList({"005", "004", "002", "001"}));

    // Deleting the last record: the previous live one becomes current; the link names record 3.
    s.BDS.Last();
    s.BDS.Delete();
    QCOMPARE(s.Numero.AsString(), QStringLiteral("004"));
    file = readFile(path());
    QCOMPARE(int32At(file, 77 + 4 * 13), 3);
    QCOMPARE(int32At(file, 24), 5);
    QCOMPARE(int32At(file, 28), 2);
    s.BDS.Close();
    s.BDS.Open();
    QCOMPARE(s.walk(), QStringList({"001", "002", "004"}));

    // With every record deleted the store is empty although all five are still in the file.
    while (!s.BDS.IsEmpty())
        s.BDS.Delete();
    QVERIFY(s.BDS.Eof() && s.BDS.Bof());
    s.BDS.Close();
    QCOMPARE(readFile(path()).size(), 77 + 5 * 13);
    s.BDS.Open();
    QCOMPARE(s.BDS.RecordCount(), 0);
    QVERIFY(s.BDS.IsEmpty() && s.BDS.Eof() && s.BDS.Bof());
    s.BDS.Last();
    s.BDS.Prior();
    QVERIFY(s.BDS.IsEmpty());
    QCOMPARE(s.Numero.AsString(), QString());
    QVERIFY(!s.BDS.GetBookmark());
    QCOMPARE(errorOf([&] { s.BDS.Delete(); }),
             QStringLiteral("EDatabaseError: Não posso executar esta operação num 'dataset' vazio"));
}

void TestBinaryDataSet::recordNumbersAndBookmarks()
{
    Numprova s(path());
    s.build(numbers(5));
    s.BDS.First();
    QCOMPARE(s.BDS.RecNo(), 1);
    s.BDS.SetRecNo(4);
    QCOMPARE(s.Numero.AsString(), QStringLiteral("004"));
    QCOMPARE(s.BDS.RecNo(), 4);
    for (int n : {0, -1, 6})
        s.BDS.SetRecNo(n);
    QCOMPARE(s.Numero.AsString(), QStringLiteral("004"));

    const auto bookmark = s.BDS.GetBookmark();
    QCOMPARE(bookmark, std::optional<qint32>(3));
    s.BDS.First();
    s.BDS.GotoBookmark(*bookmark);
    QCOMPARE(s.Numero.AsString(), QStringLiteral("004"));
    QCOMPARE(errorOf([&] { s.BDS.GotoBookmark(5); }),
             QStringLiteral("EBinaryDataSetError: Bookmark 5 not found"));
    QCOMPARE(errorOf([&] { s.BDS.GotoBookmark(-1); }),
             QStringLiteral("EBinaryDataSetError: Bookmark -1 not found"));

    // Record numbers are physical: after deleting record 2 the limit is the live count (4), and
    // asking for the deleted number gives the next live record.
    s.BDS.SetRecNo(2);
    s.BDS.Delete();
    s.BDS.SetRecNo(2);
    QCOMPARE(s.Numero.AsString(), QStringLiteral("003"));
    QCOMPARE(s.BDS.RecNo(), 3);
    s.BDS.SetRecNo(5);
    QCOMPARE(s.Numero.AsString(), QStringLiteral("003"));
    QCOMPARE(errorOf([&] { s.BDS.GotoBookmark(1); }),
             QStringLiteral("EBinaryDataSetError: GetRecord: Invalid record"));
    // Past the end, the last record stays current.
    s.BDS.Last();
    s.BDS.Next();
    QVERIFY(s.BDS.Eof());
    QCOMPARE(s.Numero.AsString(), QStringLiteral("005"));
    s.BDS.Prior();
    QCOMPARE(s.Numero.AsString(), QStringLiteral("004"));
}

void TestBinaryDataSet::editInsertCancel()
{
    Numprova s(path());
    s.build(numbers(3));
    s.BDS.Close();
    s.BDS.Open();
    const QByteArray before = readFile(path());

    s.BDS.SetRecNo(2);
    s.BDS.Edit();
    s.Numero.SetAsString(QStringLiteral("X"));
    s.BDS.Cancel();
    QCOMPARE(s.Numero.AsString(), QStringLiteral("002"));
    QCOMPARE(readFile(path()), before);

    s.BDS.Edit();
    s.Numero.SetAsString(QStringLiteral("77"));
    s.BDS.Post();
    QByteArray expected = before;
    expected.replace(77 + 13, 13, numeroRecord("77"));
    QCOMPARE(readFile(path()), expected);

    // An insert goes to the end of the file whatever the position; a cancelled one leaves nothing.
    s.BDS.First();
    s.BDS.Insert();
    s.BDS.Cancel();
    QCOMPARE(s.Numero.AsString(), QStringLiteral("001"));
    s.BDS.Insert();
    s.Numero.SetAsString(QStringLiteral("9"));
    s.BDS.First(); // moving posts the pending record
    QCOMPARE(s.walk(), QStringList({"001", "77", "003", "9"}));
    QCOMPARE(readFile(path()), expected + numeroRecord("9"));

    // A read-only store has no guard: the write fails when it reaches the file.
    s.BDS.Close();
    const QByteArray closed = readFile(path());
    s.BDS.SetReadOnly(true);
    s.BDS.Open();
    s.BDS.Append();
    QCOMPARE(errorOf([&] { s.BDS.Post(); }), QStringLiteral("EStreamError: Erro de escrita a 'stream'"));
    QCOMPARE(s.BDS.State(), dsInsert);
    // An error hook may abandon the post silently instead.
    s.BDS.OnPostError = [](TBinaryDataSet &, const Exception &, TDataAction &action) { action = daAbort; };
    QCOMPARE(errorOf([&] { s.BDS.Post(); }), QStringLiteral("no error"));
    s.BDS.Close();
    QCOMPARE(readFile(path()), closed);
}

void TestBinaryDataSet::stringsAndNames()
{
    FakeDialogs dialogs;
    TBinaryDataSet s;
    s.SetTableName(path(QStringLiteral("names.dat")));
    const QString longName = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123"); // 30 characters
    s.AddFieldDef(longName, ftInteger);
    s.AddFieldDef(QStringLiteral("Descrição"), ftString, 5);
    s.CreateTable();
    const QByteArray file = readFile(path(QStringLiteral("names.dat")));
    QCOMPARE(file.size(), 36 + 2 * 41);
    QCOMPARE(file.mid(36, 41), QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZ0") + QByteArray(1, '\0') +
                                   QByteArray::fromHex("03 04000000 00000000 00000000"));
    QCOMPARE(file.mid(77, 41), descriptor("Descri\xe7\xe3o", 1, 9, 5));
    QCOMPARE(int32At(file, 8), 4 + 4 + 9);

    s.Open();
    QCOMPARE(s.FieldCount(), 2);
    QCOMPARE(s.Fields(0).FieldName(), longName.left(27));
    TField &text = s.FieldByName(QStringLiteral("descrição"));
    s.Append();
    text.SetAsString(QStringLiteral("Ação123456789"));
    s.Post();
    QCOMPARE(text.AsString(), QStringLiteral("Ação1"));
    s.Close();
    // code page 1252, cut to 5 characters, a zero, then the three spare bytes stay zero
    QCOMPARE(readFile(path(QStringLiteral("names.dat"))).right(9), QByteArray("A\xe7\xe3o1\0\0\0\0", 9));
}

void TestBinaryDataSet::fieldTypes()
{
    FakeDialogs dialogs;
    TBinaryDataSet s;
    s.SetTableName(path(QStringLiteral("types.dat")));
    const TFieldType types[] = {ftString, ftSmallint, ftInteger, ftWord, ftBoolean,
                                ftFloat,  ftCurrency, ftDate,    ftTime, ftDateTime};
    for (TFieldType t : types)
        s.AddFieldDef(QStringLiteral("F%1").arg(int(t)), t, t == ftString ? 3 : 0);
    s.CreateTable();
    s.Open();
    s.Append();
    const QDate date(2024, 2, 29);
    const QTime time(13, 14, 15, 16);
    const QVariant values[] = {QStringLiteral("abc"),
                               -2,
                               -100000,
                               65535,
                               true,
                               1.5,
                               -0.25,
                               date,
                               time,
                               QDateTime(date, time, QTimeZone::utc())};
    for (int k = 0; k < 10; ++k)
        s.Fields(k).SetValue(values[k]);
    s.Post();
    s.Close();

    // Slots: 7 + 2 + 4 + 2 + 2 + 8 + 8 + 4 + 4 + 8 after the 4-byte prefix.
    const QByteArray file = readFile(path(QStringLiteral("types.dat")));
    QCOMPARE(file.size(), 36 + 10 * 41 + 53);
    const qint32 day = static_cast<qint32>(date.toJulianDay() - QDate(1, 1, 1).toJulianDay() + 1);
    const qint32 ms = ((13 * 60 + 14) * 60 + 15) * 1000 + 16;
    double dt = double(day) * 86400000.0 + ms;
    QByteArray dtBytes(reinterpret_cast<const char *>(&dt), 8); // little-endian host
    QCOMPARE(file.right(49), QByteArray("abc\0\0\0\0", 7) + QByteArray::fromHex("feff 6079feff ffff 0100") +
                                 QByteArray::fromHex("000000000000f83f 000000000000d0bf") + le32(day) +
                                 le32(ms) + dtBytes);

    s.Open();
    for (int k = 0; k < 10; ++k)
        QCOMPARE(s.Fields(k).Value(), values[k]);

    // Clearing: a Boolean stores 0; any other type shows the box and keeps its value.
    s.Edit();
    s.Fields(4).Clear();
    QCOMPARE(s.Fields(4).AsBoolean(), false);
    s.Fields(2).Clear();
    QCOMPARE(s.Fields(2).AsInteger(), -100000);
    QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("very bad error in setfield data")});
    QVERIFY(!s.Fields(4).IsNull());
    QCOMPARE(dialogs.boxes.size(), 1);
    QVERIFY(!s.Fields(0).IsNull());
    QCOMPARE(dialogs.texts().last(), QStringLiteral("very bad error in get field data"));
    QCOMPARE(errorOf([&] { s.Fields(1).SetAsString(QStringLiteral("40000")); }),
             QStringLiteral("EConvertError: '40000' não é um valor válido para o campo 'F2'"));
    s.Cancel();
    QCOMPARE(errorOf([&] { s.Fields(2).SetAsInteger(1); }),
             QStringLiteral("EDatabaseError: Dataset não está em modo de edição ou inserção"));
    s.Close();

    // A type without a slot: the file keeps the first header and the descriptors written so far.
    TBinaryDataSet bad;
    bad.SetTableName(path(QStringLiteral("bcd.dat")));
    bad.AddFieldDef(QStringLiteral("A"), ftInteger);
    bad.AddFieldDef(QStringLiteral("B"), ftBCD);
    QCOMPARE(errorOf([&] { bad.CreateTable(); }),
             QStringLiteral("EBinaryDataSetError: InitFieldsDefs: Unsupported field type"));
    QCOMPARE(readFile(path(QStringLiteral("bcd.dat"))), QByteArray("BDS\x1a", 4) + le32(13) + le32(0) +
                                                            le32(0) + le32(2) + le32(-1) + le32(-1) +
                                                            le32(0) + le32(-1) + descriptor("A", 3, 4, 0));
    QVERIFY(unlocked(path(QStringLiteral("bcd.dat"))));
}

void TestBinaryDataSet::overwriteQuestion()
{
    FakeDialogs dialogs;
    const QByteArray good = numprovaBytes({"001", "002"});
    QVERIFY(writeFile(path(), good));
    Numprova s(path());
    dialogs.answer({false});
    s.BDS.CreateTable();
    QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("File ") + path() +
                                          QStringLiteral(" already exists. OK to override?")});
    QVERIFY(dialogs.boxes.first().question);
    QCOMPARE(readFile(path()), good);
    QVERIFY(!s.BDS.Active());

    dialogs.answer({true});
    s.BDS.CreateTable();
    QCOMPARE(readFile(path()), numprovaBytes({}));
    s.BDS.Open();
    QCOMPARE(errorOf([&] { s.BDS.CreateTable(); }),
             QStringLiteral("EDatabaseError: Não posso executar esta operação num 'dataset' aberto"));
    QCOMPARE(dialogs.boxes.size(), 2);
}

void TestBinaryDataSet::shuffle()
{
    FakeClock clock;
    // One record: the only exchange is of the record with itself, whatever the generator's state.
    {
        Numprova s(path(QStringLiteral("one.dat")));
        s.build({QStringLiteral("042")});
        s.BDS.Close();
        s.BDS.Open();
        const QByteArray before = readFile(path(QStringLiteral("one.dat")));
        for (const QTime &t : {QTime(0, 0), QTime(12, 30, 0, 1), QTime(23, 59, 59, 999)}) {
            clock.utc = t;
            s.BDS.ShuffleRecords();
            QCOMPARE(readFile(path(QStringLiteral("one.dat"))), before);
        }
    }
    // State 32887654 (09:08:07.654 UTC). Draws in 0..5 for passes 0..5, each from
    // state := state × 134775813 + 1 and (state × 6) >> 32:
    //   states 2516433151, 2169510140, 2068999405, 3090044066, 832253739, 3451000792
    //   draws  3,          3,          2,          4,          1,         4
    // Pass 0 and j = 0 exchange nothing; 1<->3, 2<->2, 3<->4, 4<->1, 5<->4 turn
    // 1 2 3 4 5 into 3 2 1 4 5, 3 2 4 1 5, 1 2 4 3 5, 1 2 4 5 3.
    {
        Numprova s(path(QStringLiteral("five.dat")));
        s.build({"1", "2", "3", "4", "5"});
        clock.utc = QTime(9, 8, 7, 654);
        s.BDS.ShuffleRecords();
        QCOMPARE(s.Numero.AsString(), QStringLiteral("1")); // ends on the first record
        QCOMPARE(s.walk(), QStringList({"1", "2", "4", "5", "3"}));
    }
    // The exam's use: every number of the pool is still there exactly once, the header unchanged.
    {
        Numprova s(path());
        s.build(defaultPool());
        s.BDS.Close();
        const QByteArray before = readFile(path());
        clock.utc = QTime(17, 45, 3, 120);
        s.BDS.Open();
        s.BDS.ShuffleRecords();
        s.BDS.First();
        QStringList thirty;
        for (int k = 0; k < 30; ++k, s.BDS.Next())
            thirty << s.Numero.AsString();
        s.BDS.Close();
        const QByteArray after = readFile(path());
        QCOMPARE(after.left(77), before.left(77));
        QVERIFY(after != before);
        s.BDS.Open();
        QStringList all = s.walk();
        QCOMPARE(all.mid(0, 30), thirty);
        all.sort();
        QCOMPARE(all, defaultPool());
    }
}

void TestBinaryDataSet::exclusiveOpening()
{
    QVERIFY(writeFile(path(), numprovaBytes({"001"})));
    const QString cannotOpen = QStringLiteral("EFOpenError: Não posso abrir o arquivo ") + path();
    Numprova a(path()), b(path()), c(path());
    a.BDS.Open();
    QCOMPARE(errorOf([&] { b.BDS.Open(); }), cannotOpen);
    QVERIFY(!b.BDS.Active());
    b.BDS.SetReadOnly(true);
    QCOMPARE(errorOf([&] { b.BDS.Open(); }), cannotOpen);
    a.BDS.Close();

    // Readers share; a writer, and creating the file anew, must wait for them.
    b.BDS.Open();
    c.BDS.SetReadOnly(true);
    c.BDS.Open();
    QCOMPARE(errorOf([&] { a.BDS.Open(); }), cannotOpen);
    FakeDialogs dialogs;
    dialogs.answer({true});
    const QByteArray before = readFile(path());
    QCOMPARE(errorOf([&] { a.BDS.CreateTable(); }),
             QStringLiteral("EFCreateError: Não posso criar o arquivo ") + path());
    QCOMPARE(readFile(path()), before);
    b.BDS.Close();
    c.BDS.Close();
    { // the destructor releases the file too
        Numprova d(path());
        d.BDS.Open();
        QVERIFY(!unlocked(path()));
    }
    QVERIFY(unlocked(path()));
    a.BDS.Open();
}

void TestBinaryDataSet::exclusiveBetweenProcesses()
{
    QVERIFY(writeFile(path(), numprovaBytes({"001"})));
    auto startHolder = [this](QProcess &p, const char *mode) {
        p.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--hold"), path(), QLatin1String(mode)});
        return p.waitForReadyRead(30000) ? p.readLine().trimmed() : QByteArray("timeout");
    };
    QProcess holder;
    QCOMPARE(startHolder(holder, "rw"), QByteArray("open"));
    Numprova s(path());
    QCOMPARE(errorOf([&] { s.BDS.Open(); }),
             QStringLiteral("EFOpenError: Não posso abrir o arquivo ") + path());
    holder.write("\n");
    QVERIFY(holder.waitForFinished(30000));
    s.BDS.Open();
    // and the other way round, also for a reader
    QProcess second;
    QCOMPARE(startHolder(second, "ro"), QByteArray("failed"));
    QVERIFY(second.waitForFinished(30000));
}

void TestBinaryDataSet::misuse()
{
    Numprova s(path());
    QCOMPARE(errorOf([&] { s.BDS.Open(); }),
             QStringLiteral("EBinaryDataSetError: Abrir: Arquivo não encontrado"));
    s.BDS.SetTableName(m_dir->path());
    QCOMPARE(errorOf([&] { s.BDS.Open(); }),
             QStringLiteral("EBinaryDataSetError: Abrir: Arquivo não encontrado"));
    const QString closed =
        QStringLiteral("EDatabaseError: Não posso executar esta operação num 'dataset' fechado");
    QCOMPARE(errorOf([&] { s.BDS.RecordCount(); }), closed);
    QCOMPARE(errorOf([&] { s.BDS.Post(); }), closed);
    QCOMPARE(errorOf([&] { s.Numero.SetAsString(QStringLiteral("1")); }), closed);
    QCOMPARE(s.Numero.AsString(), QString()); // no current record, no value

    QVERIFY(writeFile(path(), numprovaBytes({"001"})));
    s.BDS.SetTableName(path());
    s.BDS.SetActive(true);
    QCOMPARE(errorOf([&] { s.Numero.SetAsString(QStringLiteral("1")); }),
             QStringLiteral("EDatabaseError: Dataset não está em modo de edição ou inserção"));
}

void TestBinaryDataSet::damagedFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");
    const QString readError = QStringLiteral("EStreamError: Erro de leitura a 'stream'");
    const QByteArray numero = descriptor("Numero", 1, 9, 5);
    const QByteArray good = numprovaBytes({"001", "002"});

    QTest::newRow("empty file") << QByteArray() << readError;
    QTest::newRow("header cut") << good.left(35) << readError;
    QTest::newRow("wrong magic") << QByteArray("BDT\x1a", 4) + good.mid(4)
                                 << QStringLiteral("EBinaryDataSetError: Não é um arquivo do tipo binário.");
    QTest::newRow("version 12") << good.left(4) + le32(12) + good.mid(8)
                                << QStringLiteral(
                                       "EBinaryDataSetError: Versão do arquivo de dados inválida.");
    QTest::newRow("no fields") << header(13, 0, 0)
                               << QStringLiteral("EAssertionFailed: Invalid number of fields.");
    QTest::newRow("negative field count") << header(13, 0, -5, -1, 0, 77) + numero
                                          << QStringLiteral("EAssertionFailed: Invalid number of fields.");
    QTest::newRow("huge field count") << header(13, 0, INT_MAX, -1, 0, 77) + numero << readError;
    QTest::newRow("descriptor missing") << header(26, 0, 2) + numero << readError;
    QTest::newRow("record size mismatch")
        << header(14, 2) + good.mid(36)
        << QStringLiteral("EBinaryDataSetError: Internal open: File record size mismatch.");
    QTest::newRow("header record size 0")
        << header(0, 2) + good.mid(36)
        << QStringLiteral("EBinaryDataSetError: Internal open: File record size mismatch.");
    QTest::newRow("byte too many") << good + '\0' << invalidSize(77, 2, 13, 104);
    QTest::newRow("record missing") << header(13, 3) + good.mid(36) << invalidSize(77, 3, 13, 103);
    QTest::newRow("slot sum overflows")
        << header(0, 0, 2) + descriptor("Numero", 1, 0x7FFFFFF0, 5) + descriptor("B", 1, 0x7FFFFFF0, 5)
        << invalidSize(118, 0, 4294967268LL, 118);
    QTest::newRow("negative slot") << header(0, 0) + descriptor("Numero", 1, -13, 5)
                                   << invalidSize(77, 0, -9, 77);
    QTest::newRow("record size 0") << header(0, 0) + descriptor("Numero", 1, -4, 5)
                                   << invalidSize(77, 0, 0, 77);
    QTest::newRow("negative count") << header(13, -1, 1, 1, 1) + numero + numeroRecord("001", -1)
                                    << invalidSize(77, -1, 13, 90);
    QTest::newRow("start data inside descriptors")
        << header(13, 1, 1, -1, 0, 64) + numero << invalidSize(64, 1, 13, 77);
    QTest::newRow("field missing") << header(13, 0) + descriptor("Outro", 1, 9, 5)
                                   << QStringLiteral("EDatabaseError: BDS: Campo 'Numero' não encontrado");
    QTest::newRow("field of other size")
        << header(14, 0) + descriptor("Numero", 1, 10, 6)
        << QStringLiteral("EDatabaseError: Campo 'Numero' não é do tipo esperado");
}

void TestBinaryDataSet::damagedFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    QVERIFY(writeFile(path(), bytes));
    for (bool readOnly : {false, true}) {
        Numprova s(path());
        s.BDS.SetReadOnly(readOnly);
        QCOMPARE(errorOf([&] { s.BDS.Open(); }), error);
        QVERIFY(!s.BDS.Active());
        QCOMPARE(s.Numero.FieldNo(), 0);
        QCOMPARE(readFile(path()), bytes);
        QVERIFY(unlocked(path()));
    }
}

namespace {
// Helper process: opens path, says whether it could, and keeps the file open until told to go.
int holdStore(const QString &path, bool readOnly)
{
    Numprova s(path);
    s.BDS.SetReadOnly(readOnly);
    try {
        s.BDS.Open();
    } catch (const Exception &) {
        std::cout << "failed" << std::endl;
        return 0;
    }
    std::cout << "open" << std::endl;
    std::string line;
    std::getline(std::cin, line);
    return 0;
}

// Helper process: builds numprova.dat and stops as a crashed program would, without closing.
int appendAndStop(const QString &path)
{
    Numprova s(path);
    try {
        s.build(defaultPool());
    } catch (const Exception &) {
        return 1;
    }
    std::fflush(nullptr);
    ::_exit(0);
}
} // namespace

int main(int argc, char *argv[])
{
    if (argc == 4 && qstrcmp(argv[1], "--hold") == 0)
        return holdStore(QString::fromLocal8Bit(argv[2]), qstrcmp(argv[3], "ro") == 0);
    if (argc == 3 && qstrcmp(argv[1], "--append-and-stop") == 0)
        return appendAndStop(QString::fromLocal8Bit(argv[2]));
    QCoreApplication app(argc, argv);
    TestBinaryDataSet test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

void TestBinaryDataSet::messagesAsTheUserSeesThem()
{
    // What the application's error display shows for the store's own failures.
    auto shown = [](auto f) {
        try {
            f();
        } catch (const std::exception &e) {
            return errorDisplayText(e);
        }
        return QStringLiteral("no error");
    };
    {
        TBinaryDataSet bds;
        bds.SetName(QStringLiteral("BDS"));
        bds.AddField(QStringLiteral("Outro"), ftString, 5);
        bds.SetTableName(path());
        bds.CreateTable();
    }
    TBinaryDataSet bds;
    bds.SetName(QStringLiteral("BDS"));
    bds.AddField(QStringLiteral("Numero"), ftString, 5);
    bds.SetTableName(path());
    QCOMPARE(shown([&] { bds.Open(); }), QStringLiteral("BDS: Campo 'Numero' não encontrado"));
    QFile cut(path());
    QVERIFY(cut.resize(20));
    QCOMPARE(shown([&] { bds.Open(); }), QStringLiteral("Erro de leitura a 'stream'"));
    const QString nowhere = path(QStringLiteral("sem-pasta/numprova.dat"));
    bds.SetTableName(nowhere);
    QCOMPARE(shown([&] { bds.CreateTable(); }), QStringLiteral("Não posso criar o arquivo ") + nowhere);
}

#include "tst_binarydataset.moc"
