// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Provas anteriores": every exam the study history keeps, newest first, with its date, type, time
// and right answers. The review of any of them opens (and prints) as it did after its correction;
// one or several are deleted after a question.

#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;
class TFormRevisao;

class TFormProvasAnteriores : public QWidget {
    Q_OBJECT
public:
    explicit TFormProvasAnteriores(QWidget *parent = nullptr);
    ~TFormProvasAnteriores() override;

    // The review of the exam on the current row (Enter or a double click do the same).
    void BBRevisarClick();
    // Prints that review, as its own "Imprimir" does.
    void BBImprimirClick();
    // Deletes the exams of the selected rows after asking.
    void BBExcluirClick();

    // The history id of the exam on each row, top first.
    const QList<qint64> &ids() const { return m_ids; }
    // The review window, made when first opened.
    TFormRevisao *revisao() const { return m_revisaoJanela; }

    QLabel *LabelResumo = nullptr;
    QTableWidget *GridProvas = nullptr;
    QPushButton *BBRevisar = nullptr;
    QPushButton *BBImprimir = nullptr;
    QPushButton *BBExcluir = nullptr;
    QPushButton *BBFechar = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void refresh();
    void atualizaBotoes();
    // The review window holding the exam on the current row; nullptr when there is none.
    TFormRevisao *preparaRevisao();
    QList<int> linhasSelecionadas() const;

    QList<qint64> m_ids;
    TFormRevisao *m_revisaoJanela = nullptr;
    quint64 m_revisao = 0; // History::revision() when last read
};
