// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// snapshots [FOLDER]: renders every window of the program (and each page of the exam window) to
// FOLDER/<window>.png, by default ./snapshots. Run with QT_QPA_PLATFORM=offscreen for no display.
// The program's clock stands still at a fixed moment, so two runs give the same pictures byte for
// byte (times on the exam pages, today's date in the status bar, the generator's starting state).

#include "shell/formtopo.h"
#include "shell/programwindows.h"
#include "shell/startup.h"

#include "codereader/finddialog.h"
#include "codereader/formcodigo.h"
#include "common/appwindows.h"
#include "common/clock.h"
#include "common/dialogs.h"
#include "common/programfolder.h"
#include "download/formdownload.h"
#include "exam/examtypes.h"
#include "exam/formprova.h"
#include "exam/formrevisao.h"
#include "signs/formdados.h"
#include "signs/formplacas.h"
#include "study/formdesempenho.h"
#include "study/formestudo.h"
#include "study/formprovaatual.h"
#include "study/formprovasanteriores.h"
#include "study/formtreino.h"
#include "study/history.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>

#include <cstdio>

using namespace ProgramWindows;

namespace {
// Tuesday 10 March 2026, 09:30:15 local time; 12:30:15.250 UTC.
class FixedClock : public Clock {
public:
    QDateTime localNow() const override { return QDateTime(QDate(2026, 3, 10), QTime(9, 30, 15)); }
    QTime utcTimeOfDay() const override { return QTime(12, 30, 15, 250); }
};

// A month of study before the fixed moment: sixteen exams of the eighteen types, every few days,
// with results that improve and a weak spot in signs.
void storeSampleHistory()
{
    const QDateTime first(QDate(2026, 2, 7), QTime(19, 0));
    for (int k = 0; k < 16; ++k) {
        HistoryExam exam;
        exam.type = 1 + k % 17;
        exam.start = first.addDays(2 * k).addSecs(600 * (k % 5));
        exam.seconds = 1500 - 30 * k;
        exam.end = exam.start.addSecs(exam.seconds);
        const std::array<int, 30> &numbers = *ExamTypes::fixedList(exam.type);
        for (int i = 0; i < 30; ++i) {
            const int number = numbers[static_cast<std::size_t>(i)];
            const bool signs = (number > 200 && number <= 250) || number > 500;
            // Right unless the position falls in a share of misses that shrinks as weeks go by.
            const int misses = signs ? 14 - k / 2 : 12 - (2 * k) / 3;
            const bool right = (i * 7 + k * 3) % 30 >= misses;
            exam.answers << HistoryAnswer{number, right ? QStringLiteral("A") : QStringLiteral("B"), right,
                                          QString(), -1};
        }
        History::instance().store(exam);
    }
}

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
    static FixedClock clock;
    Clock::install(&clock);
    static ConsoleDialogs console;
    Dialogs::install(&console);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("snapshots");
    QDir().mkpath(folder);
    ProgramFolder::set(QCoreApplication::applicationDirPath());
    // The study windows read a history made here, the same in every run.
    QFile::remove(ProgramFolder::dataFile(QStringLiteral("historico.sqlite")));
    QFile::remove(ProgramFolder::dataFile(QStringLiteral("historico.sqlite-wal")));
    QFile::remove(ProgramFolder::dataFile(QStringLiteral("historico.sqlite-shm")));
    storeSampleHistory();
    Startup::configureApplication(app);
    // The text cursor stays lit instead of blinking, so it looks the same whenever a picture is taken.
    QApplication::setCursorFlashTime(0);
    Startup::createWindows();

    bool ok = true;
    formTopo()->setWindowState(Qt::WindowNoState);
    formTopo()->resize(1024, 360);
    ok &= save(formTopo(), folder, QStringLiteral("formtopo"));
    // The study window and the three it leads to, over the sample history alone.
    formTopo()->RxSBEstudoClick();
    TFormEstudo *estudo = formTopo()->estudo();
    ok &= save(estudo, folder, QStringLiteral("formestudo"));
    estudo->BBDesempenhoClick();
    ok &= save(estudo->desempenho(), folder, QStringLiteral("formdesempenho"));
    estudo->desempenho()->hide();
    estudo->BBErrosClick();
    ok &= save(estudo->treino(), folder, QStringLiteral("formtreino"));
    estudo->treino()->answer(1);
    ok &= save(estudo->treino(), folder, QStringLiteral("formtreino-resposta"));
    estudo->treino()->hide();
    estudo->BBProvaAtualClick();
    TFormProvaAtual *atual = estudo->provaAtual();
    ok &= save(atual, folder, QStringLiteral("formprovaatual"));
    atual->setSorteio(20260310);
    atual->BBIniciarClick();
    atual->chooseAlternative(2);
    ok &= save(atual, folder, QStringLiteral("formprovaatual-prova"));
    atual->hide();
    estudo->BBProvasAnterioresClick();
    ok &= save(estudo->provasAnteriores(), folder, QStringLiteral("formprovasanteriores"));
    estudo->provasAnteriores()->hide();
    estudo->hide();
    // The selection page, then an exam of signs (question 201 shows a sign), then its sheet.
    formProva()->showSelectionPage();
    ok &= save(formProva(), folder, QStringLiteral("formprova-selecao"));
    formProva()->RadioItems[10]->setChecked(true);
    formProva()->BitBtn1->click();
    formProva()->EditResposta->setText(QStringLiteral("C"));
    ok &= save(formProva(), folder, QStringLiteral("formprova-prova"));
    formProva()->showSelectionPage();
    formProva()->RadioItems[6]->setChecked(true); // a block whose 30 questions are all written
    formProva()->BitBtn1->click();
    for (int i = 0; i < 30; ++i) {
        formProva()->AnswerButtons[i % 5]->click();
        formProva()->BBProximo->click();
    }
    formProva()->BBFinalizar->click();
    formProva()->BBCorrigir->click();
    ok &= save(formProva(), folder, QStringLiteral("formprova-gabarito"));
    // The review of that exam at its first position, then at its third (answered wrong).
    formProva()->BBRevisar->click();
    ok &= save(formProva()->Revisao, folder, QStringLiteral("formrevisao"));
    formProva()->Revisao->MostraPosicao(3);
    ok &= save(formProva()->Revisao, folder, QStringLiteral("formrevisao-3"));
    formProva()->Revisao->hide();
    ok &= save(formPlacas(), folder, QStringLiteral("formplacas"));
    ok &= save(formDados(), folder, QStringLiteral("formdados"));
    ok &= save(formCodigo(), folder, QStringLiteral("formcodigo"));
    formCodigo()->BBPesquisar->click();
    ok &= save(formCodigo()->FindDialog, folder, QStringLiteral("finddialog"));
    formCodigo()->FindDialog->hide();
    ok &= save(formDownload(), folder, QStringLiteral("formdownload"));
    formDownload()->hide();
    Startup::destroyWindows();
    return ok ? 0 : 1;
}
