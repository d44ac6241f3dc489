#pragma once
// The exam window: a three-page notebook (0 selection of the exam type, 1 the exam in progress,
// 2 the answer sheet) above a status strip. It holds the exam in progress for the whole run.

#include "exam/examtypes.h"
#include "store/binarydataset.h"

#include <QWidget>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class TPanel;
class TShadowLabel;

class TFormProva : public QWidget {
    Q_OBJECT
public:
    explicit TFormProva(QWidget *parent = nullptr);
    ~TFormProva() override;

    // Switches to the selection page with the caption "Seleção de provas".
    void showSelectionPage();
    // The exam in progress (type, position, question number, the hidden list).
    TExamState &exam() { return m_exam; }
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

    void Notebook1PageChanged(int page);

    QStackedWidget *Notebook1;
    TPanel *Panel4;
    // Selection page controls.
    TPanel *PanelTopo;
    QLabel *Image1;
    QGroupBox *RadioGroupProvas;
    QList<QRadioButton *> RadioItems;
    QPushButton *BitBtn1;
    QPushButton *BitBtn8;

    // The table store of the personalised exam and its field.
    TBinaryDataSet BDS;
    TField &BDSNumero;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void buildSelectionPage(QWidget *page);
    // Asks whether to abandon the exam when the window is closed; true when it may close.
    bool FormCloseQuery();
    // Enter and Esc as the current page's default and cancel buttons.
    bool handleKey(QKeyEvent *event);

    TExamState m_exam;
};

// The program-wide reference to the exam window.
extern TFormProva *FormProva;
