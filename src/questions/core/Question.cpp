#include "Question.h"

#include "NumberText.h"

namespace {
QString right() {
    return QStringLiteral("√");
}
QString wrong() {
    return QStringLiteral("×");
}
} // namespace

std::optional<QuestionKind> FourthQuestionKind(const QString &fourthTypeName) {
    switch (FourthKindOf(fourthTypeName)) {
    case FourthKind::CaseStem:
        return QuestionKind::Case;
    case FourthKind::Analysis:
        return QuestionKind::Analysis;
    case FourthKind::Operation:
        return QuestionKind::Operation;
    case FourthKind::Other:
        break;
    }
    return std::nullopt;
}

QString OptionCaption(int index, const QString &text) {
    return OptionLetter(index) + QStringLiteral("、") + text;
}

QString BlanksToLines(QString text) {
    return text.replace(QLatin1Char(' '), QLatin1Char('\n'));
}

QString AnswerOf(QuestionKind kind, const std::vector<bool> &ticked) {
    QString answer;
    for (size_t i = 0; i < ticked.size(); ++i) {
        if (!ticked[i]) continue;
        if (kind == QuestionKind::Judgement) return i == 0 ? right() : i == 1 ? wrong() : QString();
        answer += OptionLetter(int(i));
        if (kind == QuestionKind::Single) break;
    }
    return answer;
}

std::vector<int> TickedBy(QuestionKind kind, const QString &answer, int controls) {
    std::vector<int> indices;
    if (kind == QuestionKind::Judgement) {
        if (answer == right()) indices.push_back(0);
        if (answer == wrong()) indices.push_back(1);
    } else {
        for (QChar letter : answer)
            indices.push_back(letter.unicode() - 'A');
    }
    std::vector<int> shown;
    for (int i : indices)
        if (i >= 0 && i < controls) shown.push_back(i);
    return shown;
}
