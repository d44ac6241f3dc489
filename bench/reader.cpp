// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// The traffic code reader (offscreen): loading cnt.rtf into the view, from the button to the view's
// first paint, against the same text loaded into a bare QTextEdit (same size, fonts, margins and
// bold runs: what any view of the text costs) and, for reference, against reading the file and
// converting it to QString; opening the window as the program makes it (controls built when first
// shown) to its first paint; then (Google Benchmark) a chapter jump and the find dialog's full
// search without a match against QString::indexOf over the same plain text.
//
//   bench_reader [ROUNDS] [Google Benchmark options]   (ROUNDS of the load, default 31)

#include "benchutil.h"
#include "collector.h"

#include "codereader/formcodigo.h"
#include "codereader/linemodel.h"
#include "codereader/rtfreader.h"
#include "common/programfolder.h"
#include "common/windowkit.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

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

void parse(benchmark::State &state)
{
    const QByteArray bytes = cntBytes();
    for (auto _ : state)
        benchmark::DoNotOptimize(RtfReader::read(bytes));
}

// Counts the paint events of a widget.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget *w) { w->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Runs the event loop until watch has seen a paint; the milliseconds of clock then.
double untilPainted(const PaintWatch &watch, const QElapsedTimer &clock)
{
    while (watch.paints == 0)
        QApplication::processEvents();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

// Shows window and runs the event loop until view has painted and what earlier rounds left to
// delete is gone, so that the time measured next is the load's alone.
void showAndSettle(QWidget *window, QWidget *view)
{
    PaintWatch shown(view);
    window->show();
    QElapsedTimer clock;
    clock.start();
    untilPainted(shown, clock);
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The reader: " Abrir arquivo" in a window already shown, to the view's first paint.
double loadIntoView()
{
    TFormCodigo form;
    form.ensureControls();
    showAndSettle(&form, form.RichEdit->viewport());
    PaintWatch watch(form.RichEdit->viewport());
    QElapsedTimer clock;
    clock.start();
    form.BBAbrirCodigoClick();
    const double ms = untilPainted(watch, clock);
    if (form.text().lineCount() == 0)
        std::fprintf(stderr, "the reader did not load cnt.rtf\n"), std::exit(1);
    return ms;
}

// A bare QTextEdit of the same size, font, margins and scroll bars, given the same lines, bold runs and
// paragraph spacing, read from the same file, to its first paint: what showing the text costs in
// any view, without the reader's model, checks, list and window.
double loadIntoBareView()
{
    QTextEdit edit;
    edit.resize(692, 264);
    edit.setReadOnly(true);
    edit.setLineWrapMode(QTextEdit::NoWrap);
    // Scroll bars always shown, as in the reader: one that comes and goes lays the text out again.
    edit.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit.setFont(WindowKit::font(13, false));
    edit.document()->setDocumentMargin(6);
    showAndSettle(&edit, edit.viewport());
    PaintWatch watch(edit.viewport());
    QElapsedTimer clock;
    clock.start();
    QFile f(kFolder + QStringLiteral("/cnt.rtf"));
    if (!f.open(QIODevice::ReadOnly))
        std::exit(1);
    const RtfDocument doc = RtfReader::read(f.readAll());
    auto *document = new QTextDocument(&edit);
    document->setDefaultFont(edit.document()->defaultFont());
    document->setDocumentMargin(6);
    document->setDefaultTextOption(edit.document()->defaultTextOption());
    document->setUndoRedoEnabled(false);
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    QTextCharFormat plain;
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bool first = true;
    for (const RtfLine &line : doc.lines) {
        QTextBlockFormat block;
        block.setTopMargin(line.spaceBefore / 15.0);
        block.setBottomMargin(line.spaceAfter / 15.0);
        if (first)
            cursor.setBlockFormat(block);
        else
            cursor.insertBlock(block, plain);
        first = false;
        qsizetype at = 0;
        for (const RtfSpan &span : line.bold) {
            cursor.insertText(line.text.mid(at, span.start - at), plain);
            cursor.insertText(line.text.mid(span.start, span.length), bold);
            at = span.start + span.length;
        }
        cursor.insertText(line.text.mid(at), plain);
    }
    cursor.endEditBlock();
    edit.setDocument(document);
    return untilPainted(watch, clock);
}

// The window made as at start-up (its controls a moment later) and shown: to its first paint.
double openWindow()
{
    TFormCodigo form(nullptr, TFormCodigo::Construction::Deferred);
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    PaintWatch watch(&form);
    QElapsedTimer clock;
    clock.start();
    form.show();
    return untilPainted(watch, clock);
}

double readAndConvert()
{
    QElapsedTimer clock;
    clock.start();
    QFile f(kFolder + QStringLiteral("/cnt.rtf"));
    if (!f.open(QIODevice::ReadOnly))
        std::exit(1);
    const QString text = QString::fromLatin1(f.readAll());
    benchmark::DoNotOptimize(text);
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
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
    int rounds = 31;
    if (argc > 1 && argv[1][0] != '-') {
        rounds = std::max(3, std::atoi(argv[1]));
        --argc, ++argv;
    }
    // The loads alternate, so that a machine busy for a while slows both alike; the ratio is the
    // median of each round's own ratio.
    for (int warm = 0; warm < 2; ++warm)
        loadIntoView(), loadIntoBareView(), readAndConvert(), openWindow();
    std::vector<double> view, bare, read, toBare, toRead, open;
    for (int i = 0; i < rounds; ++i) {
        open.push_back(openWindow());
        view.push_back(loadIntoView());
        bare.push_back(loadIntoBareView());
        read.push_back(readAndConvert());
        toBare.push_back(view.back() / bare.back());
        toRead.push_back(view.back() / read.back());
    }
    const double load = Bench::median(view), bareLoad = Bench::median(bare);
    const double ratio = Bench::median(toBare);
    const double opening = Bench::median(open);
    std::printf("load into the view, rounds %d (median): reader %.2f ms, bare QTextEdit %.2f ms, read + "
                "QString %.3f ms; opening the window %.2f ms\n",
                rounds, load, bareLoad, Bench::median(read), opening);

    benchmark::RegisterBenchmark("parse cnt.rtf", parse)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("chapter jump", chapterJump)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("QString::indexOf", indexOfBaseline)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("find without a match", findNoMatch)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("find without a match, match case", findNoMatchMatchCase)
        ->Unit(benchmark::kMicrosecond);
    benchmark::Initialize(&argc, argv);
    Bench::Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    auto &t = collector.us;
    const double base = t["QString::indexOf"], find = t["find without a match"];
    const double findCase = t["find without a match, match case"], jump = t["chapter jump"];
    const auto ms = [](double us) { return Bench::ms(us / 1000); };
    std::printf("parse alone: %s\n", qPrintable(ms(t["parse cnt.rtf"])));
    Bench::row("loading cnt.rtf into the view, to its first paint", Bench::ms(load),
               QStringLiteral("bare QTextEdit ") + Bench::ms(bareLoad), ratio, "<= 1.2 x and < 50 ms",
               ratio <= 1.2 && load < 50);
    Bench::row("opening the reader window, to its first paint", Bench::ms(opening), QStringLiteral("-"), -1,
               "< 50 ms", opening < 50);
    Bench::referenceRow("loading cnt.rtf into the view (reference)", Bench::ms(load),
                        QStringLiteral("read + QString ") + Bench::ms(Bench::median(read)),
                        Bench::median(toRead));
    Bench::row("chapter jump", ms(jump), QStringLiteral("-"), -1, "<= 2 ms", jump <= 2000);
    Bench::row("full find without a match", ms(find), QStringLiteral("QString::indexOf ") + ms(base),
               find / base, "<= 3 x", find / base <= 3);
    Bench::row("full find without a match (match case)", ms(findCase),
               QStringLiteral("QString::indexOf ") + ms(base), findCase / base, "<= 3 x",
               findCase / base <= 3);
    return 0;
}
