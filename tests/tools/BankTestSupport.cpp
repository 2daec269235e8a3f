#include "BankTestSupport.h"

#include "BankSession.h"
#include "SqlDatabase.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <stdexcept>

void WriteSourceFiles(const QString &dir, const SourceFiles &files) {
    for (const auto &[name, bytes] : files) {
        const QString path = QDir(dir).filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            throw std::runtime_error("cannot write " + path.toStdString());
    }
}

QByteArray TestJpeg() {
    QImage image(32, 16, QImage::Format_RGB32);
    image.fill(QColor(200, 60, 40));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPG")) throw std::runtime_error("no JPEG writer");
    return bytes;
}

BankTables ReadAllTables(const QString &bankPath) {
    SqlDatabase db;
    db.open(bankPath, QString::fromLatin1(kBankPassword));
    BankTables tables;
    for (const auto &row :
         db.select(QStringLiteral("select name from sqlite_master where type = 'table' order by name"))) {
        const QString name = row[0].toString();
        const bool hasRowId = name != QLatin1String("sqlite_sequence");
        tables[name] = db.select(QStringLiteral("select * from \"%1\"%2")
                                     .arg(name, hasRowId ? QStringLiteral(" order by rowid") : QString()));
    }
    return tables;
}

static QString describe(const QVariant &v) {
    if (!v.isValid()) return QStringLiteral("NULL");
    return QStringLiteral("%1(%2)").arg(QString::fromLatin1(v.typeName()), v.toString().left(60));
}

QString FirstDifference(const BankTables &a, const BankTables &b) {
    for (const auto &[name, rows] : a) {
        const auto it = b.find(name);
        if (it == b.end()) return QStringLiteral("table %1 is missing").arg(name);
        if (rows.size() != it->second.size())
            return QStringLiteral("%1: %2 rows against %3").arg(name).arg(rows.size()).arg(it->second.size());
        for (size_t r = 0; r < rows.size(); ++r)
            for (size_t c = 0; c < rows[r].size(); ++c) {
                const QVariant &x = rows[r][c];
                const QVariant &y = it->second[r][c];
                if (x.isValid() != y.isValid() || x.typeId() != y.typeId() || x != y)
                    return QStringLiteral("%1 row %2 column %3: %4 against %5")
                        .arg(name)
                        .arg(r)
                        .arg(c)
                        .arg(describe(x), describe(y));
            }
    }
    if (a.size() != b.size()) return QStringLiteral("the banks hold different tables");
    return QString();
}

SourceFiles FullSource() {
    SourceFiles f;
    f[QStringLiteral("bank.txt")] = R"(# 显示选项与考试方案
[sys_option APP_TITLE]
option_value: 初级会计实务 练习

[sys_option app_xinxi]
option_value:

[kjks_type 1]
kjks_type_name: 初级会计实务
danxuan: 单选题
danxuanti: 1
danxuanfen: 2
duoxuan: 多选题
duoxuanti: 1
duoxuanfen: 2
panduan: 判断题
panduanti: 1
panduanfen: 1
shicaotype: 计算分析题
shicaoti: 1
shicaofen: 5

[kjks_zhangjie 01]
mc: 初级会计实务
[kjks_zhangjie 0101]
mc: 第一章 概述
[kjks_zhangjie 010101]
mc: 第一节 职能
[kjks_zhangjie 010102]
mc: 第二节 假设
)";
    f[QStringLiteral("questions/b.txt")] = R"(
[kjks_tigan 3]
tixing: 判断题
zhang: 1
jie: 2
shijuan: 随机
timian: 会计主体一定是法律主体。
daan: ×
jiexi::  "  开头有空格\n\n# 不是注释\t制表符 \\ 反斜杠 \"引号\"  "
YDCS: 1
DDCS: 1
ZQCS: 2
ZONGCS: 5

[kjks_tigan 4]
tixing: 实操题
zhang: 1
jie: 2
timian: 编制会计分录。
timian2: 见下图
tmimage: pictures/q4.jpg
daan: 借：银行存款 5000
  贷：实收资本 5000
shoucang: 1

[zongtigan 7]
zhang: 1
jie: 1
shijuan: 随机
flag_state: 1
zongtimian: 甲公司资料如下：
  （1）购入材料。
  （2）发出材料。
jiexi: 见各小题。

[kjks_tigan 70]
tixing: 不定项选择题
zongtimian: 7
timian: （1）入账成本为（　）。
option: 100
option: 200
option_withdrawn: 300
daan: AC

[kjks_tigan 71]
tixing: 不定项选择题
zongtimian: 7
timian: （2）下列说法正确的是（　）。
option: 甲
option: 乙
daan: B
)";
    f[QStringLiteral("questions/a.txt")] = R"(# 第一章
[kjks_tigan 1]
tixing: 单选题
zhang: 1
jie: 1
shijuan: 随机
timian: 会计的基本职能是（　）。
option: 核算与监督
option: 预测与决策
daan: A
jiexi: 会计的基本职能是核算和监督，
  其他各项属于拓展职能。

[kjks_tigan 2]
tixing: 多选题
zhang: 1
jie: 1
shijuan: 随机
timian: 下列属于会计要素的有（　）。
option: 资产
option: 负债
option: 利润表
daan: AB
)";
    f[QStringLiteral("papers.txt")] = R"([kjks_SJML 11]
DTKSSJ: 2026-01-02 09:30:00
JJSJ: 2026-01-02 10:00:00
DEFEN: 0.30000000000000004
DanDeFen: 2
DuoDeFen: 0
PanDeFen: 1.5

[shijuan 1]
sjID: 0
xth: 200
KSDA: 借：银行存款

[shijuan 2]
sjID: 11
xth: 1
tixing: 单选题
tigan_id: 1
daan: A
KSDA: A
defen: 2
kaolv: 1
)";
    f[QStringLiteral("pictures/q4.jpg")] = TestJpeg();
    return f;
}

ToolRun RunBankTool(const QString &exe, const QStringList &args, int timeoutMs) {
    QProcess p;
    p.start(exe, args);
    const bool finished = p.waitForFinished(timeoutMs);
    if (!finished) throw std::runtime_error("the bank tool did not finish in time");
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

QStringList BankRows(const QString &bankPath, const QString &sql) {
    SqlDatabase db;
    db.open(bankPath, QString::fromLatin1(kBankPassword));
    QStringList out;
    for (const auto &row : db.select(sql)) {
        QStringList cells;
        for (const QVariant &v : row)
            cells << (v.isNull() ? QStringLiteral("NULL") : v.toString());
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

QByteArray FileSha256(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}
