// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "examtypes.h"

#include "common/errors.h"

namespace {
using List = std::array<int, ExamTypes::kQuestions>;

struct Item {
    const char *caption;
    int type;
};

constexpr Item kItemTable[ExamTypes::kItems] = {
    {" &1 - Geral", 1},
    {" &2 - Geral", 2},
    {" &3 - Geral", 3},
    {" &4 - Geral", 4},
    {" &5 - Geral", 5},
    {" &6 - Geral", 17},
    {" &7 - Legislação", 6},
    {" &8 - Legislação e Infrações", 7},
    {" &9 - Regras de Circulação", 8},
    {" 1&0 - Regras de Circulação", 9},
    {" 11 - &Sinalização", 10},
    {" 12 - Si&nalização", 16},
    {" 13 - &Direção Defensiva", 11},
    {" 14 - Direção De&fensiva", 12},
    {" 15 - &Primeiros Socorros", 13},
    {" 16 - Mecânica &Básica", 14},
    {" 17 - Cidadania e Meio &Ambiente", 15},
    {" 18 - PROVA PERSONALIZADA", 18},
};

// Types 1 to 5: six cycles over blocks 1, 3, 5, 7 and 9, one question of each block per cycle.
constexpr List kGeral[5] = {
    {2, 101, 201, 301, 401, 1, 102, 202, 302, 402, 3, 103, 203, 303, 403,
     4, 104, 204, 304, 404, 5, 105, 205, 305, 405, 6, 106, 206, 306, 406},
    {7,  107, 207, 307, 407, 8,  108, 208, 308, 408, 9,  109, 209, 309, 409,
     10, 110, 210, 310, 410, 11, 111, 211, 311, 411, 12, 112, 212, 312, 412},
    {13, 113, 213, 313, 413, 14, 114, 214, 314, 414, 15, 115, 215, 315, 415,
     16, 116, 216, 316, 416, 17, 117, 217, 317, 417, 18, 118, 218, 318, 418},
    {19, 119, 219, 319, 419, 20, 120, 220, 320, 420, 21, 121, 221, 321, 421,
     22, 122, 222, 322, 422, 23, 123, 223, 323, 423, 24, 124, 224, 324, 424},
    {25, 125, 225, 325, 425, 26, 126, 226, 326, 426, 27, 127, 227, 327, 427,
     28, 128, 228, 328, 428, 29, 129, 229, 329, 429, 30, 130, 230, 330, 430},
};

// Type 17: cycles over blocks 2, 4, 6, 8, 10 and 11; the third cycle skips block 4.
constexpr List kGeral6 = {51,  151, 251, 351, 451, 501, 52,  152, 252, 352, 452, 502, 53,  253, 353,
                          453, 503, 54,  154, 254, 354, 454, 504, 55,  155, 255, 355, 455, 505, 56};

// Types 6 to 16 ask the first 30 questions of one block in order: the block's first number.
constexpr int kBlockStart[] = {1, 51, 101, 151, 201, 251, 301, 351, 401, 451, 501};

constexpr int kGeral6Type = 17;

const std::array<List, ExamTypes::kFixedTypes> &allLists()
{
    static const std::array<List, ExamTypes::kFixedTypes> lists = [] {
        std::array<List, ExamTypes::kFixedTypes> out{};
        for (int t = 1; t <= 5; ++t)
            out[t - 1] = kGeral[t - 1];
        // Type 6 + k asks block k + 1 (types 6..15 blocks 1..10), type 16 asks block 11.
        for (int type = 6; type <= 16; ++type) {
            const int first = kBlockStart[type - 6];
            for (int i = 0; i < ExamTypes::kQuestions; ++i)
                out[type - 1][i] = first + i;
        }
        out[kGeral6Type - 1] = kGeral6;
        return out;
    }();
    return lists;
}
} // namespace

QString ExamTypes::caption(int item)
{
    if (item < 0 || item >= kItems)
        return {};
    return QString::fromUtf8(kItemTable[item].caption);
}

QString ExamTypes::name(int type)
{
    if (type == kTodayFormat)
        return QStringLiteral("Prova no formato atual");
    for (const Item &item : kItemTable) {
        if (item.type == type)
            return QString::fromUtf8(item.caption).remove(QLatin1Char('&')).trimmed();
    }
    return {};
}

int ExamTypes::typeForItem(int item)
{
    if (item < 0 || item >= kItems)
        return 0;
    return kItemTable[item].type;
}

const std::array<int, ExamTypes::kQuestions> *ExamTypes::fixedList(int type)
{
    if (type < 1 || type > kFixedTypes)
        return nullptr;
    return &allLists()[type - 1];
}

QStringList ExamTypes::defaultPool()
{
    QStringList pool;
    pool.reserve(330);
    for (int first : kBlockStart)
        for (int i = 0; i < kQuestions; ++i)
            pool << QStringLiteral("%1").arg(first + i, 3, 10, QLatin1Char('0'));
    return pool;
}

void ProcurarProva(TExamState &state)
{
    if (state.Posicao < 1 || state.Posicao > ExamTypes::kQuestions)
        return;
    if (const auto *list = ExamTypes::fixedList(state.TipoProva)) {
        state.NumeroQuestao = (*list)[state.Posicao - 1];
        return;
    }
    if (state.TipoProva == ExamTypes::kPersonalised) {
        const QString text = state.ListBox1.value(state.Posicao - 1);
        bool ok = false;
        const int n = text.trimmed().toInt(&ok);
        if (!ok)
            throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
        state.NumeroQuestao = n;
    }
}
