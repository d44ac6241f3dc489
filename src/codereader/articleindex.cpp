// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "articleindex.h"

#include <QRegularExpression>

#include <algorithm>

namespace {
// "7º" -> "7", "165-A" stays.
QString plainNumber(QString number)
{
    number.remove(QChar(u'º'));
    return number;
}

const QRegularExpression &romanNumeral()
{
    static const QRegularExpression roman(QStringLiteral("^[IVXL]+$"));
    return roman;
}

// A paragraph cited after an inciso of the article itself ("art. 147, I a V, e § 3º") is what the
// reader opens: the inciso belonged to the article, not to the paragraph.
void setParagraph(ArticleRef &ref, const QString &paragraph)
{
    ref.paragraph = paragraph;
    ref.item.clear();
    ref.letter.clear();
}

bool isNumber(const QString &token)
{
    return !token.isEmpty() && token.at(0).isDigit();
}
} // namespace

QString ArticleRef::heading() const
{
    const qsizetype dash = article.indexOf(QLatin1Char('-'));
    const QString number = dash < 0 ? article : article.left(dash);
    const QString suffix = dash < 0 ? QString() : article.mid(dash);
    return QStringLiteral("Art. ") + number + (number.toInt() < 10 ? QStringLiteral("º") : QString()) +
           suffix;
}

QString ArticleRef::toString() const
{
    QString text = heading();
    text[0] = QLatin1Char('a');
    if (paragraph == QStringLiteral("único"))
        text += QStringLiteral(", parágrafo único");
    else if (!paragraph.isEmpty()) {
        // "1-A" is written "§ 1º-A", as the law numbers a paragraph put between two others.
        const qsizetype dash = paragraph.indexOf(QLatin1Char('-'));
        const QString number = dash < 0 ? paragraph : paragraph.left(dash);
        text += QStringLiteral(", § ") + number + (number.toInt() < 10 ? QStringLiteral("º") : QString()) +
                (dash < 0 ? QString() : paragraph.mid(dash));
    }
    if (!item.isEmpty())
        text += QStringLiteral(", ") + item;
    if (!item.isEmpty() && !letter.isEmpty())
        text += QStringLiteral(", ") + letter;
    return text;
}

ArticleIndex::ArticleIndex(const LineModel &text) : m_text(text)
{
    static const QRegularExpression heading(QStringLiteral("^Art\\. (\\d+)º?(-[A-Z])?(?=[.\\s]|$)"));
    for (qsizetype i = 0; i < m_text.lineCount(); ++i) {
        const QString &line = m_text.lines().at(i);
        if (!line.startsWith(QLatin1String("Art. ")))
            continue;
        const QRegularExpressionMatch m = heading.match(line);
        if (!m.hasMatch())
            continue;
        m_starts.append(i);
        const QString key = m.captured(1) + m.captured(2);
        if (!m_lines.contains(key))
            m_lines.insert(key, i);
    }
}

std::optional<TextMatch> ArticleIndex::findArticle(const QString &article) const
{
    const auto it = m_lines.constFind(plainNumber(article));
    if (it == m_lines.cend())
        return std::nullopt;
    static const QRegularExpression heading(QStringLiteral("^Art\\. \\d+º?(-[A-Z])?"));
    const qsizetype line = it.value();
    return TextMatch{m_text.lineStart(line), heading.match(m_text.lines().at(line)).capturedLength()};
}

std::optional<TextMatch> ArticleIndex::findParagraph(const ArticleRef &ref) const
{
    const std::optional<TextMatch> article = findArticle(ref.article);
    if (!article || ref.paragraph.isEmpty())
        return article;
    const qsizetype first = m_lines.value(plainNumber(ref.article));
    const auto next = std::upper_bound(m_starts.cbegin(), m_starts.cend(), first);
    const qsizetype end = next == m_starts.cend() ? m_text.lineCount() : *next;
    static const QRegularExpression mark(QStringLiteral("^§ (\\d+)º?(-[A-Z])?(?=[.\\s]|$)"));
    const bool sole = ref.paragraph == QStringLiteral("único");
    const QString single = QStringLiteral("Parágrafo único");
    for (qsizetype i = first + 1; i < end; ++i) {
        const QString &line = m_text.lines().at(i);
        if (sole) {
            if (line.startsWith(single))
                return TextMatch{m_text.lineStart(i), single.size()};
            continue;
        }
        const QRegularExpressionMatch m = mark.match(line);
        if (m.hasMatch() && m.captured(1) + m.captured(2) == plainNumber(ref.paragraph))
            return TextMatch{m_text.lineStart(i), m.capturedLength()};
    }
    return article;
}

std::optional<TextMatch> ArticleIndex::find(const ArticleRef &ref) const
{
    const std::optional<TextMatch> above = findParagraph(ref);
    if (!above || ref.item.isEmpty())
        return above;
    // The incisos follow the heading, or the paragraph that holds them, up to the next paragraph
    // or article: "X - ...", and their alíneas below each: "c) ...".
    const qsizetype first = m_text.firstLineFrom(above->start);
    const auto next = std::upper_bound(m_starts.cbegin(), m_starts.cend(), first);
    const qsizetype end = next == m_starts.cend() ? m_text.lineCount() : *next;
    static const QRegularExpression itemMark(QStringLiteral("^([IVXLC]+) [-–]"));
    static const QRegularExpression letterMark(QStringLiteral("^([a-z])\\)"));
    qsizetype itemLine = -1;
    for (qsizetype i = first + 1; i < end; ++i) {
        const QString &line = m_text.lines().at(i);
        if (line.startsWith(QChar(u'§')) || line.startsWith(QLatin1String("Parágrafo único")))
            break;
        const QRegularExpressionMatch m = itemMark.match(line);
        if (itemLine < 0) {
            if (m.hasMatch() && m.captured(1) == ref.item) {
                if (ref.letter.isEmpty())
                    return TextMatch{m_text.lineStart(i), m.capturedLength(1)};
                itemLine = i;
            }
            continue;
        }
        if (m.hasMatch())
            break; // the next inciso: the alínea is not there
        const QRegularExpressionMatch l = letterMark.match(line);
        if (l.hasMatch() && l.captured(1) == ref.letter)
            return TextMatch{m_text.lineStart(i), l.capturedLength()};
    }
    if (itemLine >= 0)
        return TextMatch{m_text.lineStart(itemLine), qsizetype(ref.item.size())};
    return above;
}

QList<ArticleRef> ArticleIndex::citedArticles(const QString &source)
{
    static const QRegularExpression brackets(QStringLiteral("\\([^()]*\\)"));
    static const QRegularExpression tokens(
        QStringLiteral("arts?\\.|§§?|(?:parágrafo|par\\.)\\s+único|\\d+º?(?:-[A-Z](?![\\w]))?|,|[^\\s,]+"));
    enum class Mode { None, Article, Articles, ArticleList, Paragraph, Other };

    QList<ArticleRef> refs;
    const QStringList parts = source.split(QLatin1Char(';'));
    for (const QString &part : parts) {
        const qsizetype at = part.indexOf(QLatin1String("CTB"));
        if (at < 0)
            continue;
        QString text = part.mid(at + 3);
        text.remove(brackets);
        Mode mode = Mode::None;
        qsizetype current = -1; // the article a paragraph belongs to
        // What the last number placed was, for an inciso or alínea after a comma.
        enum class Level { None, Article, Paragraph, Item } level = Level::None;
        QString previous;
        bool previousWasArticle = false;
        auto add = [&](const QString &number) {
            const QString article = plainNumber(number);
            current = std::find_if(refs.cbegin(), refs.cend(),
                                   [&](const ArticleRef &r) { return r.article == article; }) -
                      refs.cbegin();
            if (current == refs.size())
                refs.append(ArticleRef{article, QString(), QString(), QString()});
        };
        QStringList words;
        for (auto it = tokens.globalMatch(text); it.hasNext();)
            words << it.next().captured();
        for (qsizetype w = 0; w < words.size(); ++w) {
            const QString &token = words[w];
            const bool afterComma = previous == QLatin1String(",");
            bool thisIsArticle = false;
            Level placed = Level::None;
            if (token == QLatin1String("art.")) {
                mode = Mode::Article;
            } else if (token == QLatin1String("arts.")) {
                mode = Mode::Articles;
            } else if (token.startsWith(QChar(u'§'))) {
                mode = Mode::Paragraph;
            } else if (token.endsWith(QStringLiteral("único"))) {
                if (current >= 0 && refs[current].paragraph.isEmpty())
                    setParagraph(refs[current], QStringLiteral("único"));
                mode = Mode::Other;
                placed = Level::Paragraph;
            } else if (token == QLatin1String("Anexo")) {
                mode = Mode::Other;
            } else if (isNumber(token)) {
                if (mode == Mode::Article || mode == Mode::Articles) {
                    add(token);
                    thisIsArticle = true;
                    placed = Level::Article;
                    mode = mode == Mode::Article ? Mode::Other : Mode::ArticleList;
                } else if (mode == Mode::ArticleList &&
                           (previous == QLatin1String("e") || (afterComma && previousWasArticle))) {
                    add(token);
                    thisIsArticle = true;
                    placed = Level::Article;
                } else if (mode == Mode::Paragraph) {
                    if (current >= 0 && refs[current].paragraph.isEmpty())
                        setParagraph(refs[current], plainNumber(token));
                    mode = Mode::Other;
                    placed = Level::Paragraph;
                }
            } else if (afterComma && current >= 0 && (level == Level::Article || level == Level::Paragraph) &&
                       romanNumeral().match(token).hasMatch()) {
                // The inciso of the article or paragraph just named: "art. 29, X".
                if (refs[current].item.isEmpty() &&
                    (level == Level::Paragraph || refs[current].paragraph.isEmpty()))
                    refs[current].item = token;
                placed = Level::Item;
            } else if (afterComma && current >= 0 && level == Level::Item && token.size() == 1 &&
                       token.at(0) >= QLatin1Char('a') && token.at(0) <= QLatin1Char('z') &&
                       (w + 1 == words.size() || words[w + 1] == QLatin1String(","))) {
                // Its alínea, "X, c", ending the citation or followed by a comma; an "e" before
                // anything else joins another article or paragraph instead.
                if (refs[current].item == words[w - 2] && refs[current].letter.isEmpty())
                    refs[current].letter = token;
            }
            // A comma keeps the memory of the number before it.
            if (token != QLatin1String(",")) {
                previousWasArticle = thisIsArticle;
                level = placed;
            }
            previous = token;
        }
    }
    return refs;
}
