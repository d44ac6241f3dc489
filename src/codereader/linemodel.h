// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text of the traffic code reader as lines, and the two ways of counting positions in it:
// - an offset counts every line break as the two characters CR LF (the positions the reader's
//   rules speak in: selection start, line start, heading position);
// - a view position counts one character per line break, as Qt's text documents do.
// Also the reader's two searches: the chapter heading in the whole text and the find dialog's
// forward, line-by-line search.

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class LineModel {
public:
    LineModel() = default;
    explicit LineModel(QStringList lines);

    const QStringList &lines() const { return m_lines; }
    qsizetype lineCount() const { return m_lines.size(); }
    // The offset where line i starts; lineCount() gives the offset just past the text.
    qsizetype lineStart(qsizetype i) const { return m_starts[i]; }
    // The whole text with CR LF between the lines (made once, with the model).
    const QString &plainText() const { return m_plain; }
    // The plain text with a-z raised to A-Z (made when first asked for), for the find dialog's
    // search without match case.
    const QString &upperAsciiText() const;
    // The first line that begins at or after offset, or lineCount() when none does.
    qsizetype firstLineFrom(qsizetype offset) const;

    // View position of an offset. An offset inside a line break (on its LF) or past the text is
    // taken to the end of that line (of the text).
    qsizetype toViewPosition(qsizetype offset) const;
    // Offset of a view position; a position past the text is taken to the end of the text.
    qsizetype fromViewPosition(qsizetype position) const;

private:
    QStringList m_lines;
    QList<qsizetype> m_starts{0}; // lineCount() + 1 entries
    QString m_plain;
    mutable QString m_upper;
    mutable bool m_upperMade = false;
};

struct TextMatch {
    qsizetype start = 0; // offset
    qsizetype length = 0;
    bool operator==(const TextMatch &) const = default;
};

namespace CodeSearch {
inline constexpr int kChapters = 21;
// The entry of the chapter list at index (0..20).
QString chapterEntry(int index);
// The heading searched for the entry at index; empty outside 0..20.
QString chapterHeading(int index);
// The first exact, case-sensitive occurrence of the chapter's heading in the whole text.
std::optional<TextMatch> findChapter(const LineModel &text, int index);

// Only the ASCII letters a-z become A-Z; every other character stays as it is.
QString upperAscii(QString s);
// The pattern the find dialog's text becomes: spaces around it for a whole word, then upper-cased
// (ASCII only) unless case must match.
QString pattern(const QString &findText, bool matchCase, bool wholeWord);
// Searches forward from the first line that begins at or after selectionStart, line by line, for
// the first occurrence of the dialog's text; nothing when no line after that holds it. An empty
// pattern never matches.
std::optional<TextMatch> findNext(const LineModel &text, qsizetype selectionStart, const QString &findText,
                                  bool matchCase, bool wholeWord);
} // namespace CodeSearch
