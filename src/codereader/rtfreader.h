// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads the traffic code text (cnt.rtf) into lines of plain text with their bold runs. Reads the
// small subset of rich text the code's file uses (groups, \b, \b0, \plain, \par, \line, \tab, \'hh,
// \uN, escaped braces and backslashes, paragraph spacing \sbN and \saN, ignorable destinations)
// and skips every other control word. Tables as other programs write them read as lines: \cell
// ends a cell (a tab stands between two cells), \row ends the row's line, a paragraph ended inside
// a cell (\intbl) is a space, and the row and cell settings (\trowd, \cellx, borders) show nothing. Anything
// that does not begin with "{\rtf" is plain text in code page 1252, split at CR LF, LF or CR.
//
// Outside bytes: nesting is bounded (groups deeper than kMaxDepth are skipped whole), there is no
// recursion, every step consumes input, and the result never holds more characters than the input
// has bytes. The lines never hold a line break or a control character other than the tab.

#include <QByteArray>
#include <QList>
#include <QString>

struct RtfSpan {
    qsizetype start = 0;
    qsizetype length = 0;
    bool operator==(const RtfSpan &) const = default;
};

struct RtfLine {
    QString text;
    QList<RtfSpan> bold; // ascending, non-overlapping, non-empty runs of bold characters
    int spaceBefore = 0; // paragraph spacing in twips (1/20 point)
    int spaceAfter = 0;
};

struct RtfDocument {
    QList<RtfLine> lines;
    bool richText = false; // false when the bytes were read as plain text
};

namespace RtfReader {
inline constexpr int kMaxDepth = 100;
// True when bytes start as a rich-text file does ("{\rtf").
bool isRichText(const QByteArray &bytes);
// The lines of bytes. A trailing empty paragraph (the "\par" before the closing brace, or the line
// break at the end of a plain text) does not make a line of its own.
RtfDocument read(const QByteArray &bytes);
} // namespace RtfReader
