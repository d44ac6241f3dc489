#pragma once
// The sign query window: a narrow window, always on top, that shows one sign's picture and code
// while an exam runs.

#include <QWidget>

class TFormPlacas : public QWidget {
    Q_OBJECT
public:
    explicit TFormPlacas(QWidget *parent = nullptr);

private:
    void FormCreate();
};

// The program-wide reference to the sign query window.
extern TFormPlacas *FormPlacas;
