// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// Feeds arbitrary bytes, line by line, as the head of an HTTP response. Besides the sanitizers'
// checks, what any input guarantees: a status is at most three digits (0 when unreadable), a kept
// Content-Length text is part of the input without surrounding blanks, and a Content-Length that
// parses prints back to a number equal to it.

#include "download/httpgetthread.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    HttpResponseHead head;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.sliced(start).indexOf('\n');
        end = end < 0 ? bytes.size() : start + end + 1;
        head.feedLine(bytes.sliced(start, end - start));
        start = end;
    }
    if (head.status() < 0 || head.status() > 999)
        std::abort();
    const QByteArray &length = head.contentLength();
    if (!head.hasContentLength() && !length.isEmpty())
        std::abort();
    if (!length.isEmpty()) {
        if (length.front() == ' ' || length.back() == ' ' || length.front() == '\t' || length.back() == '\t')
            std::abort();
        if (bytes.indexOf(length) < 0)
            std::abort();
    }

    for (const QByteArrayView text : {QByteArrayView(length), bytes}) {
        qint32 value = 0;
        if (parseContentLength(text, &value)) {
            qint32 again = 1;
            if (!parseContentLength(QByteArray::number(value), &again) || again != value)
                std::abort();
        }
    }
    return 0;
}
