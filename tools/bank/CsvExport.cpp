#include "CsvExport.h"

#include "BankRules.h"
#include "CsvImport.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace {

QString quoted(const QString &field) {
    static const QString special = QStringLiteral(",\"\r\n");
    for (QChar c : field)
        if (special.contains(c)) {
            QString q = field;
            q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
            return QLatin1Char('"') + q + QLatin1Char('"');
        }
    return field;
}

} // namespace

QByteArray BankToCsv(const BankModel &m, QStringList *notes) {
    std::map<QString, QString> names;
    for (const BankChapter &c : m.chapters)
        names[c.daima] = c.mc;
    const auto place = [&](int zhang, int jie) {
        const QString code = SectionCode(zhang, jie);
        const auto name = [&](const QString &c) {
            const auto it = names.find(c);
            return it == names.end() ? c : it->second;
        };
        return code.isEmpty() ? QString() : name(code.left(4)) + QLatin1Char('/') + name(code);
    };

    const auto subs = SubQuestionsByStem(m);
    int optionColumns = 6; // A to F as in the template, more when a question has more
    for (const BankQuestion &q : m.questions)
        optionColumns = std::max(optionColumns, int(q.options.size()));
    optionColumns = std::min(optionColumns, 26);

    std::vector<QStringList> rows;
    QStringList header = {csvcolumns::id(), csvcolumns::type(), csvcolumns::chapter(), csvcolumns::caseLabel(),
                          csvcolumns::text()};
    for (int o = 0; o < optionColumns; ++o)
        header << QString(QChar(u'A' + o));
    header << csvcolumns::answer() << csvcolumns::explanation();
    rows.push_back(header);

    const auto questionRow = [&](const BankQuestion &q, bool sub) {
        QStringList row = {QString::number(q.id), sub ? banktypes::caseQuestion() : q.tixing,
                           sub ? QString() : place(q.zhang, q.jie), sub ? q.zongtimian : QString(), q.timian};
        for (int o = 0; o < optionColumns; ++o)
            row << (o < int(q.options.size()) ? q.options[size_t(o)].text : QString());
        row << q.daan << q.jiexi;
        rows.push_back(row);
        const QString name = QStringLiteral("题目 %1").arg(q.id);
        static const QStringList importable = {banktypes::single(), banktypes::multiple(), banktypes::judgement(),
                                               banktypes::operation()};
        if (!sub && !importable.contains(q.tixing))
            *notes << name + QStringLiteral("：题型“%1”导入时不认识").arg(q.tixing);
        if (!q.tmimage.isEmpty()) *notes << name + QStringLiteral("：图片没有导出");
        if (!q.timian2.isEmpty()) *notes << name + QStringLiteral("：图片下方的文字没有导出");
        if (std::any_of(q.options.begin(), q.options.end(), [](const BankOption &o) { return o.withdrawn; }))
            *notes << name + QStringLiteral("：考试中隐藏的选项按普通选项导出");
    };

    // Questions and cases in chapter and section order, then by id; each case with its sub-questions.
    std::vector<std::tuple<int, int, int, int, size_t>> order; // zhang, jie, case?, id, index
    for (size_t i = 0; i < m.questions.size(); ++i)
        if (m.questions[i].zongtimian.isEmpty())
            order.emplace_back(m.questions[i].zhang, m.questions[i].jie, 0, m.questions[i].id, i);
    for (size_t i = 0; i < m.stems.size(); ++i)
        order.emplace_back(m.stems[i].zhang, m.stems[i].jie, 1, m.stems[i].id, i);
    std::sort(order.begin(), order.end());
    for (const auto &[zhang, jie, isCase, id, index] : order) {
        if (!isCase) {
            questionRow(m.questions[index], false);
            continue;
        }
        const BankStem &s = m.stems[index];
        QStringList row = {QString::number(s.id), QStringLiteral("案例"), place(s.zhang, s.jie), QString::number(s.id),
                           s.zongtimian};
        for (int o = 0; o < optionColumns; ++o)
            row << QString();
        row << QString() << s.jiexi;
        rows.push_back(row);
        if (!s.tmimage.isEmpty()) *notes << QStringLiteral("案例 %1：图片没有导出").arg(s.id);
        if (!s.timian2.isEmpty()) *notes << QStringLiteral("案例 %1：图片下方的文字没有导出").arg(s.id);
        const auto it = subs.find(s.id);
        if (it != subs.end())
            for (const BankQuestion *q : it->second)
                questionRow(*q, true);
    }
    for (const auto &entry : subs) {
        // A named copy: C++17 lambdas cannot capture a structured binding (clang refuses it).
        const int stem = entry.first;
        if (std::none_of(m.stems.begin(), m.stems.end(), [stem](const BankStem &s) { return s.id == stem; }))
            for (const BankQuestion *q : entry.second)
                *notes << QStringLiteral("题目 %1：所属案例“%2”不存在，没有导出").arg(q->id).arg(q->zongtimian);
    }

    QString text;
    for (const QStringList &row : rows) {
        QStringList cells;
        for (const QString &f : row)
            cells << quoted(f);
        text += cells.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}
