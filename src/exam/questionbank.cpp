// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "exam/questionbank.h"

#include "common/errors.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QtGlobal>

// The study files and what each asks about. The subjects are those of the theory course for a
// first licence; the number of questions per subject follows the weight each had in the course's
// 45 hours (Res. CONTRAN 789/2020: legislação 18 h, direção defensiva 16 h, primeiros socorros 4 h,
// meio ambiente e cidadania 4 h, funcionamento do veículo 3 h; Res. CONTRAN 1.020/2025 keeps the
// subjects without fixed hours); the first twelve files, 1,200 questions:
//   estudo-01, -02  Legislação: licensing, infractions, penalties, vehicles, documents
//   estudo-03       Regras de Circulação
//   estudo-04, -05  Sinalização: every sign of the catalogue at least once, with its picture;
//                   road markings; light and hand signals
//   estudo-06 to -09 Direção Defensiva
//   estudo-10       Primeiros Socorros
//   estudo-11       Cidadania e Meio Ambiente
//   estudo-12       Mecânica Básica
// and, written later as situations to judge rather than facts to recall:
//   estudo-13, -19  Legislação
//   estudo-14       Regras de Circulação
//   estudo-15, -18  Direção Defensiva
//   estudo-16       Mecânica Básica
//   estudo-17       Sinalização: signs the catalogue lacks, and signals that meet
//   estudo-20       Primeiros Socorros
//   estudo-21       Cidadania e Meio Ambiente
//   estudo-22       Regras de Circulação
// Legislação with circulation and signage is about 40 % of the questions, direção defensiva about
// 36 %, the other three about 8 % each. A file need not be full: it holds its questions from its
// first number on without gaps.

namespace {

// The field lines of a question, in the order they are written. Figura and Explicação may be
// left out: a question without a picture has none, and a question still waiting for its
// explanation is shown in the exam all the same (the bank's tests require one for every question).
struct Field {
    const char16_t *key;
    int kind; // 0: the source line, kExplanationKind: the explanation; neither is a kind of the table
};
constexpr int kExplanationKind = -1;
constexpr int kLevelKind = -2;
constexpr int kModuleKind = -3;
constexpr int kRetiredKind = -4;
constexpr std::array<Field, 13> kFields{{
    {u"P", 1},
    {u"A", 2},
    {u"B", 3},
    {u"C", 4},
    {u"D", 5},
    {u"E", 6},
    {u"Figura", QuestionKind::Picture},
    {u"Resposta", QuestionKind::Answer},
    {u"Fonte", 0},
    {u"Explicação", kExplanationKind},
    {u"Nível", kLevelKind},
    {u"Módulo", kModuleKind},
    {u"Retirada", kRetiredKind},
}};
constexpr std::size_t kPictureField = 6;
constexpr std::size_t kExplanationField = 9;
constexpr std::size_t kLevelField = 10;
constexpr std::size_t kModuleField = 11;
constexpr std::size_t kRetiredField = 12;

constexpr std::size_t kAlternativeEField = 5;

// A study question has no E and must have its explanation. The level and the module are read
// when given; the bank's tests require them of every question. Only a retired question says so.
bool optionalField(std::size_t f, bool study)
{
    if (f == kLevelField || f == kModuleField || f == kRetiredField)
        return true;
    if (study)
        return f == kPictureField || f == kAlternativeEField;
    return f == kPictureField || f == kExplanationField;
}

int fieldIndex(QStringView key)
{
    for (std::size_t i = 0; i < kFields.size(); ++i)
        if (key == QStringView(kFields[i].key))
            return static_cast<int>(i);
    return -1;
}

QString quoted(const QString &s)
{
    return QLatin1Char('"') + s + QLatin1Char('"');
}

bool isBlank(const QString &line)
{
    return line.trimmed().isEmpty();
}
bool isComment(const QString &line)
{
    return line.startsWith(QLatin1Char('#'));
}

bool isNumberLine(const QString &line)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    return digits.match(line).hasMatch();
}

// The block named by a file "bloco-NN.txt" (any folder), 0 for any other name.
int blockOfFile(const QString &fileName)
{
    static const QRegularExpression name(QStringLiteral("(?:^|/)bloco-([0-9]{2})\\.txt$"));
    const auto m = name.match(fileName);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

// "# Estudo NN — <subject> (questões X a Y)".
const QRegularExpression &studyHeader()
{
    static const QRegularExpression header(
        QStringLiteral("^# Estudo ([0-9]{2}) \u2014 (\\S.*\\S) \\(questões ([0-9]+) a ([0-9]+)\\)$"));
    return header;
}

class Parser {
public:
    Parser(const QString &fileName, const QString &content)
        : m_file(fileName.mid(fileName.lastIndexOf(QLatin1Char('/')) + 1)), m_block(blockOfFile(fileName)),
          m_study(studyFileOf(fileName))
    {
        QString text = content;
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        m_lines = text.split(QLatin1Char('\n'));
        for (QString &line : m_lines)
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
    }

    ParsedQuestionFile run()
    {
        qsizetype i = 0;
        if (m_study > 0)
            i = header();
        while (i < m_lines.size()) {
            if (isBlank(m_lines[i]) || isComment(m_lines[i]))
                ++i;
            else
                i = question(i);
        }
        if (m_study > 0 && m_headerLine >= 0 && m_lastNumber != m_headerLast)
            problem(m_out.problems, m_headerLine,
                    QStringLiteral("the header says the questions end at %1, the last question is %2")
                        .arg(m_headerLast)
                        .arg(m_lastNumber));
        return std::move(m_out);
    }

private:
    // Reads the header of a study file; returns the index of the line after it.
    qsizetype header()
    {
        qsizetype i = 0;
        while (i < m_lines.size() && isBlank(m_lines[i]))
            ++i;
        const QString line = i < m_lines.size() ? m_lines[i] : QString();
        const auto m = studyHeader().match(line);
        if (!m.hasMatch()) {
            problem(m_out.problems, i,
                    QStringLiteral("header \"# Estudo %1 — <assunto> (questões %2 a N)\" "
                                   "expected, found %3")
                        .arg(m_study, 2, 10, QLatin1Char('0'))
                        .arg(firstStudyNumber(m_study))
                        .arg(quoted(line)));
            return i;
        }
        m_headerLine = i;
        m_subject = m.captured(2);
        m_headerLast = m.captured(4).toInt();
        if (m.captured(1).toInt() != m_study)
            problem(m_out.problems, i,
                    QStringLiteral("the header names file %1, not %2")
                        .arg(m.captured(1))
                        .arg(m_study, 2, 10, QLatin1Char('0')));
        if (m.captured(3).toInt() != firstStudyNumber(m_study))
            problem(m_out.problems, i,
                    QStringLiteral("the header says the questions start at %1, not %2")
                        .arg(m.captured(3))
                        .arg(firstStudyNumber(m_study)));
        return i + 1;
    }

    void problem(QList<QuestionFileProblem> &into, qsizetype index, const QString &what)
    {
        into.append({m_file, static_cast<int>(index) + 1, what});
    }

    // Reads the question starting at line index first; returns the index of the line after it.
    qsizetype question(qsizetype first)
    {
        QList<QuestionFileProblem> faults;
        qsizetype i = first + 1;
        const QString &head = m_lines[first];
        if (!isNumberLine(head)) {
            problem(faults, first, QStringLiteral("question number expected, found %1").arg(quoted(head)));
            // Skip to the next blank line: nothing of this question can be trusted.
            while (i < m_lines.size() && !isBlank(m_lines[i]))
                ++i;
            m_out.problems += faults;
            return i;
        }

        StoredQuestion q;
        q.number = head.size() <= 5 ? head.toInt() : -1;
        q.file = m_file;
        q.line = static_cast<int>(first) + 1;
        q.subject = m_subject;
        m_lastNumber = q.number;
        if (head.size() > 1 && head.startsWith(QLatin1Char('0'))) {
            problem(faults, first, QStringLiteral("question number %1 starts with a zero").arg(head));
        } else if (m_study > 0) {
            if (q.number < firstStudyNumber(m_study) || q.number > lastStudyNumber(m_study))
                problem(faults, first,
                        QStringLiteral("question %1 does not belong to study file %2 (%3 to %4)")
                            .arg(head)
                            .arg(m_study, 2, 10, QLatin1Char('0'))
                            .arg(firstStudyNumber(m_study))
                            .arg(lastStudyNumber(m_study)));
        } else if (q.number < kFirstQuestion || q.number > kLastQuestion || head.size() > 3) {
            problem(faults, first,
                    QStringLiteral("question number %1 is outside %2 to %3")
                        .arg(head)
                        .arg(kFirstQuestion)
                        .arg(kLastQuestion));
        } else if (m_block > 0 && (q.number - 1) / kBlockSize + 1 != m_block) {
            problem(faults, first,
                    QStringLiteral("question %1 does not belong to block %2 (%3 to %4)")
                        .arg(q.number)
                        .arg(m_block)
                        .arg((m_block - 1) * kBlockSize + 1)
                        .arg(m_block * kBlockSize));
        }

        std::array<bool, kFields.size()> seen{};
        int last = -1;
        for (; i < m_lines.size() && !isBlank(m_lines[i]); ++i) {
            const QString &line = m_lines[i];
            if (isComment(line))
                continue;
            if (isNumberLine(line)) {
                problem(faults, i, QStringLiteral("blank line missing before question %1").arg(line));
                break;
            }
            const qsizetype colon = line.indexOf(QLatin1Char(':'));
            const int f = colon > 0 ? fieldIndex(QStringView(line).left(colon)) : -1;
            if (colon <= 0) {
                problem(faults, i,
                        QStringLiteral("field line (\"P: text\") expected, found %1").arg(quoted(line)));
                continue;
            }
            const QString key = line.left(colon) + QLatin1Char(':');
            if (f < 0) {
                problem(faults, i, QStringLiteral("unknown field %1").arg(quoted(key)));
                continue;
            }
            const auto fi = static_cast<std::size_t>(f);
            if (seen[fi]) {
                problem(faults, i, QStringLiteral("%1 given twice").arg(quoted(key)));
                continue;
            }
            seen[fi] = true;
            if (m_study > 0 && key == QStringLiteral("E:")) {
                problem(faults, i,
                        QStringLiteral("a study question has four alternatives, A to D: no \"E:\" line"));
                continue;
            }
            if (f < last)
                problem(faults, i,
                        QStringLiteral("%1 out of order: the order is P, A, B, C, D, E, "
                                       "Figura, Resposta, Fonte, Explicação, Nível, Módulo, Retirada")
                            .arg(quoted(key)));
            last = f;
            if (line.size() > colon + 1 && line[colon + 1] != QLatin1Char(' ')) {
                problem(faults, i, QStringLiteral("one blank must follow %1").arg(quoted(key)));
                continue;
            }
            const QString value = line.mid(colon + 2);
            const int kind = kFields[fi].kind;
            if (kind == QuestionKind::Picture) {
                // The blocks name pictures of at most 5 characters; study questions may also
                // show the road markings FAIXA1 to FAIXA7.
                static const QRegularExpression code(QStringLiteral("^[A-Z0-9]{1,5}$"));
                static const QRegularExpression studyCode(QStringLiteral("^[A-Z0-9]{1,6}$"));
                const int longest = m_study > 0 ? 6 : 5;
                if (!(m_study > 0 ? studyCode : code).match(value).hasMatch())
                    problem(faults, i,
                            QStringLiteral("picture code must be 1 to %1 capital letters or "
                                           "digits, found %2")
                                .arg(longest)
                                .arg(quoted(value)));
                q.texts[kPictureField] = value;
            } else if (kind == QuestionKind::Answer) {
                const QString letters = m_study > 0 ? QStringLiteral("ABCD") : QStringLiteral("ABCDE");
                if (value.size() != 1 || !letters.contains(value[0]))
                    problem(faults, i,
                            QStringLiteral("right letter must be one of A to %1, found %2")
                                .arg(letters.back())
                                .arg(quoted(value)));
                else
                    q.texts[7] = QString::number(letters.indexOf(value[0]) + 1);
            } else if (value.trimmed().isEmpty()) {
                problem(faults, i, QStringLiteral("%1 is empty").arg(quoted(key)));
            } else if (kind == kLevelKind) {
                q.level = levelOfName(value);
                if (q.level == 0)
                    problem(faults, i,
                            QStringLiteral("level must be fácil, intermediário or difícil, found %1")
                                .arg(quoted(value)));
            } else if (kind == kModuleKind) {
                q.module = value.size() == 1 && value[0] >= QLatin1Char('1') && value[0] <= QLatin1Char('4')
                               ? value.toInt()
                               : 0;
                if (q.module == 0)
                    problem(faults, i, QStringLiteral("module must be 1 to 4, found %1").arg(quoted(value)));
            } else if (kind == kRetiredKind) {
                // The exam types ask every block question by its number.
                if (m_study == 0)
                    problem(faults, i, QStringLiteral("only a study question can be retired"));
                q.retired = value.trimmed();
            } else if (kind == 0) {
                q.source = value;
            } else if (kind == kExplanationKind) {
                q.explanation = value;
            } else {
                q.texts[static_cast<std::size_t>(kind - 1)] = value;
            }
        }

        for (std::size_t f = 0; f < kFields.size(); ++f)
            if (!seen[f] && !optionalField(f, m_study > 0))
                problem(faults, first,
                        QStringLiteral("question %1 has no %2 line")
                            .arg(head, quoted(QStringView(kFields[f].key).toString() + QLatin1Char(':'))));

        if (faults.isEmpty())
            m_out.questions.append(q);
        else
            m_out.problems += faults;
        return i;
    }

    QString m_file;
    int m_block;
    int m_study;
    QString m_subject;
    qsizetype m_headerLine = -1;
    int m_headerLast = 0;
    int m_lastNumber = 0;
    QStringList m_lines;
    ParsedQuestionFile m_out;
};

// The question files carried in the program, in name order.
QList<QuestionBank::File> compiledFiles()
{
    QList<QuestionBank::File> files;
    const QDir dir(QStringLiteral(":/questions"));
    const QStringList names = dir.entryList({QStringLiteral("bloco-*.txt"), QStringLiteral("estudo-*.txt")},
                                            QDir::Files, QDir::Name);
    for (const QString &name : names) {
        QFile f(dir.filePath(name));
        const bool opened = f.open(QIODevice::ReadOnly);
        // A compiled-in file always opens; an empty text would show up as missing questions.
        files.append({name, opened ? QString::fromUtf8(f.readAll()) : QString()});
    }
    return files;
}

} // namespace

QString QuestionFileProblem::toString() const
{
    return QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(what);
}

ParsedQuestionFile parseQuestionFile(const QString &fileName, const QString &content)
{
    return Parser(fileName, content).run();
}

namespace {
constexpr std::array<const char16_t *, kLevels> kLevelNames{u"fácil", u"intermediário", u"difícil"};
constexpr std::array<const char16_t *, kModules> kModuleNames{
    u"Placas, cores e caminhos", u"Escolhas e consequências", u"Na direção da segurança",
    u"Cuidar, agir e preservar"};

// names[n - 1] for n in 1..size, empty for any other n.
template <std::size_t N> QString nameOf(const std::array<const char16_t *, N> &names, int n)
{
    return n >= 1 && n <= static_cast<int>(N) ? QString::fromUtf16(names[static_cast<std::size_t>(n - 1)])
                                              : QString();
}
} // namespace

QString levelName(int level)
{
    return nameOf(kLevelNames, level);
}

int levelOfName(const QString &name)
{
    for (int level = 1; level <= kLevels; ++level)
        if (name == levelName(level))
            return level;
    return 0;
}

QString moduleName(int module)
{
    return nameOf(kModuleNames, module);
}

int studyFileOf(const QString &fileName)
{
    static const QRegularExpression name(QStringLiteral("(?:^|/)estudo-([0-9]{2})\\.txt$"));
    const auto m = name.match(fileName);
    if (!m.hasMatch())
        return 0;
    const int file = m.captured(1).toInt();
    return file >= 1 && file <= kStudyFiles ? file : 0;
}

int answerNumberFromText(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok)
        throw EConvertError(QStringLiteral("'%1' não é um valor inteiro válido").arg(text));
    return value;
}

QuestionBank::QuestionBank(const QList<File> &files)
{
    for (const File &file : files) {
        ParsedQuestionFile parsed = parseQuestionFile(file.name, file.content);
        m_problems += parsed.problems;
        for (StoredQuestion &q : parsed.questions) {
            if (q.isStudy()) {
                if (const auto it = m_studyIndex.constFind(q.number); it != m_studyIndex.constEnd()) {
                    const StoredQuestion &first = m_study[*it];
                    m_problems.append({q.file, q.line,
                                       QStringLiteral("question %1 is already stored at %2:%3")
                                           .arg(q.number)
                                           .arg(first.file)
                                           .arg(first.line)});
                    continue;
                }
                m_studyIndex.insert(q.number, m_study.size());
                m_study.append(std::move(q));
                continue;
            }
            if (const auto it = m_index.constFind(q.number); it != m_index.constEnd()) {
                const StoredQuestion &first = m_questions[*it];
                m_problems.append({q.file, q.line,
                                   QStringLiteral("question %1 is already stored at %2:%3")
                                       .arg(q.number)
                                       .arg(first.file)
                                       .arg(first.line)});
                continue;
            }
            for (int kind = QuestionKind::Text; kind <= QuestionKind::Answer; ++kind)
                if (!q.text(kind).isEmpty())
                    m_strings.insert(questionStringId(kind, q.number), q.text(kind));
            m_index.insert(q.number, m_questions.size());
            m_questions.append(std::move(q));
        }
    }
}

const QuestionBank &QuestionBank::instance()
{
    static const QuestionBank bank = [] {
        QuestionBank built(compiledFiles());
        for (const QuestionFileProblem &p : built.problems())
            qWarning("question bank: %s", qUtf8Printable(p.toString()));
        return built;
    }();
    return bank;
}

int QuestionBank::answerNumber(int number) const
{
    return answerNumberFromText(string(QuestionKind::Answer, number));
}

const StoredQuestion *QuestionBank::studyQuestion(int number) const
{
    const auto it = m_studyIndex.constFind(number);
    return it == m_studyIndex.constEnd() ? nullptr : &m_study[*it];
}

const StoredQuestion *QuestionBank::question(int number) const
{
    if (number >= kFirstStudyQuestion)
        return studyQuestion(number);
    const auto it = m_index.constFind(number);
    return it == m_index.constEnd() ? nullptr : &m_questions[*it];
}

QString QuestionBank::source(int number) const
{
    const auto it = m_index.constFind(number);
    return it == m_index.constEnd() ? QString() : m_questions[*it].source;
}

QString QuestionBank::explanation(int number) const
{
    const auto it = m_index.constFind(number);
    return it == m_index.constEnd() ? QString() : m_questions[*it].explanation;
}

QString questionString(int kind, int number)
{
    return QuestionBank::instance().string(kind, number);
}
int questionAnswer(int number)
{
    return QuestionBank::instance().answerNumber(number);
}
QString questionPicture(int number)
{
    return QuestionBank::instance().pictureCode(number);
}
