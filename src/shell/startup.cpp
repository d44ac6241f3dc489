#include "startup.h"

#include "formtopo.h"
#include "helpwindow.h"

#include "codereader/formcodigo.h"
#include "common/appwindows.h"
#include "common/desktop.h"
#include "common/dialogs.h"
#include "common/errordisplay.h"
#include "common/hints.h"
#include "download/formdownload.h"
#include "exam/formprova.h"
#include "signs/formdados.h"
#include "signs/formplacas.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QTimer>

#include <cstdio>
#include <stdexcept>

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
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = QStringLiteral("default");
    return QDir::tempPath() + QStringLiteral("/quelvado-") + user + QStringLiteral(".lock");
}

void Startup::configureApplication(QApplication &app)
{
    app.setApplicationName(QStringLiteral("Quelvado"));
    // The title names the program in message boxes. It is not the application's display name,
    // which the window system would append to every window's caption.
    Dialogs::setApplicationTitle(applicationTitle);
    app.setQuitOnLastWindowClosed(false);
    if (!HintTracker::instance())
        app.installEventFilter(new HintTracker(&app));
    SystemDesktop::setHelpViewer(&THelpWindow::open);
}

void Startup::createWindows()
{
    FormTopo = new TFormTopo;
    AppWindows::set(AppWindow::Topo, FormTopo);
    FormProva = new TFormProva(nullptr, TFormProva::Construction::Deferred);
    AppWindows::set(AppWindow::Prova, FormProva);
    FormPlacas = new TFormPlacas(nullptr, TFormPlacas::Construction::Deferred);
    AppWindows::set(AppWindow::Placas, FormPlacas);
    FormDados = new TFormDados(nullptr, TFormDados::Construction::Deferred);
    AppWindows::set(AppWindow::Dados, FormDados);
    FormCodigo = new TFormCodigo(nullptr, TFormCodigo::Construction::Deferred);
    AppWindows::set(AppWindow::Codigo, FormCodigo);
    FormDownload = new TFormDownload(nullptr, TFormDownload::Construction::Deferred);
    AppWindows::set(AppWindow::Download, FormDownload);
}

void Startup::destroyWindows()
{
    delete FormDownload;
    FormDownload = nullptr;
    delete FormCodigo;
    FormCodigo = nullptr;
    delete FormDados;
    FormDados = nullptr;
    delete FormPlacas;
    FormPlacas = nullptr;
    delete FormProva;
    FormProva = nullptr;
    delete FormTopo;
    FormTopo = nullptr;
    for (AppWindow w : {AppWindow::Topo, AppWindow::Prova, AppWindow::Placas, AppWindow::Dados,
                        AppWindow::Codigo, AppWindow::Download})
        AppWindows::set(w, nullptr);
}

namespace {
// For the start-up benchmark: after the main window's first paint, print the time since the
// process started and the resident memory, then end.
class FirstPaintProbe : public QObject {
public:
    explicit FirstPaintProbe(QElapsedTimer started) : m_started(started) {}
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            QTimer::singleShot(0, [this] {
                long rssKb = 0;
                QFile status(QStringLiteral("/proc/self/status"));
                if (status.open(QIODevice::ReadOnly)) {
                    for (const QByteArray &line : status.readAll().split('\n'))
                        if (line.startsWith("VmRSS:"))
                            rssKb = line.mid(6).trimmed().split(' ').value(0).toLong();
                }
                std::printf("first-paint-ms %lld rss-kb %ld\n", static_cast<long long>(m_started.elapsed()),
                            rssKb);
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    QElapsedTimer m_started;
    bool m_done = false;
};
} // namespace

int Startup::run(int argc, char **argv)
{
    QElapsedTimer started;
    started.start();
    TApplication app(argc, argv);
    static ConsoleDialogs console;
    if (qEnvironmentVariableIntValue("QUELVADO_UNATTENDED") == 1)
        Dialogs::install(&console);

    // One copy at a time. The lock names the owning process, so a copy that crashed leaves a
    // stale lock that the next start takes over.
    QLockFile lock(instanceLockPath());
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0)) {
        Dialogs::information(secondCopyText);
        return 0;
    }

    configureApplication(app);
    createWindows();

    FirstPaintProbe probe(started);
    if (qEnvironmentVariableIntValue("QUELVADO_EXIT_AFTER_FIRST_PAINT") == 1)
        FormTopo->installEventFilter(&probe);

    FormTopo->show();
    const int code = app.exec();
    FormTopo->removeEventFilter(&probe);
    destroyWindows();
    return code;
}
