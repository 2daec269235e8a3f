#include "BankSession.h"

#include "BankFailure.h"

#include "ExamProfile.h"
#include "NumberText.h"
#include "ProgressCounts.h"
#include "QueryIndexes.h"
#include "SqlError.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <cmath>
#include <sqlite3.h>

namespace {
BankSession *g_dataForm = nullptr;

QString upperAscii(const QString &text) {
    QString out = text;
    for (QChar &c : out)
        if (c.unicode() >= 'a' && c.unicode() <= 'z') c = QChar(c.unicode() - 'a' + 'A');
    return out;
}

// Section points / count as the runtime divides: errors name the offending text. A section of no
// questions and no points is a paper without that section.
double perQuestionScore(const QString &pointsText, const QString &countText) {
    const int points = StrToInt(pointsText);
    const int count = StrToInt(countText);
    if (count == 0) {
        if (points == 0) return 0;
        throw KjksError(QStringLiteral("Floating point division by zero"));
    }
    return double(points) / double(count);
}
} // namespace

BankSession *bankSession() {
    return g_dataForm;
}
void setBankSession(BankSession *form) {
    g_dataForm = form;
}

BankSession::BankSession() : optionQuery(&db), profileQuery(&db), listQuery(&db), rowQuery(&db), detailQuery(&db) {}

namespace {

const QString &damagedText() {
    static const QString text = QStringLiteral(
        "缺少数据库文件。\n题库文件已损坏，或不是本程序的题库。请从备份恢复题库文件，或重新安装本程序。\n");
    return text;
}

} // namespace

QString StartupFailureText(const std::exception &failure, const QString &bankPath) {
    const QString detail = QStringLiteral("详细信息：") + QString::fromUtf8(failure.what());
    if (dynamic_cast<const BankReadOnlyError *>(&failure))
        return QStringLiteral("题库文件是只读的，答题记录无法保存，程序不能启动。\n"
                              "请取消题库文件的只读属性，或把程序文件夹复制到可以写入的位置，然后重新启动。\n") +
               detail;
    if (const auto *profile = dynamic_cast<const ExamProfileError *>(&failure))
        return QStringLiteral("题库的考试方案无法使用：%1，程序不能启动。题库文件没有损坏：请向题库的提供者要一份改好"
                              "的题库（题库作者可用 kjks-bank check 查出问题）。\n")
                   .arg(profile->reason()) +
               detail;
    const auto *engine = dynamic_cast<const SqlError *>(&failure);
    const QString what = QString::fromUtf8(failure.what());
    switch (ClassifyBankFailure(engine ? engine->code() : 0, what, bankPath)) {
    case BankFailureCause::Damaged:
        return damagedText() + detail;
    case BankFailureCause::DiskFull:
        return QStringLiteral("磁盘空间不足，题库无法打开，程序不能启动。题库文件没有损坏：请在题库所在的磁盘上"
                              "腾出空间，然后重新启动本程序。\n") +
               detail;
    case BankFailureCause::Busy:
        return QStringLiteral("题库文件正被其他程序使用，程序不能启动。请关闭正在使用题库文件的程序（例如备份"
                              "或杀毒软件）后重新启动本程序。\n") +
               detail;
    case BankFailureCause::ReadOnly:
        return QStringLiteral("题库文件不可写，答题记录无法保存，程序不能启动。\n") + detail;
    case BankFailureCause::DiskError:
        return QStringLiteral("读写题库文件时出错，程序不能启动。题库文件不一定损坏：请检查题库所在的磁盘或"
                              "设备是否正常连接，然后重新启动本程序。\n") +
               detail;
    case BankFailureCause::Other:
        break;
    }
    // The program's own checks name what they found in the learner's words.
    if (!what.isEmpty() && what.at(0).unicode() >= 0x4E00 && what.at(0).unicode() <= 0x9FFF)
        return what + QStringLiteral("\n程序不能启动。");
    return QStringLiteral("缺少数据库文件。\n") + detail;
}

QString CurrentBankFailureText(const std::exception &failure) {
    return BankFailureText(failure, bankSession() ? bankSession()->db.path() : QString());
}

QStringList RequiredBankTables() {
    return {QStringLiteral("kjks_tigan"),    QStringLiteral("kjks_xuanxiang"), QStringLiteral("zongtigan"),
            QStringLiteral("kjks_zhangjie"), QStringLiteral("kjks_type"),      QStringLiteral("kjks_SJML"),
            QStringLiteral("shijuan"),       QStringLiteral("sys_option")};
}

QString BankPathForExecutable(const QString &executablePath) {
    const QFileInfo fi(executablePath);
    return fi.absolutePath() + QLatin1Char('/') + fi.completeBaseName() + QStringLiteral(".dbf");
}

void BankSession::OpenBesideExecutable(const QString &executablePath) {
    OpenBank(BankPathForExecutable(executablePath));
}

namespace {

// A file the learner (or anyone) may not write, or a folder where the engine cannot keep its log
// beside the bank, takes no answers. Root may write anything, so a file without any write
// permission counts as read-only too, as the read-only attribute does on Windows.
void refuseReadOnly(const QString &bankPath) {
    const QFileInfo file(bankPath);
    if (!file.isFile()) return; // missing: the open says so
    const auto writable = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (!file.isWritable() || !(file.permissions() & writable))
        throw BankReadOnlyError(QStringLiteral("the bank file is read-only: ") +
                                QDir::toNativeSeparators(file.absoluteFilePath()));
    const QFileInfo folder(file.absolutePath());
    if (!folder.isWritable())
        throw BankReadOnlyError(QStringLiteral("the folder of the bank is read-only: ") +
                                QDir::toNativeSeparators(folder.absoluteFilePath()));
}

} // namespace

void BankSession::OpenBank(const QString &bankPath) {
    db.close();
    refuseReadOnly(bankPath);
    // The tables the program reads: a file without them, or with one unreadable, is no usable bank.
    db.open(bankPath, QString::fromLatin1(kBankPassword), RequiredBankTables());
    // The engine opens a file it may not write for reading only, without a word.
    if (sqlite3_db_readonly(db.handle(), "main") == 1) {
        db.close();
        throw BankReadOnlyError(QStringLiteral("the bank was opened for reading only: ") +
                                QDir::toNativeSeparators(bankPath));
    }
    // A bank made elsewhere gets the indexes its counts and lists need, once, and the chapter tree's
    // kept counts when it has none (made or edited by the bank tool, an older backup). A bank that
    // cannot be written still opens: its counts are only slower (and its saves will say why they fail).
    try {
        CreateMissingQueryIndexes(db);
        EnsureProgressCounts(db);
    } catch (const SqlError &) {
    }
}

void BankSession::LoadExamProfile(const QString &profileId) {
    profileQuery.close();
    profileQuery.setSql(QStringLiteral("select * from kjks_type where kjks_type_id = ") + profileId);
    profileQuery.open();
    ExamProfile &p = examProfile();
    p.subjectName = profileQuery.asString(QStringLiteral("kjks_type_name"));
    static const char *const cols[4][3] = {{"danxuan", "danxuanti", "danxuanfen"},
                                           {"duoxuan", "duoxuanti", "duoxuanfen"},
                                           {"panduan", "panduanti", "panduanfen"},
                                           {"shicaotype", "shicaoti", "shicaofen"}};
    static const char *const sectionNames[4] = {"第一部分（单选题）", "第二部分（多选题）", "第三部分（判断题）",
                                                "第四部分"};
    for (int s = 0; s < 4; ++s) {
        ExamSection &sec = p.sections[size_t(s)];
        const QString type = profileQuery.asString(QString::fromLatin1(cols[s][0]));
        const QString count = profileQuery.asString(QString::fromLatin1(cols[s][1]));
        const QString points = profileQuery.asString(QString::fromLatin1(cols[s][2]));
        if (s < 3) {
            sec.countText = count;
            sec.pointsText = points;
            sec.typeName = type;
        } else {
            sec.typeName = type;
            sec.countText = count;
            sec.pointsText = points;
        }
        try {
            sec.perQuestionScore = perQuestionScore(points, count);
        } catch (const KjksError &e) {
            // The runtime's text stays the message; the reason names the section for the learner.
            const QString section = QString::fromUtf8(sectionNames[s]);
            QString reason;
            if (profileQuery.isEmpty())
                reason = QStringLiteral("题库中没有考试方案 %1").arg(profileId);
            else if (count.trimmed() == QLatin1String("0"))
                reason = QStringLiteral("考试方案的%1题数为 0，分数却是“%2”（没有题的部分分数也要是 0）")
                             .arg(section, points);
            else
                reason = QStringLiteral("考试方案的%1题数“%2”或分数“%3”不是整数").arg(section, count, points);
            throw ExamProfileError(e.message(), reason);
        }
    }
    int total = 0;
    for (ExamSection &sec : p.sections) {
        sec.count = StrToInt(sec.countText);
        total += sec.count;
    }
    p.totalCount = total;
    if (total <= 0)
        throw ExamProfileError(QStringLiteral("考试方案中没有题目"),
                               QStringLiteral("考试方案的四个部分题数都是 0，抽不出试卷"));
}

void BankSession::LoadExamOptions() {
    ExamProfile &p = examProfile();
    p.examMinutes = ExamMinutesOf(GetOption(ExamMinutesOptionKey()));
    p.scoring = ScoringRuleOf(GetOption(ExamScoringOptionKey())).value_or(ScoringRule::AllOrNothing);
}

QString BankSession::GetOption(const QString &name) {
    optionQuery.close();
    optionQuery.setSql(QStringLiteral("select * from sys_option where option_name = '") +
                       SqlValue(upperAscii(name), QLatin1Char('\'')) + QStringLiteral("'"));
    optionQuery.open();
    return optionQuery.asString(QStringLiteral("Option_Value"));
}
