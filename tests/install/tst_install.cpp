// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The program as a user installs it: the Debian package is built from this build folder, unpacked
// into a temporary root (dpkg-deb -x, no root needed), checked with the validators a distribution
// uses, and the unpacked program is started offscreen with a fresh home. The installed copy reads
// its data from its share folder and writes only into the user's data folder; a copy run from a
// writable folder of its own keeps its files beside it.

#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString kAppId = QStringLiteral("br.com.quelvado.Quelvado");

struct Result {
    int code = -1;
    QString output;
};

// Runs a program to its end (output and errors together); code -1 when it did not start or end.
Result run(const QString &program, const QStringList &args, int timeoutMs = 60000,
           const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment(),
           const QString &workDir = QString())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (!workDir.isEmpty())
        p.setWorkingDirectory(workDir);
    p.start(program, args);
    Result r;
    if (!p.waitForStarted(10000))
        return r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(3000);
        r.output = QString::fromUtf8(p.readAll());
        return r;
    }
    r.output = QString::fromUtf8(p.readAll());
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return r;
}

// Every file and folder under root, relative, with its size and modification time.
QStringList snapshot(const QString &root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        entries << QStringLiteral("%1 %2 %3")
                       .arg(QDir(root).relativeFilePath(info.filePath()))
                       .arg(info.isDir() ? 0 : info.size())
                       .arg(info.lastModified().toMSecsSinceEpoch());
    }
    entries.sort();
    return entries;
}

// The files under root, relative.
QStringList files(const QString &root)
{
    QStringList names;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        names << QDir(root).relativeFilePath(it.next());
    names.sort();
    return names;
}

// setpriv's arguments that run a command as the user nobody.
QStringList nobody()
{
    return {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
            QStringLiteral("--clear-groups")};
}

bool copyFile(const QString &from, const QString &to)
{
    return QFile::copy(from, to) && QFile::setPermissions(to, QFile(from).permissions());
}
} // namespace

class TestInstall : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void packageContents();
    void validators_data();
    void validators();
    void lintian();
    void firstStart_data();
    void firstStart();

private:
    // Starts program with a fresh home; the driver takes a personalised exam through its first
    // question and closes the windows. asNobody runs it as the user nobody (for root, who may write
    // into read-only folders). Returns the home folder used.
    QString startWithFreshHome(const QString &program, Result &result, bool asNobody = false);

    QTemporaryDir m_tmp;
    QString m_deb;
    QString m_root;
    QString m_driver;
    int m_homes = 0;
};

void TestInstall::initTestCase()
{
    QVERIFY(m_tmp.isValid());
    for (const char *tool : {"dpkg", "dpkg-deb", "dpkg-shlibdeps"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(QLatin1String(tool))));

    // The package as `cpack` makes it, from what is already built: the install rules put the files
    // into a staging root (cpack on its own would first build every target of the folder), and
    // the build's package settings turn that root into the package.
    const QString stage = m_tmp.filePath(QStringLiteral("stage"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DESTDIR"), stage);
    const Result installed =
        run(QStringLiteral(QUELVADO_CMAKE),
            {QStringLiteral("--install"), QStringLiteral(QUELVADO_BUILD_DIR), QStringLiteral("--prefix"),
             QStringLiteral("/usr"), QStringLiteral("--strip")},
            60000, env);
    QVERIFY2(installed.code == 0, qPrintable(installed.output));

    const QString config = m_tmp.filePath(QStringLiteral("cpack.cmake"));
    QFile file(config);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("include(\"" QUELVADO_BUILD_DIR "/CPackConfig.cmake\")\n"
               "set(CPACK_INSTALL_CMAKE_PROJECTS \"\")\n"
               "set(CPACK_INSTALLED_DIRECTORIES \"" +
               stage.toUtf8() + ";.\")\n");
    file.close();
    const QString out = m_tmp.filePath(QStringLiteral("package"));
    const Result made = run(QStringLiteral(QUELVADO_CPACK),
                            {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"), config,
                             QStringLiteral("-B"), out},
                            120000);
    QVERIFY2(made.code == 0, qPrintable(made.output));

    const QString arch =
        run(QStringLiteral("dpkg"), {QStringLiteral("--print-architecture")}).output.trimmed();
    m_deb = out + QStringLiteral("/quelvado_" QUELVADO_VERSION "_") + arch + QStringLiteral(".deb");
    QVERIFY2(QFileInfo::exists(m_deb), qPrintable(QDir(out).entryList(QDir::Files).join(QLatin1Char(' '))));

    // A copy of the driver any user can load.
    m_driver = m_tmp.filePath(QStringLiteral("installdriver.so"));
    QVERIFY(copyFile(QStringLiteral(INSTALL_DRIVER), m_driver));

    m_root = m_tmp.filePath(QStringLiteral("root"));
    const Result unpacked = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), m_deb, m_root});
    QVERIFY2(unpacked.code == 0, qPrintable(unpacked.output));
}

// The package holds the program, its modules where the program looks for them, its data, the
// desktop files and its documents, nothing else, and depends on the libraries the program links
// and the modules load.
void TestInstall::packageContents()
{
    QStringList expected = {
        QStringLiteral("usr/bin/quelvado"),
        QDir::cleanPath(QStringLiteral("usr/bin/" QUELVADO_MODULES_FROM_BIN "/libquelvado_charts.so")),
        QDir::cleanPath(QStringLiteral("usr/bin/" QUELVADO_MODULES_FROM_BIN "/libquelvado_print.so")),
        QDir::cleanPath(QStringLiteral("usr/bin/" QUELVADO_MODULES_FROM_BIN "/libquelvado_sound.so")),
        QDir::cleanPath(QStringLiteral("usr/bin/" QUELVADO_MODULES_FROM_BIN "/libquelvado_svg.so")),
        QStringLiteral("usr/share/applications/") + kAppId + QStringLiteral(".desktop"),
        QStringLiteral("usr/share/doc/quelvado/changelog.gz"),
        QStringLiteral("usr/share/doc/quelvado/copyright"),
        QStringLiteral("usr/share/man/man1/quelvado.1.gz"),
        QStringLiteral("usr/share/icons/hicolor/scalable/apps/") + kAppId + QStringLiteral(".svg"),
        QStringLiteral("usr/share/metainfo/") + kAppId + QStringLiteral(".metainfo.xml"),
        QStringLiteral("usr/share/quelvado/Quelvado.html"),
        QStringLiteral("usr/share/quelvado/cnt.rtf"),
    };
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        expected << QStringLiteral("usr/share/icons/hicolor/%1x%1/apps/").arg(size) + kAppId +
                        QStringLiteral(".png");
    expected.sort();
    QCOMPARE(files(m_root), expected);

    for (int size : {16, 48, 256}) {
        const QImage icon(m_root + QStringLiteral("/usr/share/icons/hicolor/%1x%1/apps/").arg(size) + kAppId +
                          QStringLiteral(".png"));
        QCOMPARE(icon.size(), QSize(size, size));
    }
    QVERIFY(QFileInfo(m_root + QStringLiteral("/usr/bin/quelvado")).isExecutable());

    const Result depends =
        run(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), m_deb, QStringLiteral("Depends")});
    QCOMPARE(depends.code, 0);
    for (const char *package :
         {"libc6", "libqt6widgets6", "libqt6svg6", "libqt6multimedia6", "libqt6charts6",
          "libqt6printsupport6", "libcurl4", "fonts-dejavu-core", "fonts-dejavu-extra", "libsqlite3-0"})
        QVERIFY2(depends.output.contains(QLatin1String(package)), qPrintable(depends.output));
    // Qt's texts in Portuguese are recommended, not required.
    const Result recommends =
        run(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), m_deb, QStringLiteral("Recommends")});
    QVERIFY2(recommends.output.contains(QLatin1String("qt6-translations-l10n")) &&
                 !depends.output.contains(QLatin1String("qt6-translations-l10n")),
             qPrintable(depends.output + recommends.output));
    const Result fields =
        run(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), m_deb, QStringLiteral("Package"),
                                         QStringLiteral("Version"), QStringLiteral("Section")});
    QCOMPARE(fields.output,
             QStringLiteral("Package: quelvado\nVersion: " QUELVADO_VERSION "\nSection: education\n"));
}

void TestInstall::validators_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("file");
    QTest::newRow("desktop entry") << QStringLiteral("desktop-file-validate") << QStringList()
                                   << QStringLiteral("usr/share/applications/") + kAppId +
                                          QStringLiteral(".desktop");
    // --no-net: the screenshots are on the product's site, not fetched here.
    QTest::newRow("AppStream metadata")
        << QStringLiteral("appstreamcli")
        << QStringList{QStringLiteral("validate"), QStringLiteral("--no-net")}
        << QStringLiteral("usr/share/metainfo/") + kAppId + QStringLiteral(".metainfo.xml");
}

// The validators a distribution runs pass without a warning.
void TestInstall::validators()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, args);
    QFETCH(QString, file);
    if (QStandardPaths::findExecutable(tool).isEmpty())
        QSKIP(qPrintable(tool + QStringLiteral(" is not installed")));
    const Result r = run(tool, args << m_root + QLatin1Char('/') + file);
    QVERIFY2(r.code == 0, qPrintable(r.output));
    QVERIFY2(!r.output.contains(QLatin1String("warning"), Qt::CaseInsensitive), qPrintable(r.output));
    QVERIFY2(!r.output.contains(QLatin1String("\nW:")) && !r.output.startsWith(QLatin1String("W:")),
             qPrintable(r.output));
}

// Debian's package checker finds no error, warning or pedantic remark (a missing hardening flag is a
// warning); what it only notes is printed.
void TestInstall::lintian()
{
    if (QStandardPaths::findExecutable(QStringLiteral("lintian")).isEmpty())
        QSKIP("lintian is not installed");
    const Result r = run(QStringLiteral("lintian"), {QStringLiteral("--pedantic"), m_deb}, 120000);
    QVERIFY2(r.code >= 0, qPrintable(r.output));
    const QStringList lines = r.output.split(QLatin1Char('\n'));
    QStringList errors;
    for (const QString &line : lines)
        if (line.startsWith(QLatin1String("E:")) || line.startsWith(QLatin1String("W:")) ||
            line.startsWith(QLatin1String("P:")))
            errors << line;
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
    qInfo("%s", qPrintable(r.output.trimmed()));
}

QString TestInstall::startWithFreshHome(const QString &program, Result &result, bool asNobody)
{
    const QString home = m_tmp.filePath(QStringLiteral("home%1").arg(++m_homes));
    QDir().mkpath(home + QStringLiteral("/tmp"));
    // The single-instance lock lives in the runtime folder: one of this home's own, so a copy the
    // user has open does not stop the test's.
    QDir().mkpath(home + QStringLiteral("/run"));
    QFile::setPermissions(home + QStringLiteral("/run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME",
                             "DISPLAY", "WAYLAND_DISPLAY", "QT_PLUGIN_PATH", "LD_LIBRARY_PATH"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("TMPDIR"), home + QStringLiteral("/tmp"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/run"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QUELVADO_UNATTENDED"), QStringLiteral("1"));
    env.insert(QStringLiteral("LD_PRELOAD"), m_driver);
    if (asNobody) {
        run(QStringLiteral("chown"), {QStringLiteral("-R"), QStringLiteral("65534:65534"), home});
        result = run(QStringLiteral("setpriv"), nobody() << program, 40000, env, home);
    } else {
        result = run(program, {}, 40000, env, home);
    }
    return home;
}

void TestInstall::firstStart_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("installed package") << QStringLiteral("installed");
    QTest::newRow("copy in a writable folder") << QStringLiteral("portable");
    QTest::newRow("copy in a read-only folder") << QStringLiteral("read-only");
}

// A first start with nothing in the data folder: the personalised exam makes its pool file where
// the user may write, the reader and the help find their files, and nothing else is written.
void TestInstall::firstStart()
{
    QFETCH(QString, kind);
    QString program;
    QString root;
    if (kind == QLatin1String("installed")) {
        root = m_root;
        program = m_root + QStringLiteral("/usr/bin/quelvado");
    } else {
        // The program as the build folder has it, copied with its data into a folder of its own.
        root = m_tmp.filePath(kind);
        QVERIFY(QDir().mkpath(root));
        for (const char *name : {"quelvado", "libquelvado_sound.so", "libquelvado_charts.so",
                                 "libquelvado_print.so", "libquelvado_svg.so", "cnt.rtf", "Quelvado.html"})
            QVERIFY(copyFile(QStringLiteral(QUELVADO_BIN_DIR "/") + QLatin1String(name),
                             root + QLatin1Char('/') + QLatin1String(name)));
        program = root + QStringLiteral("/quelvado");
    }
    bool asNobody = false;
    if (kind == QLatin1String("read-only")) {
        const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                              QFile::ReadOther | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(root, readOnly));
        if (QFileInfo(root).isWritable()) {
            // Root writes anywhere: the program runs as nobody, for whom the folder is read-only.
            QVERIFY(QFile::setPermissions(m_tmp.path(), QFile::permissions(m_tmp.path()) | readOnly));
            if (run(QStringLiteral("setpriv"),
                    nobody() << QStringLiteral("test") << QStringLiteral("-r") << m_driver)
                    .code != 0)
                QSKIP("this user writes into read-only folders, and nobody cannot reach the test's files");
            asNobody = true;
        }
    }
    const QStringList before = snapshot(root);

    Result r;
    const QString home = startWithFreshHome(program, r, asNobody);
    QVERIFY2(r.code == 0, qPrintable(r.output));
    for (const char *line :
         {"driver: questão 1: ", "driver: resposta 1: A", "driver: questão 2: ", "Deseja finalizar a prova?",
          "driver: código: ", "driver: ajuda: ", "driver: fim"})
        QVERIFY2(r.output.contains(QString::fromUtf8(line)), qPrintable(r.output));
    // The only box is the question on closing the exam window in the middle of the exam.
    QCOMPARE(r.output.count(QLatin1String("\n[")) + (r.output.startsWith(QLatin1Char('[')) ? 1 : 0),
             qsizetype(1));

    const QString dataFolder = QStringLiteral(".local/share/Quelvado/");
    QStringList written = files(home);
    written.removeIf([](const QString &f) {
        return f.startsWith(QLatin1String("tmp/")) || f.startsWith(QLatin1String("run/"));
    });
    const QString pool = QStringLiteral("numprova.dat");
    if (kind == QLatin1String("portable")) {
        // Beside the program, which itself is left as it was.
        QVERIFY2(written.isEmpty(), qPrintable(written.join(QLatin1Char(' '))));
        QVERIFY(QFileInfo(root + QLatin1Char('/') + pool).size() > 0);
        const QStringList after = snapshot(root);
        for (const QString &entry : before)
            QVERIFY2(after.contains(entry), qPrintable(entry));
    } else {
        // In the data folder only; nothing under the program's root.
        for (const QString &file : written)
            QVERIFY2(file.startsWith(dataFolder), qPrintable(file));
        QVERIFY2(written.contains(dataFolder + pool), qPrintable(written.join(QLatin1Char(' '))));
        QVERIFY(QFileInfo(home + QLatin1Char('/') + dataFolder + pool).size() > 0);
        QCOMPARE(snapshot(root), before);
    }
    if (kind == QLatin1String("read-only"))
        QFile::setPermissions(root, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
