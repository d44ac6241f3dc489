// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the traffic code text holds an article, and which articles of the code a question's source
// line cites. No widgets: the reader window and the exam's review both use it.
//
// An article starts a line of the text: "Art. 1º ", "Art. 61. ", "Art. 7º-A. ", "Art. 165-A. ".
// Its paragraphs start lines after it, before the next article: "§ 1º ", "§ 10. ", "Parágrafo único.".

#include "codereader/linemodel.h"

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

// An article of the traffic code, as a source line cites it.
struct ArticleRef {
    QString article;     // "61", "7" (for 7º), "165-A"
    QString paragraph;   // "1" (for § 1º), "10", "único"; empty for the article as a whole
    QString item = {};   // the inciso, in Roman numerals ("X"); empty when none is cited
    QString letter = {}; // the alínea of that inciso ("c"); empty when none is cited
    bool operator==(const ArticleRef &) const = default;
    // "Art. 61", "Art. 7º", "Art. 165-A": the heading as the text writes it.
    QString heading() const;
    // "art. 61, § 1º", "art. 64, parágrafo único" or "art. 29, X, c": for the user.
    QString toString() const;
};

class ArticleIndex {
public:
    // Indexes the article headings of text (the first line that starts an article wins).
    explicit ArticleIndex(const LineModel &text);

    // The article's heading ("Art. 61") or, when a paragraph is cited and the article holds it, the
    // paragraph's mark ("§ 1º", "Parágrafo único"), or when an inciso is cited and found below the
    // heading (or the paragraph) its mark ("X"), or its alínea's ("c)"), as a match in the text's
    // offsets; nothing when the text has no such article. What is not found falls back on the
    // level above it.
    std::optional<TextMatch> find(const ArticleRef &ref) const;
    // The heading of the article alone, even when a paragraph is cited.
    std::optional<TextMatch> findArticle(const QString &article) const;
    // The number of article headings found.
    qsizetype size() const { return m_lines.size(); }

    // The articles of the traffic code ("CTB ...") that a source line cites, in order, each once,
    // with the first paragraph, inciso and alínea cited of each.
    // Parts of the line that cite other rules (a CONTRAN resolution, another law) and remarks in
    // brackets are left out; "Anexo" citations name no article.
    static QList<ArticleRef> citedArticles(const QString &source);

private:
    // The article's heading, or its paragraph's mark when one is cited and found.
    std::optional<TextMatch> findParagraph(const ArticleRef &ref) const;

    LineModel m_text;
    QHash<QString, qsizetype> m_lines; // article key -> line index
    QList<qsizetype> m_starts;         // line index of every heading, ascending
};
