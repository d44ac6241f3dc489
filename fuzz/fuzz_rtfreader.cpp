// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// Fuzzes the traffic code's rich-text reader (cnt.rtf is outside bytes: any file of that name beside
// the program is read) and the line/offset model built from what it reads.

#include "codereader/linemodel.h"
#include "codereader/rtfreader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const RtfDocument doc = RtfReader::read(bytes);

    qsizetype characters = 0;
    QStringList lines;
    for (const RtfLine &line : doc.lines) {
        // The lines hold no break and no control character but the tab; bold runs lie inside them.
        for (const QChar c : line.text)
            if ((c.unicode() < 0x20 && c != u'\t') || c == QChar::ParagraphSeparator ||
                c == QChar::LineSeparator)
                std::abort();
        qsizetype end = 0;
        for (const RtfSpan &span : line.bold) {
            if (span.length <= 0 || span.start < end || span.start + span.length > line.text.size())
                std::abort();
            end = span.start + span.length;
        }
        characters += line.text.size();
        lines.append(line.text);
    }
    // Never more characters or lines than there were bytes.
    if (characters > static_cast<qsizetype>(size) || doc.lines.size() > static_cast<qsizetype>(size))
        std::abort();

    // Offsets and view positions agree, and the searches stay inside the text.
    const LineModel model(lines);
    const qsizetype total = model.lineStart(model.lineCount());
    for (qsizetype offset : {qsizetype(0), total / 3, total / 2, total})
        if (model.fromViewPosition(model.toViewPosition(offset)) > offset)
            std::abort();
    for (int chapter = -1; chapter <= CodeSearch::kChapters; ++chapter)
        if (const auto m = CodeSearch::findChapter(model, chapter); m && m->start + m->length > total)
            std::abort();
    if (!lines.isEmpty()) {
        const QString word = lines.first().left(3);
        for (bool matchCase : {false, true})
            for (bool wholeWord : {false, true})
                if (const auto m = CodeSearch::findNext(model, total / 4, word, matchCase, wholeWord);
                    m && m->start + m->length > total)
                    std::abort();
    }
    return 0;
}
