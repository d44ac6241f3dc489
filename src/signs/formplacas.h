// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sign query window: a narrow window, always on top, that shows one sign's picture and code
// while an exam runs. A sign is reached by typing its code and searching, or by choosing a group
// and stepping through it with the spin control.

#include "signs/signstepper.h"

#include "common/deferredcontent.h"

#include <QWidget>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QToolButton;
class TPanel;
class TSpinButton;
class TWinRoller;

class TFormPlacas : public QWidget {
    Q_OBJECT
public:
    using Construction = WindowConstruction;
    // Deferred construction builds the controls a moment after start-up or when first shown.
    explicit TFormPlacas(QWidget *parent = nullptr, Construction construction = Construction::Immediate);
    // Builds the controls if that has not happened yet.
    void ensureControls() { m_controls.ensure(); }
    ~TFormPlacas() override;

    // The window's positions in the three groups (A -1, R -1, I 2 before the first sign).
    int IndiceAdv() const { return m_indices.IndiceAdv(); }
    int IndiceReg() const { return m_indices.IndiceReg(); }
    int IndiceInd() const { return m_indices.IndiceInd(); }

protected:
    void setVisible(bool visible) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void buildControls();

    // Handlers.
    bool FormKeyPress(class QKeyEvent *event);
    void EditPlacaKeyPress();
    void SpeedButton1Click();
    void SpinButton2DownClick();
    void SpinButton2UpClick();
    void RadioGroupPlacasClick();

    // Searches the code in EditPlaca; found: shows the sign, not found: empties picture and caption.
    void ProcurarPlaca();
    // The selected group of RadioGroupPlacas.
    SignGroup selectedGroup() const;
    // Shows a sign: its picture in ImagePlaca and its code in LabelNomePlaca.
    void mostrarPlaca(const SignView &sign);

    TSignStepper m_indices;

    TPanel *Panel2 = nullptr; // white sunken frame round the sign's picture
    QLabel *ImagePlaca = nullptr;
    TSpinButton *SpinButton1 = nullptr; // arrows: previous / next sign of the chosen group
    QLabel *LabelNomePlaca = nullptr;
    QLabel *Label3 = nullptr; // "Código para localizar:", over the code box
    QLineEdit *EditPlaca = nullptr;
    QToolButton *SpeedButton1 = nullptr; // "Localizar": shows the sign of the code typed
    QGroupBox *RadioGroupPlacas = nullptr;
    QButtonGroup *m_groupButtons = nullptr;
    TWinRoller *WinRoller1 =
        nullptr; // the small button at the top right that rolls the window up to a strip and back
    DeferredContent m_controls;
};
