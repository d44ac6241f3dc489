// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// rtf2text: prints the plain text the traffic code reader shows for a rich-text file (or for any
// other file, read as plain text the way the reader does), its lines separated by CR LF exactly as
// the reader counts offsets; nothing follows the last line.
//
//   rtf2text [--cp1252] [--lines] file.rtf|-
//     --cp1252  write code page 1252 (as cnt.rtf holds its text) instead of UTF-8
//     --lines   before each line, its offset (CR LF counted as two) and a tab
//     -         read standard input
//
// Exit status: 0 printed, 1 wrong use, 2 the file could not be read.

#include "codereader/linemodel.h"
#include "codereader/rtfreader.h"
#include "common/cp1252.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool codePage = args.removeAll(QStringLiteral("--cp1252")) > 0;
    const bool offsets = args.removeAll(QStringLiteral("--lines")) > 0;
    if (args.size() != 1 ||
        (args.first().startsWith(QLatin1Char('-')) && args.first() != QLatin1String("-"))) {
        std::fputs("usage: rtf2text [--cp1252] [--lines] file.rtf|-\n", stderr);
        return 1;
    }
    QFile file;
    const bool opened = args.first() == QLatin1String("-")
                            ? file.open(stdin, QIODevice::ReadOnly)
                            : (file.setFileName(args.first()), file.open(QIODevice::ReadOnly));
    if (!opened) {
        std::fprintf(stderr, "rtf2text: %s: %s\n", qPrintable(args.first()), qPrintable(file.errorString()));
        return 2;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        std::fprintf(stderr, "rtf2text: %s: %s\n", qPrintable(args.first()), qPrintable(file.errorString()));
        return 2;
    }

    const RtfDocument doc = RtfReader::read(bytes);
    QStringList lines;
    for (const RtfLine &line : doc.lines)
        lines << line.text;
    const LineModel model(lines);
    QString text;
    for (qsizetype i = 0; i < model.lineCount(); ++i) {
        if (i > 0)
            text += QStringLiteral("\r\n");
        if (offsets)
            text += QString::number(model.lineStart(i)) + QLatin1Char('\t');
        text += model.lines()[i];
    }
    const QByteArray out =
        codePage ? QByteArray::fromStdString(cp1252::fromUtf8(text.toStdString())) : text.toUtf8();
    std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stdout);
    return 0;
}
