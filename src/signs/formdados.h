// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The signage reference window: signs with code and name, the road markings and the plates.
// Three sections: a sign found by its code or stepped through its group, the seven flow-dividing
// road markings and the six kinds of vehicle plate. Created once at start-up; closing hides it
// and every position, picture and caption stays as it was.

#include "signs/signcatalog.h"
#include "signs/signstepper.h"

#include "common/deferredcontent.h"
#include <QList>

#include <QWidget>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;
class TPanel;
class TShadowLabel;
class TSpinButton;

class TFormDados : public QWidget {
    Q_OBJECT
public:
    using Construction = WindowConstruction;
    // Deferred construction builds the controls a moment after start-up or when first shown.
    explicit TFormDados(QWidget *parent = nullptr, Construction construction = Construction::Immediate);
    // Builds the controls if that has not happened yet.
    void ensureControls() { m_controls.ensure(); }
    ~TFormDados() override;

    // The code box; the main window puts the focus here when it opens the window.
    QLineEdit *EditPlaca = nullptr;

    // Sign section.
    TShadowLabel *RxLabel8 = nullptr; // header strip " Placas de Sinalização"
    QWidget *Bevel2 = nullptr;        // raised frame round the sign section
    QGroupBox *RadioGroupPlacas = nullptr;
    QList<QRadioButton *> RadioItems; // " Advertência", " Regulamentação", " Indicativas/..."
    TPanel *Panel5 = nullptr;         // white sunken frame round the sign's picture
    QLabel *ImagePlaca = nullptr;
    QLabel *Label28 = nullptr; // "Localizar:", over the code box
    QToolButton *SBProcuraPlaca = nullptr;
    TSpinButton *SpinButton2 = nullptr; // arrows: previous / next sign of the chosen group
    QLabel *LabelNomePlaca = nullptr;
    QLabel *LabelDescricaoPlaca = nullptr;
    // Road-marking section.
    TShadowLabel *RxLabel10 = nullptr; // header strip " Linhas de Divisão de Fluxos"
    QWidget *Bevel4 = nullptr;         // raised frame round the road-marking section
    TPanel *Panel7 = nullptr;          // grey sunken frame round the road-marking picture
    QLabel *ImageFaixa = nullptr;
    QLabel *Image7 = nullptr;           // the car drawn in its lane over the road marking
    TSpinButton *SpinButton1 = nullptr; // arrows: previous / next road marking
    QLabel *LabelNomeFaixa = nullptr;
    // Plate section.
    TShadowLabel *RxLabel9 = nullptr; // header strip " Placas de Identificação"
    QWidget *Bevel3 = nullptr;        // raised frame round the vehicle-plate section
    QLabel *ImagePlacaCarro = nullptr;
    TSpinButton *SpinButton3 = nullptr; // arrows: previous / next kind of vehicle plate
    QLabel *Label18 = nullptr;          // how vehicle plates are made up (letters, digits, colours)
    QLabel *LabelPlacaCarro = nullptr;
    QPushButton *BitBtn3 = nullptr; // "Cancelar": closes the window (also Esc)
    TPanel *Panel4 = nullptr;       // the empty sunken strip along the window's foot

    // The positions (sign groups, road marking, plate kind).
    const TSignStepper &positions() const { return m_stepper; }
    // The sign group of the selected item of RadioGroupPlacas.
    SignGroup selectedGroup() const;

    // Handlers, one per user event.
    void ProcurarPlaca();
    void SBProcuraPlacaClick();
    void SpinButton2DownClick();
    void SpinButton2UpClick();
    void RadioGroupPlacasClick();
    void SpinButton1DownClick();
    void SpinButton1UpClick();
    void SpinButton3DownClick();
    void SpinButton3UpClick();
    void BitBtn3Click();

protected:
    void setVisible(bool visible) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void buildSignSection();
    void buildMarkingSection();
    void buildPlateSection();
    // Sets the sign's picture, code and name (the group's NomePlaca... of the sign shown).
    void MostraPlaca(const SignView &sign);
    void MostraFaixa(const SignView &marking);
    void MostraPlacaCarro(const SignView &plate);
    // Enter in the code box searches; Esc anywhere presses "Cancelar"; F1 opens the help.
    bool handleKey(QObject *watched, class QKeyEvent *event);

    TSignStepper m_stepper;
    QButtonGroup *m_groupButtons = nullptr;
    DeferredContent m_controls;
};
