#include "StoredPaper.h"

#include "BankSession.h"
#include "NumberText.h"
#include "PaperSql.h"

namespace StoredPaper {

namespace {
QString sumText(const QVariant &value) {
    if (value.isNull()) return QString();
    bool ok = false;
    const double number = value.toString().toDouble(&ok);
    return ok ? FormatNumber(number) : value.toString();
}
} // namespace

QStringList QuestionIds(BankSession &data, int paperNumber, int total) {
    Dataset &items = data.listQuery;
    items.openSql(ReopenItemsSql(paperNumber)); // read only: nothing is cleared
    QStringList ids;
    for (items.first(); !items.eof(); items.next())
        ids << items.asString(QStringLiteral("tigan_id"));
    while (ids.size() < total)
        ids << QString();
    return ids;
}

ScoreSheet Sheet(BankSession &data, const ExamProfile &profile, int paperNumber) {
    Dataset &sql = data.listQuery;
    std::array<QString, 5> sums;
    for (QuestionType type : profile.presentSections()) {
        sql.openSql(SectionSumSql(paperNumber, profile.section(type).typeName));
        sums[IndexOf(type) + 1] = sumText(sql.firstValue());
    }
    sql.openSql(TotalSumSql(paperNumber));
    sums[0] = sumText(sql.firstValue());
    return MakeScoreSheet(profile, sums);
}

} // namespace StoredPaper
