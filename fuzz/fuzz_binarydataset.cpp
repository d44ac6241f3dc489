// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// Fuzzes the table store with arbitrary file contents. Each input is written to a temporary file
// and opened: first for reading only, walking every record both ways and reading every field,
// then (when it opened) for writing, with an edit, a shuffle, a delete and an append. Checked on
// the way: a failed open and a read-only pass leave the file byte for byte as it was, every walk
// ends, and a file the store has changed and closed opens again.

#include "common/clock.h"
#include "common/dialogs.h"
#include "common/errors.h"
#include "store/binarydataset.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {
class SilentDialogs : public Dialogs {
public:
    void message(Icon, const QString &, const QString &) override {}
    bool askYesNo(Icon, const QString &, const QString &) override { return false; }
};

class FixedClock : public Clock {
public:
    QDateTime localNow() const override { return QDateTime(QDate(2026, 1, 1), QTime(8, 0)); }
    QTime utcTimeOfDay() const override { return QTime(11, 22, 33, 444); }
};

std::string g_path;

void removeTempFile()
{
    ::unlink(g_path.c_str());
}

void setUp()
{
    static SilentDialogs dialogs;
    static FixedClock clock;
    Dialogs::install(&dialogs);
    Clock::install(&clock);
    const char *dir = std::getenv("TMPDIR");
    std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/fuzz_binarydataset_XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        std::abort();
    ::close(fd);
    g_path = pattern;
    std::atexit(removeTempFile);
}

std::string fileBytes()
{
    std::ifstream in(g_path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void fail(const char *what)
{
    std::fprintf(stderr, "fuzz_binarydataset: %s\n", what);
    std::abort();
}

void readAllFields(TBinaryDataSet &store)
{
    for (int k = 0; k < store.FieldCount(); ++k) {
        TField &f = store.Fields(k);
        (void)f.Value();
        (void)f.AsString();
        try {
            (void)f.AsInteger();
        } catch (const EConvertError &) {
        }
        try {
            (void)f.AsDateTime();
        } catch (const EConvertError &) {
        }
    }
}

// Walks forward and backward over every record; a walk longer than the file has records hangs.
void walk(TBinaryDataSet &store)
{
    const std::int64_t limit = static_cast<std::int64_t>(store.RecordCount()) + 2;
    std::int64_t steps = 0;
    for (store.First(); !store.Eof(); store.Next()) {
        readAllFields(store);
        (void)store.RecNo();
        if (++steps > limit)
            fail("forward walk does not end");
    }
    steps = 0;
    for (store.Last(); !store.Bof(); store.Prior()) {
        readAllFields(store);
        if (++steps > limit)
            fail("backward walk does not end");
    }
    store.SetRecNo(store.RecordCount());
    store.SetRecNo(1);
    if (const auto bookmark = store.GetBookmark())
        store.GotoBookmark(*bookmark);
    try {
        store.GotoBookmark(store.RecordCount());
    } catch (const EBinaryDataSetError &) {
    }
}

void change(TBinaryDataSet &store)
{
    store.First();
    store.Edit();
    for (int k = 0; k < store.FieldCount(); ++k) {
        TField &f = store.Fields(k);
        try {
            f.SetAsString(f.AsString());
        } catch (const EConvertError &) {
        }
    }
    store.Post();
    store.ShuffleRecords();
    walk(store);
    store.SetRecNo(2);
    if (!store.IsEmpty())
        store.Delete();
    store.Append();
    if (store.FieldCount() > 0) {
        try {
            store.Fields(0).SetAsString(QStringLiteral("42"));
        } catch (const EConvertError &) {
        }
    }
    store.Post();
    walk(store);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (g_path.empty())
        setUp();
    const std::string input(reinterpret_cast<const char *>(data), size);
    {
        std::ofstream out(g_path, std::ios::binary | std::ios::trunc);
        out.write(input.data(), static_cast<std::streamsize>(input.size()));
    }

    bool opened = false;
    {
        TBinaryDataSet store;
        store.SetTableName(QString::fromStdString(g_path));
        store.SetReadOnly(true);
        try {
            store.Open();
            opened = true;
            walk(store);
            store.Close();
        } catch (const Exception &) {
            if (!opened && store.Active())
                fail("store left open after a failed open");
        }
    }
    if (fileBytes() != input)
        fail("reading changed the file");
    if (!opened)
        return 0;

    {
        TBinaryDataSet store;
        store.SetTableName(QString::fromStdString(g_path));
        bool changed = false;
        try {
            store.Open();
            change(store);
            store.Close();
            changed = true;
        } catch (const Exception &) {
        }
        if (store.Active())
            store.Close();
        if (changed) {
            TBinaryDataSet again;
            again.SetTableName(QString::fromStdString(g_path));
            try {
                again.Open();
                walk(again);
                again.Close();
            } catch (const Exception &e) {
                std::fprintf(stderr, "%s\n", e.what());
                fail("a file the store wrote does not open again");
            }
        }
    }
    return 0;
}
