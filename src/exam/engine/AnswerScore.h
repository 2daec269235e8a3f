#pragma once

#include <QString>

// The points one stored answer earns: all or nothing, the exact texts compared case-sensitively
// ("AB" against "ABC" earns 0). Every place that scores an answer of a paper calls this one
// function, so a change of the scoring rule happens here only.
double AnswerPoints(const QString &answer, const QString &standardAnswer, double points);
