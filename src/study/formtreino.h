// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Revisões de hoje" and "Estudar por assunto": the questions to study, one at a time. The reviews
// are the questions whose due day has come by the memory model (reviews.h), the lowest recall
// first, within the daily limit; study by subject offers the subject's questions never answered
// first (within the daily limit of new ones), then its reviews due. The candidate answers by
// button, key or click on the alternative, and sees at once whether it was right, with the right
// alternative marked as the review marks it, the explanation, the source and the cited article of
// the traffic code. After a right answer the candidate says how sure it was ("Sei", "Acho",
// "Chutei": a guess counts as not known); a wrong answer is stored at once. Every answer is stored
// in the study history as it is given; the memory and the due days are worked out from that
// history. With nothing left for today, the window says when the next review is due and offers to
// study ahead.

#include "study/reviews.h"

#include <QList>
#include <QWidget>

class QComboBox;
class ReadAloud;
class QLabel;
class QPushButton;
class QScrollArea;
class QStackedWidget;
struct StoredQuestion;

class TFormTreino : public QWidget {
    Q_OBJECT
public:
    // What the window studies: the reviews due, or a subject's new questions and then its reviews.
    enum class Modo { Revisoes, Assunto };

    // assunto: the subject (Subjects::Subject) the window is limited to, -1 for all.
    explicit TFormTreino(int assunto = -1, QWidget *parent = nullptr);
    ~TFormTreino() override;

    // Limits the window to subject assunto (-1: all), in mode modo, and, when the window is shown,
    // starts it again from the history (a hidden window does so when shown: every show starts
    // afresh).
    void Abre(int assunto, Modo modo = Modo::Revisoes);
    int assunto() const { return m_assunto; }
    Modo modo() const { return m_modo; }
    // Reads the history again and starts a round over what is left for today.
    void refresh();

    // Answers the question shown with alternative 1 (A) .. 5 (E); ignored when it was answered
    // already or the question has no such alternative.
    void answer(int alternativa);
    // After a right answer: how sure the candidate was; the answer is stored then.
    void BBSeiClick();
    void BBAchoClick();
    void BBChuteiClick();
    void BBProximoClick();
    void BBAnteciparClick();
    void BBVerCodigoClick();
    void BBFecharClick();
    void ComboAssuntoChange();

    // The questions of the round under way, in order, and the position (0-based) of the one shown.
    const QList<Reviews::Item> &rodada() const { return m_rodada; }
    int posicao() const { return m_posicao; }
    // True when the question shown has been answered.
    bool respondida() const { return m_resposta > 0; }
    // True when that answer is stored (a right one waits for how sure the candidate was).
    bool guardada() const { return m_guardada; }

    QComboBox *ComboAssunto = nullptr;
    QLabel *LabelPendentes = nullptr;
    QLabel *LabelCobertura = nullptr; // "Visto X de Y"
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
    QWidget *PainelCerteza = nullptr; // "Sei", "Acho", "Chutei", after a right answer
    QPushButton *BBSei = nullptr;
    QPushButton *BBAcho = nullptr;
    QPushButton *BBChutei = nullptr;
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
    // Starts a round over items; with none, shows the notice.
    void comecaRodada(const QList<Reviews::Item> &items, bool antecipando);
    // What is left for today in the mode and subject.
    QList<Reviews::Item> paraHoje() const;
    void showQuestion();
    void showResult();
    // Stores the answer given with how sure the candidate was; false when it could not be kept.
    bool guarda(DrillAnswer::Confidence certeza);
    void showNotice(const QString &inicio);
    void atualizaPendentes();
    const StoredQuestion *questao() const;
    // The fonts at the reading text size; what "Ouvir" reads: the question, and once answered the
    // verdict and the explanation.
    void aplicaTamanho();
    QString textoParaOuvir() const;

    ReadAloud *m_ouvir = nullptr;
    Modo m_modo = Modo::Revisoes;
    int m_assunto = -1;
    Memory::State m_memoria; // every answer replayed
    // The daily numbers and the exam date, read from the settings when the round starts.
    Reviews::Limits m_limites;
    std::optional<QDate> m_dataProva;
    std::array<QList<int>, Subjects::kCount> m_pools;
    QList<Reviews::Item> m_rodada;
    int m_posicao = 0;
    int m_resposta = 0;      // the alternative given to the question shown, 0 before
    bool m_guardada = false; // the answer shown was stored in the history
    Fsrs::Card m_depois;     // the question shown as the stored answer left it
    int m_certas = 0;
    bool m_antecipando = false;
    bool m_historico = true; // the history could be read
};
