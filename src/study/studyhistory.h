#pragma once
// The study history as the windows use it: History::instance(), after telling the user once (in a
// warning box) what went wrong with its file when something did, e.g. a damaged file set aside.

class History;

namespace StudyHistory {
History &get();
} // namespace StudyHistory
