// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// A rich text of 8 MB on one line against the same text in lines of about a hundred characters:
// the time to load it into the reader's view and show its first page, and the memory that takes,
// each in a process of its own (offscreen), alternately; medians of RUNS runs. Each process then
// goes on as a person would (the view lays out the rest, a search for a word near the end, word
// wrap on, a chapter chosen) and reports the longest time its event loop went unserved: how long
// the window did not answer.
//
//   bench_bigrtf [RUNS]   (default 3)

#include "benchutil.h"

#include "codereader/finddialog.h"
#include "codereader/formcodigo.h"
#include "common/programfolder.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>

namespace {

constexpr qsizetype kSize = 8000000; // bytes, under the reader's 8 MiB

// The file: a heading, then sentences with a bold word now and then; with lines, a \par after
// about every hundred characters of text.
QByteArray makeRtf(bool lines)
{
    QByteArray out =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0 CAP\\'cdTULO I - DISPOSI\\'c7\\'d5ES PRELIMINARES";
    out += lines ? "\\par\n" : " ";
    const QByteArray sentence = "O tr\\'e2nsito de qualquer natureza nas vias terrestres {\\b abertas} \\'e0 "
                                "circula\\'e7\\'e3o rege-se por este C\\'f3digo. ";
    int n = 0;
    while (out.size() + sentence.size() + 40 < kSize) {
        out += sentence;
        if (lines && ++n > 0)
            out += "\\par\n";
    }
    out += "fim{\\b destaque} final";
    out += QByteArray(kSize - 1 - out.size(), ' ');
    out += '}';
    return out;
}

// The longest gap between the turns of the event loop while it runs: a timer that asks for a turn
// every millisecond notes how long each one took to come.
class StallWatch : public QObject {
public:
    StallWatch()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
        m_clock.start();
        m_timer.start();
    }
    // The longest gap since the last call, in milliseconds; the next one starts now.
    double take()
    {
        tick();
        const double longest = static_cast<double>(m_longest) / 1e6;
        m_longest = 0;
        return longest;
    }

private:
    void tick()
    {
        const qint64 now = m_clock.nsecsElapsed();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
    }
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

// Runs the event loop until the view has laid out the whole text (it does so a step at a time
// after what it shows; the last paragraph then has its lines), at most 60 s.
void settle(QTextEdit *view)
{
    QElapsedTimer total;
    total.start();
    const QTextBlock last = view->document()->lastBlock();
    while (last.layout()->lineCount() == 0 && total.elapsed() < 60000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

int child(const QString &folder)
{
    ProgramFolder::set(folder);
    TFormCodigo form;
    form.show();
    QApplication::processEvents();
    StallWatch stalls;
    QApplication::processEvents();
    const long before = Bench::statusKb("VmRSS");
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
    clear.close();
    (void)stalls.take();
    QElapsedTimer t;
    t.start();
    form.BBAbrirCodigoClick();
    const double loaded = static_cast<double>(t.nsecsElapsed()) / 1e6; // read, parsed, in the document
    QApplication::processEvents();
    form.RichEdit->viewport()->repaint();
    const double ms = static_cast<double>(t.nsecsElapsed()) / 1e6;
    const long kb = Bench::statusKb("VmHWM") - before;
    const double loadStall = stalls.take();

    // The rest, as a person goes on: the view lays out the rest of the text; a search for the last
    // word; word wrap on; the first chapter.
    settle(form.RichEdit);
    double useStall = stalls.take();
    form.setSelection(form.text().lineStart(form.text().lineCount() - 1), 0);
    form.FindDialog->EditLocalizar->setText(QStringLiteral("final"));
    form.FindDialogFind();
    if (form.RichEdit->textCursor().selectedText() != QStringLiteral("final"))
        return std::fprintf(stderr, "the search did not find the last word\n"), 1;
    QApplication::processEvents();
    form.CheckBox1->setChecked(true);
    settle(form.RichEdit);
    form.ComboBox1->setCurrentIndex(0);
    form.ComboBox1Change();
    QApplication::processEvents();
    useStall = std::max(useStall, stalls.take());
    std::printf("%.3f %ld %lld %.3f %.3f %.3f\n", ms, kb, static_cast<long long>(form.text().lineCount()),
                loaded, loadStall, useStall);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--child")
        return child(QString::fromLocal8Bit(argv[2]));
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    QTemporaryDir one, many;
    for (const auto &[dir, lines] : {std::pair{&one, false}, std::pair{&many, true}}) {
        QFile f(dir->filePath(QStringLiteral("cnt.rtf")));
        if (!f.open(QIODevice::WriteOnly) || f.write(makeRtf(lines)) != kSize)
            return std::fprintf(stderr, "cannot write cnt.rtf\n"), 1;
    }
    std::vector<double> ms[2], kb[2], loaded[2], loadStall[2], useStall[2];
    long long lineCount[2] = {0, 0};
    for (int i = 0; i < runs; ++i) {
        for (int k = 0; k < 2; ++k) {
            const QByteArray out =
                Bench::runOutput(QCoreApplication::applicationFilePath(),
                                 {QStringLiteral("--child"), (k == 0 ? one : many).path()});
            const QList<QByteArray> words = out.simplified().split(' ');
            if (words.size() != 6)
                return std::fprintf(stderr, "the load failed: %s\n", out.constData()), 1;
            ms[k].push_back(words[0].toDouble());
            kb[k].push_back(words[1].toDouble());
            lineCount[k] = words[2].toLongLong();
            loaded[k].push_back(words[3].toDouble());
            loadStall[k].push_back(words[4].toDouble());
            useStall[k].push_back(words[5].toDouble());
        }
    }
    const double t1 = Bench::median(ms[0]), tn = Bench::median(ms[1]);
    const double m1 = Bench::median(kb[0]), mn = Bench::median(kb[1]);
    std::printf("read, parsed and put in the document (before the view lays it out): one line %.1f ms, in "
                "lines %.1f ms\n",
                Bench::median(loaded[0]), Bench::median(loaded[1]));
    std::printf("8 MB rich text, runs %d (median): one line (%lld lines) %.1f ms %.1f MB; in lines (%lld "
                "lines) %.1f ms %.1f MB\n",
                runs, lineCount[0], t1, m1 / 1024, lineCount[1], tn, mn / 1024);
    const double s1 = Bench::median(loadStall[0]), sn = Bench::median(loadStall[1]);
    const double u1 = Bench::median(useStall[0]), un = Bench::median(useStall[1]);
    std::printf("longest stall of the event loop (median): loading, one line %.1f ms, in lines %.1f ms; "
                "laying out, searching, wrapping, a chapter: one line %.1f ms, in lines %.1f ms\n",
                s1, sn, u1, un);
    Bench::row("8 MB single-line rich text: time", Bench::ms(t1), QStringLiteral("in lines ") + Bench::ms(tn),
               t1 / tn, "<= 2 x", t1 / tn <= 2);
    Bench::row("8 MB single-line rich text: memory", Bench::mb(m1),
               QStringLiteral("in lines ") + Bench::mb(mn), m1 / mn, "<= 2 x", m1 / mn <= 2);
    const double stall = std::max(s1, u1);
    Bench::row("8 MB single-line rich text: longest stall", Bench::ms(stall),
               QStringLiteral("in lines ") + Bench::ms(std::max(sn, un)), -1, "<= 100 ms", stall <= 100);
    return 0;
}
