// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The traffic code reader (Google Benchmark, offscreen): loading cnt.rtf into the view against
// reading the file and converting it to QString; a chapter jump; the find dialog's full search
// without a match against QString::indexOf over the same plain text.

#include "benchutil.h"
#include "collector.h"

#include "codereader/formcodigo.h"
#include "codereader/linemodel.h"
#include "codereader/rtfreader.h"
#include "common/programfolder.h"

#include <QApplication>
#include <QComboBox>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>

namespace {

const QString kFolder = QStringLiteral(QUELVADO_BIN_DIR);

QByteArray cntBytes()
{
    QFile f(kFolder + QStringLiteral("/cnt.rtf"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const LineModel &cntText()
{
    static const LineModel text = [] {
        QStringList lines;
        for (const RtfLine &line : RtfReader::read(cntBytes()).lines)
            lines << line.text;
        return LineModel(lines);
    }();
    return text;
}

const QString kMissing = QStringLiteral("zzqx"); // in no line

void readBaseline(benchmark::State &state)
{
    for (auto _ : state) {
        QFile f(kFolder + QStringLiteral("/cnt.rtf"));
        f.open(QIODevice::ReadOnly);
        QString text = QString::fromLatin1(f.readAll());
        benchmark::DoNotOptimize(text);
    }
}

void parse(benchmark::State &state)
{
    const QByteArray bytes = cntBytes();
    for (auto _ : state)
        benchmark::DoNotOptimize(RtfReader::read(bytes));
}

void loadIntoView(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto form = std::make_unique<TFormCodigo>();
        form->show();
        QApplication::processEvents();
        state.ResumeTiming();
        form->BBAbrirCodigoClick();
        QApplication::processEvents(); // the view lays out and paints its first page
        state.PauseTiming();
        form.reset();
        state.ResumeTiming();
    }
}

void chapterJump(benchmark::State &state)
{
    TFormCodigo form;
    form.show();
    form.BBAbrirCodigoClick();
    QApplication::processEvents();
    int index = 0;
    for (auto _ : state) {
        index = (index + 7) % 21; // far apart, back and forth
        form.ComboBox1->setCurrentIndex(index);
        form.ComboBox1Change();
        QApplication::processEvents();
    }
}

void indexOfBaseline(benchmark::State &state)
{
    const QString &plain = cntText().plainText();
    for (auto _ : state)
        benchmark::DoNotOptimize(plain.indexOf(kMissing));
}

void findNoMatch(benchmark::State &state)
{
    const LineModel &text = cntText();
    (void)text.upperAsciiText(); // made once, at the first search
    for (auto _ : state)
        benchmark::DoNotOptimize(CodeSearch::findNext(text, 0, kMissing, false, false));
}

void findNoMatchMatchCase(benchmark::State &state)
{
    const LineModel &text = cntText();
    for (auto _ : state)
        benchmark::DoNotOptimize(CodeSearch::findNext(text, 0, kMissing, true, false));
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ProgramFolder::set(kFolder);
    if (cntBytes().isEmpty())
        return std::fprintf(stderr, "cnt.rtf is not in %s\n", qPrintable(kFolder)), 1;
    benchmark::RegisterBenchmark("read and convert cnt.rtf", readBaseline)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("parse cnt.rtf", parse)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("load cnt.rtf into the view", loadIntoView)
        ->Unit(benchmark::kMicrosecond)
        ->Iterations(15);
    benchmark::RegisterBenchmark("chapter jump", chapterJump)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("QString::indexOf", indexOfBaseline)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("find without a match", findNoMatch)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("find without a match, match case", findNoMatchMatchCase)
        ->Unit(benchmark::kMicrosecond);
    benchmark::Initialize(&argc, argv);
    Bench::Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    auto &t = collector.us;
    const double read = t["read and convert cnt.rtf"], load = t["load cnt.rtf into the view"];
    const double base = t["QString::indexOf"], find = t["find without a match"];
    const double findCase = t["find without a match, match case"], jump = t["chapter jump"];
    const auto ms = [](double us) { return Bench::ms(us / 1000); };
    std::printf("parse alone: %s\n", qPrintable(ms(t["parse cnt.rtf"])));
    Bench::row("loading cnt.rtf into the view", ms(load), QStringLiteral("read + QString ") + ms(read),
               load / read, "<= 10 x and < 60 ms", load / read <= 10 && load < 60000);
    Bench::row("chapter jump", ms(jump), QStringLiteral("-"), -1, "<= 2 ms", jump <= 2000);
    Bench::row("full find without a match", ms(find), QStringLiteral("QString::indexOf ") + ms(base),
               find / base, "<= 3 x", find / base <= 3);
    Bench::row("full find without a match (match case)", ms(findCase),
               QStringLiteral("QString::indexOf ") + ms(base), findCase / base, "<= 3 x",
               findCase / base <= 3);
    return 0;
}
