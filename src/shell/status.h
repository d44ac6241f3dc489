// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The status bar of the main window: a wide text area on the left and, on the right, a box with
// today's date whose hint is the date written out in full. Always docked at the bottom of its
// parent.

#include "controls/panel.h"

#include <QDate>

class TStatus : public TPanel {
    Q_OBJECT
public:
    // Builds the bar and its two children; the owner becomes the bar's parent. The date is taken
    // once, now, from the program's clock.
    explicit TStatus(QWidget *owner);

    // The text area shows one space followed by text.
    void setCaption(const QString &text);
    // The text area's text, leading space included.
    QString caption() const;

    bool showDate() const { return m_showDate; }
    // Stored only; the date box is laid out when the bar is created.
    void setShowDate(bool on) { m_showDate = on; }

    TPanel *dateBox() const { return m_dateBox; }
    TPanel *textArea() const { return m_textArea; }

    // "dd/MM/yyyy" whatever the system's date separator.
    static QString shortDate(const QDate &d);
    // "segunda-feira, 7 de dezembro de 2026".
    static QString longDate(const QDate &d);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void dock();

    bool m_showDate = true;
    TPanel *m_dateBox = nullptr;
    TPanel *m_textArea = nullptr;
};
