#include "studyhistory.h"

#include "history.h"

#include "common/dialogs.h"

#include <QString>

History &StudyHistory::get()
{
    static QString told;
    History &history = History::instance();
    const QString problem = history.problem();
    if (!problem.isEmpty() && problem != told) {
        told = problem;
        Dialogs::warning(problem);
    }
    return history;
}
