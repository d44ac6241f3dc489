// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup.h"

#include "formtopo.h"
#include "helpwindow.h"
#include "versioninfo.h"

#include "codereader/formcodigo.h"
#include "common/appwindows.h"
#include "common/desktop.h"
#include "common/dialogs.h"
#include "common/errordisplay.h"
#include "common/hints.h"
#include "common/messageboxdialogs.h"
#include "common/programfolder.h"
#include "common/settingsfile.h"
#include "common/windowkit.h"
#include "controls/artwork.h"
#include "download/formdownload.h"
#include "exam/formprova.h"
#include "signs/formdados.h"
#include "signs/formplacas.h"
#include "study/studyhistory.h"
#include "study/studywindow.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QIcon>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

TApplication::TApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        MostraErro(e);
    } catch (...) {
        MostraErro(std::runtime_error("Erro desconhecido"));
    }
    return false;
}

QString Startup::instanceLockPath()
{
    // The user's runtime folder (XDG_RUNTIME_DIR, or a folder of the user's own with mode 0700
    // that Qt checks); when there is none, the user's configuration folder. Never a shared folder
    // where another user could plant the file.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QDir().mkpath(folder);
    return folder + QStringLiteral("/quelvado.lock");
}

InstanceLock::~InstanceLock() = default; // closing the file releases the lock

InstanceLock::Result InstanceLock::acquire(const QString &path)
{
    const std::u16string name = path.toStdU16String();
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (m_file.open(name, Platform::File::Access::Create, true, true) == Platform::File::Opened::Ok) {
            if (m_file.status().kind == Platform::Kind::Regular) {
                switch (m_file.tryLock(true)) {
                case Platform::File::Locked::Ok: {
                    // What the file held before (nothing, garbage, a dead copy's number) does not
                    // matter: only a live lock marks a running copy. The number is only informative.
                    // Written over the old text, then cut to its length: emptying the file first
                    // would make the file system free its block and take a new one.
                    const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid()) + '\n';
                    if (m_file.writeAt(0, pid.constData(), size_t(pid.size())) == pid.size())
                        m_file.truncate(pid.size());
                    return Result::Acquired;
                }
                case Platform::File::Locked::HeldByAnother:
                    m_file.close();
                    return Result::HeldByAnother;
                case Platform::File::Locked::Failed:
                    break;
                }
            }
            m_file.close();
        }
        // Something that is not a lockable file (a folder, a link, a special file) stands at the
        // lock's name: clear it away once and try again.
        Platform::removeEntry(name);
    }
    return Result::Unavailable;
}

namespace {
void installQtTranslation(QApplication &app)
{
    static const QString kQtTranslatorName = QStringLiteral("qtbasePortuguese");
    // Qt's own texts (standard buttons, the print, save and file dialogs, context menus) in
    // Brazilian Portuguese, as every text of the program is, whatever the system's locale. The
    // catalogue comes with Debian's qt6-translations-l10n; without it they stay in English.
    if (app.findChild<QTranslator *>(kQtTranslatorName, Qt::FindDirectChildrenOnly))
        return;
    auto *translator = new QTranslator(&app);
    translator->setObjectName(kQtTranslatorName);
    if (translator->load(QStringLiteral("qtbase_pt_BR"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}
} // namespace

int Startup::addFonts(const QString &folder)
{
    int added = 0;
    const QFileInfoList files = QDir(folder).entryInfoList({QStringLiteral("*.ttf"), QStringLiteral("*.otf")},
                                                           QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo &file : files) {
        if (QFontDatabase::addApplicationFont(file.filePath()) >= 0)
            ++added;
    }
    return added;
}

void Startup::configureApplication(QApplication &app)
{
    QCoreApplication::setApplicationName(QStringLiteral("Quelvado"));
    // The title names the program in message boxes. It is not the application's display name,
    // which the window system would append to every window's caption.
    Dialogs::setApplicationTitle(applicationTitle);
    QGuiApplication::setQuitOnLastWindowClosed(false);
    // The windows name their menu entry (Wayland and docks match them by it) and show its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("br.com.quelvado.Quelvado"));
    QGuiApplication::setWindowIcon(Artwork::windowIcon());
    installQtTranslation(app);
    addFonts(ProgramFolder::file(QStringLiteral("fonts")));
    if (!HintTracker::instance())
        app.installEventFilter(new HintTracker(&app));
    SystemDesktop::setHelpViewer(&THelpWindow::open);
    // Every window fits the screen it opens on, at any scale.
    WindowKit::keepWindowsOnScreen(app);
}

namespace {
// The six windows, owned here from creation to the end of the run; the windows reach each other
// through the registry, which never owns.
std::vector<std::pair<AppWindow, std::unique_ptr<QWidget>>> g_windows;

template <typename W> W *own(AppWindow which, std::unique_ptr<W> window)
{
    W *w = window.get();
    AppWindows::set(which, w);
    g_windows.emplace_back(which, std::move(window));
    return w;
}
} // namespace

void Startup::createWindows()
{
    createMainWindow();
    createOtherWindows();
}

void Startup::createMainWindow()
{
    own(AppWindow::Topo, std::make_unique<TFormTopo>());
}

void Startup::createOtherWindows()
{
    AppWindows::setMaker(nullptr);
    if (AppWindows::get(AppWindow::Prova))
        return;
    auto *exam =
        own(AppWindow::Prova, std::make_unique<TFormProva>(nullptr, TFormProva::Construction::Deferred));
    // Every exam the exam window corrects is kept in the study history.
    QObject::connect(exam, &TFormProva::examCorrected, exam, &StudyHistory::keep);
    own(AppWindow::Placas, std::make_unique<TFormPlacas>(nullptr, TFormPlacas::Construction::Deferred));
    own(AppWindow::Dados, std::make_unique<TFormDados>(nullptr, TFormDados::Construction::Deferred));
    own(AppWindow::Codigo, std::make_unique<TFormCodigo>(nullptr, TFormCodigo::Construction::Deferred));
    own(AppWindow::Download, std::make_unique<TFormDownload>(nullptr, TFormDownload::Construction::Deferred));
}

void Startup::destroyWindows()
{
    // The last created first; each leaves the registry before it goes.
    AppWindows::setMaker(nullptr);
    while (!g_windows.empty()) {
        AppWindows::set(g_windows.back().first, nullptr);
        g_windows.back().second.reset();
        g_windows.pop_back();
    }
}

namespace {
// Runs a task once, just after the first paint of a window: the first paint event that reaches any
// widget of it (its panels cover it whole, so the window itself may get none), once that paint is
// over. Should no paint come (a window the system keeps hidden), after a second all the same.
class AfterFirstPaint : public QObject {
public:
    AfterFirstPaint(const QWidget *window, std::function<void()> task)
        : m_window(window), m_task(std::move(task))
    {
        qApp->installEventFilter(this);
        QTimer::singleShot(1000, this, [this] { runOnce(); });
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->window() == m_window) {
            qApp->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] { runOnce(); });
        }
        return false;
    }

private:
    void runOnce()
    {
        qApp->removeEventFilter(this);
        if (m_task)
            std::exchange(m_task, nullptr)();
    }

    const QWidget *m_window;
    std::function<void()> m_task;
};

// For the start-up benchmark: the time since the process started and the resident memory, printed
// at the main window's first paint.
void reportFirstPaint(const QElapsedTimer &started)
{
    long rssKb = 0;
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                rssKb = line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    std::printf("first-paint-ms %lld rss-kb %ld\n", static_cast<long long>(started.elapsed()), rssKb);
    std::fflush(stdout);
}
} // namespace

namespace {
// "--version" and "--help" are answered before anything needs a display: they print and end.
std::optional<int> answerOption(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArrayView arg(argv[i]);
        if (arg == "--version" || arg == "-v") {
            std::printf("Quelvado %s\n", VersionInfo::trimmed(VersionInfo::raw()).toUtf8().constData());
            return 0;
        }
        if (arg == "--help" || arg == "-h") {
            std::printf("Uso: quelvado [--help] [--version]\n"
                        "Abre o Quelvado: simulados da prova teórica de trânsito para a CNH, as placas de\n"
                        "sinalização, o Código de Trânsito Brasileiro e o estudo.\n\n"
                        "  -h, --help     mostra esta ajuda e termina\n"
                        "  -v, --version  mostra a versão e termina\n");
            return 0;
        }
    }
    return std::nullopt;
}
} // namespace

int Startup::run(int argc, char **argv)
{
    if (const std::optional<int> answered = answerOption(argc, argv))
        return *answered;
    QElapsedTimer started;
    started.start();
    TApplication app(argc, argv);
    static MessageBoxDialogs boxes;
    Dialogs::setDefault(&boxes);
    static ConsoleDialogs console;
    if (qEnvironmentVariableIntValue("QUELVADO_UNATTENDED") == 1)
        Dialogs::install(&console);

    // One copy at a time: the running copy holds a lock on a file of the user's runtime folder.
    // The system releases it when that copy ends, however it ends. When no lock can be had at all
    // the program starts anyway rather than refusing for good.
    InstanceLock lock;
    if (lock.acquire(instanceLockPath()) == InstanceLock::Result::HeldByAnother) {
        Dialogs::information(secondCopyText);
        return 0;
    }

    configureApplication(app);
    // An older study history is migrated off the windows' thread, behind a progress box.
    StudyHistory::setRunner(StudyWindow::runWithProgress);
    // The main window first; the other five, which open only on request, once it has painted (or
    // as soon as one of them is asked for).
    createMainWindow();
    AppWindows::setMaker(&createOtherWindows);
    QWidget *main = AppWindows::get(AppWindow::Topo);
    const bool benchmark = qEnvironmentVariableIntValue("QUELVADO_EXIT_AFTER_FIRST_PAINT") == 1;
    const AfterFirstPaint painted(main, [main, benchmark, started] {
        if (benchmark) {
            reportFirstPaint(started);
            QCoreApplication::exit(0);
            return;
        }
        createOtherWindows();
        // What a kill during a write of the settings left behind (files over ten minutes old):
        // nothing writes the settings before the windows are up.
        SettingsFile::removeLeftovers(SettingsFile::path());
        // An exam left running by the last run may be continued.
        guard([main] { static_cast<TFormTopo *>(main)->ofereceProvaEmAndamento(); })();
    });
    main->show();
    const int code = QApplication::exec();
    destroyWindows();
    return code;
}
