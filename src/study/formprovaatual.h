// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The exam in today's format in a window of three pages: the start page says what the exam is and
// lets the candidate set the time limit; the exam page shows one question at a time with its four
// alternatives, chosen with the buttons A to D or the keys A to D, and the time left counting down;
// the result page gives the right answers, the verdict at twenty and the time taken, and opens the
// review. The exam ends when the candidate finishes it or when the time runs out; every exam that
// ends is stored in the history. Closing the window during an exam asks whether to abandon it.

#include "study/todayexam.h"

#include <QDateTime>
#include <QList>
#include <QWidget>

#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QStackedWidget;
class QTimer;
class TFormRevisao;
class ReadAloud;

class TFormProvaAtual : public QWidget {
    Q_OBJECT
public:
    enum Pagina { Inicio = 0, Prova = 1, Resultado = 2 };

    explicit TFormProvaAtual(QWidget *parent = nullptr);
    ~TFormProvaAtual() override;

    // The page shown.
    Pagina pagina() const;
    // The exam in progress or last ended.
    const TodayExam &prova() const { return m_prova; }
    // The position shown on the exam page (1..30).
    int posicao() const { return m_posicao; }
    // The id the history gave the last exam ended, 0 when it could not be stored.
    qint64 idHistorico() const { return m_idHistorico; }

    // Draws the next exam (only the next) from a generator started at `start` (tests, pictures).
    void setSorteio(quint32 start);

    // Handlers.
    void BBIniciarClick();
    void chooseAlternative(int letra); // 0 = A .. 3 = D
    void BBAnteriorClick();
    void BBProximoClick();
    void BBSemRespostaClick();
    void BBFinalizarClick();
    void BBRevisarClick();
    void BBEstudarErrosClick();
    void BBNovaProvaClick();
    // Reads the clock: shows the time left and ends the exam when it has run out.
    void updateCountdown();

    // An exam in progress is kept (TodayExam::progressFile()) after every answer and move, every
    // few seconds of its time and when the window goes with the program; finishing or abandoning
    // it forgets it. What a kept exam holds, to offer it at the next start; nothing when there is
    // none (a damaged or outdated one is removed).
    struct Guardada {
        TodayExam::Progress progress;
        int answered = 0;
        int total = 0;
    };
    static std::optional<Guardada> provaGuardada();
    // Continues the kept exam where it was, with the time left it had. False when there is none.
    bool continuaProva();
    // Forgets the kept exam.
    static void esqueceProgresso();
    // What "Estudar meus erros" on the result page opens; the button shows only when set.
    void setEstudarErros(std::function<void()> open);

    // Start page.
    QLabel *LabelDescricao = nullptr;
    QSpinBox *SpinTempo = nullptr;
    QCheckBox *CheckTempoAmpliado = nullptr; // "Tempo ampliado": twice the time limit
    QPushButton *BBIniciar = nullptr;
    // Exam page.
    QLabel *LabelPosicao = nullptr;
    QLabel *LabelRespondidas = nullptr;
    QLabel *LabelTempo = nullptr;
    QScrollArea *ScrollQuestao = nullptr;
    QLabel *LabelPergunta = nullptr;
    QLabel *ImageQuestao = nullptr;
    QList<QPushButton *> BBAlternativas; // A..D
    QList<QLabel *> LabelAlternativas;   // A..D
    QPushButton *BBAnterior = nullptr;
    QPushButton *BBProximo = nullptr;
    QPushButton *BBSemResposta = nullptr;
    QPushButton *BBFinalizar = nullptr;
    // Result page.
    QLabel *LabelResultado = nullptr;
    QLabel *LabelAcertos = nullptr;
    QLabel *LabelTempoGasto = nullptr;
    QLabel *LabelAviso = nullptr;
    QLabel *LabelMaterias = nullptr;
    QPushButton *BBEstudarErros = nullptr;
    QPushButton *BBRevisar = nullptr;
    QPushButton *BBNovaProva = nullptr;
    QPushButton *BBFechar = nullptr;

    QStackedWidget *Paginas = nullptr;
    QTimer *TimerTempo = nullptr;
    TFormRevisao *Revisao = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // The three pages, made once by the constructor.
    QWidget *buildStartPage();
    QWidget *buildExamPage();
    QWidget *buildResultPage();
    void showPage(Pagina p);
    void showQuestion(int posicao);
    void showAnsweredCount();
    // Ends the exam (corrects, stores, shows the result); porTempo when the time ran out.
    void finish(bool porTempo);
    bool emAndamento() const;
    // Seconds of exam time used: before this run of the exam's window, and since m_base.
    int decorridos() const;
    bool guardaProgresso();
    void mostraTempo(int segundos);
    // What "Ouvir" reads on the exam page: the question shown and its four alternatives.
    QString textoParaOuvir() const;
    // Sets the exam page's text sizes to the reading setting.
    void applyTextScale();
    // The time limit of the exam about to start: the one chosen, doubled with "Tempo ampliado".
    int minutosEscolhidos() const;

    TodayExam m_prova;
    int m_posicao = 0;
    int m_minutos = TodayExam::kDefaultMinutes;
    QDateTime m_inicio;       // when the exam began
    QDateTime m_base;         // when this window began or continued counting its time
    qint64 m_baseMs = 0;      // the steady clock then (Clock::steadyMs)
    int m_decorridoAntes = 0; // seconds used before m_base
    int m_gravadoEm = 0;      // the seconds used when last kept
    std::function<void()> m_estudarErros;
    QDateTime m_fim;
    qint64 m_idHistorico = 0;
    std::optional<quint32> m_sorteio; // where the next exam's draw starts, when set
    ReadAloud *m_ouvir = nullptr;
};
