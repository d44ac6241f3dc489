// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The exam window (Google Benchmark, offscreen): showing a question, "Próxima" and correcting the
// answer sheet, each with the repaint that follows. No baseline: each should take at most 2 ms.

#include "benchutil.h"
#include "collector.h"

#include "common/dialogs.h"
#include "common/programfolder.h"
#include "exam/formprova.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <string>

namespace {

// Every question answered "yes", every message dropped: nothing waits for a person.
class Unattended : public Dialogs {
public:
    void message(Icon, const QString &, const QString &) override {}
    bool askYesNo(Icon, const QString &, const QString &) override { return true; }
};

TFormProva *form = nullptr;

void startExam()
{
    form->showSelectionPage();
    form->RadioItems[0]->setChecked(true);
    form->BitBtn1Click();
    QApplication::processEvents();
}

void showQuestion(benchmark::State &state)
{
    startExam();
    for (auto _ : state) {
        form->MostraQuestao();
        QApplication::processEvents();
    }
}

void next(benchmark::State &state)
{
    startExam();
    for (auto _ : state) {
        if (form->exam().Posicao >= 29) {
            state.PauseTiming();
            startExam();
            state.ResumeTiming();
        }
        form->BBProximoClick();
        QApplication::processEvents();
    }
}

void correct(benchmark::State &state)
{
    startExam();
    for (int i = 0; i < 30; ++i)
        form->BBProximoClick();
    form->FinalizaProva(false);
    QApplication::processEvents();
    for (auto _ : state) {
        form->BBCorrigirClick();
        QApplication::processEvents();
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    ProgramFolder::set(dir.path());
    Unattended dialogs;
    Dialogs::install(&dialogs);
    TFormProva w;
    w.show();
    QApplication::processEvents();
    form = &w;
    benchmark::RegisterBenchmark("show a question", showQuestion)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("next", next)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("correct the sheet", correct)->Unit(benchmark::kMicrosecond);
    benchmark::Initialize(&argc, argv);
    Bench::Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    for (const char *name : {"show a question", "next", "correct the sheet"}) {
        const double us = collector.us[name];
        Bench::row(name, Bench::ms(us / 1000), QStringLiteral("-"), -1, "<= 2 ms", us <= 2000);
    }
    Dialogs::install(nullptr);
    return 0;
}
