#include "QuestionTypes.h"

#include "SqlError.h"

QString QuestionTypeName(QuestionType type) {
    switch (type) {
    case QuestionType::Single:
        return QStringLiteral("单选题");
    case QuestionType::Multiple:
        return QStringLiteral("多选题");
    case QuestionType::Judgement:
        return QStringLiteral("判断题");
    case QuestionType::Fourth:
        break;
    }
    return OperationBankTypeName();
}

QString CaseStemTypeName() {
    return QStringLiteral("不定项选择题");
}
QString CaseAnalysisTypeName() {
    return QStringLiteral("案例分析题");
}
QString AnalysisTypeName() {
    return QStringLiteral("计算分析题");
}
QString OperationTypeName() {
    return QStringLiteral("电算化操作题");
}
QString OperationBankTypeName() {
    return QStringLiteral("实操题");
}

FourthKind FourthKindOf(const QString &name) {
    if (name == CaseStemTypeName()) return FourthKind::CaseStem;
    if (name == AnalysisTypeName()) return FourthKind::Analysis;
    if (name == OperationTypeName()) return FourthKind::Operation;
    return FourthKind::Other;
}

bool CountsCaseStems(const QString &name) {
    return name == CaseAnalysisTypeName() || name == CaseStemTypeName();
}

PracticeScope PracticeScopeOf(int number) {
    if (number < 0 || number > int(PracticeScope::DueReviews))
        throw KjksError(QStringLiteral("练习范围“%1”无效，请重新选择练习范围。").arg(number));
    return static_cast<PracticeScope>(number);
}
