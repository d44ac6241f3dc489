#pragma once
// The study history as the windows use it: History::instance(), after telling the user once (in a
// warning box) what went wrong with its file when something did, e.g. a damaged file set aside.

#include <QString>

class History;

namespace StudyHistory {
History &get();
// Tells the user text in a warning box, followed by what is wrong with the history when anything
// is; a text already told in this run is not told again.
void tellOnce(const QString &text);
} // namespace StudyHistory
