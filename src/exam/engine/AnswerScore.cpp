#include "AnswerScore.h"

double AnswerPoints(const QString &answer, const QString &standardAnswer, double points) {
    return answer == standardAnswer ? points : 0;
}
