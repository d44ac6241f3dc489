// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// Reading aloud: for questions of the bank as the exam page reads them (question and five
// alternatives), the time from the press to the first block of samples ready for the sound
// output, and the time to synthesise the whole question against the length of its speech.
//
//   bench_speech [QUESTIONS]   (default 40, spread over the bank)

#include "benchutil.h"

#include "common/espeakvoice.h"
#include "common/speechtext.h"
#include "exam/questionbank.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int wanted = argc > 1 ? std::max(1, std::atoi(argv[1])) : 40;
    if (const QString problem = ESpeakVoice::problem(); !problem.isEmpty())
        return std::fprintf(stderr, "%s\n", qPrintable(problem)), 1;
    const int rate = ESpeakVoice::sampleRate();
    const QList<StoredQuestion> &all = QuestionBank::instance().questions();
    const qsizetype step = std::max<qsizetype>(1, all.size() / wanted);
    std::vector<double> first, ratio, spoken, made;
    for (qsizetype i = 0; i < all.size(); i += step) {
        const StoredQuestion &q = all[i];
        QStringList alternatives;
        for (int k = 0; k < q.alternativeCount(); ++k)
            alternatives << q.text(QuestionKind::AlternativeA + k);
        QElapsedTimer timer;
        timer.start();
        // What "Ouvir" does before the voice starts: the text as it is said.
        const QString text = SpeechText::questionReading(q.text(QuestionKind::Text), alternatives,
                                                         !q.text(QuestionKind::Picture).isEmpty());
        double firstMs = -1;
        qint64 samples = 0;
        ESpeakVoice::synthesise(text, ESpeakVoice::Speed::Normal, [&](const qint16 *, int count) {
            if (firstMs < 0)
                firstMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
            samples += count;
            return true;
        });
        const double totalMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        const double speechMs = 1000.0 * static_cast<double>(samples) / rate;
        first.push_back(firstMs);
        made.push_back(totalMs);
        spoken.push_back(speechMs);
        ratio.push_back(totalMs / speechMs);
    }
    const double firstMedian = Bench::median(first);
    const double firstWorst = *std::max_element(first.begin(), first.end());
    Bench::row("Ouvir: first samples of a question (worst)",
               QStringLiteral("%1 ms").arg(firstWorst, 0, 'f', 1),
               QStringLiteral("median %1 ms").arg(firstMedian, 0, 'f', 1), firstWorst / 300.0, "<= 300 ms",
               firstWorst <= 300);
    const double ratioMedian = Bench::median(ratio);
    const double ratioWorst = *std::max_element(ratio.begin(), ratio.end());
    Bench::row("Synthesis of a question against its speech (worst)",
               QStringLiteral("median %1 ms made").arg(Bench::median(made), 0, 'f', 0),
               QStringLiteral("median %1 ms spoken, median ratio %2")
                   .arg(Bench::median(spoken), 0, 'f', 0)
                   .arg(ratioMedian, 0, 'f', 3),
               ratioWorst, "<= 0.2 x", ratioWorst <= 0.2);
    return 0;
}
