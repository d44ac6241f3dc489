// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sheet a question is read on, shared by the review of a corrected exam, the reviews and study
// by subject, and the exam in today's format: a white page in a scroll area that starts with the
// question's text and its picture, where each window then adds its alternatives (and the
// explanation and the source); the colours and symbols that mark a right and a wrong answer; and
// how "Ver no Código" opens the traffic code reader at the article a question's source cites.

#include <QColor>
#include <QString>

class QLabel;
class QScrollArea;
class QVBoxLayout;
class QWidget;

namespace QuestionSheet {
// The background of the right alternative and of a wrong answer, and the text of a verdict on each.
inline const QColor kRightBackground{200, 238, 200};
inline const QColor kWrongBackground{248, 205, 205};
inline const QColor kRightText{0, 100, 0};
inline const QColor kWrongText{160, 0, 0};
// "✔" and "✘": the marks say it without the colours.
QString rightSymbol();
QString wrongSymbol();

// "A" for alternative 0, "B" for 1, ...
QString letter(int k);
// A label of word-wrapped text in the house font, its text selectable with the mouse.
QLabel *textLabel(QWidget *parent, const char *name, int pixelSize, bool bold);
// The label of alternative k (0 = A) on a sheet: "LabelAlternativaA", painted on its own background.
QLabel *alternativeLabel(QWidget *sheet, int k);

struct Sheet {
    QScrollArea *scroll = nullptr;
    QWidget *page = nullptr;     // the white page, "FolhaQuestao"
    QVBoxLayout *body = nullptr; // the page's column: the windows add below the picture
    QLabel *question = nullptr;  // "LabelPergunta"
    QLabel *picture = nullptr;   // "ImageQuestao"
};
// A sheet in a scroll area ("ScrollQuestao") on parent.
Sheet make(QWidget *parent);
// Shows a question's text and its picture (the picture label hidden when there is none).
void showQuestion(QLabel *text, QLabel *picture, const QString &question, const QString &pictureCode);

// Opens the traffic code reader at the first article source cites. False, with nothing opened,
// when the source cites none.
bool openCitedArticle(const QString &source);
} // namespace QuestionSheet
