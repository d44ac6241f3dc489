// SPDX-FileCopyrightText: 2026 Vitrine Dolmar
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the study windows that show the history share: reading it again when they come back to the
// front after it changed (an exam corrected or a drill answer stored meanwhile).

#include <QtGlobal>

#include <functional>

class QString;
class QWidget;

namespace StudyWindow {
// Runs refresh inside the error guard each time window becomes the active window while the
// history's revision (History::revision()) differs from *seen, the one the window last read at.
void refreshWhenHistoryChanges(QWidget *window, const quint64 *seen, std::function<void()> refresh);

// Runs work on a thread of its own while the windows go on being drawn, with a progress box
// saying what (shown when it takes more than half a second; it cannot be cancelled), and returns
// when work has ended. The start-up makes it the study history's runner (StudyHistory::setRunner).
void runWithProgress(const QString &what, const std::function<void()> &work);
} // namespace StudyWindow
