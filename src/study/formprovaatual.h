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

#include <optional>

class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QStackedWidget;
class QTimer;
class TFormRevisao;

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
    void BBFinalizarClick();
    void BBRevisarClick();
    void BBNovaProvaClick();
    // Reads the clock: shows the time left and ends the exam when it has run out.
    void updateCountdown();

    // Start page.
    QLabel *LabelDescricao = nullptr;
    QSpinBox *SpinTempo = nullptr;
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
    QPushButton *BBFinalizar = nullptr;
    // Result page.
    QLabel *LabelResultado = nullptr;
    QLabel *LabelAcertos = nullptr;
    QLabel *LabelTempoGasto = nullptr;
    QLabel *LabelAviso = nullptr;
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
    // Ends the exam at end (corrects, stores, shows the result); porTempo when the time ran out.
    void finish(const QDateTime &end, bool porTempo);

    TodayExam m_prova;
    int m_posicao = 0;
    int m_minutos = TodayExam::kDefaultMinutes;
    QDateTime m_inicio;
    qint64 m_inicioMs = 0; // the steady clock at the start: the exam's time is counted on it
    QDateTime m_fim;
    // The start plus the time gone by on the steady clock: a jump of the time of day neither ends
    // the exam nor gives it time.
    QDateTime decorrido() const;
    qint64 m_idHistorico = 0;
    std::optional<quint32> m_sorteio; // where the next exam's draw starts, when set
};
