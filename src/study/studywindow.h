#pragma once
// What the study windows that show the history share: reading it again when they come back to the
// front after it changed (an exam corrected or a drill answer stored meanwhile).

#include <QtGlobal>

#include <functional>

class QWidget;

namespace StudyWindow {
// Runs refresh inside the error guard each time window becomes the active window while the
// history's revision (History::revision()) differs from *seen, the one the window last read at.
void refreshWhenHistoryChanges(QWidget *window, const quint64 *seen, std::function<void()> refresh);
} // namespace StudyWindow
