// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The help viewer: a window showing the help file "Quelvado.html" that lies beside the program,
// scrolled to a topic (an anchor of the file: "topic0", "Topic90", "context20").

#include <QWidget>

class QTextBrowser;

class THelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit THelpWindow(QWidget *parent = nullptr);
    // Loads the help file (again, if it changed) and shows it at anchor; an error box names the
    // file when it is missing.
    void showTopic(const QString &anchor);
    QTextBrowser *browser() const { return m_browser; }

    // The one help window of the program, made on first use.
    static THelpWindow *instance();
    // Opens the help at anchor in the program's help window (installed as the desktop's viewer).
    static void open(const QString &anchor);

private:
    QTextBrowser *m_browser;
};
