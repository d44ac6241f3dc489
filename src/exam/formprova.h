#pragma once
// The exam window: a three-page notebook (0 selection of the exam type, 1 the exam in progress,
// 2 the answer sheet) above a status strip.

#include <QWidget>

class QStackedWidget;
class TPanel;

class TFormProva : public QWidget {
    Q_OBJECT
public:
    explicit TFormProva(QWidget *parent = nullptr);

    // Switches to the selection page with the caption "Seleção de provas".
    void showSelectionPage();

    QStackedWidget *Notebook1;
    TPanel *Panel4;

private:
    void FormCreate();
};

// The program-wide reference to the exam window.
extern TFormProva *FormProva;
