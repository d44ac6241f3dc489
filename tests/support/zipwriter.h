// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing zip archives byte by byte, for what the real tools never write: stored members with the
// sizes given in the local header, after the data or in zip64 data descriptors, odd central
// directory fields, comments and prefixes.

#include <QByteArray>
#include <QList>

// value as `bytes` bytes, least significant first.
QByteArray le(quint64 value, int bytes);

constexpr quint16 dosDate(int y, int m, int d)
{
    return static_cast<quint16>((y - 1980) << 9 | m << 5 | d);
}
constexpr quint16 dosTime(int h, int m, int s)
{
    return static_cast<quint16>(h << 11 | m << 5 | s / 2);
}

struct ZipMember {
    QByteArray name;
    QByteArray data;
    // Known: sizes in the local header. Descriptor: sizes 0, flag bit 3 and a data descriptor
    // after the data. Zip64Descriptor: sizes 0xFFFFFFFF and a 24-byte data descriptor.
    enum { Known, Descriptor, Zip64Descriptor } sizes = Known;
    quint16 date = dosDate(2023, 5, 17);
    quint16 time = dosTime(10, 20, 30);
    QByteArray centralExtra{};
    QByteArray centralComment{};
    qint64 centralUncompressed = -1, centralCompressed = -1; // -1: the data's length
};

// A stored archive: prefix, local headers with their data, central directory, end record.
QByteArray writeZip(const QList<ZipMember> &members, const QByteArray &comment = {},
                    const QByteArray &prefix = {});
