// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later

// ctb2rtf: builds cnt.rtf, the traffic code text of the reader, from the study text sources in
// resources/ctb. Usage: ctb2rtf OUTPUT.rtf INPUT.txt...
//
// Each input is UTF-8; each line becomes one paragraph of the RTF (code page 1252). Markup:
//   # comment                 dropped
//   (empty line)              dropped
//   = CAPÍTULO XIV            chapter heading (roman numeral, "-A" for a lettered chapter),
//   = ANEXO I                 or annex heading; the next line must be "= TITLE" (upper case)
//   == Seção II               section heading; the next line must be "== TITLE" (upper case)
//   Art. 1º text / Art. 10. text / Art. 25-A. text     article; the label is set in bold
//   anything else             plain paragraph (§, incisos, alíneas...)
// The reader jumps to the first case-sensitive occurrence of "CAPÍTULO I" ... "ANEXO I", so those
// upper-case words may only stand in heading lines, and chapters must come in order.
// Any malformed line is reported as FILE:LINE and the output is left untouched.

#include "common/cp1252.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

int g_errors = 0;

void report(const std::string &where, const char *kind, const std::string &message)
{
    std::cerr << where << ": " << kind << ": " << message << '\n';
}

void error(const std::string &where, const std::string &message)
{
    ++g_errors;
    report(where, "error", message);
}

void warning(const std::string &where, const std::string &message)
{
    report(where, "warning", message);
}

bool startsWith(std::string_view s, std::string_view prefix)
{
    return s.substr(0, prefix.size()) == prefix;
}

// Value of a canonical roman numeral from I to XXXIX, or 0.
int romanValue(std::string_view s)
{
    static const char *const units[] = {"", "I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX"};
    for (int tens = 0; tens <= 3; ++tens) {
        for (int unit = 0; unit <= 9; ++unit) {
            const std::string text = std::string(static_cast<std::size_t>(tens), 'X') + units[unit];
            if (!text.empty() && text == s)
                return tens * 10 + unit;
        }
    }
    return 0;
}

// Checks the UTF-8 of a line and that every character exists in code page 1252.
// Returns the code page 1252 bytes, or nothing after reporting the first offending character.
std::optional<std::string> toCodePage(const std::string &where, const std::string &line)
{
    std::size_t i = 0;
    int column = 1;
    while (i < line.size()) {
        const auto b0 = static_cast<unsigned char>(line[i]);
        int extra = b0 < 0x80             ? 0
                    : (b0 & 0xE0) == 0xC0 ? 1
                    : (b0 & 0xF0) == 0xE0 ? 2
                    : (b0 & 0xF8) == 0xF0 ? 3
                                          : -1;
        char32_t code = extra == 0 ? b0 : extra == 1 ? (b0 & 0x1F) : extra == 2 ? (b0 & 0x0F) : (b0 & 0x07);
        bool valid = extra >= 0 && i + static_cast<std::size_t>(extra) < line.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const auto b = static_cast<unsigned char>(line[i + static_cast<std::size_t>(k)]);
            if ((b & 0xC0) != 0x80)
                valid = false;
            else
                code = (code << 6) | (b & 0x3F);
        }
        static const char32_t minimum[] = {0, 0x80, 0x800, 0x10000};
        if (valid && (code < minimum[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)))
            valid = false;
        if (!valid) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", b0);
            error(where,
                  "invalid UTF-8 (byte " + std::string(hex) + " at column " + std::to_string(column) + ")");
            return std::nullopt;
        }
        if (code < 0x20 || code == 0x7F || cp1252::fromUnicode(code) < 0) {
            char name[16];
            std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(code));
            error(where, std::string("character ") + name + " at column " + std::to_string(column) +
                             (code < 0x20 || code == 0x7F ? " is a control character"
                                                          : " is not in code page 1252"));
            return std::nullopt;
        }
        i += static_cast<std::size_t>(extra) + 1;
        ++column;
    }
    bool lossless = false;
    std::string bytes = cp1252::fromUtf8(line, &lossless);
    if (!lossless) {
        error(where, "text cannot be written in code page 1252");
        return std::nullopt;
    }
    return bytes;
}

// True when the UTF-8 text holds no lower-case letter (ASCII or Latin-1).
bool isUpperCase(std::string_view utf8)
{
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b >= 'a' && b <= 'z')
            return false;
        // Latin-1 lower case letters U+00DF..U+00FF (except ÷) are C3 9F..C3 BF in UTF-8.
        if (b == 0xC3 && i + 1 < utf8.size()) {
            const auto c = static_cast<unsigned char>(utf8[i + 1]);
            if (c >= 0x9F && c != 0xB7)
                return false;
        }
    }
    return true;
}

// Order key of a chapter or annex heading ("CAPÍTULO III-A", "ANEXO I"), or nothing.
std::optional<int> headingKey(std::string_view text)
{
    int base = 0;
    if (startsWith(text, "CAPÍTULO ")) {
        text.remove_prefix(std::string_view("CAPÍTULO ").size());
    } else if (startsWith(text, "ANEXO ")) {
        text.remove_prefix(std::string_view("ANEXO ").size());
        base = 1000;
    } else {
        return std::nullopt;
    }
    bool lettered = false;
    if (base == 0 && text.size() > 2 && text.substr(text.size() - 2) == "-A") {
        lettered = true;
        text.remove_suffix(2);
    }
    const int value = romanValue(text);
    if (value == 0 || value > (base == 0 ? 20 : 1))
        return std::nullopt;
    return base + value * 2 + (lettered ? 1 : 0);
}

struct Article {
    int number = 0;
    std::string letters;         // "" or "A", "B"...
    std::size_t labelLength = 0; // bytes of "Art. 25-A." in the UTF-8 line
};

// Parses the label of an article line: "Art. 1º", "Art. 7º-A.", "Art. 10.", "Art. 25-A.".
std::optional<Article> parseArticle(std::string_view line, std::string &problem)
{
    Article art;
    std::size_t i = 4; // after "Art."
    if (line.size() <= i || line[i] != ' ') {
        problem = "an article label is \"Art. \" and its number";
        return std::nullopt;
    }
    ++i;
    const std::size_t digits = i;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9')
        art.number = art.number * 10 + (line[i++] - '0');
    if (i == digits || line[digits] == '0' || i - digits > 3) {
        problem = "bad article number";
        return std::nullopt;
    }
    const bool ordinal = line.substr(i, 2) == "º";
    if (ordinal)
        i += 2;
    if (art.number <= 9 && !ordinal) {
        problem = "articles 1 to 9 are written as ordinals (\"Art. " + std::to_string(art.number) + "º\")";
        return std::nullopt;
    }
    if (art.number >= 10 && ordinal) {
        problem =
            "articles from 10 on are written as cardinals (\"Art. " + std::to_string(art.number) + ".\")";
        return std::nullopt;
    }
    if (i < line.size() && line[i] == '-') {
        ++i;
        while (i < line.size() && line[i] >= 'A' && line[i] <= 'Z')
            art.letters += line[i++];
        if (art.letters.empty()) {
            problem = "a lettered article is written \"Art. 25-A.\"";
            return std::nullopt;
        }
    }
    const bool needsPoint = !ordinal || !art.letters.empty();
    if (needsPoint) {
        if (i >= line.size() || line[i] != '.') {
            problem = "the article label must end with a full stop";
            return std::nullopt;
        }
        ++i;
    }
    if (i >= line.size() || line[i] != ' ' || i + 1 >= line.size()) {
        problem = "the article label must be followed by a space and the text";
        return std::nullopt;
    }
    art.labelLength = i;
    return art;
}

bool articleBefore(const Article &a, const Article &b)
{
    if (a.number != b.number)
        return a.number < b.number;
    if (a.letters.size() != b.letters.size())
        return a.letters.size() < b.letters.size();
    return a.letters < b.letters;
}

std::string articleName(const Article &a)
{
    return std::to_string(a.number) + (a.letters.empty() ? "" : "-" + a.letters);
}

// RTF text of code page 1252 bytes.
std::string rtfEscape(std::string_view bytes)
{
    std::string out;
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (ch == '\\' || ch == '{' || ch == '}') {
            out += '\\';
            out += ch;
        } else if (b >= 0x80) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\'%02x", b);
            out += hex;
        } else {
            out += ch;
        }
    }
    return out;
}

enum class Expect { Anything, ChapterTitle, SectionTitle };

struct State {
    Expect expect = Expect::Anything;
    std::string expectAfter; // heading that asked for the title
    int lastHeading = 0;
    bool inChapter = false;
    std::optional<Article> lastArticle;
    std::string body; // RTF paragraphs
};

void convertLine(State &st, const std::string &where, const std::string &line)
{
    const std::optional<std::string> bytes = toCodePage(where, line);
    if (!bytes)
        return;

    const bool chapterLine = startsWith(line, "= ");
    const bool sectionLine = startsWith(line, "== ");
    if (!chapterLine && !sectionLine && line[0] == '=') {
        error(where, "a heading line starts with \"= \" (chapter) or \"== \" (section)");
        return;
    }
    const std::string_view text = std::string_view(line).substr(chapterLine ? 2 : sectionLine ? 3 : 0);

    if (st.expect != Expect::Anything) {
        const bool chapterTitle = st.expect == Expect::ChapterTitle;
        st.expect = Expect::Anything;
        if (chapterTitle ? !chapterLine : !sectionLine) {
            error(where, std::string("a title line \"") + (chapterTitle ? "= " : "== ") +
                             "TITLE\" must follow \"" + st.expectAfter + "\"");
            return;
        }
        if (!isUpperCase(text))
            error(where, "a title must be written in upper case");
        if (text.find("CAPÍTULO") != std::string_view::npos || text.find("ANEXO") != std::string_view::npos)
            error(where, "\"CAPÍTULO\" and \"ANEXO\" in upper case may only stand in a heading");
        st.body += "\\pard\\sa120\\b " + rtfEscape(bytes->substr(chapterLine ? 2 : 3)) + "\\b0\\par\r\n";
        return;
    }

    if (chapterLine) {
        const std::optional<int> key = headingKey(text);
        if (!key) {
            error(where,
                  "a chapter heading is \"= CAPÍTULO\" with a roman numeral from I to XX (\"-A\" for a "
                  "lettered chapter), or \"= ANEXO I\"; a title line follows its heading");
            return;
        }
        if (*key <= st.lastHeading)
            error(where,
                  "\"" + std::string(text) + "\" is out of order: chapters come in the order of the law");
        st.lastHeading = *key;
        st.inChapter = true;
        st.expect = Expect::ChapterTitle;
        st.expectAfter = line;
        st.body += "\\pard\\sb240\\b " + rtfEscape(bytes->substr(2)) + "\\b0\\par\r\n";
        return;
    }
    if (sectionLine) {
        const bool section =
            startsWith(text, "Seção ") && romanValue(text.substr(std::string_view("Seção ").size())) > 0;
        const bool subsection = startsWith(text, "Subseção ") &&
                                romanValue(text.substr(std::string_view("Subseção ").size())) > 0;
        if (!section && !subsection) {
            error(where, "a section heading is \"== Seção\" with a roman numeral; a title line follows it");
            return;
        }
        if (!st.inChapter)
            error(where, "a section heading must stand inside a chapter");
        st.expect = Expect::SectionTitle;
        st.expectAfter = line;
        st.body += "\\pard\\sb120\\b " + rtfEscape(bytes->substr(3)) + "\\b0\\par\r\n";
        return;
    }

    if (line.find("CAPÍTULO") != std::string::npos || line.find("ANEXO") != std::string::npos) {
        error(where,
              "\"CAPÍTULO\" and \"ANEXO\" in upper case may only stand in a heading; write \"Capítulo\", "
              "\"Anexo\"");
        return;
    }

    if (startsWith(line, "Art.")) {
        std::string problem;
        const std::optional<Article> art = parseArticle(line, problem);
        if (!art) {
            error(where, problem);
            return;
        }
        if (!st.inChapter)
            error(where, "an article must stand inside a chapter");
        if (st.lastArticle && !articleBefore(*st.lastArticle, *art)) {
            error(where, "article " + articleName(*art) + " comes after article " +
                             articleName(*st.lastArticle) + ": articles follow the numbering of the law");
        } else if (st.lastArticle && art->number > st.lastArticle->number + 1) {
            warning(where, "article " + articleName(*art) + " follows article " +
                               articleName(*st.lastArticle) + ": the articles in between are missing");
        }
        st.lastArticle = art;
        const std::size_t labelBytes =
            cp1252::fromUtf8(std::string_view(line).substr(0, art->labelLength)).size();
        st.body += "\\pard\\sb60\\b " + rtfEscape(bytes->substr(0, labelBytes)) + "\\b0 " +
                   rtfEscape(bytes->substr(labelBytes)) + "\\par\r\n";
        return;
    }

    st.body += "\\pard " + rtfEscape(*bytes) + "\\par\r\n";
}

bool readInput(State &st, const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error(path, "cannot open the file");
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (number == 1 && startsWith(line, "\xEF\xBB\xBF"))
            line.erase(0, 3);
        if (line.find_first_not_of(" \t") == std::string::npos || line[0] == '#')
            continue;
        const std::string where = path + ":" + std::to_string(number);
        if (line.back() == ' ' || line.back() == '\t' || line[0] == ' ' || line[0] == '\t') {
            error(where, "leading or trailing blanks are not allowed");
            continue;
        }
        convertLine(st, where, line);
    }
    if (st.expect != Expect::Anything) {
        error(path + ":" + std::to_string(number),
              "the file ends before the title of \"" + st.expectAfter + "\"");
        st.expect = Expect::Anything;
    }
    return true;
}

// Writes the file under a temporary name and renames it, so the output is whole or absent.
bool writeAtomically(const std::filesystem::path &output, const std::string &content)
{
    std::filesystem::path temp = output;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << content;
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, output, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::cerr << "usage: ctb2rtf OUTPUT.rtf INPUT.txt...\n";
        return 2;
    }
    State st;
    for (int k = 2; k < argc; ++k)
        readInput(st, argv[k]);
    if (st.lastHeading == 0)
        error(argv[argc - 1], "no chapter heading in the input");
    if (g_errors > 0) {
        std::cerr << "ctb2rtf: " << g_errors << " error(s); " << argv[1] << " not written\n";
        return 1;
    }
    const std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0 {\\fonttbl{\\f0\\fswiss Arial;}}\r\n"
                            "\\viewkind4\\uc1\\f0\\fs20\r\n" +
                            st.body + "}\r\n";
    if (!writeAtomically(argv[1], rtf)) {
        std::cerr << argv[1] << ": error: cannot write the file\n";
        return 1;
    }
    return 0;
}
