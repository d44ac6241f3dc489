// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The reader's find dialog: a small non-modal window with the text to find, the match-case and
// whole-word options, the direction (down at start; the reader does not consult it) and the
// "Localizar próxima" and "Cancelar" buttons. It stays open between searches.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TFindDialog : public QDialog {
    Q_OBJECT
public:
    explicit TFindDialog(QWidget *parent = nullptr);

    QString findText() const;
    bool matchCase() const;
    bool wholeWord() const;
    bool down() const;

    QLineEdit *EditLocalizar = nullptr;
    QCheckBox *CheckMaiusculas = nullptr;
    QCheckBox *CheckPalavraInteira = nullptr;
    QRadioButton *RadioAcima = nullptr;
    QRadioButton *RadioAbaixo = nullptr;
    QPushButton *BBLocalizar = nullptr;
    QPushButton *BBCancelar = nullptr;

signals:
    // The "Localizar próxima" button was pressed (or Enter in the text box).
    void findNext();
};
