// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The question bank: every exam question as a table of strings keyed by identifier
// 1000 x kind + number (kinds 1 question text, 2..6 alternatives A..E, 7 picture code, 8 answer
// number "1".."5"). The bank is written as one text file per block (resources/questions/
// bloco-NN.txt) compiled into the program; the table is built from them once, on first use.
//
// Beside the eleven blocks the program carries study questions (resources/questions/estudo-NN.txt),
// written as today's exam asks: four alternatives A to D. They are numbered from 1001 on, one
// hundred numbers per file, and kept in a list of their own: the table of strings, which the
// eighteen exam types read, never holds them, so no study number can answer for an identifier
// 1000 x kind + number.

#include <QHash>
#include <QList>
#include <QString>
#include <array>

namespace QuestionKind {
constexpr int Text = 1;
constexpr int AlternativeA = 2;
constexpr int AlternativeE = 6;
constexpr int Picture = 7;
constexpr int Answer = 8;
} // namespace QuestionKind

// Question numbers run from 1 to 530, in eleven blocks of 50.
constexpr int kFirstQuestion = 1;
constexpr int kLastQuestion = 530;
constexpr int kBlockSize = 50;

// Study questions: file estudo-NN.txt holds the numbers 1000 + 100 (NN - 1) + 1 to
// 1000 + 100 NN, from its first number on without gaps; NN runs from 01 to kStudyFiles.
constexpr int kStudyFileSize = 100;
constexpr int kStudyFiles = 22;
constexpr int kFirstStudyQuestion = 1001;
constexpr int kStudyAlternatives = 4;
constexpr int firstStudyNumber(int file)
{
    return 1000 + (file - 1) * kStudyFileSize + 1;
}
constexpr int lastStudyNumber(int file)
{
    return 1000 + file * kStudyFileSize;
}

// The identifier of the string of the given kind of question number.
constexpr int questionStringId(int kind, int number)
{
    return 1000 * kind + number;
}

// One thing wrong in a question file: the file, the 1-based line and what is wrong.
struct QuestionFileProblem {
    QString file;
    int line = 0;
    QString what;
    // "bloco-05.txt:12: what".
    QString toString() const;
};

// One question as written in its file.
struct StoredQuestion {
    int number = 0;
    QString file;
    int line = 0;                 // line of the question number
    std::array<QString, 8> texts; // kinds 1..8 at index kind - 1; kind 8 holds "1".."5"
    QString source;               // the "Fonte:" line: where the right answer is grounded
    QString explanation;          // the "Explicação:" line: why the right answer is right
    QString subject;              // study questions: the subject named in the file's header
    int level = 0;                // the "Nível:" line: 1 fácil, 2 intermediário, 3 difícil; 0 none
    int module = 0;               // the "Módulo:" line: the course's module 1..4; 0 none
    // The "Retirada:" line of a study question no longer asked: why (it asks a fact another
    // question already asks, say). Its number stays taken, so that the answers a history keeps under
    // it never pass to another question; it is shown where an exam that asked it is read again.
    QString retired;

    // True for a question retired from study: never drawn, its answers left out of the memory.
    bool isRetired() const { return !retired.isEmpty(); }
    // True for a study question (four alternatives A to D, kind 6 empty).
    bool isStudy() const { return number >= kFirstStudyQuestion; }
    // The number of alternatives: 5 for a block question, 4 for a study question.
    int alternativeCount() const { return isStudy() ? kStudyAlternatives : 5; }

    const QString &text(int kind) const { return texts[static_cast<std::size_t>(kind - 1)]; }
};

// A question file read line by line.
struct ParsedQuestionFile {
    QList<StoredQuestion> questions; // the well-formed questions, in file order
    QList<QuestionFileProblem> problems;
};

// Parses the text of the question file fileName. A question with anything wrong is left out and
// every fault is listed with its line; never throws. When fileName is "bloco-NN.txt" the numbers
// must belong to block NN. When it is "estudo-NN.txt" the file is a study file: its first line
// that is not blank is the header "# Estudo NN — <subject> (questões X a Y)", its numbers belong
// to file NN, each question has the alternatives A to D (no E), a right letter A to D, a source
// and an explanation. Only a study question may carry a "Retirada:" line.
ParsedQuestionFile parseQuestionFile(const QString &fileName, const QString &content);

// The levels a question may carry, easiest first, and the course's four modules.
constexpr int kLevels = 3;
constexpr int kModules = 4;
// "fácil", "intermediário", "difícil" for levels 1..3; empty for any other.
QString levelName(int level);
// The level named ("fácil" .. "difícil"), 0 for any other text.
int levelOfName(const QString &name);
// The course's name of module 1..4 ("Placas, cores e caminhos" ...); empty for any other.
QString moduleName(int module);

// The study file named by fileName ("estudo-NN.txt", any folder), 0 for any other name.
int studyFileOf(const QString &fileName);

// Converts an answer-number text to an integer. Throws EConvertError when the text is empty or
// not a decimal number.
int answerNumberFromText(const QString &text);

class QuestionBank {
public:
    struct File {
        QString name; // "bloco-05.txt"
        QString content;
    };

    // Builds the table from files, in order. A question number met twice keeps its first
    // question; the second is a problem. Study files fill the study list, never the table.
    explicit QuestionBank(const QList<File> &files);

    // The bank carried in the program, built on first use from every :/questions/bloco-*.txt and
    // :/questions/estudo-*.txt; its problems are also written to the warning log once.
    static const QuestionBank &instance();

    // The text stored under identifier id, empty when none is stored.
    QString string(int id) const { return m_strings.value(id); }
    // The text of the given kind (1..8) of question number 1..530; empty when none is stored, and
    // for any other kind or number (a study number names no string of the table).
    QString string(int kind, int number) const
    {
        if (kind < QuestionKind::Text || kind > QuestionKind::Answer || number < kFirstQuestion ||
            number > kLastQuestion)
            return {};
        return string(questionStringId(kind, number));
    }
    // The right alternative of question number, 1 = A .. 5 = E. Throws EConvertError when the
    // question has no answer number stored (the error display shows "Data Inválida").
    int answerNumber(int number) const;
    // The picture code (kind 7) of question number: a picture name, or empty.
    QString pictureCode(int number) const { return string(QuestionKind::Picture, number); }
    // Where the right answer of question number is grounded, empty when nothing is stored.
    QString source(int number) const;
    // Why the right answer of question number is right, empty when nothing is stored.
    QString explanation(int number) const;

    // Every stored question of the blocks, in the order of the files; no study question.
    const QList<StoredQuestion> &questions() const { return m_questions; }
    // Every study question, in the order of the files (estudo-01 first).
    const QList<StoredQuestion> &studyQuestions() const { return m_study; }
    // The study question numbered number, or nullptr when none is stored.
    const StoredQuestion *studyQuestion(int number) const;
    // The question numbered number, of a block or of the study files; nullptr when none is stored.
    const StoredQuestion *question(int number) const;
    // True when number is a study question retired from study.
    bool isRetired(int number) const
    {
        const StoredQuestion *q = studyQuestion(number);
        return q && q->isRetired();
    }
    // What was wrong in the files; the questions concerned are left out.
    const QList<QuestionFileProblem> &problems() const { return m_problems; }

private:
    QHash<int, QString> m_strings;
    QHash<int, qsizetype> m_index; // number -> position in m_questions
    QList<StoredQuestion> m_questions;
    QHash<int, qsizetype> m_studyIndex; // number -> position in m_study
    QList<StoredQuestion> m_study;
    QList<QuestionFileProblem> m_problems;
};

// Shorthands on the bank carried in the program.
QString questionString(int kind, int number);
int questionAnswer(int number);
QString questionPicture(int number);
