// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The zip directory reader against real archives, made at test time by Info-ZIP zip or kept as a
// fixture made once by jar (checked member by member against zipinfo), and against archives from a
// small writer below for what those tools never write.

#include "common/errors.h"
#include "download/zip.h"

#include "zipwriter.h"

#include <QtTest>

#include <optional>

#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

QStringList names(const TZip &zip)
{
    QStringList out;
    for (const ZipEntry &e : zip.Entries())
        out << e.name;
    return out;
}

} // namespace

class TestZip : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void realArchivesMatchZipinfo_data();
    void realArchivesMatchZipinfo();
    void splitEntryName_data();
    void splitEntryName();
    void dosDateAndTime_data();
    void dosDateAndTime();
    void unknownLocalSizes_data();
    void unknownLocalSizes();
    void zip64Sizes_data();
    void zip64Sizes();
    void skipsWhatIsNoRecord();
    void truncatedKeepsWhatWasRead();
    void noArchiveAndFileErrors();
    void dateTextAsQLocaleGivesIt_data();
    void dateTextAsQLocaleGivesIt();
    void listingRowsAsTheEntries();

private:
    // Runs a command line in the source folder with TZ=UTC; its standard output, or nothing when
    // it exits above worstExit.
    std::optional<QByteArray> run(const QString &command, const QByteArray &input = {}, int worstExit = 0);

    QTemporaryDir m_dir;
};

void TestZip::initTestCase()
{
    QVERIFY(m_dir.isValid() && QDir(m_dir.path()).mkdir("docs"));
    QByteArray big;
    for (int i = 0; i < 300; ++i)
        big += "linha " + QByteArray::number(i * 7 % 113) + " do arquivo\n";
    const QList<std::pair<const char *, QByteArray>> files = {
        {"a.txt", "hello\n"}, {"docs/b.txt", "bbb\n"}, {"big.txt", big}};
    for (const auto &[name, content] : files) {
        QFile f(m_dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(content) == content.size());
    }
    // 2023-05-17 10:20:30 UTC, even seconds as a DOS time holds them; the folder's time set last.
    const timespec times[2] = {{1684318830, 0}, {1684318830, 0}};
    for (const char *name : {"a.txt", "docs/b.txt", "big.txt", "docs"})
        QCOMPARE(utimensat(AT_FDCWD, QFile::encodeName(m_dir.filePath(name)).constData(), times, 0), 0);
}

std::optional<QByteArray> TestZip::run(const QString &command, const QByteArray &input, int worstExit)
{
    QStringList args = command.split(' ');
    QProcess p;
    p.setWorkingDirectory(m_dir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TZ", "UTC");
    env.insert("LC_ALL", "C");
    p.setProcessEnvironment(env);
    p.start(args.takeFirst(), args);
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() > worstExit) {
        qWarning() << command << "failed:" << p.errorString() << p.readAllStandardError();
        return std::nullopt;
    }
    return p.readAllStandardOutput();
}

void TestZip::realArchivesMatchZipinfo_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("expected");
    const QString files = " a.txt docs docs/b.txt big.txt";
    const QString four = "a.txt docs/ docs/b.txt big.txt";
    QTest::newRow("plain") << "zip -q -X -0 out.zip a.txt docs docs/b.txt" << QByteArray()
                           << "a.txt docs/ docs/b.txt";
    QTest::newRow("deflated, extra fields") << "zip -q out.zip" + files << QByteArray() << four;
    QTest::newRow("end record with comment")
        << "zip -q -z out.zip" + files << QByteArray("texto com PK\x01\x02 no meio\n") << four;
    QTest::newRow("written to a pipe") << "zip -q -" + files << QByteArray() << four;
    QTest::newRow("pipe into zip - -") << "zip -q - -" << QByteArray("hi\n") << "-";
    QTest::newRow("forced zip64") << "zip -q -fz out.zip" + files << QByteArray() << four;
    QTest::newRow("forced zip64 to a pipe") << "zip -q -fz -" + files << QByteArray() << four;
    // "fixture NAME" copies fixtures/NAME (see fixtures/README.md for the command that made it).
    QTest::newRow("jar") << "fixture jar.zip" << QByteArray() << "META-INF/ META-INF/MANIFEST.MF " + four;
}

// Every member of archives written by the real tools is listed in order with the sizes and the
// date zipinfo reports, those written with data descriptors and unknown local sizes included.
void TestZip::realArchivesMatchZipinfo()
{
    QFETCH(QString, command);
    QFETCH(QByteArray, input);
    QFETCH(QString, expected);
    const bool fixture = command.startsWith("fixture ");
    for (const QString &tool :
         {fixture ? QString() : command.section(' ', 0, 0), QStringLiteral("zipinfo")}) {
        if (!tool.isEmpty() && QStandardPaths::findExecutable(tool).isEmpty())
            QSKIP(qPrintable(tool + " is not installed (Debian packages zip, unzip)"));
    }
    const QString path = m_dir.filePath("out.zip");
    QFile::remove(path);
    if (fixture) {
        QVERIFY(QFile::copy(QUELVADO_SOURCE_DIR "/tests/download/fixtures/" + command.section(' ', 1), path));
    } else {
        const std::optional<QByteArray> output = run(command, input);
        QVERIFY(output);
        if (command.contains(" - ") || command.endsWith(" -")) { // the archive came through the pipe
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(*output) == output->size());
        }
    }
    TZip zip;
    zip.LoadArchive(path);
    QVERIFY(zip.Ok());
    QCOMPARE(names(zip), expected.split(' '));

    QStringList ours, theirs;
    for (const ZipEntry &e : zip.Entries())
        ours << QStringLiteral("%1 %2 %3 %4")
                    .arg(e.record.uncompressedSize)
                    .arg(e.record.compressedSize)
                    .arg(TZip::ToQDateTime(e.record.dateTime).toString("yyyyMMdd.HHmmss"), e.name);
    // Exit 2 is a fault zipinfo worked around: zip -fz writing to a pipe leaves the end record's
    // directory offset at 0xFFFFFFFF without the zip64 end records that should give it.
    const std::optional<QByteArray> info = run("zipinfo -l -T " + path, {}, 2);
    QVERIFY(info);
    static const QRegularExpression line(
        "^\\S+ +\\S+ +\\S+ +(\\d+) +\\S+ +(\\d+) +\\S+ +(\\d{8}\\.\\d{6}) (.*)$");
    for (const QString &l : QString::fromLatin1(*info).split('\n')) {
        if (const QRegularExpressionMatch m = line.match(l); m.hasMatch())
            theirs << m.capturedTexts().mid(1).join(' ');
    }
    QCOMPARE(ours, theirs);
    if (command.startsWith("zip") && command.contains("out.zip a.txt"))
        QCOMPARE(ours.first(), QStringLiteral("6 6 20230517.102030 a.txt"));
}

void TestZip::splitEntryName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("file");
    QTest::newRow("a.txt") << "a.txt"
                           << ""
                           << "a.txt";
    QTest::newRow("docs/") << "docs/"
                           << "docs/"
                           << "";
    QTest::newRow("docs/b.txt") << "docs/b.txt"
                                << "docs/"
                                << "b.txt";
    QTest::newRow("backslashes") << "dir\\sub\\c.txt"
                                 << "dir\\sub\\"
                                 << "c.txt";
    QTest::newRow("last of both kinds") << "a\\b/c\\d.txt"
                                        << "a\\b/c\\"
                                        << "d.txt";
}

void TestZip::splitEntryName()
{
    QFETCH(QString, name);
    QFETCH(QString, folder);
    QFETCH(QString, file);
    const ZipNameParts parts = TZip::SplitEntryName(name);
    QCOMPARE(parts.folder, folder);
    QCOMPARE(parts.file, file);
}

void TestZip::dosDateAndTime_data()
{
    QTest::addColumn<int>("date");
    QTest::addColumn<int>("time");
    QTest::addColumn<double>("expected"); // days since 1899-12-30, counted apart
    QTest::newRow("2002-03-04 05:06:08")
        << +dosDate(2002, 3, 4) << +dosTime(5, 6, 8) << 37319 + 18368 / 86400.0;
    QTest::newRow("first day") << +dosDate(1980, 1, 1) << 0 << 29221.0;
    QTest::newRow("last day, 23:59:58")
        << +dosDate(2107, 12, 31) << +dosTime(23, 59, 58) << 75971 + 86398 / 86400.0;
    QTest::newRow("29 Feb 2000") << +dosDate(2000, 2, 29) << 0 << 36585.0;
    QTest::newRow("date 0") << 0 << +dosTime(12, 0, 0) << 0.0;
    QTest::newRow("29 Feb 2001") << +dosDate(2001, 2, 29) << 0 << 0.0;
    QTest::newRow("month 13") << +dosDate(2001, 13, 1) << 0 << 0.0;
    QTest::newRow("hour 24") << +dosDate(2001, 1, 1) << +dosTime(24, 0, 0) << 0.0;
    QTest::newRow("second 60") << +dosDate(2001, 1, 1) << +dosTime(1, 0, 60) << 0.0;
}

// The date-time rule through the walk and through AddEntry; an invalid date or time still gives
// an entry, dated 30 December 1899.
void TestZip::dosDateAndTime()
{
    QFETCH(int, date);
    QFETCH(int, time);
    QFETCH(double, expected);
    ZipMember m{"x.txt", "data"};
    m.date = static_cast<quint16>(date);
    m.time = static_cast<quint16>(time);
    TZip zip;
    zip.LoadFromMemory(writeZip({m}));
    zip.AddEntry("y", 7, m.time, m.date, 3);
    QCOMPARE(zip.Entries(), (QList<ZipEntry>{{"x.txt", {4, 4, expected}}, {"y", {7, 3, expected}}}));
    if (expected == 0)
        QCOMPARE(TZip::ToQDateTime(expected), QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
}

void TestZip::unknownLocalSizes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QList<ZipMember> odd = {{"one.txt", "abcde"}, {"three", "abcdefg"}, {"x", "z"}, {"ab/", ""}};
    for (ZipMember &m : odd)
        m.sizes = ZipMember::Descriptor;
    QTest::newRow("data descriptors, odd lengths") << writeZip(odd);
    for (ZipMember &m : odd)
        m.sizes = ZipMember::Zip64Descriptor;
    QTest::newRow("sizes 0xFFFFFFFF") << writeZip(odd);
    odd[1].sizes = ZipMember::Known;
    QTest::newRow("after 7 foreign bytes") << writeZip(odd, {}, QByteArray("MZ\x90\x00\x03\x00\x01", 7));
}

// Members whose local header leaves the sizes to a data descriptor are all found, wherever the
// records after them start.
void TestZip::unknownLocalSizes()
{
    QFETCH(QByteArray, bytes);
    TZip zip;
    zip.LoadFromMemory(bytes);
    QVERIFY(zip.Ok());
    QCOMPARE(names(zip), QStringList({"one.txt", "three", "x", "ab/"}));
    QCOMPARE(zip.Record(1), (ZipEntryRecord{7, 7, zip.Record(0).dateTime}));
}

void TestZip::zip64Sizes_data()
{
    QTest::addColumn<qint64>("uncompressed"); // as written in the central record
    QTest::addColumn<qint64>("compressed");
    QTest::addColumn<QByteArray>("extra");
    QTest::addColumn<quint64>("wantUncompressed");
    QTest::addColumn<quint64>("wantCompressed");
    const qint64 marked = 0xFFFFFFFF;
    const quint64 big = 5000000000, mid = 3000000000;
    const QByteArray other = le(0x5455, 2) + le(5, 2) + QByteArray(5, '\x01');
    QTest::newRow("both") << marked << marked << le(1, 2) + le(16, 2) + le(big, 8) + le(mid, 8) << big << mid;
    QTest::newRow("uncompressed only")
        << marked << qint64(6) << le(1, 2) + le(8, 2) + le(big, 8) << big << quint64(6);
    QTest::newRow("compressed only, after another field")
        << qint64(6) << marked << other + le(1, 2) + le(8, 2) + le(mid, 8) << quint64(6) << mid;
    QTest::newRow("field too short") << marked << marked << le(1, 2) + le(8, 2) + le(big, 8) << big
                                     << quint64(marked);
    QTest::newRow("field past the extra")
        << marked << qint64(6) << le(1, 2) + le(16, 2) + le(big, 8) << quint64(marked) << quint64(6);
}

// Sizes marked 0xFFFFFFFF in a central record come from its zip64 extra field where it holds them.
void TestZip::zip64Sizes()
{
    QFETCH(qint64, uncompressed);
    QFETCH(qint64, compressed);
    QFETCH(QByteArray, extra);
    QFETCH(quint64, wantUncompressed);
    QFETCH(quint64, wantCompressed);
    ZipMember m{"big.bin", "data"};
    m.centralUncompressed = uncompressed;
    m.centralCompressed = compressed;
    m.centralExtra = extra;
    TZip zip;
    zip.LoadFromMemory(writeZip({m, {"next", "1"}}));
    QCOMPARE(names(zip), QStringList({"big.bin", "next"}));
    QCOMPARE(zip.Record(0).uncompressedSize, wantUncompressed);
    QCOMPARE(zip.Record(0).compressedSize, wantCompressed);
}

// Data a local header sizes is jumped over; names, extra fields and comments are skipped whole,
// even when they hold what looks like a record; stored names keep every byte.
void TestZip::skipsWhatIsNoRecord()
{
    const QByteArray fake = writeZip({{"fantasma.txt", "boo"}});
    const QByteArray fakeCentral = fake.mid(fake.indexOf("PK\x01\x02"));
    ZipMember a{"a\xE7\xE3o\x80\x81.txt", fake};
    a.centralExtra = le(0xCAFE, 2) + le(fakeCentral.size(), 2) + fakeCentral;
    a.centralComment = fakeCentral;
    TZip zip;
    zip.LoadFromMemory(writeZip({a, {"b", "x"}}, fakeCentral));
    QVERIFY(zip.Ok());
    QCOMPARE(names(zip), QStringList({QStringLiteral("ação€\u0081.txt"), "b"}));
    QCOMPARE(zip.Record(0).compressedSize, quint64(fake.size()));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, zip.Name(2));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, zip.Record(-1));
}

// An archive cut anywhere lists a leading part of the whole listing and nothing else; the walk
// tells when it stopped inside a record.
void TestZip::truncatedKeepsWhatWasRead()
{
    ZipMember d{"desc.txt", "0123456789", ZipMember::Descriptor};
    ZipMember c{"c.txt", "ccc"};
    c.centralExtra = le(0x5455, 2) + le(5, 2) + QByteArray(5, '\x02');
    c.centralComment = "comment";
    const QByteArray whole = writeZip({{"a.txt", "hello\n"}, d, c, {"e/", ""}}, "end comment");
    TZip full;
    full.LoadFromMemory(whole);
    QCOMPARE(names(full), QStringList({"a.txt", "desc.txt", "c.txt", "e/"}));
    QVERIFY(full.Ok());
    qsizetype last = 0;
    for (qsizetype length = 0; length < whole.size(); ++length) {
        TZip zip;
        zip.LoadFromMemory(QByteArrayView(whole).first(length));
        QVERIFY2(zip.Count() >= last, qPrintable(QString::number(length)));
        QCOMPARE(zip.Entries(), full.Entries().first(zip.Count()));
        last = zip.Count();
        if (length == whole.size() - 1) // in the end record's comment
            QVERIFY(last == 4 && !zip.Ok());
    }
    // On disk, cut in the third central record's name.
    qsizetype third = -1;
    for (int i = 0; i < 3; ++i)
        third = whole.indexOf("PK\x01\x02", third + 1);
    QFile f(m_dir.filePath("cut.zip"));
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(whole.left(third + 48)) == third + 48);
    f.close();
    TZip zip;
    zip.LoadArchive(f.fileName());
    QCOMPARE(names(zip), QStringList({"a.txt", "desc.txt"}));
    QVERIFY(!zip.Ok());
}

// Empty or foreign content lists nothing and raises nothing. A file that cannot be opened or read,
// or is over 2 GiB, raises the file error and leaves the listing as it was.
void TestZip::noArchiveAndFileErrors()
{
    QByteArray noise(1 << 16, Qt::Uninitialized);
    QRandomGenerator random(9);
    for (char &c : noise)
        c = static_cast<char>(random.bounded(256));
    TZip zip;
    for (const QByteArray &bytes :
         {QByteArray(), noise, QByteArray("PK\x01\x02"), QByteArray("PK\x03\x04\x00", 5)}) {
        zip.LoadFromMemory(bytes);
        QCOMPARE(zip.Count(), 0);
    }
    QFile empty(m_dir.filePath("empty.zip"));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    for (const QString &path :
         {empty.fileName(), QStringLiteral(QUELVADO_SOURCE_DIR "/tests/download/tst_zip.cpp")}) {
        zip.LoadArchive(path);
        QVERIFY(zip.Count() == 0 && zip.Ok());
    }

    zip.LoadFromMemory(writeZip({{"kept.txt", "1"}}));
    QVERIFY_THROWS_EXCEPTION(EFOpenError, zip.LoadArchive(m_dir.filePath("missing.zip")));
    QVERIFY_THROWS_EXCEPTION(EFOpenError, zip.LoadArchive(m_dir.path()));
    QFile huge(m_dir.filePath("huge.zip"));
    QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(TZip::MaxArchiveSize + 1)); // sparse
    huge.close();
    QElapsedTimer timer;
    timer.start();
    QVERIFY_THROWS_EXCEPTION(EFOpenError, zip.LoadArchive(huge.fileName()));
    QVERIFY2(timer.elapsed() < 500, "refused only after reading");
    huge.remove();
    if (QFile::exists("/proc/self/mem")) // opens, but reading its first page fails
        QVERIFY_THROWS_EXCEPTION(EInOutError, zip.LoadArchive("/proc/self/mem"));
    QCOMPARE(names(zip), QStringList{"kept.txt"});
}

void TestZip::dateTextAsQLocaleGivesIt_data()
{
    QTest::addColumn<QString>("zone");
    // No zone changes, one with daylight saving over the years archives hold, one that changed at
    // midnight (the local midnight of those days never happened), a half-hour change.
    for (const char *zone : {"UTC", "America/Sao_Paulo", "America/New_York", "Australia/Lord_Howe"})
        QTest::newRow(zone) << QString::fromLatin1(zone);
}

// The formats are looked up once and the fields written by hand, yet every text is the one
// QDateTime and QLocale give value by value: for many locales (digits, 12-hour clocks, quoted
// text, two-digit years), every day of some years, days when the zone changes its offset, the
// invalid date and values outside what a DOS date holds.
void TestZip::dateTextAsQLocaleGivesIt()
{
    QFETCH(QString, zone);
    const QByteArray oldZone = qgetenv("TZ");
    qputenv("TZ", zone.toLatin1());
    tzset();
    QList<double> values{0, -1.5, 12.25, 1e7};
    for (int year : {1980, 1999, 2018, 2038, 2107})
        for (int day = 0; day < 366; ++day)
            values << TZip::DosDateTimeToDateTime(dosDate(year, 1, 1), 0) + day + (day % 5) * 0.13 +
                          (day % 7 == 0 ? 0.5 : 0);
    for (int hour = 0; hour < 24; ++hour) // every hour of days around changes of the Brazilian zone
        for (const QDate day :
             {QDate(1999, 10, 3), QDate(2000, 2, 27), QDate(2018, 11, 4), QDate(2019, 2, 17)})
            values << TZip::DosDateTimeToDateTime(dosDate(day.year(), day.month(), day.day()),
                                                  dosTime(hour, 30, 10));
    QList<QLocale> locales;
    for (const char *name : {"pt_BR", "en_US", "C", "de_DE", "fr_FR", "ja_JP", "ko_KR", "ar_EG", "fa_IR",
                             "hi_IN", "zh_CN", "bg_BG", "fi_FI", "en_ZA", "es_ES", "hu_HU", "lt_LT", "sq_AL"})
        locales << QLocale(QString::fromLatin1(name));
    for (const QLocale &locale : locales) {
        for (const auto style : {ZipDateFormat::Style::Locale, ZipDateFormat::Style::Iso}) {
            const ZipDateFormat format(style, locale);
            for (const double value : values)
                QCOMPARE(format.text(value), ZipDateFormat::exactText(value, style, locale));
        }
    }
    qputenv("TZ", oldZone);
    tzset();
}

// The window's compact rows: the entries that are no folder, with the file part of their name.
void TestZip::listingRowsAsTheEntries()
{
    QList<ZipMember> members;
    for (const char *name : {"a.txt", "docs/", "docs/b.txt", "win\\sub\\c\xe7\x80.txt", "only/folder\\", "d"})
        members.append({name, QByteArray("x")});
    members[2].date = dosDate(2001, 2, 29); // invalid
    const QByteArray archive = writeZip(members);
    TZip zip;
    zip.LoadFromMemory(archive);
    ZipListing listing;
    listing.loadFromMemory(archive);
    QStringList want, got;
    for (const ZipEntry &e : zip.Entries())
        if (const ZipNameParts parts = TZip::SplitEntryName(e.name); !parts.file.isEmpty())
            want << QStringLiteral("%1 %2 %3")
                        .arg(parts.file)
                        .arg(e.record.uncompressedSize)
                        .arg(e.record.dateTime);
    for (qsizetype row = 0; row < listing.count(); ++row)
        got << QStringLiteral("%1 %2 %3")
                   .arg(listing.name(row))
                   .arg(listing.uncompressedSize(row))
                   .arg(listing.dateTime(row));
    QCOMPARE(got, want);
    QCOMPARE(got.size(), 4);
    QCOMPARE(listing.name(2), QStringLiteral("c\u00E7\u20AC.txt"));
    // Read from its file a window at a time, however small the window: the same rows. Data a local
    // header does not size is looked through across the windows' edges.
    QList<ZipMember> many;
    for (int i = 0; i < 300; ++i) {
        ZipMember m{"pasta/arquivo-" + QByteArray::number(i) + ".txt",
                    QByteArray(i * 37 % 500, char('a' + i % 26))};
        m.sizes = i % 3 == 0   ? ZipMember::Descriptor
                  : i % 3 == 1 ? ZipMember::Known
                               : ZipMember::Zip64Descriptor;
        m.date = dosDate(1980 + i % 120, 1 + i % 12, 1 + i % 28);
        if (i % 10 == 0)
            m.name = "pasta-" + QByteArray::number(i) + "/";
        many << m;
    }
    const QByteArray big = writeZip(many, "um comentário", "prefixo");
    const QString bigPath = m_dir.filePath("many.zip");
    {
        QFile f(bigPath);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(big) == big.size());
    }
    ZipListing inMemory;
    inMemory.loadFromMemory(big);
    QCOMPARE(inMemory.count(), 270);
    const auto rowsOf = [](const ZipListing &l) {
        QStringList out;
        for (qsizetype row = 0; row < l.count(); ++row)
            out << QStringLiteral("%1 %2 %3")
                       .arg(l.name(row))
                       .arg(l.uncompressedSize(row))
                       .arg(l.dateTime(row));
        return out;
    };
    for (const qint64 window : {1, 7, 64, 1000, 0}) {
        ZipListing::setReadWindow(window);
        ZipListing fromFile;
        fromFile.load(bigPath);
        QCOMPARE(rowsOf(fromFile), rowsOf(inMemory));
        QVERIFY(fromFile.complete());
    }
    // Cut inside a central record: the rows before it kept, the walk said not to have ended.
    const qsizetype centralStart = big.lastIndexOf("PK\x01\x02");
    const QByteArray cut = big.left(centralStart + 20);
    ZipListing cutListing;
    cutListing.loadFromMemory(cut);
    QVERIFY(!cutListing.complete());
    QVERIFY(cutListing.count() > 200);
    QCOMPARE(rowsOf(cutListing), rowsOf(inMemory).mid(0, cutListing.count()));
    QVERIFY(inMemory.complete());
    listing.load(m_dir.filePath("a.txt")); // not an archive: no rows
    QCOMPARE(listing.count(), 0);
    QVERIFY_THROWS_EXCEPTION(EFOpenError, listing.load(m_dir.filePath("missing.zip")));
}

QTEST_GUILESS_MAIN(TestZip)
#include "tst_zip.moc"
