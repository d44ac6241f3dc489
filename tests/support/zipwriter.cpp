// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "zipwriter.h"

QByteArray le(quint64 value, int bytes)
{
    QByteArray out;
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

// A stored archive: prefix, local headers with their data, central directory, end record.
QByteArray writeZip(const QList<ZipMember> &members, const QByteArray &comment, const QByteArray &prefix)
{
    QByteArray out = prefix;
    QList<qint64> offsets;
    for (const ZipMember &m : members) {
        offsets << out.size();
        const quint32 local = m.sizes == ZipMember::Known        ? m.data.size()
                              : m.sizes == ZipMember::Descriptor ? 0
                                                                 : 0xFFFFFFFF;
        out += "PK\x03\x04" + le(20, 2) + le(m.sizes == ZipMember::Known ? 0 : 8, 2) + le(0, 2) +
               le(m.time, 2) + le(m.date, 2) + le(0, 4) + le(local, 4) + le(local, 4) + le(m.name.size(), 2) +
               le(0, 2) + m.name + m.data;
        if (m.sizes != ZipMember::Known) {
            const int width = m.sizes == ZipMember::Zip64Descriptor ? 8 : 4;
            out += "PK\x07\x08" + le(0, 4) + le(m.data.size(), width) + le(m.data.size(), width);
        }
    }
    const qint64 directory = out.size();
    for (qsizetype i = 0; i < members.size(); ++i) {
        const ZipMember &m = members[i];
        const auto size = [&m](qint64 given) { return le(given >= 0 ? given : m.data.size(), 4); };
        out += "PK\x01\x02" + le(20, 2) + le(20, 2) + le(0, 4) + le(m.time, 2) + le(m.date, 2) + le(0, 4) +
               size(m.centralCompressed) + size(m.centralUncompressed) + le(m.name.size(), 2) +
               le(m.centralExtra.size(), 2) + le(m.centralComment.size(), 2) + le(0, 8) + le(offsets[i], 4) +
               m.name + m.centralExtra + m.centralComment;
    }
    return out + "PK\x05\x06" + le(0, 4) + le(members.size(), 2) + le(members.size(), 2) +
           le(out.size() - directory, 4) + le(directory, 4) + le(comment.size(), 2) + comment;
}
