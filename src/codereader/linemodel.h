// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text of the traffic code reader as lines, and the two ways of counting positions in it:
// - an offset counts every line break as the two characters CR LF (the positions the reader's
//   rules speak in: selection start, line start, heading position);
// - a view position counts one character per paragraph break of the view, as Qt's text documents
//   do. The view shows each line as one paragraph, except a line longer than kLongestParagraph
//   characters, which it shows as several display paragraphs: a view lays out a paragraph whole,
//   and one of megabytes would hold the window for seconds. A display break is a position of the
//   view with no character of the text behind it.
// Also the reader's two searches: the chapter heading in the whole text and the find dialog's
// forward, line-by-line search.

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

// A piece of a line that the view shows as one paragraph.
struct DisplayParagraph {
    qsizetype line = 0;
    qsizetype column = 0; // where it starts in its line
    qsizetype length = 0;
    bool operator==(const DisplayParagraph &) const = default;
};

class LineModel {
public:
    // The longest line the view shows as one paragraph. A longer one (no line of the code's text
    // comes near it) is shown in pieces of at most kLongestPiece characters, each broken after
    // its last space in its second half, or where that has none, at that length: the first page
    // of such a line then lays out as quickly as one of short lines.
    static constexpr qsizetype kLongestParagraph = 4000;
    static constexpr qsizetype kLongestPiece = 1000;

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

    // The paragraphs the view shows, in order: one per line but for long lines.
    qsizetype paragraphCount() const { return m_paragraphs.size(); }
    const DisplayParagraph &paragraph(qsizetype i) const { return m_paragraphs[i]; }
    // The display paragraph that holds the view position (the last one for a position past the
    // text); 0 when there is no text.
    qsizetype paragraphAt(qsizetype position) const;

    // View position of an offset. An offset inside a line break (on its LF) or past the text is
    // taken to the end of that line (of the text).
    qsizetype toViewPosition(qsizetype offset) const;
    // The view position just past the character before the offset: where a selection ending at
    // the offset ends in the view. It differs from toViewPosition only at a display break, which
    // the selection then does not cover.
    qsizetype toViewEnd(qsizetype offset) const;
    // Offset of a view position; a position past the text is taken to the end of the text. A
    // display break is the offset of the first character after it.
    qsizetype fromViewPosition(qsizetype position) const;

private:
    // The display paragraph that holds an offset (at a display break, the one after it) and the
    // offset's column in its line; for a text of one line at least.
    std::pair<qsizetype, qsizetype> place(qsizetype offset) const;

    QStringList m_lines;
    QList<qsizetype> m_starts{0}; // lineCount() + 1 entries
    QList<DisplayParagraph> m_paragraphs;
    QList<qsizetype> m_firstParagraph; // of each line, and paragraphCount() at the end
    QList<qsizetype> m_viewStarts;     // of each paragraph
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
