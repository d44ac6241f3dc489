#pragma once
// The traffic code reader: shows the traffic code text from "cnt.rtf" beside the program.

#include <QWidget>

class TFormCodigo : public QWidget {
    Q_OBJECT
public:
    explicit TFormCodigo(QWidget *parent = nullptr);

private:
    void FormCreate();
};

// The program-wide reference to the traffic code reader.
extern TFormCodigo *FormCodigo;
