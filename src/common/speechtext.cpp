// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "speechtext.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <functional>

namespace {
// Words and their boundaries as Unicode sees them (accented letters are letters).
constexpr auto kUnicode = QRegularExpression::UseUnicodePropertiesOption;

const std::array<const char *, 20> kUnits = {
    "zero", "um",   "dois", "três",  "quatro",   "cinco",  "seis",      "sete",      "oito",    "nove",
    "dez",  "onze", "doze", "treze", "quatorze", "quinze", "dezesseis", "dezessete", "dezoito", "dezenove"};
const std::array<const char *, 10> kTens = {"",          "",         "vinte",   "trinta",  "quarenta",
                                            "cinquenta", "sessenta", "setenta", "oitenta", "noventa"};
const std::array<const char *, 10> kHundreds = {
    "",           "cento",      "duzentos",   "trezentos",  "quatrocentos",
    "quinhentos", "seiscentos", "setecentos", "oitocentos", "novecentos"};
const std::array<const char *, 10> kOrdinalUnits = {"",       "primeiro", "segundo", "terceiro", "quarto",
                                                    "quinto", "sexto",    "sétimo",  "oitavo",   "nono"};
const std::array<const char *, 10> kOrdinalTens = {
    "",           "décimo",       "vigésimo",   "trigésimo", "quadragésimo", "quinquagésimo",
    "sexagésimo", "septuagésimo", "octogésimo", "nonagésimo"};
const std::array<const char *, 10> kOrdinalHundreds = {"",
                                                       "centésimo",
                                                       "ducentésimo",
                                                       "trecentésimo",
                                                       "quadringentésimo",
                                                       "quingentésimo",
                                                       "sexcentésimo",
                                                       "septingentésimo",
                                                       "octingentésimo",
                                                       "noningentésimo"};

QString utf8(const char *text)
{
    return QString::fromUtf8(text);
}

// The feminine of a number word ending: "um" "uma", "dois" "duas", "duzentos" "duzentas".
QString feminineOf(QString words)
{
    static const QRegularExpression um(QStringLiteral("\\bum$"), kUnicode);
    static const QRegularExpression dois(QStringLiteral("\\bdois$"), kUnicode);
    static const QRegularExpression hundreds(QStringLiteral("entos\\b"), kUnicode);
    words.replace(um, QStringLiteral("uma"));
    words.replace(dois, QStringLiteral("duas"));
    words.replace(hundreds, QStringLiteral("entas"));
    return words;
}

// 1 to 999 in words.
QString belowThousand(int n)
{
    if (n == 100)
        return QStringLiteral("cem");
    QStringList parts;
    if (n >= 100)
        parts << utf8(kHundreds[static_cast<size_t>(n / 100)]);
    const int rest = n % 100;
    if (rest >= 20) {
        parts << utf8(kTens[static_cast<size_t>(rest / 10)]);
        if (rest % 10)
            parts << utf8(kUnits[static_cast<size_t>(rest % 10)]);
    } else if (rest > 0) {
        parts << utf8(kUnits[static_cast<size_t>(rest)]);
    }
    return parts.join(QStringLiteral(" e "));
}

// "e" joins a group to what came before when it is below a hundred or a round hundred
// ("mil e vinte", "mil e quinhentos", but "mil duzentos e cinquenta").
bool joinsWithE(int group)
{
    return group < 100 || group % 100 == 0;
}

int romanValue(const QString &roman)
{
    static const QHash<QChar, int> values = {{u'I', 1},   {u'V', 5},   {u'X', 10},  {u'L', 50},
                                             {u'C', 100}, {u'D', 500}, {u'M', 1000}};
    int total = 0;
    for (qsizetype i = 0; i < roman.size(); ++i) {
        const int v = values.value(roman.at(i));
        const int next = i + 1 < roman.size() ? values.value(roman.at(i + 1)) : 0;
        total += v < next ? -v : v;
    }
    return total;
}

// The roman numeral's value when it is written the usual way (III, IX, XIV; not IIII or VX), 0
// otherwise.
int romanNumber(const QString &token)
{
    static const QRegularExpression valid(
        QStringLiteral("^(?=[IVXLC])(C{0,3})(XC|XL|L?X{0,3})(IX|IV|V?I{0,3})$"), kUnicode);
    return valid.match(token).hasMatch() ? romanValue(token) : 0;
}

// Replaces every match of re in text by what make returns for it.
QString replaceEach(const QString &text, const QRegularExpression &re,
                    const std::function<QString(const QRegularExpressionMatch &)> &make)
{
    QString out;
    qsizetype last = 0;
    for (auto it = re.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).mid(last, m.capturedStart() - last);
        out += make(m);
        last = m.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return out;
}

// An article or paragraph number as the law is read: 1º to 9º as ordinals, 10 on as numbers.
QString lawNumber(const QString &digits)
{
    const int n = digits.toInt();
    return n >= 1 && n <= 9 ? SpeechText::ordinal(n) : SpeechText::number(n);
}

// "148-A": the number, then the letter.
QString articleNumber(const QRegularExpressionMatch &m, const QString &prefix)
{
    QString words = lawNumber(m.captured(prefix + QStringLiteral("n")));
    const QString suffix = m.captured(prefix + QStringLiteral("x"));
    if (!suffix.isEmpty())
        words += QLatin1Char(' ') + SpeechText::letterName(suffix.at(0));
    return words;
}

// One reference to the law: "art. 29, II, a", "arts. 54, I, e 55, I", "art. 61, § 1º, I, c",
// "art. 268, IV e parágrafo único".
QString articleReferences(const QString &text)
{
    static const QRegularExpression head(
        QStringLiteral("\\b([Aa]rt)(s?)\\.\\s*(?<n>\\d+)(?:º|°)?(?:-(?<x>[A-Z]))?"), kUnicode);
    static const QRegularExpression item(
        QStringLiteral("(?<sep>,\\s*(?:e\\s+|ou\\s+)?|\\s+e\\s+|\\s+a\\s+|\\s+ou\\s+|\\s+)"
                       "(?:(?<roman>[IVXL]+)(?=[\\s,;.)]|$)"
                       "|§§?\\s*(?<pn>\\d+)(?:º|°)?"
                       "|(?<letter>[a-z])(?=[,;.)]|$|\\s+d[oa]\\b)"
                       "|(?<unico>parágrafo único)"
                       "|(?<n>\\d+)(?:º|°)?(?:-(?<x>[A-Z]))?(?=[\\s,;.)]|$))"),
        kUnicode);
    QString out;
    qsizetype last = 0;
    for (auto it = head.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedStart() < last)
            continue;
        out += QStringView(text).mid(last, m.capturedStart() - last);
        const bool capital = m.captured(1).at(0).isUpper();
        out += (capital ? QStringLiteral("Artigo") : QStringLiteral("artigo")) +
               (m.captured(2).isEmpty() ? QString() : QStringLiteral("s")) + QLatin1Char(' ') +
               articleNumber(m, QString());
        qsizetype at = m.capturedEnd();
        bool afterRoman = false;
        for (;;) {
            const QRegularExpressionMatch i = item.match(text, at, QRegularExpression::NormalMatch,
                                                         QRegularExpression::AnchorAtOffsetMatchOption);
            if (!i.hasMatch())
                break;
            QString said;
            if (!i.captured(QStringLiteral("roman")).isEmpty()) {
                const int n = romanNumber(i.captured(QStringLiteral("roman")));
                if (n == 0)
                    break;
                said = QStringLiteral("inciso ") + SpeechText::number(n);
                afterRoman = true;
            } else if (!i.captured(QStringLiteral("pn")).isEmpty()) {
                said = QStringLiteral("parágrafo ") + lawNumber(i.captured(QStringLiteral("pn")));
                afterRoman = false;
            } else if (!i.captured(QStringLiteral("letter")).isEmpty()) {
                if (!afterRoman)
                    break;
                said = QStringLiteral("alínea ") +
                       SpeechText::letterName(i.captured(QStringLiteral("letter")).at(0));
            } else if (!i.captured(QStringLiteral("unico")).isEmpty()) {
                said = i.captured(QStringLiteral("unico"));
                afterRoman = false;
            } else if (!i.captured(QStringLiteral("n")).isEmpty()) {
                said = articleNumber(i, QString());
                afterRoman = false;
            } else {
                break;
            }
            out += i.captured(QStringLiteral("sep")) + said;
            at = i.capturedEnd();
        }
        last = at;
    }
    out += QStringView(text).mid(last);
    return out;
}

// Roman numerals outside an article: "inciso XII", "incisos I e II", "vol. II", "Anexo I"; and
// any numeral of two letters or more, which is never a word ("II", "XIV").
QString romanNumerals(const QString &text)
{
    static const QRegularExpression named(
        QStringLiteral("\\b(incisos?|[Aa]nexos?|[Cc]apítulos?|[Tt]ítulos?|[Vv]ol\\.|[Vv]olumes?|[Ss]eção|[Ss]"
                       "eções|Fase)\\s+"
                       "([IVXL]+(?:(?:,\\s*|\\s+e\\s+|\\s+a\\s+)[IVXL]+)*)\\b"),
        kUnicode);
    QString out = replaceEach(text, named, [](const QRegularExpressionMatch &m) -> QString {
        QString word = m.captured(1);
        if (word.compare(QStringLiteral("vol."), Qt::CaseInsensitive) == 0)
            word = word.at(0).isUpper() ? QStringLiteral("Volume") : QStringLiteral("volume");
        static const QRegularExpression numeral(QStringLiteral("[IVXL]+"), kUnicode);
        const QString list =
            replaceEach(m.captured(2), numeral, [](const QRegularExpressionMatch &r) -> QString {
                const int n = romanNumber(r.captured());
                return n ? SpeechText::number(n) : r.captured();
            });
        return word + QLatin1Char(' ') + list;
    });
    // The law's own lines: "X - ..." an inciso, "c) ..." an alínea.
    static const QRegularExpression itemLine(QStringLiteral("^(\\s*)([IVXL]+)\\s*[-–—]\\s+"),
                                             QRegularExpression::MultilineOption | kUnicode);
    out = replaceEach(out, itemLine, [](const QRegularExpressionMatch &m) -> QString {
        const int n = romanNumber(m.captured(2));
        return n ? m.captured(1) + QStringLiteral("inciso ") + SpeechText::number(n) + QStringLiteral(": ")
                 : m.captured();
    });
    static const QRegularExpression letterLine(QStringLiteral("^(\\s*)([a-z])\\)\\s+"),
                                               QRegularExpression::MultilineOption | kUnicode);
    out = replaceEach(out, letterLine, [](const QRegularExpressionMatch &m) -> QString {
        return m.captured(1) + QStringLiteral("alínea ") + SpeechText::letterName(m.captured(2).at(0)) +
               QStringLiteral(": ");
    });
    static const QRegularExpression lone(QStringLiteral("\\b[IVXL]{2,}\\b"), kUnicode);
    return replaceEach(out, lone, [](const QRegularExpressionMatch &m) -> QString {
        const int n = romanNumber(m.captured());
        return n ? SpeechText::number(n) : m.captured();
    });
}

// Words after a number that make it feminine ("duas horas", "vinte e uma infrações").
bool feminineNoun(const QString &word)
{
    static const QStringList nouns = {
        QStringLiteral("hora"),      QStringLiteral("pessoa"),     QStringLiteral("roda"),
        QStringLiteral("faixa"),     QStringLiteral("vez"),        QStringLiteral("semana"),
        QStringLiteral("tonelada"),  QStringLiteral("placa"),      QStringLiteral("infraç"),
        QStringLiteral("questõ"),    QStringLiteral("questão"),    QStringLiteral("categoria"),
        QStringLiteral("pista"),     QStringLiteral("luz"),        QStringLiteral("luzes"),
        QStringLiteral("multa"),     QStringLiteral("via"),        QStringLiteral("alternativ"),
        QStringLiteral("compressõ"), QStringLiteral("compressão"), QStringLiteral("ventilaç"),
        QStringLiteral("respiraç"),  QStringLiteral("mil"),        QStringLiteral("unidade"),
        QStringLiteral("portas"),    QStringLiteral("porta"),      QStringLiteral("linha"),
        QStringLiteral("marcha")};
    const QString w = word.toLower();
    return std::any_of(nouns.begin(), nouns.end(), [&w](const QString &noun) {
        return w.startsWith(noun) && (noun != QStringLiteral("mil") || w == noun) &&
               (noun != QStringLiteral("via") || w.size() <= 4);
    });
}

// A number as written, "3.500", "1,5", "0,05", "12", in words.
QString writtenNumber(const QString &written, bool feminine)
{
    const qsizetype comma = written.indexOf(QLatin1Char(','));
    QString whole = comma >= 0 ? written.left(comma) : written;
    whole.remove(QLatin1Char('.'));
    bool ok = false;
    const qint64 n = whole.toLongLong(&ok);
    if (!ok || whole.size() > 15)
        return written;
    QString words = SpeechText::number(n, feminine && comma < 0);
    if (comma >= 0) {
        const QString decimals = written.mid(comma + 1);
        words += QStringLiteral(" vírgula");
        qsizetype zeros = 0;
        while (zeros < decimals.size() - 1 && decimals.at(zeros) == u'0') {
            words += QStringLiteral(" zero");
            ++zeros;
        }
        words += QLatin1Char(' ') + SpeechText::number(decimals.mid(zeros).toLongLong());
    }
    return words;
}

// Whether a written number is exactly one ("1", "1,0"), for the singular of its unit.
bool isOne(const QString &written)
{
    static const QRegularExpression one(QStringLiteral("^1(,0+)?$"), kUnicode);
    return one.match(written).hasMatch();
}

struct Unit {
    const char *written;
    const char *singular;
    const char *plural;
    bool feminine;
};
const std::array<Unit, 14> kUnitsOfMeasure = {{
    {"km/h", "quilômetro por hora", "quilômetros por hora", false},
    {"mg/L", "miligrama por litro de ar", "miligramas por litro de ar", false},
    {"dg/L", "decigrama por litro", "decigramas por litro", false},
    {"g/L", "grama por litro", "gramas por litro", false},
    {"km", "quilômetro", "quilômetros", false},
    {"kg", "quilo", "quilos", false},
    {"cm", "centímetro", "centímetros", false},
    {"mm", "milímetro", "milímetros", false},
    {"dB", "decibel", "decibéis", false},
    {"min", "minuto", "minutos", false},
    {"m", "metro", "metros", false},
    {"t", "tonelada", "toneladas", true},
    {"h", "hora", "horas", true},
    {"L", "litro", "litros", false},
}};

QString unitsAndNumbers(const QString &text)
{
    // "14.071/2020": a law or resolution and its year.
    static const QRegularExpression lawYear(QStringLiteral("\\b(\\d{1,3}(?:\\.\\d{3})*|\\d+)/(\\d{4})\\b"),
                                            kUnicode);
    QString out = replaceEach(text, lawYear, [](const QRegularExpressionMatch &m) -> QString {
        return writtenNumber(m.captured(1), false) + QStringLiteral(" de ") +
               writtenNumber(m.captured(2), false);
    });
    // Ordinals: "1º", "2ª".
    static const QRegularExpression ordinals(QStringLiteral("\\b(\\d+)\\s?([ºª°])"), kUnicode);
    out = replaceEach(out, ordinals, [](const QRegularExpressionMatch &m) -> QString {
        return SpeechText::ordinal(m.captured(1).toInt(), m.captured(2) == QStringLiteral("ª"));
    });
    // Percentages.
    static const QRegularExpression percent(QStringLiteral("(\\d+(?:,\\d+)?)\\s?%"), kUnicode);
    out = replaceEach(out, percent, [](const QRegularExpressionMatch &m) -> QString {
        return writtenNumber(m.captured(1), false) + QStringLiteral(" por cento");
    });
    // A number and its unit: "40 km/h", "1,5 m", "10 t".
    static const QRegularExpression measure(
        QStringLiteral("(\\d{1,3}(?:\\.\\d{3})+(?:,\\d+)?|\\d+(?:,\\d+)?)\\s?"
                       "(km/h|mg/L|dg/L|g/L|km|kg|cm|mm|dB|min|m|t|h|L)(?![\\wÀ-ÿ/])"),
        kUnicode);
    out = replaceEach(out, measure, [](const QRegularExpressionMatch &m) -> QString {
        const QString unit = m.captured(2);
        for (const Unit &u : kUnitsOfMeasure) {
            if (unit == QLatin1String(u.written))
                return writtenNumber(m.captured(1), u.feminine) + QLatin1Char(' ') +
                       utf8(isOne(m.captured(1)) ? u.singular : u.plural);
        }
        return m.captured();
    });
    // "km/h" and "km" without a number before them.
    out.replace(QStringLiteral("km/h"), QStringLiteral("quilômetros por hora"));
    // Sign codes: "R-6C" "erre seis cê", "A-33a".
    static const QRegularExpression sign(QStringLiteral("\\b([ARS])-(\\d+)([A-Za-z]?)\\b"), kUnicode);
    out = replaceEach(out, sign, [](const QRegularExpressionMatch &m) -> QString {
        QString words = SpeechText::letterName(m.captured(1).at(0)) + QLatin1Char(' ') +
                        SpeechText::number(m.captured(2).toLongLong());
        if (!m.captured(3).isEmpty())
            words += QLatin1Char(' ') + SpeechText::letterName(m.captured(3).at(0));
        return words;
    });
    // Every other number, feminine before a feminine noun.
    static const QRegularExpression numberRe(
        QStringLiteral(
            "(\\d{1,3}(?:\\.\\d{3})+(?:,\\d+)?|\\d+(?:,\\d+)?)(?:-(?=\\d))?(?=(\\s+([\\wÀ-ÿ]+))?)"),
        kUnicode);
    out = replaceEach(out, numberRe, [](const QRegularExpressionMatch &m) -> QString {
        return writtenNumber(m.captured(1), feminineNoun(m.captured(3))) +
               (m.captured().endsWith(QLatin1Char('-')) ? QStringLiteral(" a ") : QString());
    });
    return out;
}

// Abbreviations: those said as words, those spelt letter by letter, and the unknown ones by their
// length.
QString abbreviations(const QString &text)
{
    static const QHash<QString, QString> known = {
        {QStringLiteral("CTB"), QStringLiteral("cê tê bê")},
        {QStringLiteral("CNH"), QStringLiteral("cê ene agá")},
        {QStringLiteral("ACC"), QStringLiteral("á cê cê")},
        {QStringLiteral("PPD"), QStringLiteral("pê pê dê")},
        {QStringLiteral("CRV"), QStringLiteral("cê erre vê")},
        {QStringLiteral("CRLV"), QStringLiteral("cê erre ele vê")},
        {QStringLiteral("IPVA"), QStringLiteral("i pê vê á")},
        {QStringLiteral("MBST"), QStringLiteral("manual brasileiro de sinalização de trânsito")},
        {QStringLiteral("ABS"), QStringLiteral("á bê esse")},
        {QStringLiteral("DEA"), QStringLiteral("dê é á")},
        {QStringLiteral("RCP"), QStringLiteral("erre cê pê")},
        {QStringLiteral("LFO"), QStringLiteral("ele efe ó")},
        {QStringLiteral("DRL"), QStringLiteral("dê erre ele")},
        {QStringLiteral("TWI"), QStringLiteral("tê dáblio i")},
        {QStringLiteral("AHA"), QStringLiteral("á agá á")},
        {QStringLiteral("ONU"), QStringLiteral("onu")},
        {QStringLiteral("GPS"), QStringLiteral("gê pê esse")},
        {QStringLiteral("CPF"), QStringLiteral("cê pê efe")},
        {QStringLiteral("VLT"), QStringLiteral("vê ele tê")},
        {QStringLiteral("GNV"), QStringLiteral("gê ene vê")},
        {QStringLiteral("ESC"), QStringLiteral("é esse cê")},
        {QStringLiteral("RES"), QStringLiteral("resolução")},
        {QStringLiteral("PRF"), QStringLiteral("pê erre efe")},
        {QStringLiteral("SAMU"), QStringLiteral("samu")},
        {QStringLiteral("ARLA"), QStringLiteral("arla")},
        {QStringLiteral("ABNT"), QStringLiteral("á bê ene tê")},
        {QStringLiteral("NBR"), QStringLiteral("ene bê erre")},
        {QStringLiteral("TPMS"), QStringLiteral("tê pê eme esse")},
        {QStringLiteral("RNPC"), QStringLiteral("erre ene pê cê")},
        {QStringLiteral("NHTSA"), QStringLiteral("ene agá tê esse á")},
        {QStringLiteral("IFRC"), QStringLiteral("i efe erre cê")},
        {QStringLiteral("OMS"), QStringLiteral("ó eme esse")},
        {QStringLiteral("ANTT"), QStringLiteral("á ene tê tê")},
        {QStringLiteral("PNATRANS"), QStringLiteral("pê natrans")},
    };
    static const QRegularExpression word(QStringLiteral("\\b[A-ZÁÉÍÓÚÂÊÔÃÕÇ]{2,}\\b"), kUnicode);
    return replaceEach(text, word, [](const QRegularExpressionMatch &m) -> QString {
        const QString w = m.captured();
        if (const auto it = known.constFind(w); it != known.constEnd())
            return *it;
        if (w.size() <= 3 && romanNumber(w) == 0) {
            QStringList letters;
            for (QChar c : w)
                letters << SpeechText::letterName(c);
            return letters.join(QLatin1Char(' '));
        }
        return w.toLower();
    });
}

// Abbreviated words and signs: "nº", "§", "Res.".
QString signsAndShortWords(const QString &text)
{
    QString out = text;
    static const QRegularExpression numero(QStringLiteral("\\b([Nn])[º°]\\s*"), kUnicode);
    out = replaceEach(out, numero, [](const QRegularExpressionMatch &m) -> QString {
        return m.captured(1) == QStringLiteral("N") ? QStringLiteral("Número ") : QStringLiteral("número ");
    });
    static const QRegularExpression paragraphs(QStringLiteral("§§\\s*"), kUnicode);
    out.replace(paragraphs, QStringLiteral("parágrafos "));
    static const QRegularExpression paragraph(QStringLiteral("§\\s*(\\d+)(?:º|°)?"), kUnicode);
    out = replaceEach(out, paragraph, [](const QRegularExpressionMatch &m) -> QString {
        return QStringLiteral("parágrafo ") + lawNumber(m.captured(1));
    });
    out.replace(QStringLiteral("§"), QStringLiteral("parágrafo"));
    static const QRegularExpression soleParagraph(QStringLiteral("\\b[Pp]ar\\.\\s+único"), kUnicode);
    out.replace(soleParagraph, QStringLiteral("parágrafo único"));
    // The emergency numbers (190 police, 192 ambulance, 193 fire brigade) are said digit by digit.
    static const QRegularExpression emergency(
        QStringLiteral("(?<=\\bo |\\bao |\\bno |\\bpelo |\\bdo |\\bnúmero )(19\\d)\\b(?![,.]\\d)"), kUnicode);
    out = replaceEach(out, emergency, [](const QRegularExpressionMatch &m) -> QString {
        QStringList digits;
        for (QChar d : m.captured(1))
            digits << SpeechText::number(d.digitValue());
        return digits.join(QLatin1Char(' '));
    });
    static const QRegularExpression res(QStringLiteral("\\bRes\\.\\s"), kUnicode);
    out.replace(res, QStringLiteral("Resolução "));
    return out;
}
} // namespace

QString SpeechText::number(qint64 n, bool feminine)
{
    // The magnitude, the smallest qint64 included.
    quint64 rest = n < 0 ? 0 - static_cast<quint64>(n) : static_cast<quint64>(n);
    const QString sign = n < 0 ? QStringLiteral("menos ") : QString();
    if (rest == 0)
        return QStringLiteral("zero");
    if (rest < 20 && !feminine)
        return sign + utf8(kUnits[static_cast<size_t>(rest)]);
    struct Scale {
        quint64 size;
        const char *one;
        const char *many;
    };
    // Every count of a scale is below a thousand for any qint64.
    const std::array<Scale, 5> scales = {{{1000000000000000000, "quintilhão", "quintilhões"},
                                          {1000000000000000, "quatrilhão", "quatrilhões"},
                                          {1000000000000, "trilhão", "trilhões"},
                                          {1000000000, "bilhão", "bilhões"},
                                          {1000000, "milhão", "milhões"}}};
    QStringList parts;
    for (const Scale &s : scales) {
        if (rest >= s.size) {
            const auto count = static_cast<int>(rest / s.size);
            parts << belowThousand(count) + QLatin1Char(' ') + utf8(count == 1 ? s.one : s.many);
            rest %= s.size;
        }
    }
    if (rest >= 1000) {
        const auto thousands = static_cast<int>(rest / 1000);
        const QString words = belowThousand(thousands);
        parts << (thousands == 1 ? QStringLiteral("mil")
                                 : (feminine ? feminineOf(words) : words) + QStringLiteral(" mil"));
        rest %= 1000;
    }
    if (rest > 0) {
        QString words = belowThousand(static_cast<int>(rest));
        if (feminine)
            words = feminineOf(words);
        if (parts.isEmpty())
            return sign + words;
        return sign + parts.join(QStringLiteral(" ")) +
               (joinsWithE(static_cast<int>(rest)) ? QStringLiteral(" e ") : QStringLiteral(" ")) + words;
    }
    return sign + parts.join(QStringLiteral(" "));
}

QString SpeechText::ordinal(int n, bool feminine)
{
    if (n <= 0 || n > 999)
        return number(n, feminine);
    QStringList parts;
    if (n >= 100)
        parts << utf8(kOrdinalHundreds[static_cast<size_t>(n / 100)]);
    if ((n / 10) % 10)
        parts << utf8(kOrdinalTens[static_cast<size_t>((n / 10) % 10)]);
    if (n % 10)
        parts << utf8(kOrdinalUnits[static_cast<size_t>(n % 10)]);
    QString words = parts.join(QLatin1Char(' '));
    if (feminine) {
        static const QRegularExpression ending(QStringLiteral("o\\b"), kUnicode);
        words.replace(ending, QStringLiteral("a"));
    }
    return words;
}

QString SpeechText::letterName(QChar letter)
{
    static const std::array<const char *, 26> names = {
        "á",   "bê", "cê", "dê",  "é",    "efe",  "gê", "agá", "i",  "jota",   "cá",  "ele",     "eme",
        "ene", "ó",  "pê", "quê", "erre", "esse", "tê", "u",   "vê", "dáblio", "xis", "ípsilon", "zê"};
    const char16_t c = letter.toUpper().unicode();
    if (c >= u'A' && c <= u'Z')
        return utf8(names[static_cast<size_t>(c - u'A')]);
    return QString(letter);
}

QString SpeechText::spoken(const QString &text)
{
    QString out = articleReferences(text);
    out = romanNumerals(out);
    out = signsAndShortWords(out);
    out = unitsAndNumbers(out);
    // "DETRAN/RS", "e/ou": two words (after the units and years, which use the bar).
    static const QRegularExpression slash(QStringLiteral("(?<=[\\wÀ-ÿ])/(?=[\\wÀ-ÿ])"), kUnicode);
    out.replace(slash, QStringLiteral(" "));
    out = abbreviations(out);
    return out;
}

QString SpeechText::withoutSignCode(const QString &question, bool hasPicture)
{
    if (!hasPicture)
        return question;
    static const QRegularExpression code(
        QStringLiteral("\\b(placa(?:\\s+de\\s+(?:advertência|regulamentação|indicação))?)\\s+(?:do\\s+"
                       "código\\s+)?[ARS]-\\d+[A-Za-z]?\\b"),
        kUnicode);
    QString out = question;
    out.replace(code, QStringLiteral("\\1 mostrada"));
    return out;
}

QString SpeechText::questionReading(const QString &question, const QStringList &alternatives, bool hasPicture)
{
    QStringList parts;
    parts << spoken(withoutSignCode(question.trimmed(), hasPicture));
    for (int k = 0; k < alternatives.size(); ++k)
        parts << QStringLiteral("alternativa ") + letterName(QChar(u'A' + k)) + QStringLiteral(": ") +
                     spoken(alternatives[k].trimmed());
    return parts.join(QLatin1Char('\n'));
}
