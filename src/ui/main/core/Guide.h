#pragma once

#include "ExamProfile.h"

#include <QString>

class SqlDatabase;

// The first-use guide: what each part of the program is for, the keys, and how the mock exam is
// scored under the bank's own profile and scoring rule.
QString GuideText(const ExamProfile &profile, int examMinutes);

// Whether the learner has been shown the guide in this bank (kept in kjks_app_settings), and the
// record that they have.
bool GuideSeen(SqlDatabase &db);
void MarkGuideSeen(SqlDatabase &db);
