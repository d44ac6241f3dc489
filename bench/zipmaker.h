// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writes stored zip archives for the listing benchmarks: members "pasta-K/arquivo-N.txt" with a few
// bytes each and dates spread over the years a DOS date holds, every hundredth member a folder.
// Written as a stream, so two million members need no more memory than ten.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdio>
#include <vector>

namespace ZipMaker {

inline void le(QByteArray &out, quint64 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline bool write(const QString &path, int members)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    struct Central {
        quint32 offset;
        quint16 time, date;
        quint32 size;
    };
    std::vector<Central> central;
    central.reserve(static_cast<size_t>(members));
    auto name = [](int i) {
        char buf[64];
        if (i % 100 == 99)
            std::snprintf(buf, sizeof buf, "pasta-%03d/", i / 100 % 1000);
        else
            std::snprintf(buf, sizeof buf, "pasta-%03d/arquivo-%07d.txt", i / 100 % 1000, i);
        return QByteArray(buf);
    };
    QByteArray out;
    quint64 offset = 0;
    for (int i = 0; i < members; ++i) {
        const QByteArray n = name(i);
        const QByteArray data = n.endsWith('/') ? QByteArray() : QByteArray::number(i) + '\n';
        // Dates from 1980 to 2099, times over the whole day (every third one at midnight).
        const quint16 date = static_cast<quint16>(((i * 7) % 120) << 9 | (1 + i % 12) << 5 | (1 + i % 28));
        const quint16 time = i % 3 == 0 ? 0 : static_cast<quint16>((i % 24) << 11 | (i % 60) << 5 | (i % 30));
        central.push_back({static_cast<quint32>(offset), time, date, static_cast<quint32>(data.size())});
        const qsizetype before = out.size();
        out += "PK\x03\x04";
        le(out, 10, 2);
        le(out, 0, 2);
        le(out, 0, 2);
        le(out, time, 2);
        le(out, date, 2);
        le(out, 0, 4);
        le(out, data.size(), 4);
        le(out, data.size(), 4);
        le(out, n.size(), 2);
        le(out, 0, 2);
        out += n + data;
        offset += static_cast<quint64>(out.size() - before);
        if (out.size() > (1 << 20)) {
            if (f.write(out) != out.size())
                return false;
            out.clear();
        }
    }
    const quint64 directory = offset;
    for (int i = 0; i < members; ++i) {
        const QByteArray n = name(i);
        const Central &c = central[static_cast<size_t>(i)];
        const qsizetype before = out.size();
        out += "PK\x01\x02";
        le(out, 20, 2);
        le(out, 10, 2);
        le(out, 0, 2);
        le(out, 0, 2);
        le(out, c.time, 2);
        le(out, c.date, 2);
        le(out, 0, 4);
        le(out, c.size, 4);
        le(out, c.size, 4);
        le(out, n.size(), 2);
        le(out, 0, 2);
        le(out, 0, 2);
        le(out, 0, 2);
        le(out, 0, 2);
        le(out, 0, 4);
        le(out, c.offset, 4);
        out += n;
        offset += static_cast<quint64>(out.size() - before);
        if (out.size() > (1 << 20)) {
            if (f.write(out) != out.size())
                return false;
            out.clear();
        }
    }
    out += "PK\x05\x06";
    const quint32 count = members > 0xFFFF ? 0xFFFF : static_cast<quint32>(members);
    le(out, 0, 4);
    le(out, count, 2);
    le(out, count, 2);
    le(out, offset - directory, 4);
    le(out, directory, 4);
    le(out, 0, 2);
    return f.write(out) == out.size() && f.flush();
}

} // namespace ZipMaker
