// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#include "studywindow.h"

#include "history.h"

#include "common/errordisplay.h"
#include "common/windowkit.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace {
class HistoryFollower : public QObject {
public:
    HistoryFollower(QWidget *window, const quint64 *seen, std::function<void()> refresh)
        : QObject(window), m_window(window), m_seen(seen), m_refresh(std::move(refresh))
    {
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::ActivationChange && m_window->isActiveWindow() &&
            *m_seen != History::revision())
            guarded(m_refresh);
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget *m_window;
    const quint64 *m_seen;
    std::function<void()> m_refresh;
};
} // namespace

void StudyWindow::refreshWhenHistoryChanges(QWidget *window, const quint64 *seen,
                                            std::function<void()> refresh)
{
    window->installEventFilter(new HistoryFollower(window, seen, std::move(refresh)));
}

void StudyWindow::runWithProgress(const QString &what, const std::function<void()> &work)
{
    // Drawn meanwhile, but no click or key reaches a window that would use the history.
    WindowKit::runOffThread(QStringLiteral("Histórico de estudo"), what, "ProgressoHistorico", work);
}
