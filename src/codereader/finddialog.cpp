// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "finddialog.h"

#include "common/windowkit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TFindDialog::TFindDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FindDialog"));
    setWindowTitle(QStringLiteral("Localizar"));
    setModal(false);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto *label = new QLabel(QStringLiteral("&Localizar:"), this);
    EditLocalizar = WindowKit::make<QLineEdit>(this, "EditLocalizar");
    label->setBuddy(EditLocalizar);

    CheckPalavraInteira = WindowKit::button<QCheckBox>(this, "CheckPalavraInteira", QRect(),
                                                       QStringLiteral("&Palavra inteira"));
    CheckMaiusculas = WindowKit::button<QCheckBox>(this, "CheckMaiusculas", QRect(),
                                                   QStringLiteral("&Diferenciar maiúsculas e minúsculas"));

    auto *direction = new QGroupBox(QStringLiteral("Direção"), this);
    RadioAcima = WindowKit::button<QRadioButton>(direction, "RadioAcima", QRect(), QStringLiteral("A&cima"));
    RadioAbaixo =
        WindowKit::button<QRadioButton>(direction, "RadioAbaixo", QRect(), QStringLiteral("A&baixo"));
    RadioAbaixo->setChecked(true);
    auto *directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(RadioAcima);
    directionLayout->addWidget(RadioAbaixo);

    BBLocalizar = WindowKit::button(this, "BBLocalizar", QRect(), QStringLiteral("Localizar &próxima"));
    BBLocalizar->setDefault(true);
    BBCancelar = WindowKit::button(this, "BBCancelar", QRect(), QStringLiteral("Cancelar"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0);
    grid->addWidget(EditLocalizar, 0, 1, 1, 2);
    auto *options = new QVBoxLayout;
    options->addWidget(CheckPalavraInteira);
    options->addWidget(CheckMaiusculas);
    options->addStretch();
    grid->addLayout(options, 1, 0, 1, 2);
    grid->addWidget(direction, 1, 2);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(BBLocalizar);
    buttons->addWidget(BBCancelar);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 3, 2, 1);

    connect(BBLocalizar, &QPushButton::clicked, this, &TFindDialog::findNext);
    connect(BBCancelar, &QPushButton::clicked, this, &QDialog::reject);
}

QString TFindDialog::findText() const
{
    return EditLocalizar->text();
}
bool TFindDialog::matchCase() const
{
    return CheckMaiusculas->isChecked();
}
bool TFindDialog::wholeWord() const
{
    return CheckPalavraInteira->isChecked();
}
bool TFindDialog::down() const
{
    return RadioAbaixo->isChecked();
}
