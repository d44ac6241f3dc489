// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The review of a corrected exam: each of the thirty positions again with the question, its
// picture, the alternatives as the exam showed them (the bank's five, or the four of today's format
// in their own order, lettered A to D) with the candidate's answer and the right one marked, the
// explanation and the source; the cited article opens in the traffic code reader, and the whole
// review prints (or is saved as PDF) for study away from the computer.
//
// The review reads the exam as it stood when it was corrected (question numbers, answers, right
// letters and marks), never the exam state or the personalised pool, which change with the next
// exam.

#include "exam/answersheet.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QPagedPaintDevice;
class QPushButton;
class QScrollArea;
class QTextDocument;
class ReadAloud;

class TFormRevisao : public QWidget {
    Q_OBJECT
public:
    explicit TFormRevisao(QWidget *parent = nullptr);
    ~TFormRevisao() override;

    // The corrected exam, position 1 at index 0, and what heads its printed pages (descricao()).
    void setProva(const QList<QuestaoCorrigida> &prova, const QString &descricao = QString());
    // "Prova 7 - Legislação, 08/12/2026 14:05", "Prova no formato atual, ...": an exam as the
    // printed review names it.
    static QString descricao(int type, const QDateTime &start);
    const QList<QuestaoCorrigida> &prova() const { return m_prova; }

    // Shows position 1..30 (ignored outside the exam).
    void MostraPosicao(int posicao);
    int posicao() const { return m_posicao; }

    // Stepping, through every position or, with "Só as erradas" checked, through the wrong and
    // unanswered ones only. Nothing moves past either end.
    void BBProximoClick();
    void BBAnteriorClick();
    void Primeira();
    void Ultima();
    void CheckBoxErradasClick();
    void BBVerCodigoClick();
    void BBImprimirClick();
    void BBFecharClick();

    // Writes the review into document as one text: the summary, then every position, or with
    // "Só as erradas" checked the wrong and unanswered ones only (what is printed).
    void MontaImpressao(QTextDocument &document) const;
    // Prints the same on printer (a printer, or any paged device), each position whole on a page,
    // every page headed with the exam and the page's number.
    void Imprime(QPagedPaintDevice &printer) const;

    // How "Imprimir" reaches a printer: the print dialog, then the review drawn by draw; in tests, a
    // PDF file. Returns false when the user cancelled.
    using EscolheImpressora =
        std::function<bool(QWidget *parent, const std::function<void(QPagedPaintDevice &)> &draw)>;
    static void setEscolheImpressora(EscolheImpressora choose);

    QLabel *LabelPosicao = nullptr;
    QLabel *LabelSituacao = nullptr;
    QScrollArea *ScrollQuestao = nullptr;
    QLabel *LabelPergunta = nullptr;
    QLabel *ImageQuestao = nullptr;
    QList<QLabel *> LabelAlternativas; // A..E; those past the alternatives shown are hidden
    QLabel *LabelExplicacao = nullptr;
    QLabel *LabelFonte = nullptr;
    QCheckBox *CheckBoxErradas = nullptr;
    QPushButton *BBAnterior = nullptr;
    QPushButton *BBProximo = nullptr;
    QPushButton *BBVerCodigo = nullptr;
    QPushButton *BBImprimir = nullptr;
    QPushButton *BBFechar = nullptr;

signals:
    // The position shown changed (1..30).
    void posicaoMudou(int posicao);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // True when position p (1..30) is stepped through under the current filter.
    bool conta(int p) const;
    // The next position from p in direction step (+1 or -1) under the filter, 0 when none.
    int vizinha(int p, int step) const;
    void atualizaBotoes();
    // What "Ouvir" reads: the question, its alternatives, the verdict on the answer and the
    // explanation.
    QString textoParaOuvir() const;
    // Sets the text sizes to the reading setting.
    void applyTextScale();
    // What is printed: the positions under the filter, the summary, and one position's text (its
    // picture added to document as a resource).
    QList<int> posicoesImpressas() const;
    QString resumoImpresso() const;
    QString posicaoImpressa(int posicao, QTextDocument &document) const;

    QList<QuestaoCorrigida> m_prova;
    QString m_descricao;
    int m_posicao = 0;
    ReadAloud *m_ouvir = nullptr;
};
