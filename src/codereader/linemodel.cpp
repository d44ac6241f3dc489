// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "linemodel.h"

#include <algorithm>
#include <utility>

LineModel::LineModel(QStringList lines) : m_lines(std::move(lines))
{
    m_starts.reserve(m_lines.size() + 1);
    for (const QString &line : std::as_const(m_lines))
        m_starts.append(m_starts.last() + line.size() + 2);
    m_plain = m_lines.join(QStringLiteral("\r\n"));
}

const QString &LineModel::upperAsciiText() const
{
    if (!m_upperMade) {
        m_upper = CodeSearch::upperAscii(m_plain);
        m_upperMade = true;
    }
    return m_upper;
}

qsizetype LineModel::firstLineFrom(qsizetype offset) const
{
    return std::lower_bound(m_starts.begin(), m_starts.end() - 1, offset) - m_starts.begin();
}

qsizetype LineModel::toViewPosition(qsizetype offset) const
{
    if (m_lines.isEmpty() || offset <= 0)
        return 0;
    // The last line that starts at or before offset.
    const auto it = std::upper_bound(m_starts.begin(), m_starts.end() - 1, offset);
    const qsizetype line = std::max<qsizetype>(0, (it - m_starts.begin()) - 1);
    const qsizetype column = std::min(offset - m_starts[line], m_lines[line].size());
    return m_starts[line] - line + column;
}

qsizetype LineModel::fromViewPosition(qsizetype position) const
{
    if (m_lines.isEmpty() || position <= 0)
        return 0;
    // View start of line i is m_starts[i] - i; find the last line starting at or before position.
    qsizetype lo = 0;
    qsizetype hi = m_lines.size() - 1;
    while (lo < hi) {
        const qsizetype mid = (lo + hi + 1) / 2;
        if (m_starts[mid] - mid <= position)
            lo = mid;
        else
            hi = mid - 1;
    }
    const qsizetype column = std::min(position - (m_starts[lo] - lo), m_lines[lo].size());
    return m_starts[lo] + column;
}

namespace {
struct Chapter {
    const char *entry;
    const char *heading;
};

// Entry 8 has one space before the dash, the others two.
constexpr Chapter kChapterTable[CodeSearch::kChapters] = {
    {"Capítulo I  -  DISPOSIÇÕES PRELIMINARES", "CAPÍTULO I"},
    {"Capítulo II  -  DO SISTEMA NACIONAL DE TRÂNSITO", "CAPÍTULO II"},
    {"Capítulo III  -  DAS NORMAS GERAIS DE CIRCULAÇÃO E CONDUTA", "CAPÍTULO III"},
    {"Capítulo IV  -  DOS PEDESTRES E CONDUTORES DE VEÍCULOS NÃO MOTORIZADOS", "CAPÍTULO IV"},
    {"Capítulo V  -  DO CIDADÃO", "CAPÍTULO V"},
    {"Capítulo VI  -  DA EDUCAÇÃO PARA O TRÂNSITO", "CAPÍTULO VI"},
    {"Capítulo VII  -  DA SINALIZAÇÃO DE TRÂNSITO", "CAPÍTULO VII"},
    {"Capítulo VIII  -  DA ENGENHARIA DE TRÁFEGO, DA OPERAÇÃO, DA FISCALIZAÇÃO E DO POLICIAMENTO OSTENSIVO "
     "DE "
     "TRÂNSITO",
     "CAPÍTULO VIII"},
    {"Capítulo IX -  DOS VEÍCULOS", "CAPÍTULO IX"},
    {"Capítulo X  -  DOS VEÍCULOS EM CIRCULAÇÃO INTERNACIONAL", "CAPÍTULO X"},
    {"Capítulo XI  -  DO REGISTRO DE VEÍCULOS", "CAPÍTULO XI"},
    {"Capítulo XII  -  DO LICENCIAMENTO", "CAPÍTULO XII"},
    {"Capítulo XIII  -  DA CONDUÇÃO DE ESCOLARES", "CAPÍTULO XIII"},
    {"Capítulo XIV  -  DA HABILITAÇÃO", "CAPÍTULO XIV"},
    {"Capítulo XV  -  DAS INFRAÇÕES", "CAPÍTULO XV"},
    {"Capítulo XVI  -  DAS PENALIDADES", "CAPÍTULO XVI"},
    {"Capítulo XVII  -  DAS MEDIDAS ADMINISTRATIVAS", "CAPÍTULO XVII"},
    {"Capítulo XVIII  -  DO PROCESSO ADMINISTRATIVO", "CAPÍTULO XVIII"},
    {"Capítulo XIX  -  DOS CRIMES DE TRÂNSITO", "CAPÍTULO XIX"},
    {"Capítulo XX  -  DISPOSIÇÕES FINAIS E TRANSITÓRIAS", "CAPÍTULO XX"},
    {"Anexo I  -  DOS CONCEITOS E DEFINIÇÕES", "ANEXO I"},
};
} // namespace

QString CodeSearch::chapterEntry(int index)
{
    return index >= 0 && index < kChapters ? QString::fromUtf8(kChapterTable[index].entry) : QString();
}

QString CodeSearch::chapterHeading(int index)
{
    return index >= 0 && index < kChapters ? QString::fromUtf8(kChapterTable[index].heading) : QString();
}

std::optional<TextMatch> CodeSearch::findChapter(const LineModel &text, int index)
{
    const QString heading = chapterHeading(index);
    if (heading.isEmpty())
        return std::nullopt;
    const qsizetype at = QStringView(text.plainText()).indexOf(heading, 0, Qt::CaseSensitive);
    if (at < 0)
        return std::nullopt;
    return TextMatch{at, heading.size()};
}

QString CodeSearch::upperAscii(QString s)
{
    for (QChar &c : s)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
    return s;
}

QString CodeSearch::pattern(const QString &findText, bool matchCase, bool wholeWord)
{
    QString t = wholeWord ? QLatin1Char(' ') + findText + QLatin1Char(' ') : findText;
    return matchCase ? t : upperAscii(t);
}

std::optional<TextMatch> CodeSearch::findNext(const LineModel &text, qsizetype selectionStart,
                                              const QString &findText, bool matchCase, bool wholeWord)
{
    const QString t = pattern(findText, matchCase, wholeWord);
    // The first line that begins at or after the selection start.
    const qsizetype first = text.firstLineFrom(selectionStart);
    if (t.isEmpty() || first >= text.lineCount())
        return std::nullopt;
    // The lines hold no line break: a pattern with one never matches, and any other match in the
    // whole text lies inside one line, the first from the line's start being the first line by
    // line. Without match case both sides are raised alike (ASCII letters only).
    if (t.contains(QLatin1Char('\r')) || t.contains(QLatin1Char('\n')))
        return std::nullopt;
    const QString &whole = matchCase ? text.plainText() : text.upperAsciiText();
    const qsizetype at = QStringView(whole).indexOf(QStringView(t), text.lineStart(first));
    if (at < 0)
        return std::nullopt;
    return TextMatch{at, t.size()};
}
