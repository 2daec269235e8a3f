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
    ScoreSheet sheet;
    sheet.cells[0] = {QStringLiteral("题型"), QStringLiteral("题量"), QStringLiteral("总分"), QStringLiteral("得分")};
    for (size_t s = 0; s < 4; ++s) {
        const ExamSection &section = profile.sections[s];
        sql.openSql(SectionSumSql(paperNumber, section.typeName));
        sheet.cells[s + 1] = {section.typeName, section.countText, section.pointsText, sumText(sql.firstValue())};
    }
    sql.openSql(TotalSumSql(paperNumber));
    sheet.totalText = sumText(sql.firstValue());
    sheet.cells[5] = {QStringLiteral("合计"), QString(), QStringLiteral("100"), sheet.totalText};
    return sheet;
}

} // namespace StoredPaper
