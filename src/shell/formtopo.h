// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: a full-screen backdrop whose top strip is a toolbar with the five buttons
// (exam, signs, traffic code, help, close), a sixth for study, and a banner, a second banner below it and the
// status panel that shows the long hint of whatever the mouse points at.

#include <QWidget>

class QLabel;
class QMenu;
class QToolButton;
class TFormEstudo;
class TPanel;
class TStatus;

class TFormTopo : public QWidget {
    Q_OBJECT
public:
    explicit TFormTopo(QWidget *parent = nullptr);

    TStatus *status() const { return Status1; }

    // Event handlers.
    void RxSBProvaClick();
    void RxSBPlacasClick();
    void RxSBCodigoClick();
    void RxSBAjudaClick();
    void RxSBFinalizarClick();
    // The sixth button "Estudo" (key 6): the study window, made when first opened.
    void RxSBEstudoClick();
    TFormEstudo *estudo() const { return m_estudo; }
    // At start-up: an exam in today's format the last run left in progress is offered to be
    // continued (in the study window's exam window, with its time left), or forgotten.
    void ofereceProvaEmAndamento();
    void Image1Click();
    void Image2Click();
    void Versao1Click();
    void ShowHint(const QString &longHint);

signals:
    // The program is asked to end (Fechar, key 5, Esc, or the window closed).
    void quitRequested();

protected:
    void closeEvent(QCloseEvent *event) override;
    // Ends the message loop at once, whatever the other windows are doing.
    static void endProgram();
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    bool handleKey(QKeyEvent *event);

    TPanel *Panel1; // the cream backdrop filling the window
    TPanel *Panel2; // the toolbar strip along the top
    QLabel *Image1; // the toolbar's small banner; a click opens the download window
    QLabel *Image2; // the large banner below; a click opens the download window
    QToolButton *RxSBProva;
    QToolButton *RxSBPlacas;
    QToolButton *RxSBCodigo;
    QToolButton *RxSBAjuda;
    QToolButton *RxSBFinalizar;
    QToolButton *RxSBEstudo;
    TFormEstudo *m_estudo = nullptr;
    TStatus *Status1;    // the status bar: the long hint under the mouse and today's date
    QMenu *RxPopupMenu1; // the right-click menu ("Versão...")
};
