// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The real program as a separate process on a real X server (Xvfb): how it ends with an exam in
// progress, and the window titles the window system shows. Keys go through xdotool, a window
// manager's close request is sent as WM_DELETE_WINDOW, titles are read from the X properties.

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <memory>

namespace {
const QString kMainTitlePrefix = QStringLiteral("Quelvado - Prova Simulada 2.2");

// An Xvfb server on a free display, with an Xlib connection to it.
class XServer {
public:
    bool start()
    {
        for (int n = 91; n < 120; ++n) {
            if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) ||
                QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
                continue;
            m_name = QStringLiteral(":%1").arg(n);
            m_server.start(QStringLiteral("Xvfb"), {m_name, QStringLiteral("-screen"), QStringLiteral("0"),
                                                    QStringLiteral("1024x768x24"),
                                                    QStringLiteral("-nolisten"), QStringLiteral("tcp")});
            if (!m_server.waitForStarted(5000))
                return false;
            // Until the display opens or the server ends (the result is read from m_display).
            (void)QTest::qWaitFor(
                [this] {
                    m_display = XOpenDisplay(m_name.toLocal8Bit().constData());
                    return m_display || m_server.state() != QProcess::Running;
                },
                5000);
            if (m_display)
                return true;
            m_server.kill();
            m_server.waitForFinished();
        }
        return false;
    }
    ~XServer()
    {
        if (m_display)
            XCloseDisplay(m_display);
        m_server.terminate();
        if (!m_server.waitForFinished(3000))
            m_server.kill();
        m_server.waitForFinished(3000);
    }
    QString name() const { return m_name; }
    Display *display() const { return m_display; }

    // The title of a window, as the window system shows it (_NET_WM_NAME, else WM_NAME).
    QString title(Window w) const
    {
        const Atom netName = XInternAtom(m_display, "_NET_WM_NAME", False);
        const Atom utf8 = XInternAtom(m_display, "UTF8_STRING", False);
        for (auto [property, type] :
             {std::pair{netName, utf8}, std::pair{Atom(XA_WM_NAME), Atom(AnyPropertyType)}}) {
            Atom actual = 0;
            int format = 0;
            unsigned long count = 0, after = 0;
            unsigned char *data = nullptr;
            if (XGetWindowProperty(m_display, w, property, 0, 4096, False, type, &actual, &format, &count,
                                   &after, &data) == Success &&
                data) {
                const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(count));
                XFree(data);
                if (!text.isEmpty())
                    return text;
            }
        }
        return {};
    }

    // The mapped top-level windows of the program, with their titles.
    QList<QPair<Window, QString>> visibleWindows() const
    {
        QList<QPair<Window, QString>> found;
        XSync(m_display, False);
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(m_display, DefaultRootWindow(m_display), &root, &parent, &children, &count))
            return found;
        for (unsigned int i = 0; i < count; ++i) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(m_display, children[i], &attributes) &&
                attributes.map_state == IsViewable) {
                const QString t = title(children[i]);
                if (!t.isEmpty())
                    found << qMakePair(children[i], t);
            }
        }
        if (children)
            XFree(children);
        return found;
    }

    Window windowTitled(const QString &prefix) const
    {
        for (const auto &[w, t] : visibleWindows())
            if (t.startsWith(prefix))
                return w;
        return 0;
    }

    // What a window manager sends when the user clicks the close box.
    void askToClose(Window w) const
    {
        XEvent event = {};
        event.xclient.type = ClientMessage;
        event.xclient.window = w;
        event.xclient.message_type = XInternAtom(m_display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = long(XInternAtom(m_display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(m_display, w, False, NoEventMask, &event);
        XFlush(m_display);
    }

    // Gives w the keyboard focus and types keys (xdotool key names) into it.
    bool keys(Window w, const QStringList &names) const
    {
        QProcess xdotool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), m_name);
        xdotool.setProcessEnvironment(env);
        QStringList args{QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(w),
                         QStringLiteral("sleep"),       QStringLiteral("0.3"),    QStringLiteral("key"),
                         QStringLiteral("--delay"),     QStringLiteral("120")};
        xdotool.start(QStringLiteral("xdotool"), args + names);
        return xdotool.waitForFinished(10000) && xdotool.exitCode() == 0;
    }

private:
    QProcess m_server;
    QString m_name;
    Display *m_display = nullptr;
};
} // namespace

class TestProcess : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void endingWithAnExamInProgress_data();
    void endingWithAnExamInProgress();
    void todaysExamKeptWhenTheProgramEnds();
    void titlesAsTheWindowSystemShowsThem();
    void startsWithoutTheLibrariesOfModules();

private:
    void startProgram(QProcess &program, const QStringList &extraEnvironment = {});
    // Starts the program, opens an exam and answers two questions; main is its main window.
    void programWithExamInProgress(QProcess &program, Window &main);

    std::unique_ptr<XServer> m_x;
    std::unique_ptr<QTemporaryDir> m_home;
};

void TestProcess::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QFAIL("Xvfb and xdotool are needed (the set-up installs them)");
}

void TestProcess::init()
{
    m_x = std::make_unique<XServer>();
    QVERIFY(m_x->start());
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
}

void TestProcess::cleanup()
{
    m_x.reset();
    m_home.reset();
}

void TestProcess::startProgram(QProcess &program, const QStringList &extraEnvironment)
{
    const QString home = m_home->path();
    QDir(home).mkpath(QStringLiteral("run"));
    QFile::setPermissions(home + QStringLiteral("/run"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_x->name());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("QUELVADO_UNATTENDED"), QStringLiteral("1"));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("TMPDIR"), home);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/run"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    for (const QString &setting : extraEnvironment)
        env.insert(setting.section(QLatin1Char('='), 0, 0), setting.section(QLatin1Char('='), 1));
    program.setProcessEnvironment(env);
    program.setProgram(QStringLiteral(QUELVADO_PROGRAM));
    program.start();
    QVERIFY(program.waitForStarted(10000));
}

void TestProcess::programWithExamInProgress(QProcess &program, Window &main)
{
    startProgram(program);
    QTRY_VERIFY_WITH_TIMEOUT((main = m_x->windowTitled(kMainTitlePrefix)) != 0, 15000);
    QVERIFY(m_x->keys(main, {QStringLiteral("1")}));
    Window exam = 0;
    QTRY_VERIFY_WITH_TIMEOUT((exam = m_x->windowTitled(QStringLiteral("Seleção de provas"))) != 0, 10000);
    // Enter starts the selected exam; two answers, each confirmed with Enter.
    m_x->keys(exam, {QStringLiteral("Return"), QStringLiteral("a"), QStringLiteral("Return"),
                     QStringLiteral("b"), QStringLiteral("Return")});
    QTRY_VERIFY_WITH_TIMEOUT(m_x->windowTitled(QStringLiteral("Prova de Legislação de Trânsito")) != 0,
                             10000);
}

void TestProcess::endingWithAnExamInProgress_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Esc") << QStringLiteral("Escape");
    QTest::newRow("key 5") << QStringLiteral("5");
    QTest::newRow("window manager close") << QString();
}

void TestProcess::endingWithAnExamInProgress()
{
    QFETCH(QString, how);
    QProcess program;
    Window main = 0;
    programWithExamInProgress(program, main);
    QVERIFY(main != 0);
    if (how.isEmpty())
        m_x->askToClose(main);
    else
        QVERIFY(m_x->keys(main, {how}));

    // The process ends promptly, asking nothing.
    QVERIFY2(program.waitForFinished(3000), "the program is still running");
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    const QString output = QString::fromUtf8(program.readAllStandardOutput());
    QVERIFY2(!output.contains(QLatin1String("[question]")) && !output.contains(QLatin1String("finalizar")),
             qPrintable(output));

    // A second start is not refused: its main window appears and it keeps running.
    QProcess again;
    startProgram(again);
    QTRY_VERIFY_WITH_TIMEOUT(m_x->windowTitled(kMainTitlePrefix) != 0, 15000);
    QVERIFY(!again.waitForFinished(500));
    QVERIFY(QString::fromUtf8(again.readAllStandardOutput()).isEmpty());
    again.kill();
    again.waitForFinished(5000);
}

// An exam in today's format running when Esc ends the program is kept; the next start offers to
// continue it (the unattended boxes answer "Não", which forgets it).
void TestProcess::todaysExamKeptWhenTheProgramEnds()
{
    QProcess program;
    startProgram(program);
    Window main = 0;
    QTRY_VERIFY_WITH_TIMEOUT((main = m_x->windowTitled(kMainTitlePrefix)) != 0, 15000);
    QVERIFY(m_x->keys(main, {QStringLiteral("6")}));
    Window estudo = 0;
    QTRY_VERIFY_WITH_TIMEOUT((estudo = m_x->windowTitled(QStringLiteral("Estudo"))) != 0, 10000);
    QVERIFY(m_x->keys(estudo, {QStringLiteral("alt+a")}));
    Window atual = 0;
    QTRY_VERIFY_WITH_TIMEOUT((atual = m_x->windowTitled(QStringLiteral("Prova no formato atual"))) != 0,
                             10000);
    // Enter starts it; an answer, the next question, another answer.
    QVERIFY(m_x->keys(atual, {QStringLiteral("Return"), QStringLiteral("a"), QStringLiteral("Right"),
                              QStringLiteral("b")}));
    const QString kept = m_home->path() + QStringLiteral("/data/Quelvado/prova-atual.json");
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            QFile f(kept);
            return f.open(QIODevice::ReadOnly) && f.readAll().count("\"resposta\": \"B\"") == 1;
        }(),
        10000);
    QVERIFY(m_x->keys(main, {QStringLiteral("Escape")}));
    QVERIFY2(program.waitForFinished(3000), "the program is still running");
    QCOMPARE(program.exitCode(), 0);
    QVERIFY(QFile::exists(kept));

    QProcess again;
    startProgram(again);
    QString output;
    QTRY_VERIFY_WITH_TIMEOUT(
        (output += QString::fromUtf8(again.readAllStandardOutput())).contains(QLatin1Char('\n')), 15000);
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(kept), 5000);
    QVERIFY2(output.contains(QStringLiteral("[question] Há uma prova no formato atual em andamento")) &&
                 output.contains(QStringLiteral("com 2 de 30 questões respondidas")),
             qPrintable(output));
    again.kill();
    again.waitForFinished(5000);
}

void TestProcess::titlesAsTheWindowSystemShowsThem()
{
    QProcess program;
    Window main = 0;
    programWithExamInProgress(program, main);
    QVERIFY(main != 0);
    QVERIFY(m_x->keys(main, {QStringLiteral("2")}));
    QTRY_VERIFY_WITH_TIMEOUT(m_x->windowTitled(QStringLiteral("Sinalização")) != 0, 10000);

    const auto windows = m_x->visibleWindows();
    QStringList titles;
    for (const auto &[w, t] : windows)
        titles << t;
    // Each title is the window's own caption and nothing more.
    QVERIFY2(titles.contains(QStringLiteral("Prova de Legislação de Trânsito")),
             qPrintable(titles.join(u'|')));
    QVERIFY2(titles.contains(QStringLiteral("Sinalização")), qPrintable(titles.join(u'|')));
    QCOMPARE(m_x->title(main).left(kMainTitlePrefix.size() + 3), kMainTitlePrefix + QStringLiteral("   "));
    for (const QString &t : titles)
        QVERIFY2(!t.contains(QStringLiteral(" — ")), qPrintable(t));
    program.kill();
    program.waitForFinished(5000);
}

// Reading aloud's sound libraries (Qt Multimedia and the sound system's), the charts' (Qt Charts
// and Qt OpenGL), printing's and the drawings' (Qt Svg) are loaded when first needed, not at
// start-up (the main window shows prepared pictures and icons): the dynamic loader's own list
// of the files it opened up to the main window's first paint holds none of them.
void TestProcess::startsWithoutTheLibrariesOfModules()
{
    QProcess program;
    startProgram(program,
                 {QStringLiteral("QUELVADO_EXIT_AFTER_FIRST_PAINT=1"), QStringLiteral("LD_DEBUG=files")});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitCode(), 0);
    QVERIFY(program.readAllStandardOutput().startsWith("first-paint-ms"));
    const QByteArray loaded = program.readAllStandardError();
    QVERIFY2(loaded.contains("libQt6Widgets.so"), "the loader's list is not there");
    for (const char *library :
         {"libQt6Multimedia.so", "libpulse.so", "libQt6Charts.so", "libQt6OpenGL", "libQt6PrintSupport.so"})
        QVERIFY2(!loaded.contains(library), library);
}

QTEST_GUILESS_MAIN(TestProcess)
#include "tst_process.moc"
