// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The application shell: start-up, the main window, its status panel, keys, hints, version box,
// help and the single-instance rule, driven as a person would.

#include "controls/artwork.h"
#include "shell/formtopo.h"
#include "shell/helpwindow.h"
#include "shell/programwindows.h"
#include "shell/startup.h"
#include "shell/status.h"
#include "shell/versioninfo.h"

#include "codereader/formcodigo.h"
#include "common/appwindows.h"
#include "common/errordisplay.h"
#include "common/errors.h"
#include "common/hints.h"
#include "download/formdownload.h"
#include "exam/formprova.h"
#include "signs/formdados.h"
#include "signs/formplacas.h"
#include "study/formestudo.h"
#include "study/history.h"

#include "examdriver.h"
#include "fakes.h"
#include "windowdriver.h"
#include "windowfakes.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <QtTest>
#include <algorithm>

#include <csignal>
#include <sys/stat.h>

using namespace ProgramWindows;

namespace {
QStringList helpsOf(const FakeDesktop &d)
{
    return d.helps;
}
} // namespace

class TestShell : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void windowsCreatedOnceInOrder();
    void mainWindowLayout();
    void statusPanelCaptionAndDate();
    void keysOpenWindows();
    void keyBeforeTheOtherWindowsExist();
    void keysEndProgram_data();
    void keysEndProgram();
    void keysIgnoredWhenNotActive();
    void helpButtonHintReachesStatusPanel();
    void hintOfAnotherWindowReachesStatusPanel();
    void versionTrimming_data();
    void versionTrimming();
    void versionBox();
    void errorInHandlerShownAndProgramGoesOn();
    void helpWindowShowsTopic();
    void helpWindowMissingFile();
    void secondCopyRefused();
    void versionAndHelpWithoutDisplay();
    void preparedArtworkMatchesPainting();
    void correctedExamKeptInHistory();
    void qtStandardTextsInPortuguese();
    void carriedFontsAdded();

private:
    void activateMain();
    std::unique_ptr<FakeDialogs> m_dialogs;
    std::unique_ptr<FakeDesktop> m_desktop;
    std::unique_ptr<FakeClock> m_clock;
};

void TestShell::init()
{
    m_clock = std::make_unique<FakeClock>(QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0)));
    m_dialogs = std::make_unique<FakeDialogs>();
    m_desktop = std::make_unique<FakeDesktop>();
    Startup::configureApplication(*qApp);
    Startup::createWindows();
}

void TestShell::cleanup()
{
    Startup::destroyWindows();
    m_desktop.reset();
    m_dialogs.reset();
    m_clock.reset();
}

void TestShell::activateMain()
{
    for (AppWindow w :
         {AppWindow::Prova, AppWindow::Placas, AppWindow::Dados, AppWindow::Codigo, AppWindow::Download})
        AppWindows::get(w)->hide();
    formTopo()->setWindowState(Qt::WindowNoState);
    QVERIFY(showActive(formTopo()));
}

void TestShell::windowsCreatedOnceInOrder()
{
    QCOMPARE(AppWindows::get(AppWindow::Topo), formTopo());
    QCOMPARE(AppWindows::get(AppWindow::Download), formDownload());
    // The windows name the menu entry they belong to and carry its icon.
    QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("br.com.quelvado.Quelvado"));
    QVERIFY(!formTopo()->windowIcon().pixmap(32, 32).isNull());
    // Sizes, borders and captions of the windows the other areas fill in.
    QCOMPARE(formProva()->size(), QSize(692, 410));
    QCOMPARE(formPlacas()->size(), QSize(150, 273));
    QVERIFY(formPlacas()->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(formPlacas()->windowTitle(), QStringLiteral("Placas"));
    QCOMPARE(formDados()->size(), QSize(692, 410));
    QCOMPARE(formCodigo()->size(), QSize(692, 410));
    QCOMPARE(formDownload()->size(), QSize(398, 433));
    QCOMPARE(formDownload()->windowTitle(), QStringLiteral("Download de Produtos - A Vitrine Dolmar"));
    QVERIFY(!(formProva()->windowFlags() & Qt::WindowMaximizeButtonHint));
    // The exam, signs and code windows open below the main window, centred on the screen.
    const int screenWidth = QGuiApplication::primaryScreen()->geometry().width();
    QCOMPARE(formCodigo()->x(), (screenWidth - formCodigo()->frameGeometry().width()) / 2);
    QCOMPARE(formProva()->y(), AppWindows::mainWindowHeight());
    QCOMPARE(formPlacas()->y(), formProva()->y());
    // Nothing but the main window is shown at start.
    for (QWidget *w : {static_cast<QWidget *>(formProva()), static_cast<QWidget *>(formPlacas()),
                       static_cast<QWidget *>(formDados()), static_cast<QWidget *>(formCodigo()),
                       static_cast<QWidget *>(formDownload())})
        QVERIFY(!w->isVisible());
}

void TestShell::mainWindowLayout()
{
    QVERIFY(formTopo()->windowTitle().startsWith(QStringLiteral("Quelvado - Prova Simulada 2.2   ")));
    QVERIFY(formTopo()->windowTitle().size() > QStringLiteral("Quelvado - Prova Simulada 2.2   ").size());
    QVERIFY(formTopo()->windowState() & Qt::WindowMaximized);
    const struct {
        const char *name;
        int x;
        const char *caption;
    } buttons[] = {{"RxSBProva", 287, " Provas"},     {"RxSBPlacas", 383, " Placas"},
                   {"RxSBCodigo", 480, " Código"},    {"RxSBAjuda", 576, " Ajuda"},
                   {"RxSBFinalizar", 673, " Fechar"}, {"RxSBEstudo", 769, " Estudo"}};
    for (const auto &b : buttons) {
        auto *button = formTopo()->findChild<QToolButton *>(QLatin1String(b.name));
        QVERIFY2(button, b.name);
        QCOMPARE(button->geometry(), QRect(b.x, 7, 92, 46));
        QCOMPARE(button->text(), QString::fromUtf8(b.caption));
        QVERIFY2(!button->icon().isNull(), b.name);
    }
    auto *image1 = formTopo()->findChild<QLabel *>(QStringLiteral("Image1"));
    QCOMPARE(image1->geometry(), QRect(7, 9, 278, 41));
    QCOMPARE(image1->pixmap().deviceIndependentSize().toSize(), QSize(278, 41));
    auto *image2 = formTopo()->findChild<QLabel *>(QStringLiteral("Image2"));
    QCOMPARE(image2->geometry(), QRect(161, 216, 477, 100));
    QCOMPARE(image2->pixmap().deviceIndependentSize().toSize(), QSize(477, 100));
    // The status panel starts with the maker's two addresses.
    const QString status = formTopo()->status()->caption();
    QVERIFY2(status.startsWith(QStringLiteral("   www.")) && status.contains(QStringLiteral("   |   ")),
             qPrintable(status));

    // A click on either banner opens the download window.
    activateMain();
    QTest::mouseClick(image2, Qt::LeftButton);
    QVERIFY(formDownload()->isVisible());
    formDownload()->hide();
    QTest::mouseClick(image1, Qt::LeftButton);
    QVERIFY(formDownload()->isVisible());
}

void TestShell::statusPanelCaptionAndDate()
{
    FakeClock sunday(QDateTime(QDate(2026, 12, 6), QTime(23, 59, 0)));
    QWidget owner;
    owner.resize(400, 100);
    TStatus status(&owner);
    owner.show();
    status.setCaption(QStringLiteral("Palavra"));
    QCOMPARE(status.caption(), QStringLiteral(" Palavra"));
    QCOMPARE(status.textArea()->caption(), QStringLiteral(" Palavra"));
    status.setCaption(QString());
    QCOMPARE(status.caption(), QStringLiteral(" "));

    QCOMPARE(status.dateBox()->caption(), QStringLiteral("06/12/2026"));
    QCOMPARE(status.dateBox()->toolTip(), QStringLiteral("domingo, 6 de dezembro de 2026"));
    QCOMPARE(status.dateBox()->width(),
             QFontMetrics(status.font()).horizontalAdvance(QStringLiteral("  06/12/2026  ")));
    // Docked at the bottom, the date box at the right, the text area filling the rest.
    QCOMPARE(status.geometry(), QRect(0, 78, 400, 22));
    QCOMPARE(status.dateBox()->geometry().right(), 399);
    QCOMPARE(status.textArea()->width() + status.dateBox()->width(), 400);
    owner.resize(500, 120);
    QCOMPARE(status.geometry(), QRect(0, 98, 500, 22));

    // The date of the main window's panel is the clock's date, written out in the hint.
    QCOMPARE(formTopo()->status()->dateBox()->toolTip(),
             QStringLiteral("segunda-feira, 7 de dezembro de 2026"));
}

// The start-up makes the five other windows just after the main one's first paint; a key pressed
// before that still opens its window, which is then made with the other four, once.
void TestShell::keyBeforeTheOtherWindowsExist()
{
    Startup::destroyWindows();
    Startup::createMainWindow();
    int made = 0;
    AppWindows::setMaker([&made] {
        ++made;
        Startup::createOtherWindows();
    });
    formTopo()->setWindowState(Qt::WindowNoState);
    QVERIFY(showActive(formTopo()));
    QCOMPARE(made, 0);
    QTest::keyClick(formTopo(), Qt::Key_2);
    QCOMPARE(made, 1);
    QVERIFY(formDados()->isVisible());
    QVERIFY(formProva() && formPlacas() && formCodigo() && formDownload());
    Startup::createOtherWindows();
    const QWidgetList tops = QApplication::topLevelWidgets();
    QCOMPARE(
        std::count_if(tops.begin(), tops.end(), [](QWidget *w) { return qobject_cast<TFormDados *>(w); }), 1);
    QCOMPARE(made, 1);
}

void TestShell::keysOpenWindows()
{
    activateMain();
    QTest::keyClick(formTopo(), Qt::Key_3);
    QVERIFY(formCodigo()->isVisible());

    activateMain();
    QVERIFY(!formCodigo()->isVisible());
    formDados()->setWindowTitle(QStringLiteral("outro"));
    QTest::keyClick(formTopo(), Qt::Key_2);
    QVERIFY(formDados()->isVisible());
    QCOMPARE(formDados()->windowTitle(), QStringLiteral("Sinalização"));
    QVERIFY(QTest::qWaitForWindowActive(formDados()));
    QCOMPARE(QApplication::focusWidget(), formDados()->EditPlaca);

    activateMain();
    formProva()->Notebook1->setCurrentIndex(2);
    QTest::keyClick(formTopo(), Qt::Key_1);
    QVERIFY(formProva()->isVisible());
    QCOMPARE(formProva()->Notebook1->currentIndex(), 0);
    QCOMPARE(formProva()->windowTitle(), QStringLiteral("Seleção de provas"));

    activateMain();
    QTest::keyClick(formTopo(), Qt::Key_4);
    QTest::keyClick(formTopo(), Qt::Key_F1);
    // Keys reach the window even when one of its controls would take them.
    auto *ajuda = formTopo()->findChild<QToolButton *>(QStringLiteral("RxSBAjuda"));
    QTest::keyClick(ajuda, Qt::Key_4);
    QCOMPARE(helpsOf(*m_desktop), QStringList({"topic0", "topic0", "topic0"}));
    QTest::mouseClick(ajuda, Qt::LeftButton);
    QCOMPARE(helpsOf(*m_desktop).size(), 4);

    // The sixth button and key 6: the study window, with its three entries and the export.
    TempProgramFolder folder;
    activateMain();
    QVERIFY(!formTopo()->estudo());
    QTest::keyClick(formTopo(), Qt::Key_6);
    QVERIFY(formTopo()->estudo() && formTopo()->estudo()->isVisible());
    QCOMPARE(formTopo()->estudo()->windowTitle(), QStringLiteral("Estudo"));
    QStringList captions;
    for (QPushButton *b :
         {formTopo()->estudo()->BBDesempenho, formTopo()->estudo()->BBErros, formTopo()->estudo()->BBAssunto,
          formTopo()->estudo()->BBProvaAtual, formTopo()->estudo()->BBExportar})
        captions << b->text();
    QCOMPARE(captions, QStringList({"&Desempenho", "Re&visões de hoje", "Estudar por a&ssunto",
                                    "Prova no formato &atual", "E&xportar histórico..."}));
    formTopo()->estudo()->hide();
    activateMain();
    QTest::mouseClick(formTopo()->findChild<QToolButton *>(QStringLiteral("RxSBEstudo")), Qt::LeftButton);
    QVERIFY(formTopo()->estudo()->isVisible());
    formTopo()->estudo()->hide();
}

void TestShell::keysEndProgram_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("5") << int(Qt::Key_5);
    QTest::newRow("Esc") << int(Qt::Key_Escape);
}

void TestShell::keysEndProgram()
{
    QFETCH(int, key);
    activateMain();
    QSignalSpy quit(formTopo(), &TFormTopo::quitRequested);
    // An exam window left open does not hold the program.
    formProva()->show();
    activateMain();
    QTest::keyClick(formTopo(), static_cast<Qt::Key>(key));
    QCOMPARE(quit.count(), 1);
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestShell::keysIgnoredWhenNotActive()
{
    activateMain();
    formDownload()->show();
    QApplication::setActiveWindow(formDownload());
    QVERIFY(QTest::qWaitForWindowActive(formDownload()));
    QSignalSpy quit(formTopo(), &TFormTopo::quitRequested);
    QTest::keyClick(formTopo(), Qt::Key_3);
    QTest::keyClick(formTopo(), Qt::Key_Escape);
    QVERIFY(!formCodigo()->isVisible());
    QCOMPARE(quit.count(), 0);
}

void TestShell::helpButtonHintReachesStatusPanel()
{
    activateMain();
    auto *ajuda = formTopo()->findChild<QToolButton *>(QStringLiteral("RxSBAjuda"));
    QCOMPARE(ajuda->toolTip(), QStringLiteral("Ajuda"));
    QTest::mouseMove(ajuda, QPoint(10, 10));
    QTRY_COMPARE(formTopo()->status()->caption(), QStringLiteral("  Como utilizar o programa"));
    // The banners' hints have no bar: the whole hint goes to the panel.
    auto *image1 = formTopo()->findChild<QLabel *>(QStringLiteral("Image1"));
    QTest::mouseMove(image1, QPoint(5, 5));
    QTRY_COMPARE(formTopo()->status()->caption(),
                 QStringLiteral(" Clique aqui para download de nossos produtos"));
    // Over a control without a hint the panel is empty.
    auto *panel = formTopo()->findChild<QWidget *>(QStringLiteral("Panel1"));
    QTest::mouseMove(panel, QPoint(5, 200));
    QTRY_COMPARE(formTopo()->status()->caption(), QStringLiteral(" "));
    auto *fechar = formTopo()->findChild<QToolButton *>(QStringLiteral("RxSBFinalizar"));
    QTest::mouseMove(fechar, QPoint(10, 10));
    QTRY_COMPARE(formTopo()->status()->caption(), QStringLiteral("  Termina a execução do programa"));
}

void TestShell::hintOfAnotherWindowReachesStatusPanel()
{
    activateMain();
    formDados()->ensureControls();
    Hints::set(formDados()->EditPlaca, QStringLiteral("Código|Digite o código da placa"));
    formDados()->show();
    QVERIFY(QTest::qWaitForWindowExposed(formDados()));
    QTest::mouseMove(formDados()->EditPlaca, QPoint(5, 5));
    QTRY_COMPARE(formTopo()->status()->caption(), QStringLiteral(" Digite o código da placa"));
    // The exam window's buttons and banner feed the panel as well.
    formDados()->hide();
    formProva()->showSelectionPage();
    formProva()->show();
    QVERIFY(QTest::qWaitForWindowExposed(formProva()));
    QTest::mouseMove(formProva()->BitBtn1, QPoint(10, 10));
    QTRY_COMPARE(formTopo()->status()->caption(), QStringLiteral(" Clique aqui para iniciar a prova"));
    QTest::mouseMove(formProva()->findChild<QLabel *>(QStringLiteral("Image1")), QPoint(10, 10));
    QTRY_COMPARE(formTopo()->status()->caption(),
                 QStringLiteral(" Clique aqui para download de nossos produtos"));
    formProva()->hide();
}

void TestShell::versionTrimming_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("program") << "2.2.4.0"
                             << "2.2.4";
    QTest::newRow("major only") << "2.0.0.0"
                                << "2.0";
    QTest::newRow("build kept") << "2.2.4.1"
                                << "2.2.4.1";
    QTest::newRow("zero inside a number") << "2.10.0.0"
                                          << "2.10";
    QTest::newRow("release zero") << "3.1.0.0"
                                  << "3.1";
    QTest::newRow("none") << ""
                          << "";
}

void TestShell::versionTrimming()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QCOMPARE(VersionInfo::trimmed(stored), shown);
}

void TestShell::versionBox()
{
    // The program carries the version of the build, which the box shows trimmed.
    QCOMPARE(VersionInfo::raw(), QStringLiteral(QUELVADO_VERSION));
    activateMain();
    auto *action = formTopo()->findChild<QAction *>(QStringLiteral("Versao1"));
    QVERIFY(action);
    QCOMPARE(action->text(), QStringLiteral("Versão..."));
    action->trigger();
    QCOMPARE(m_dialogs->boxes.size(), 1);
    const QStringList lines = m_dialogs->boxes.first().text.split(QLatin1Char('\n'));
    QCOMPARE(lines.value(0),
             QStringLiteral("Quelvado ") + VersionInfo::trimmed(QStringLiteral(QUELVADO_VERSION)));
    QCOMPARE(lines.value(1), QString());
    QVERIFY(lines.value(6).startsWith(QStringLiteral("E-Mail:  ")));
    QCOMPARE(lines.value(7), QStringLiteral("Vitrine Dolmar"));
    // The licences follow the maker's lines.
    QCOMPARE(lines.value(8), QString());
    const QString licences = lines.mid(9).join(QLatin1Char(' '));
    QVERIFY2(licences.contains(QStringLiteral("GNU GPL 3.0 ou posterior")) &&
                 licences.contains(QStringLiteral("CC BY-SA 4.0")),
             qPrintable(licences));
    QCOMPARE(VersionInfo::boxText(QStringLiteral("2.2.4.0")).section(QLatin1Char('\n'), 0, 0),
             QStringLiteral("Quelvado 2.2.4"));
    QCOMPARE(m_dialogs->boxes.first().icon, Dialogs::Icon::Information);
    // Without version information there is no box.
    QVERIFY(VersionInfo::boxText(QString()).isEmpty());
}

void TestShell::errorInHandlerShownAndProgramGoesOn()
{
    activateMain();
    // A handler that fails the way a damaged file would: the guard every handler runs in catches
    // the error at the handler's edge, before it could cross Qt's event dispatch.
    const auto button = std::make_unique<QPushButton>(QStringLiteral("falha"), formTopo());
    QObject::connect(button.get(), &QPushButton::clicked, button.get(),
                     guard([] { throw EInOutError(QStringLiteral("I/O error 103")); }));
    button->setGeometry(10, 100, 80, 24);
    button->show();
    QTest::mouseClick(button.get(), Qt::LeftButton);
    QCOMPARE(m_dialogs->texts(), QStringList{QStringLiteral("Arquivo ou Drive Inválido")});
    QCOMPARE(m_dialogs->boxes.first().icon, Dialogs::Icon::Error);
    // The program goes on: the next key still works.
    QTest::keyClick(formTopo(), Qt::Key_3);
    QVERIFY(formCodigo()->isVisible());
}

void TestShell::helpWindowShowsTopic()
{
    TempProgramFolder folder;
    QFile help(folder.file(QStringLiteral("Quelvado.html")));
    QVERIFY(help.open(QIODevice::WriteOnly));
    help.write("<html><body><a name=\"topic0\"></a><h1>Como usar</h1>"
               "<p style=\"margin-top:2000px\"><a name=\"Topic90\"></a>Download</p></body></html>");
    help.close();
    THelpWindow window;
    window.showTopic(QStringLiteral("Topic90"));
    QVERIFY(window.isVisible());
    QCOMPARE(window.browser()->source().fragment(), QStringLiteral("Topic90"));
    QVERIFY(window.browser()->toPlainText().contains(QStringLiteral("Como usar")));
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestShell::helpWindowMissingFile()
{
    TempProgramFolder folder;
    THelpWindow window;
    window.showTopic(QStringLiteral("topic0"));
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QVERIFY(m_dialogs->boxes.first().text.contains(QStringLiteral("Quelvado.html")));
    QVERIFY(!window.isVisible());
    // A FIFO under the help file's name is refused at once instead of blocking the program.
    QVERIFY(::mkfifo(QFile::encodeName(folder.file(QStringLiteral("Quelvado.html"))).constData(), 0600) == 0);
    window.showTopic(QStringLiteral("topic0"));
    QCOMPARE(m_dialogs->boxes.size(), 2);
    QVERIFY(m_dialogs->boxes.last().text.startsWith(QStringLiteral("Arquivo de ajuda inválido")));
    QVERIFY(!window.isVisible());
}

// "--version" and "--help" answer on a terminal without a display (no window system at all).
void TestShell::versionAndHelpWithoutDisplay()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    const auto run = [&](const QString &option) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(QUELVADO_PROGRAM), {option});
        const bool ended = p.waitForFinished(10000);
        return std::tuple(ended && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                          QString::fromUtf8(p.readAllStandardOutput()));
    };
    const auto [versionCode, version] = run(QStringLiteral("--version"));
    QCOMPARE(versionCode, 0);
    QCOMPARE(version, QStringLiteral("Quelvado %1\n").arg(VersionInfo::trimmed(VersionInfo::raw())));
    const auto [helpCode, help] = run(QStringLiteral("--help"));
    QCOMPARE(helpCode, 0);
    QVERIFY2(help.startsWith(QStringLiteral("Uso: quelvado [--help] [--version]\n")), qPrintable(help));
}

void TestShell::secondCopyRefused()
{
    QTemporaryDir tmp; // mode 0700: a runtime folder of the user's own
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QUELVADO_UNATTENDED"), QStringLiteral("1"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), tmp.path());
    const QString lockPath = tmp.path() + QStringLiteral("/quelvado.lock");
    auto start = [&](QProcess &p) {
        p.setProcessEnvironment(env);
        p.setProgram(QStringLiteral(QUELVADO_PROGRAM));
        p.start();
        QVERIFY(p.waitForStarted(10000));
    };
    // A copy that starts and keeps running (its output stays empty).
    auto startsAndRuns = [&](const char *what) {
        QProcess p;
        start(p);
        QVERIFY2(!p.waitForFinished(1500), what);
        QVERIFY2(QString::fromUtf8(p.readAllStandardOutput()).isEmpty(), what);
        p.kill();
        QVERIFY(p.waitForFinished(10000));
    };

    QProcess first;
    start(first);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(lockPath), 10000);

    QProcess second;
    start(second);
    QVERIFY(second.waitForFinished(15000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(second.readAllStandardOutput()).trimmed(),
             QStringLiteral("[information] ") + Startup::secondCopyText);
    QCOMPARE(first.state(), QProcess::Running);

    // A copy that crashed does not block the next start.
    ::kill(static_cast<pid_t>(first.processId()), SIGKILL);
    QVERIFY(first.waitForFinished(10000));
    QVERIFY(QFile::exists(lockPath));
    startsAndRuns("after a crash");

    // Nor does an empty or garbled lock file, or a folder under the lock's name.
    for (const QByteArray &content : {QByteArray(), QByteArray("\xff\xfe garbage\n99999999\n")}) {
        QFile lock(lockPath);
        QVERIFY(lock.open(QIODevice::WriteOnly | QIODevice::Truncate));
        lock.write(content);
        lock.close();
        startsAndRuns(content.isEmpty() ? "empty lock file" : "garbled lock file");
    }
    QVERIFY(QFile::remove(lockPath));
    QVERIFY(QDir(tmp.path()).mkdir(QStringLiteral("quelvado.lock")));
    startsAndRuns("folder at the lock's name");
}

void TestShell::preparedArtworkMatchesPainting()
{
    // What the build prepared is exactly what the program would paint, at both ratios.
    for (int ratio : {1, 2}) {
        const QList<QPair<QString, QPixmap>> painted = {
            {QStringLiteral("banner-small"), Artwork::paintSmallBanner(ratio)},
            {QStringLiteral("banner-large"), Artwork::paintLargeBanner(ratio)},
            {QStringLiteral("banner-exam"), Artwork::paintExamBanner(ratio)},
            {QStringLiteral("glyph-ajuda"),
             Artwork::glyphPixmap(QStringLiteral("ajuda"), QSize(32, 32), ratio)},
            {QStringLiteral("glyph-estudo"),
             Artwork::glyphPixmap(QStringLiteral("estudo"), QSize(32, 32), ratio)}};
        for (const auto &[name, pixmap] : painted) {
            const QPixmap ready = Artwork::prepared(name, ratio);
            QVERIFY2(!ready.isNull(), qPrintable(name));
            QCOMPARE(ready.devicePixelRatio(), qreal(ratio));
            QCOMPARE(ready.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                     pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied));
        }
    }
    // Other ratios and names are painted on demand.
    QVERIFY(Artwork::prepared(QStringLiteral("banner-large"), 1.5).isNull());
    QVERIFY(Artwork::prepared(QStringLiteral("nada"), 1).isNull());
    QCOMPARE(Artwork::largeBanner(1.5).size(), QSize(716, 150));

    // The file format round trip.
    QTemporaryDir dir;
    QImage image(3, 2, QImage::Format_ARGB32_Premultiplied);
    image.fill(qRgba(10, 20, 30, 255));
    QVERIFY(Artwork::writePrepared(image, dir.filePath(QStringLiteral("x.raw"))));
    QFile f(dir.filePath(QStringLiteral("x.raw")));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QCOMPARE(bytes.size(), 12 + 3 * 2 * 4);
    QCOMPARE(bytes.left(12), QByteArray("QVIM\x03\0\0\0\x02\0\0\0", 12));
}

int main(int argc, char *argv[])
{
    TApplication app(argc, argv);
    TestShell test;
    return QTest::qExec(&test, argc, argv);
}

void TestShell::correctedExamKeptInHistory()
{
    TempProgramFolder folder;
    formProva()->ensurePages();
    QVERIFY(showActive(formProva()));
    start(*formProva(), kLegislacao);
    // The light checks the right letter typed at position 1: shown, so not known.
    type(*formProva(), rightLetter(1));
    QTest::mouseClick(formProva()->BBRespostaImediata, Qt::LeftButton);
    QTest::mouseClick(formProva()->BBProximo, Qt::LeftButton);
    for (int p = 2; p <= 30; ++p)
        answerAndNext(*formProva(), p % 3 == 0 ? wrongLetter(p) : rightLetter(p));
    m_clock->local = m_clock->local.addSecs(600);
    QTest::mouseClick(formProva()->BBFinalizar, Qt::LeftButton);
    QTest::mouseClick(formProva()->BBCorrigir, Qt::LeftButton);
    QVERIFY(m_dialogs->boxes.isEmpty());

    const QList<HistoryExam> stored = History::instance().exams();
    QCOMPARE(stored.size(), 1);
    QCOMPARE(stored[0].type, 6);
    QCOMPARE(stored[0].start, QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0)));
    QCOMPARE(stored[0].seconds, 600);
    QCOMPARE(stored[0].answers.size(), 30);
    QCOMPARE(formProva()->Label4->text(), QStringLiteral("20")); // the sheet scores it right
    QCOMPARE(stored[0].right(), 19);
    QVERIFY(stored[0].answers[0].revealed);
    QVERIFY(!stored[0].answers[0].right);
    QCOMPARE(stored[0].answers[2].given, wrongLetter(3));
    QVERIFY(!stored[0].answers[2].right);
}

void TestShell::qtStandardTextsInPortuguese()
{
    // The tests run under the C locale: Qt's own texts are Portuguese whatever the system says.
    QDialogButtonBox box(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
    QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancelar"));
    QCOMPARE(box.button(QDialogButtonBox::Save)->text(), QStringLiteral("Salvar"));
}

void TestShell::carriedFontsAdded()
{
    // A folder as the installer lays it out: font files beside other files, and one damaged.
    QTemporaryDir tmp;
    const QString dejavu = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed.ttf");
    QVERIFY(QFile::copy(dejavu, tmp.filePath(QStringLiteral("DejaVuSansCondensed.ttf"))));
    QFile junk(tmp.filePath(QStringLiteral("damaged.ttf")));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    QVERIFY(QFile::copy(dejavu, tmp.filePath(QStringLiteral("LEIA-ME.txt"))));
    QCOMPARE(Startup::addFonts(tmp.path()), 1);
    QCOMPARE(Startup::addFonts(tmp.filePath(QStringLiteral("none"))), 0);
}

#include "tst_shell.moc"
