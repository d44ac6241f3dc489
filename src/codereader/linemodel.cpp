// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "linemodel.h"

#include <algorithm>
#include <utility>

namespace {
// The length of the display paragraph that starts at column of line: the rest of the line when the
// line is short enough or the rest is no longer than a piece, else up to the last space in the
// second half of the longest piece, else the longest piece (one character less when that would
// part a surrogate pair).
qsizetype pieceLength(const QString &line, qsizetype column)
{
    constexpr qsizetype longest = LineModel::kLongestPiece;
    if (line.size() <= LineModel::kLongestParagraph || line.size() - column <= longest)
        return line.size() - column;
    for (qsizetype at = column + longest - 1; at >= column + longest / 2; --at)
        if (line.at(at) == QLatin1Char(' '))
            return at - column + 1;
    return line.at(column + longest - 1).isHighSurrogate() ? longest - 1 : longest;
}
} // namespace

LineModel::LineModel(QStringList lines) : m_lines(std::move(lines))
{
    m_starts.reserve(m_lines.size() + 1);
    m_paragraphs.reserve(m_lines.size());
    m_viewStarts.reserve(m_lines.size());
    m_firstParagraph.reserve(m_lines.size() + 1);
    qsizetype view = 0;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QString &line = m_lines.at(i);
        m_starts.append(m_starts.last() + line.size() + 2);
        m_firstParagraph.append(m_paragraphs.size());
        qsizetype column = 0;
        do {
            const qsizetype length = pieceLength(line, column);
            m_paragraphs.append(DisplayParagraph{i, column, length});
            m_viewStarts.append(view);
            view += length + 1;
            column += length;
        } while (column < line.size());
    }
    m_firstParagraph.append(m_paragraphs.size());
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

qsizetype LineModel::paragraphAt(qsizetype position) const
{
    const auto it = std::upper_bound(m_viewStarts.begin(), m_viewStarts.end(), position);
    return std::max<qsizetype>(0, (it - m_viewStarts.begin()) - 1);
}

std::pair<qsizetype, qsizetype> LineModel::place(qsizetype offset) const
{
    // The last line that starts at or before offset, and the last of its paragraphs that starts
    // at or before the column.
    const auto it = std::upper_bound(m_starts.begin(), m_starts.end() - 1, offset);
    const qsizetype line = std::max<qsizetype>(0, (it - m_starts.begin()) - 1);
    const qsizetype column = std::min(offset - m_starts[line], m_lines[line].size());
    const auto first = m_paragraphs.begin() + m_firstParagraph[line];
    const auto end = m_paragraphs.begin() + m_firstParagraph[line + 1];
    const auto p = std::upper_bound(first + 1, end, column,
                                    [](qsizetype c, const DisplayParagraph &d) { return c < d.column; });
    return {(p - m_paragraphs.begin()) - 1, column};
}

qsizetype LineModel::toViewPosition(qsizetype offset) const
{
    if (m_lines.isEmpty() || offset <= 0)
        return 0;
    const auto [p, column] = place(offset);
    return m_viewStarts[p] + column - m_paragraphs[p].column;
}

qsizetype LineModel::toViewEnd(qsizetype offset) const
{
    if (m_lines.isEmpty() || offset <= 0)
        return 0;
    const auto [p, column] = place(offset);
    const DisplayParagraph &d = m_paragraphs[p];
    // At a display break: the end of the paragraph before it.
    if (column == d.column && p > m_firstParagraph[d.line])
        return m_viewStarts[p] - 1;
    return m_viewStarts[p] + column - d.column;
}

qsizetype LineModel::fromViewPosition(qsizetype position) const
{
    if (m_lines.isEmpty() || position <= 0)
        return 0;
    const qsizetype p = paragraphAt(position);
    const DisplayParagraph &d = m_paragraphs[p];
    const qsizetype column = std::min(position - m_viewStarts[p], d.length);
    return m_starts[d.line] + d.column + column;
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
