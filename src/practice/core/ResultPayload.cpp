#include "ResultPayload.h"

#include "ExamProfile.h"
#include "NumberText.h"
#include "QuestionTypes.h"

#include <QRegularExpression>

QString PayloadSeparator() {
    return QStringLiteral("=*=&");
}

QString ResultPayload::text() const {
    QStringList fields{number, type};
    if (standardScore) fields << *standardScore;
    fields << standardAnswer << answer << score << explanation << QString::number(questionId);
    return fields.join(PayloadSeparator());
}

std::optional<QString> StandardScoreText(const QString &typeText, double multiple) {
    for (const ExamSection &section : examProfile().sections)
        if (section.typeName == typeText)
            return FormatNumber(section.perQuestionScore * multiple) + QStringLiteral("分");
    return std::nullopt;
}

namespace {

// Blanks and control characters (everything up to U+0020) at both ends go.
QString trimControls(const QString &text) {
    int begin = 0;
    int end = text.size();
    while (begin < end && text.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

ResultView ParseResultPayload(const QString &payload) {
    QString text = trimControls(payload);
    text.replace(PayloadSeparator(), QStringLiteral("\r"));
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    const QStringList fields = text.split(lineBreak);
    auto field = [&](int i) { return i < fields.size() ? fields.at(i) : QString(); };

    ResultView view;
    view.caption = QStringLiteral("评分(第") + field(0) + QStringLiteral("题)");
    view.standardScore = field(2);
    view.standardAnswer = field(3);
    view.answer = field(4);
    view.score = field(5);
    if (field(1) == OperationTypeName()) {
        view.standardAnswer = QStringLiteral("略");
        view.answer = QStringLiteral("略");
    }
    for (int i = 6; i < fields.size(); ++i)
        if (!fields.at(i).isEmpty()) view.explanationLines << fields.at(i);
    view.right = !field(3).isEmpty() && field(3) == field(4);
    // The score field is points + "分"; anything above 0 on an answer that is not the standard one
    // is partial credit.
    QString points = view.score;
    points.remove(QStringLiteral("分"));
    view.partlyRight = !view.right && points.trimmed().toDouble() > 0;
    return view;
}
