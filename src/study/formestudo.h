// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Estudo": the small window behind the main window's sixth button. It leads to the performance
// window, the reviews of the day, study by subject, the settings of study, the exam in today's format and the
// list of past exams, exports the study history as a spreadsheet file (CSV), and makes and restores a copy of
// the history (to take it to another computer).

#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class TFormDesempenho;
class TFormProvaAtual;
class TFormProvasAnteriores;
class TFormTreino;

class TFormEstudo : public QWidget {
    Q_OBJECT
public:
    explicit TFormEstudo(QWidget *parent = nullptr);
    ~TFormEstudo() override;

    void BBDesempenhoClick();
    // The drill over every subject, or over one (a Subjects::Subject) when subject >= 0.
    void BBErrosClick(int subject = -1);
    // Study by subject (-1: all); the settings of study (exam date, daily numbers).
    void BBAssuntoClick(int subject = -1);
    void BBAjustesClick();
    void BBProvaAtualClick();
    void BBProvasAnterioresClick();
    void BBExportarClick();
    void BBCopiaClick();
    void BBRestaurarClick();

    // The window each entry opens, made when first asked for.
    TFormDesempenho *desempenho();
    TFormTreino *treino();
    TFormProvaAtual *provaAtual();
    TFormProvasAnteriores *provasAnteriores();

    // How "Exportar histórico" asks where to write: a save-file dialog, or in tests a fixed name.
    // Returns the chosen file name, empty when the user cancelled. nullptr restores the dialog.
    using EscolheArquivo = std::function<QString(QWidget *parent, const QString &suggested)>;
    static void setEscolheArquivo(EscolheArquivo choose);
    // How "Fazer cópia do histórico" (to save: abrir false) and "Restaurar cópia" (to open: abrir
    // true) ask for the copy's file: a file dialog, or in tests a fixed name. nullptr restores it.
    using EscolheCopia = std::function<QString(QWidget *parent, const QString &suggested, bool abrir)>;
    static void setEscolheCopia(EscolheCopia choose);

    QLabel *LabelHistorico = nullptr;
    QPushButton *BBDesempenho = nullptr;
    QPushButton *BBErros = nullptr; // "Revisões de hoje"
    QPushButton *BBAssunto = nullptr;
    QPushButton *BBAjustes = nullptr;
    QPushButton *BBProvaAtual = nullptr;
    QPushButton *BBProvasAnteriores = nullptr;
    QPushButton *BBExportar = nullptr;
    QPushButton *BBCopia = nullptr;
    QPushButton *BBRestaurar = nullptr;
    QPushButton *BBFechar = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void refresh();

    TFormDesempenho *m_desempenho = nullptr;
    TFormTreino *m_treino = nullptr;
    TFormProvaAtual *m_provaAtual = nullptr;
    TFormProvasAnteriores *m_provasAnteriores = nullptr;
    quint64 m_revisao = 0; // History::revision() when last read
};
