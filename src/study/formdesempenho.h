// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Desempenho": how the candidate is doing, read from the study history. Per subject the share of
// right answers over every exam and over the last five; the results of the last exams as a chart
// over time, against the 20 of 30 today's exam asks; the weakest subject, with a button that
// starts study by subject on it; the chance of passing today's exam (readiness.h) with its band,
// and how many of each subject's questions were seen; the chance over the last days of study.

#include "study/progress.h"
#include "study/readiness.h"

#include <QList>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class QTableWidget;

class TFormDesempenho : public QWidget {
    Q_OBJECT
public:
    explicit TFormDesempenho(QWidget *parent = nullptr);

    // Reads the history again and shows it.
    void refresh();
    const Progress::Report &report() const { return m_report; }

    // What "Treinar …" does with the weakest subject: the study window opens the drill on it.
    void setTreinar(std::function<void(int subject)> treinar) { m_treinar = std::move(treinar); }
    void BBTreinarClick();

    QLabel *LabelResumo = nullptr;
    // The chance of passing today's exam on the exam date (or today), and the subjects where study
    // would raise it most, each a button that opens study by subject on it.
    QLabel *LabelChance = nullptr;
    QList<QPushButton *> BBEstudar;
    QTableWidget *GridMaterias = nullptr;
    // The course's four modules: how many questions of each a drawn exam holds, how many were seen,
    // and the chance of a right answer on the exam date. Hidden while the bank names no module.
    QTableWidget *GridModulos = nullptr;
    QWidget *Grafico = nullptr;
    // The chance of passing at the end of each of the last days of study, for an exam that day, with
    // its band; and the chance on the exam date when one is set.
    QWidget *GraficoChance = nullptr;
    QLabel *LabelFraca = nullptr;
    QPushButton *BBTreinar = nullptr;
    QPushButton *BBFechar = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void mostraGrafico();
    void mostraChance();
    void mostraModulos(const Readiness::Estimate &e, Fsrs::Day dia);
    void mostraCurva(const Readiness::Estimate &naProva, bool temData, Fsrs::Day hoje, Fsrs::Day prova);

    Progress::Report m_report;
    QList<int> m_estudar; // the subject of each BBEstudar
    std::function<void(int)> m_treinar;
    quint64 m_revisao = 0; // History::revision() when last read
};
