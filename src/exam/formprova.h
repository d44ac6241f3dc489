// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The exam window: a three-page notebook (0 selection of the exam type, 1 the exam in progress,
// 2 the answer sheet) above a status strip. It shows the exam session it holds for the whole run
// and reports each exam it corrects (examCorrected) to whoever keeps them.

#include "common/deferredcontent.h"
#include "exam/examsession.h"
#include "exam/examtypes.h"
#include "exam/formrevisao.h"

#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QStackedWidget;
class QTableWidget;
class QTextEdit;
class QToolButton;
class TClockFace;
class TGauge;
class TLEDDisplay;
class TLEDMeter;
class TPanel;
class TShadowLabel;
class TSinalTraffic;
class ReadAloud;

class TFormProva : public QWidget {
    Q_OBJECT
public:
    // Deferred construction builds the three pages a moment after the event loop starts (or when
    // the window is first shown), so the program's start is not held up by a window not yet seen.
    using Construction = WindowConstruction;
    explicit TFormProva(QWidget *parent = nullptr, Construction construction = Construction::Immediate);
    ~TFormProva() override;

    // Builds the pages' controls if that has not happened yet.
    void ensurePages();
    // Switches to the selection page with the caption "Seleção de provas".
    void showSelectionPage();
    // The exam in progress (type, position, question number, the hidden list).
    TExamState &exam() { return m_session.state(); }
    const ExamSession &session() const { return m_session; }
    // The radio item selected on the selection page (-1 when none).
    int selectedItem() const;

    // Selection page.
    void BitBtn1Click();
    void BitBtn8Click();
    void Image1Click();
    // Builds the personalised exam's 30 numbers from numprova.dat into the hidden list.
    void MontaProvaPersonalizada();
    // Starts the exam of the type already set: the session page takes over.
    void IniciarProva();

    // Exam page.
    void MostraQuestao();
    bool EditRespostaKeyPress(QKeyEvent *event);
    void EditRespostaChange();
    void BBRespostaClick(int tag);
    void BBProximoClick();
    void BBAnteriorClick();
    void BBRespostaImediataClick();
    void SpeedButton1Click();
    void BBFinalizarClick();
    // Ends the exam; asks first when ask is true. Returns false when the user kept the exam.
    bool FinalizaProva(bool ask);

    // Answer sheet page.
    // Corrects the exam and reports it (examCorrected).
    void BBCorrigirClick();
    void CalculaResultados();
    void BitBtnCancelarClick();
    // The review of the corrected exam, opened at position 1..30; nothing before the correction.
    void BBRevisarClick();
    void Revisar(int posicao);
    // The exam as it stood when it was corrected; empty until then.
    const QList<QuestaoCorrigida> &provaCorrigida() const { return m_session.corrected(); }
    // The text of the answer sheet at a column (0..29) and row (0..3), as its grid shows it.
    QString gabarito(int column, int row) const;
    // Sets a cell of the answer sheet and shows it in the grid.
    void setGabarito(int column, int row, const QString &text);

    void Notebook1PageChanged(int page);

    QStackedWidget *Notebook1 = nullptr; // the three pages: selection, exam, answer sheet
    TPanel *Panel4 = nullptr;            // the strip at the foot: what to do on the page shown
    // Selection page controls.
    TPanel *PanelTopo = nullptr;
    QLabel *Image1 = nullptr; // the banner; a click, Enter or Space opens the download window
    QGroupBox *RadioGroupProvas = nullptr;
    QList<QRadioButton *> RadioItems;
    QPushButton *BitBtn1 = nullptr; // "&Iniciar": starts an exam of the chosen type
    QPushButton *BitBtn8 = nullptr; // "&Cancelar": closes the window (also Esc)
    // Exam page controls.
    TLEDDisplay *LEDDisplayQuestao = nullptr;
    QToolButton *SpeedButton1 = nullptr; // "Consultar Placas": opens the sign query window
    // The question text; its box keeps its size and scrolls when a larger text needs more room.
    QScrollArea *ScrollPergunta = nullptr;
    TShadowLabel *LabelPergunta = nullptr;
    TPanel *PanelFigura = nullptr;
    QLabel *ImageQuestao = nullptr;
    QTextEdit *Memo2 = nullptr; // the alternatives box, A to E
    QLineEdit *EditResposta = nullptr;
    QList<QPushButton *> AnswerButtons; // BBResposta, BitBtn4..BitBtn7: tags 1..5
    QPushButton *BBAnterior = nullptr;
    QPushButton *BBProximo = nullptr;
    QPushButton *BBFinalizar = nullptr;
    QPushButton *BBRespostaImediata = nullptr;
    TSinalTraffic *SinalTraffic1 = nullptr; // the traffic light: green right, red wrong (after "Resposta")
    TClockFace *RxClock1 = nullptr;         // the clock showing the time of day
    QLabel *LabelHoraInicio = nullptr;
    // Answer sheet controls.
    QTableWidget *StringGridGabarito = nullptr;
    QLabel *Label1 = nullptr; // the time the exam started
    QLabel *Label2 = nullptr; // the time it ended
    QLabel *LabelTempo = nullptr;
    QLabel *Label4 = nullptr;       // the number of right answers
    QLabel *Label16 = nullptr;      // the number of wrong answers
    QLabel *Label17 = nullptr;      // the number of answers marked invalid ("-")
    TLEDMeter *LEDMeter1 = nullptr; // the percentage of right answers as a bar of lights
    TGauge *GaugePorCento = nullptr;
    QLabel *LabelResultado = nullptr;
    QLabel *ImageResultado = nullptr;
    QPushButton *BBCorrigir = nullptr;
    QPushButton *BitBtnCancelar = nullptr;
    QPushButton *BBRevisar = nullptr;
    TFormRevisao *Revisao = nullptr; // made when first opened

signals:
    // An exam was corrected ("Corrigir"): the exam as corrected, to be kept.
    void examCorrected(const CorrectedExam &exam);

protected:
    void closeEvent(QCloseEvent *event) override;
    void setVisible(bool visible) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The exam's type and start, as the review heads its pages.
    QString descricaoDaProva() const;
    // Shows the answer sheet's cell at a column and row in the grid.
    void showGabarito(int column, int row);
    void FormCreate();
    void buildSelectionPage(QWidget *page);
    void buildExamPage(QWidget *page);
    void buildAnswerSheetPage(QWidget *page);
    // What "Ouvir" reads on the exam page: the question shown and its alternatives.
    QString textoParaOuvir() const;
    // Sets the exam page's text sizes to the reading setting (the boxes keep their sizes).
    void applyTextScale();
    // Sizes the question label to its text inside its scrolling box.
    void fitQuestionLabel();
    // Puts the answer stored for the position shown into the answer box (empty when none).
    void showStoredAnswer();
    // Empties the results of the answer sheet (counts, meter, gauge, verdict).
    void clearResults();
    // Asks whether to abandon the exam when the window is closed; true when it may close.
    bool FormCloseQuery();
    // Enter and Esc as the current page's default and cancel buttons.
    bool selectByAccelerator(QKeyEvent *event);
    bool handleKey(QKeyEvent *event);
    // The answer box's key filter run inside the error guard; true when the key was taken.
    bool guardedKey(QKeyEvent *event);

    ExamSession m_session;
    ReadAloud *m_ouvir = nullptr; // "Ouvir", F8 and the reading options of the exam page
    DeferredContent m_pages;
};
