// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "rtfreader.h"

#include "common/cp1252.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

// Destinations whose text is never shown.
constexpr std::array<std::string_view, 54> kSkippedDestinations = {"fonttbl",
                                                                   "colortbl",
                                                                   "stylesheet",
                                                                   "info",
                                                                   "pict",
                                                                   "object",
                                                                   "header",
                                                                   "headerl",
                                                                   "headerr",
                                                                   "headerf",
                                                                   "footer",
                                                                   "footerl",
                                                                   "footerr",
                                                                   "footerf",
                                                                   "footnote",
                                                                   "annotation",
                                                                   "fldinst",
                                                                   "listtable",
                                                                   "listoverridetable",
                                                                   "rsidtbl",
                                                                   "generator",
                                                                   "xmlnstbl",
                                                                   "themedata",
                                                                   "colorschememapping",
                                                                   "latentstyles",
                                                                   "datastore",
                                                                   "filetbl",
                                                                   "revtbl",
                                                                   "pgdsctbl",
                                                                   "nonshppict",
                                                                   "bkmkstart",
                                                                   "bkmkend",
                                                                   "atnid",
                                                                   "author",
                                                                   "operator",
                                                                   "title",
                                                                   "subject",
                                                                   "keywords",
                                                                   "comment",
                                                                   "doccomm",
                                                                   "company",
                                                                   "buptim",
                                                                   "creatim",
                                                                   "revtim",
                                                                   "printim",
                                                                   "userprops",
                                                                   "xe",
                                                                   "tc",
                                                                   "txe",
                                                                   "template",
                                                                   "mmathPr",
                                                                   "wgrffmtfilter",
                                                                   "nesttableprops",
                                                                   "nonesttables"};

constexpr int kMaxWord = 32;        // letters of a control word kept; longer words are unknown
constexpr int kMaxParamDigits = 10; // digits of a parameter kept; more are read and dropped
constexpr qsizetype kMaxLines = 100000;

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

QChar fromCodePage(unsigned char byte)
{
    if (byte == 0)
        return QChar(u'\0');
    const char32_t code = cp1252::toUnicode(byte);
    return code == 0 ? QChar(u'?') : QChar(static_cast<char16_t>(code));
}

// Collects characters into lines with their bold runs.
class LineBuilder {
public:
    bool full() const { return m_doc.lines.size() >= kMaxLines; }

    void put(char16_t ch, bool bold)
    {
        if (full())
            return;
        if (ch == u'\t') {
            // kept
        } else if (ch < 0x20 || ch == 0x7F) {
            return;
        } else if (ch == 0x2028 || ch == 0x2029 || ch == 0xFDD0 || ch == 0xFDD1) {
            ch = u' '; // would break the line or the frame of the view
        }
        const qsizetype at = m_line.text.size();
        m_line.text.append(QChar(ch));
        if (bold) {
            if (!m_line.bold.isEmpty() && m_line.bold.last().start + m_line.bold.last().length == at)
                ++m_line.bold.last().length;
            else
                m_line.bold.append({at, 1});
        }
    }

    // A run of plain bytes of the text in code page 1252, as put() one by one would take them.
    void putRun(const char *bytes, qsizetype n, bool bold)
    {
        if (full() || n <= 0)
            return;
        const qsizetype at = m_line.text.size();
        m_line.text.resize(at + n);
        QChar *out = m_line.text.data() + at;
        qsizetype kept = 0;
        for (qsizetype i = 0; i < n; ++i) {
            const unsigned char b = static_cast<unsigned char>(bytes[i]);
            if (b >= 0x20 && b < 0x7F) {
                out[kept++] = QChar(char16_t(b));
            } else if (b == '\t') {
                out[kept++] = QChar(u'\t');
            } else if (b >= 0x80) {
                out[kept++] = fromCodePage(b); // no byte of the code page is a line or frame break
            }
        }
        m_line.text.truncate(at + kept);
        if (bold && kept > 0) {
            if (!m_line.bold.isEmpty() && m_line.bold.last().start + m_line.bold.last().length == at)
                m_line.bold.last().length += kept;
            else
                m_line.bold.append({at, kept});
        }
    }

    void endLine(int spaceBefore, int spaceAfter)
    {
        if (full())
            return;
        m_line.spaceBefore = spaceBefore;
        m_line.spaceAfter = spaceAfter;
        repairSurrogates(m_line.text);
        m_doc.lines.append(std::move(m_line));
        m_line = RtfLine();
    }

    // The last line unless it is empty.
    RtfDocument finish(bool richText, int spaceBefore, int spaceAfter)
    {
        if (!m_line.text.isEmpty())
            endLine(spaceBefore, spaceAfter);
        m_doc.richText = richText;
        return std::move(m_doc);
    }

private:
    // An unpaired surrogate becomes U+FFFD, so the view never sees broken UTF-16.
    static void repairSurrogates(QString &text)
    {
        for (qsizetype k = 0; k < text.size(); ++k) {
            const QChar c = text[k];
            if (c.isHighSurrogate() && k + 1 < text.size() && text[k + 1].isLowSurrogate()) {
                ++k;
            } else if (c.isSurrogate()) {
                text[k] = QChar(QChar::ReplacementCharacter);
            }
        }
    }

    RtfDocument m_doc;
    RtfLine m_line;
};

RtfDocument readPlain(const QByteArray &bytes)
{
    LineBuilder out;
    for (qsizetype i = 0; i < bytes.size() && !out.full(); ++i) {
        const char c = bytes[i];
        if (c == '\r') {
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            out.endLine(0, 0);
        } else if (c == '\n') {
            out.endLine(0, 0);
        } else {
            out.put(fromCodePage(static_cast<unsigned char>(c)).unicode(), false);
        }
    }
    return out.finish(false, 0, 0);
}

struct GroupState {
    bool bold = false;
    bool skip = false;
    bool inTable = false; // the paragraph is a table cell's (\intbl)
    int uc = 1;           // fallback characters after \uN
    int spaceBefore = 0;  // twips
    int spaceAfter = 0;
};

class RtfParser {
public:
    explicit RtfParser(const QByteArray &bytes) : m_in(bytes) {}

    RtfDocument run()
    {
        while (m_pos < m_in.size() && !m_done && !m_out.full())
            step();
        return m_out.finish(true, m_state.spaceBefore, m_state.spaceAfter);
    }

private:
    char peek() const { return m_in[m_pos]; }
    bool atEnd() const { return m_pos >= m_in.size(); }

    void step()
    {
        const char c = m_in[m_pos++];
        switch (c) {
        case '{':
            openGroup();
            break;
        case '}':
            closeGroup();
            break;
        case '\\':
            controlSymbol();
            break;
        case '\r':
        case '\n':
            break;
        default:
            if (m_skipFallback > 0 || m_state.skip || m_pendingTabs > 0 || m_pendingSpace) {
                text(fromCodePage(static_cast<unsigned char>(c)).unicode(), true);
            } else {
                // The common case, a run of plain text: taken at once up to the next brace,
                // backslash or line break.
                const qsizetype start = m_pos - 1;
                while (m_pos < m_in.size() && !isSpecial(m_in[m_pos]))
                    ++m_pos;
                m_out.putRun(m_in.constData() + start, m_pos - start, m_state.bold);
                m_cellHasText = true;
            }
            break;
        }
    }

    static bool isSpecial(char c) { return c == '{' || c == '}' || c == '\\' || c == '\r' || c == '\n'; }

    void openGroup()
    {
        m_skipFallback = 0;
        if (m_stack.size() >= RtfReader::kMaxDepth) {
            skipGroup();
            return;
        }
        m_stack.append(m_state);
    }

    // Skips the rest of a group too deep to read, up to its closing brace (or the end).
    void skipGroup()
    {
        qsizetype depth = 1;
        while (!atEnd() && depth > 0) {
            const char c = m_in[m_pos++];
            if (c == '\\') {
                if (!atEnd())
                    ++m_pos;
            } else if (c == '{') {
                ++depth;
            } else if (c == '}') {
                --depth;
            }
        }
    }

    void closeGroup()
    {
        m_skipFallback = 0;
        if (m_stack.isEmpty()) {
            m_done = true; // a stray closing brace ends the document
            return;
        }
        m_state = m_stack.takeLast();
        if (m_stack.isEmpty())
            m_done = true; // the document's own group is closed: what follows is not read
    }

    // Text of the document: a character, shown unless in a skipped group or a \uN fallback.
    void text(char16_t ch, bool countsAsFallback)
    {
        if (countsAsFallback && m_skipFallback > 0) {
            --m_skipFallback;
            return;
        }
        if (m_state.skip)
            return;
        // A cell ended since the last character: a tab between the two cells; a paragraph ended
        // inside a cell: a space.
        if (m_pendingTabs > 0) {
            for (; m_pendingTabs > 0; --m_pendingTabs)
                m_out.put(u'\t', false);
            m_pendingSpace = false;
        }
        if (m_pendingSpace) {
            m_out.put(u' ', false);
            m_pendingSpace = false;
        }
        m_out.put(ch, m_state.bold);
        m_cellHasText = true;
    }

    void paragraph()
    {
        if (m_state.skip)
            return;
        if (m_state.inTable) {
            // A paragraph inside a cell keeps the row on one line.
            m_pendingSpace = m_cellHasText;
            return;
        }
        m_pendingTabs = 0;
        m_pendingSpace = false;
        m_cellHasText = false;
        m_out.endLine(m_state.spaceBefore, m_state.spaceAfter);
    }

    // \cell: the cell ends; the next cell's text follows a tab.
    void cell()
    {
        if (m_state.skip)
            return;
        ++m_pendingTabs;
        m_pendingSpace = false;
        m_cellHasText = false;
        m_inRow = true;
    }

    // \row: the table row ends its line.
    void row()
    {
        if (m_state.skip)
            return;
        m_pendingTabs = 0;
        m_pendingSpace = false;
        m_cellHasText = false;
        if (m_inRow)
            m_out.endLine(m_state.spaceBefore, m_state.spaceAfter);
        m_inRow = false;
    }

    void controlSymbol()
    {
        if (atEnd())
            return;
        const char c = m_in[m_pos];
        if (isLetter(c)) {
            controlWord();
            return;
        }
        ++m_pos;
        switch (c) {
        case '\'': {
            if (m_pos + 1 < m_in.size()) {
                const int hi = hexValue(m_in[m_pos]);
                const int lo = hexValue(m_in[m_pos + 1]);
                if (hi >= 0 && lo >= 0) {
                    m_pos += 2;
                    text(fromCodePage(static_cast<unsigned char>(hi * 16 + lo)).unicode(), true);
                }
            }
            break;
        }
        case '\\':
        case '{':
        case '}':
            text(static_cast<char16_t>(c), true);
            break;
        case '~':
            text(0x00A0, true);
            break;
        case '_':
            text(u'-', true);
            break;
        case '*':
            m_state.skip = true;
            break; // an optional destination this reader does not know
        case '\r':
        case '\n':
            m_skipFallback = 0;
            paragraph();
            break;
        default:
            break; // \- (optional hyphen), \| and other symbols show nothing
        }
    }

    void controlWord()
    {
        m_skipFallback = 0;
        char word[kMaxWord + 1] = {};
        int length = 0;
        bool tooLong = false;
        while (!atEnd() && isLetter(peek())) {
            if (length < kMaxWord)
                word[length++] = peek();
            else
                tooLong = true;
            ++m_pos;
        }
        bool hasParam = false;
        bool negative = false;
        long long value = 0;
        if (!atEnd() && peek() == '-' && m_pos + 1 < m_in.size() && isDigit(m_in[m_pos + 1])) {
            negative = true;
            ++m_pos;
        }
        int digits = 0;
        while (!atEnd() && isDigit(peek())) {
            hasParam = true;
            if (digits < kMaxParamDigits)
                value = value * 10 + (peek() - '0');
            ++digits;
            ++m_pos;
        }
        if (negative)
            value = -value;
        if (!atEnd() && peek() == ' ')
            ++m_pos; // the delimiting space belongs to the control word
        if (tooLong)
            return;
        handleWord(std::string_view(word, static_cast<std::size_t>(length)), hasParam, value);
    }

    static int clampInt(long long v, long long lo, long long hi)
    {
        return static_cast<int>(std::clamp(v, lo, hi));
    }

    void handleWord(std::string_view w, bool hasParam, long long value)
    {
        if (w == "par" || w == "line" || w == "page" || w == "sect") {
            paragraph();
        } else if (w == "cell" || w == "nestcell") {
            cell();
        } else if (w == "row" || w == "nestrow") {
            row();
        } else if (w == "intbl") {
            m_state.inTable = true;
        } else if (w == "b") {
            m_state.bold = !hasParam || value != 0;
        } else if (w == "plain") {
            m_state.bold = false;
        } else if (w == "pard") {
            m_state.inTable = false;
            m_state.spaceBefore = 0;
            m_state.spaceAfter = 0;
        } else if (w == "sb") {
            m_state.spaceBefore = clampInt(value, 0, 2000);
        } else if (w == "sa") {
            m_state.spaceAfter = clampInt(value, 0, 2000);
        } else if (w == "tab") {
            text(u'\t', false);
        } else if (w == "emdash") {
            text(0x2014, false);
        } else if (w == "endash") {
            text(0x2013, false);
        } else if (w == "bullet") {
            text(0x2022, false);
        } else if (w == "lquote") {
            text(0x2018, false);
        } else if (w == "rquote") {
            text(0x2019, false);
        } else if (w == "ldblquote") {
            text(0x201C, false);
        } else if (w == "rdblquote") {
            text(0x201D, false);
        } else if (w == "emspace" || w == "enspace" || w == "qmspace") {
            text(u' ', false);
        } else if (w == "uc") {
            m_state.uc = clampInt(value, 0, 8);
        } else if (w == "u" && hasParam) {
            long long code = value;
            if (code < 0)
                code += 65536;
            text(static_cast<char16_t>(clampInt(code, 0, 0xFFFF)), false);
            m_skipFallback = m_state.uc;
        } else if (w == "bin") {
            // Binary data: skipped, never shown.
            const long long n = hasParam ? std::max(0LL, value) : 0;
            m_pos += static_cast<qsizetype>(std::min<long long>(n, m_in.size() - m_pos));
        } else if (std::find(kSkippedDestinations.begin(), kSkippedDestinations.end(), w) !=
                   kSkippedDestinations.end()) {
            m_state.skip = true;
        }
    }

    const QByteArray &m_in;
    qsizetype m_pos = 0;
    bool m_done = false;
    int m_skipFallback = 0;
    int m_pendingTabs = 0;       // cells ended since the last character of the row
    bool m_pendingSpace = false; // a paragraph ended inside a cell since the last character
    bool m_inRow = false;        // a cell of a table row has ended and the row has not
    bool m_cellHasText = false;  // the current cell has shown a character
    GroupState m_state;
    QList<GroupState> m_stack;
    LineBuilder m_out;
};

} // namespace

bool RtfReader::isRichText(const QByteArray &bytes)
{
    return bytes.startsWith("{\\rtf");
}

RtfDocument RtfReader::read(const QByteArray &bytes)
{
    if (!isRichText(bytes))
        return readPlain(bytes);
    return RtfParser(bytes).run();
}
