// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// Walks arbitrary bytes as a zip archive. Besides the sanitizers' checks, every listing must obey
// what any input guarantees: each entry came from a central directory record of at least 46 bytes
// whose name lies inside the data, and each name splits back into itself.

#include "download/zip.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    TZip zip;
    zip.LoadFromMemory(bytes);

    qsizetype nameBytes = 0;
    for (qsizetype i = 0; i < zip.Count(); ++i) {
        const QString &name = zip.Name(i);
        nameBytes += name.size() + 46;
        const ZipNameParts parts = TZip::SplitEntryName(name);
        if (parts.folder + parts.file != name)
            std::abort();
        const QDateTime when = TZip::ToQDateTime(zip.Record(i).dateTime);
        if (zip.Record(i).dateTime != 0 && (!when.isValid() || when.date().year() < 1980))
            std::abort();
    }
    if (nameBytes > bytes.size())
        std::abort();

    // Loading again gives the same listing (nothing is carried over from the last walk).
    const QList<ZipEntry> first = zip.Entries();
    zip.LoadFromMemory(bytes);
    if (zip.Entries() != first)
        std::abort();
    return 0;
}
