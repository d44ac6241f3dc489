// snapshots [FOLDER]: renders every window of the program (and each page of the exam window) to
// FOLDER/<window>.png, by default ./snapshots. Run with QT_QPA_PLATFORM=offscreen for no display.

#include "shell/formtopo.h"
#include "shell/startup.h"

#include "codereader/formcodigo.h"
#include "common/appwindows.h"
#include "common/dialogs.h"
#include "common/programfolder.h"
#include "download/formdownload.h"
#include "exam/formprova.h"
#include "signs/formdados.h"
#include "signs/formplacas.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>

#include <cstdio>

namespace {
bool save(QWidget *w, const QString &folder, const QString &name)
{
    w->show();
    QTest::qWait(50);
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
    const bool ok = w->grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}
} // namespace

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    static ConsoleDialogs console;
    Dialogs::install(&console);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("snapshots");
    QDir().mkpath(folder);
    ProgramFolder::set(QCoreApplication::applicationDirPath());
    Startup::configureApplication(app);
    Startup::createWindows();

    bool ok = true;
    FormTopo->setWindowState(Qt::WindowNoState);
    FormTopo->resize(1024, 360);
    ok &= save(FormTopo, folder, QStringLiteral("formtopo"));
    // The selection page, then an exam of signs (question 201 shows a sign), then its sheet.
    FormProva->showSelectionPage();
    ok &= save(FormProva, folder, QStringLiteral("formprova-selecao"));
    FormProva->RadioItems[10]->setChecked(true);
    FormProva->BitBtn1->click();
    FormProva->EditResposta->setText(QStringLiteral("C"));
    ok &= save(FormProva, folder, QStringLiteral("formprova-prova"));
    FormProva->showSelectionPage();
    FormProva->RadioItems[6]->setChecked(true); // a block whose 30 questions are all written
    FormProva->BitBtn1->click();
    for (int i = 0; i < 30; ++i) {
        FormProva->AnswerButtons[i % 5]->click();
        FormProva->BBProximo->click();
    }
    FormProva->BBFinalizar->click();
    FormProva->BBCorrigir->click();
    ok &= save(FormProva, folder, QStringLiteral("formprova-gabarito"));
    ok &= save(FormPlacas, folder, QStringLiteral("formplacas"));
    ok &= save(FormDados, folder, QStringLiteral("formdados"));
    ok &= save(FormCodigo, folder, QStringLiteral("formcodigo"));
    ok &= save(FormDownload, folder, QStringLiteral("formdownload"));
    Startup::destroyWindows();
    return ok ? 0 : 1;
}
