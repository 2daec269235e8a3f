#include "FixtureBank.h"

#include <QBuffer>
#include <QImage>
#include <QRegularExpression>

#include "BankWriter.h"
#include "ProgressCounts.h"
#include "SqlDatabase.h"

FixtureBank::FixtureBank() {
    model.options = {{QStringLiteral("APP_TITLE"), QStringLiteral("初级会计实务考试系统")},
                     {QStringLiteral("APP_XINXI"), QStringLiteral("信息")},
                     {QStringLiteral("APP_LXFS"), QStringLiteral("联系方式")},
                     {QStringLiteral("APP_LJURL"), QStringLiteral("https://www.example.com/kjks")},
                     {QStringLiteral("AGADA_DOC"), QStringLiteral("考试大纲.rtf")}};
    BankProfile p;
    p.id = 1;
    p.columns = {{QStringLiteral("kjks_type_name"), QStringLiteral("初级会计实务")},
                 {QStringLiteral("danxuan"), QStringLiteral("单选题")},
                 {QStringLiteral("danxuanti"), QStringLiteral("2")},
                 {QStringLiteral("danxuanfen"), QStringLiteral("4")},
                 {QStringLiteral("duoxuan"), QStringLiteral("多选题")},
                 {QStringLiteral("duoxuanti"), QStringLiteral("1")},
                 {QStringLiteral("duoxuanfen"), QStringLiteral("2")},
                 {QStringLiteral("panduan"), QStringLiteral("判断题")},
                 {QStringLiteral("panduanti"), QStringLiteral("1")},
                 {QStringLiteral("panduanfen"), QStringLiteral("1")},
                 {QStringLiteral("shicaotype"), QStringLiteral("不定项选择题")},
                 {QStringLiteral("shicaoti"), QStringLiteral("5")},
                 {QStringLiteral("shicaofen"), QStringLiteral("10")}};
    model.profiles.push_back(p);
    model.chapters = {{QStringLiteral("01"), QStringLiteral("初级会计实务")},
                      {QStringLiteral("0101"), QStringLiteral("第一章 会计概述")},
                      {QStringLiteral("010101"), QStringLiteral("第一节 会计概念")},
                      {QStringLiteral("010102"), QStringLiteral("第二节 会计基本假设")}};
}

FixtureBank::~FixtureBank() {
    if (m_form && bankSession() == m_form.get()) setBankSession(nullptr);
}

QString FixtureBank::write(const QString &fileName) {
    const QString path = dir() + fileName;
    WriteBank(model, path);
    return path;
}

BankSession &FixtureBank::open() {
    const QString path = write();
    if (bankSession() == m_form.get()) setBankSession(nullptr);
    m_form = std::make_unique<BankSession>();
    m_form->OpenBank(path);
    m_form->db.setTraceHook([this](const QString &s) { statements << s; });
    setBankSession(m_form.get());
    return *m_form;
}

BankQuestion &FixtureBank::addQuestion(int id, const QString &tixing, int zhang, int jie, const QString &daan,
                                       int optionCount) {
    BankQuestion q;
    q.id = id;
    q.tixing = tixing;
    q.zhang = zhang;
    q.jie = jie;
    q.daan = daan;
    q.shijuan = QStringLiteral("随机");
    q.timian = QStringLiteral("题目%1").arg(id);
    q.jiexi = QStringLiteral("解析%1").arg(id);
    for (int i = 0; i < optionCount; ++i)
        q.options.push_back({QStringLiteral("选项%1-%2").arg(id).arg(i + 1), false});
    model.questions.push_back(q);
    return model.questions.back();
}

BankStem &FixtureBank::addStem(int id, int zhang, int jie, int subQuestions, int optionsEach) {
    BankStem s;
    s.id = id;
    s.zhang = zhang;
    s.jie = jie;
    s.shijuan = QStringLiteral("随机");
    s.zongtimian = QStringLiteral("案例%1").arg(id);
    s.jiexi = QStringLiteral("案例解析%1").arg(id);
    std::vector<const BankQuestion *> subs;
    for (int k = 0; k < subQuestions; ++k) {
        BankQuestion &q = addQuestion(id * 100 + k + 1, QStringLiteral("不定项选择题"), zhang, jie,
                                      QString(QChar(u'A' + (k % optionsEach))), optionsEach);
        q.zongtimian = QString::number(id);
    }
    for (const BankQuestion &q : model.questions)
        if (q.zongtimian == QString::number(id)) subs.push_back(&q);
    s.daan = StemAnswer(subs);
    model.stems.push_back(s);
    return model.stems.back();
}

void FixtureBank::exec(const QString &sql) {
    if (!m_form) open();
    m_form->db.exec(sql);
}

QVariant FixtureBank::scalar(const QString &sql) {
    if (!m_form) open();
    const auto rows = m_form->db.select(sql);
    return rows.empty() || rows[0].empty() ? QVariant() : rows[0][0];
}

QByteArray FixtureJpeg(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}

QString ProgressCountsDrift(SqlDatabase &db) {
    struct Counted {
        QString source, table, keys, kept, summed;
    };
    const Counted tables[] = {
        {QStringLiteral("kjks_tigan"), QuestionCountsTable(), QStringLiteral("zhang, jie, tixing, YDCS"),
         QStringLiteral(", attempts, correct, wrong, favourites"),
         QStringLiteral(", sum(max(ZONGCS, 0)), sum(min(max(ZQCS, 0), max(ZONGCS, 0))), sum(+DDCS = '1'),"
                        " sum(+shoucang = '1')")},
        {QStringLiteral("zongtigan"), StemCountsTable(), QStringLiteral("zhang, jie, YDCS"), QString(), QString()}};
    auto text = [&](const QString &sql) {
        QStringList rows;
        for (const auto &row : db.select(sql)) {
            QStringList cells;
            for (const QVariant &v : row)
                cells << v.toString();
            rows << cells.join(QLatin1Char(','));
        }
        return rows.join(QLatin1Char(';'));
    };
    QString drift;
    for (const Counted &c : tables) {
        QString quotedKeys = c.keys;
        quotedKeys.replace(QRegularExpression(QStringLiteral("(\\w+)")), QStringLiteral("quote(\\1)"));
        const QString kept = text(QStringLiteral("select %1, questions%4 from %2 where questions <> 0 order by %3")
                                      .arg(quotedKeys, c.table, c.keys, c.kept));
        const QString counted =
            text(QStringLiteral("select %1, count(*)%4 from %2 where daan <> '' group by %3 order by %3")
                     .arg(quotedKeys, c.source, c.keys, c.summed));
        if (kept != counted)
            drift += c.table + QStringLiteral(": ") + kept + QStringLiteral(" | ") + counted + QLatin1Char('\n');
    }
    return drift;
}
