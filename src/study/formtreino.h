// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Estudar meus erros": the drill over the questions answered wrong in exams. The questions due
// today (of every subject or of one) come one at a time; the candidate answers by button, key or
// click on the alternative, and sees at once whether it was right, with the right alternative
// marked as the review marks it, the explanation, the source and the cited article of the traffic
// code. Each answer is stored in the study history as it is given; the drill's boxes and dates
// are worked out from that history (drill.h). With nothing due, the window says when the next
// question is due and offers to train ahead.

#include "study/drill.h"

#include <QList>
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QStackedWidget;
struct StoredQuestion;

class TFormTreino : public QWidget {
    Q_OBJECT
public:
    // assunto: the subject (Subjects::Subject) the drill is limited to, -1 for all.
    explicit TFormTreino(int assunto = -1, QWidget *parent = nullptr);
    ~TFormTreino() override;

    // Limits the drill to subject assunto (-1: all) and, when the window is shown, starts it again
    // from the history (a hidden window does so when shown: every show starts afresh).
    void Abre(int assunto);
    int assunto() const { return m_assunto; }
    // Reads the history again and starts a round over the questions due today.
    void refresh();

    // Answers the question shown with alternative 1 (A) .. 5 (E); ignored when it was answered
    // already or the question has no such alternative.
    void answer(int alternativa);
    void BBProximoClick();
    void BBAnteciparClick();
    void BBVerCodigoClick();
    void BBFecharClick();
    void ComboAssuntoChange();

    // The questions of the round under way, in order, and the position (0-based) of the one shown.
    const QList<DrillCard> &rodada() const { return m_rodada; }
    int posicao() const { return m_posicao; }
    // True when the question shown has been answered.
    bool respondida() const { return m_resposta > 0; }

    QComboBox *ComboAssunto = nullptr;
    QLabel *LabelPendentes = nullptr;
    QStackedWidget *Paginas = nullptr;
    // The question page.
    QLabel *LabelPosicao = nullptr;
    QLabel *LabelSituacao = nullptr;
    QLabel *LabelDestino = nullptr;
    QScrollArea *ScrollQuestao = nullptr;
    QLabel *LabelPergunta = nullptr;
    QLabel *ImageQuestao = nullptr;
    QList<QLabel *> LabelAlternativas; // A..E
    QLabel *LabelExplicacao = nullptr;
    QLabel *LabelFonte = nullptr;
    QList<QPushButton *> BBRespostas; // A..E
    QPushButton *BBVerCodigo = nullptr;
    QPushButton *BBProximo = nullptr;
    // The notice page: nothing due, or the end of a round.
    QLabel *LabelAviso = nullptr;
    QPushButton *BBAntecipar = nullptr;
    QPushButton *BBContinuar = nullptr;
    QPushButton *BBFechar = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // The two pages, made once by the constructor.
    QWidget *buildQuestionPage();
    QWidget *buildNoticePage();
    // Starts a round over cards; with none, shows the notice.
    void comecaRodada(const QList<DrillCard> &cards, bool antecipando);
    void showQuestion();
    void showResult();
    void showNotice(const QString &inicio);
    void atualizaPendentes();
    const StoredQuestion *questao() const;

    int m_assunto = -1;
    QList<DrillCard> m_cards; // every question in the drill now
    QList<DrillCard> m_rodada;
    int m_posicao = 0;
    int m_resposta = 0;     // the alternative given to the question shown, 0 before
    DrillCard m_depois;     // the question shown as the answer left it
    bool m_guardada = true; // the answer shown was stored in the history
    int m_certas = 0;
    bool m_antecipando = false;
    bool m_historico = true; // the history could be read
};
