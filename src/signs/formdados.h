#pragma once
// The signage reference window: signs with code and name, the road markings and the plates.

#include <QWidget>

class QLineEdit;

class TFormDados : public QWidget {
    Q_OBJECT
public:
    explicit TFormDados(QWidget *parent = nullptr);

    // The code box; the main window puts the focus here when it opens the window.
    QLineEdit *EditPlaca;

private:
    void FormCreate();
};

// The program-wide reference to the signage reference window.
extern TFormDados *FormDados;
