#pragma once

#include <QDateTime>
#include <QString>
#include <vector>

// What a mock-exam paper's catalogue row says about it, read the same way by the exam window, the
// answered-paper list and the statistics.

// A stored date-time ("yyyy-MM-dd HH:mm:ss", or ISO form); invalid when empty or unreadable.
QDateTime StoredDateTime(const QString &text);
// The stored time in one form whatever the desktop's language; an unreadable value as stored.
QString PaperTimeText(const QString &stored);

// A paper is handed in when its hand-in time is at or after its start time. "重做" gives the paper a
// new start time and keeps the old hand-in time, so a redo that was interrupted counts as not handed
// in and continues like any unfinished paper.
bool PaperHandedIn(const QString &startedText, const QString &handedInText);

// The paper numbers a learner sees: 1 for the first paper made, in the order of the stored ids
// (which never change); one number for each id given, in the order given.
std::vector<int> PaperDisplayNumbers(const std::vector<int> &paperIds);
