// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Hints: a control's hint is "short|long"; the short part is its tooltip, the long part goes to the
// main window's status panel while the mouse is over the control.

#include <QObject>
#include <QString>

class QWidget;

namespace Hints {
// The part before the first "|" (the whole text when there is none).
QString shortHint(const QString &hint);
// The part after the first "|" (the whole text when there is none).
QString longHint(const QString &hint);
// Sets w's tooltip to the short part and keeps the long part for the status panel.
void set(QWidget *w, const QString &hint);
// The long hint of w, or of its nearest parent that has one (empty when none has).
QString longHintOf(const QWidget *w);
// Sets the delay before a tooltip shows, for the whole application.
void setDelay(int milliseconds);
int delay();
} // namespace Hints

// Application-wide filter that follows the mouse from control to control and announces the long
// hint of the control under it. One instance, installed on the application by main().
class HintTracker : public QObject {
    Q_OBJECT
public:
    explicit HintTracker(QObject *parent = nullptr);
    static HintTracker *instance();
    // The current long hint (empty over a control without one).
    QString current() const { return m_current; }
    // Announces hint as the current one (emits hintChanged when it differs).
    void setCurrent(const QString &hint);

signals:
    void hintChanged(const QString &longHint);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString m_current;
};
