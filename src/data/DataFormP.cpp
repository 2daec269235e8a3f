#include "DataFormP.h"

#include "ExamProfile.h"
#include "NumberText.h"
#include "QueryIndexes.h"
#include "SqlError.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <cmath>
#include <sqlite3.h>

namespace {
TDataForm *g_dataForm = nullptr;

QString upperAscii(const QString &text) {
    QString out = text;
    for (QChar &c : out)
        if (c.unicode() >= 'a' && c.unicode() <= 'z') c = QChar(c.unicode() - 'a' + 'A');
    return out;
}

// Section points / count as the runtime divides: errors name the offending text.
double perQuestionScore(const QString &pointsText, const QString &countText) {
    const int points = StrToInt(pointsText);
    const int count = StrToInt(countText);
    if (count == 0) {
        if (points == 0) throw KjksError(QStringLiteral("Invalid floating point operation"));
        throw KjksError(QStringLiteral("Floating point division by zero"));
    }
    return double(points) / double(count);
}
} // namespace

TDataForm *dataForm() {
    return g_dataForm;
}
void setDataForm(TDataForm *form) {
    g_dataForm = form;
}

TDataForm::TDataForm() : qryTemp(&ADOMain), qry1(&ADOMain), ADOSql(&ADOMain), ADOSql2(&ADOMain), ADOSql3(&ADOMain) {}

namespace {

const QString &damagedText() {
    static const QString text = QStringLiteral(
        "缺少数据库文件。\n题库文件已损坏，或不是本程序的题库。请从备份恢复题库文件，或重新安装本程序。\n");
    return text;
}

// Less room than this beside the bank: a failed write is the full disk's.
constexpr qint64 kLowDiskBytes = 4 * 1024 * 1024;

bool diskAlmostFull(const QString &bankPath) {
    if (bankPath.isEmpty()) return false;
    const QStorageInfo storage(QFileInfo(bankPath).absolutePath());
    return storage.isValid() && storage.bytesAvailable() >= 0 && storage.bytesAvailable() < kLowDiskBytes;
}

} // namespace

QString StartupFailureText(const std::exception &failure, const QString &bankPath) {
    const QString detail = QStringLiteral("详细信息：") + QString::fromUtf8(failure.what());
    if (dynamic_cast<const BankReadOnlyError *>(&failure))
        return QStringLiteral("题库文件是只读的，答题记录无法保存，程序不能启动。\n"
                              "请取消题库文件的只读属性，或把程序文件夹复制到可以写入的位置，然后重新启动。\n") +
               detail;
    const auto *engine = dynamic_cast<const SqlError *>(&failure);
    const int code = engine ? engine->code() : 0;
    if (code != 0) {
        switch (code & 0xFF) {
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return damagedText() + detail;
        case SQLITE_FULL:
            return QStringLiteral("磁盘空间不足，题库无法打开，程序不能启动。题库文件没有损坏：请在题库所在的磁盘上"
                                  "腾出空间，然后重新启动本程序。\n") +
                   detail;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return QStringLiteral("题库文件正被其他程序使用，程序不能启动。请关闭正在使用题库文件的程序（例如备份"
                                  "或杀毒软件）后重新启动本程序。\n") +
                   detail;
        case SQLITE_READONLY:
        case SQLITE_PERM:
            return QStringLiteral("题库文件不可写，答题记录无法保存，程序不能启动。\n") + detail;
        case SQLITE_IOERR:
            // A file cut short is a damaged file; any other failed read or write is the disk's.
            if (code == SQLITE_IOERR_SHORT_READ) return damagedText() + detail;
            if (diskAlmostFull(bankPath))
                return QStringLiteral("磁盘空间不足，题库无法打开，程序不能启动。题库文件没有损坏：请在题库所在的"
                                      "磁盘上腾出空间，然后重新启动本程序。\n") +
                       detail;
            return QStringLiteral("读写题库文件时出错，程序不能启动。题库文件不一定损坏：请检查题库所在的磁盘或"
                                  "设备是否正常连接，然后重新启动本程序。\n") +
                   detail;
        default:
            return QStringLiteral("缺少数据库文件。\n") + detail;
        }
    }
    // Failures of the program's own checks carry no engine code; the engine's words still tell.
    const QString lower = QString::fromUtf8(failure.what()).toLower();
    for (const char *mark : {"malformed", "not a database", "file is encrypted", "corrupt"})
        if (lower.contains(QLatin1String(mark))) return damagedText() + detail;
    return QStringLiteral("缺少数据库文件。\n") + detail;
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

void TDataForm::DataModuleCreate(const QString &executablePath) {
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

void TDataForm::OpenBank(const QString &bankPath) {
    ADOMain.close();
    refuseReadOnly(bankPath);
    // The tables the program reads: a file without them, or with one unreadable, is no usable bank.
    ADOMain.open(bankPath, QString::fromLatin1(kBankPassword), RequiredBankTables());
    // The engine opens a file it may not write for reading only, without a word.
    if (sqlite3_db_readonly(ADOMain.handle(), "main") == 1) {
        ADOMain.close();
        throw BankReadOnlyError(QStringLiteral("the bank was opened for reading only: ") +
                                QDir::toNativeSeparators(bankPath));
    }
    // A bank made elsewhere gets the indexes its counts and lists need, once. A bank that cannot
    // be written still opens: its counts are only slower (and its saves will say why they fail).
    try {
        CreateMissingQueryIndexes(ADOMain);
    } catch (const SqlError &) {
    }
}

void TDataForm::LoadExamProfile(const QString &profileId) {
    qry1.close();
    qry1.setSql(QStringLiteral("select * from kjks_type where kjks_type_id = ") + profileId);
    qry1.open();
    ExamProfile &p = examProfile();
    p.subjectName = qry1.asString(QStringLiteral("kjks_type_name"));
    static const char *const cols[4][3] = {{"danxuan", "danxuanti", "danxuanfen"},
                                           {"duoxuan", "duoxuanti", "duoxuanfen"},
                                           {"panduan", "panduanti", "panduanfen"},
                                           {"shicaotype", "shicaoti", "shicaofen"}};
    for (int s = 0; s < 4; ++s) {
        ExamSection &sec = p.sections[size_t(s)];
        const QString type = qry1.asString(QString::fromLatin1(cols[s][0]));
        const QString count = qry1.asString(QString::fromLatin1(cols[s][1]));
        const QString points = qry1.asString(QString::fromLatin1(cols[s][2]));
        if (s < 3) {
            sec.countText = count;
            sec.pointsText = points;
            sec.typeName = type;
        } else {
            sec.typeName = type;
            sec.countText = count;
            sec.pointsText = points;
        }
        sec.perQuestionScore = perQuestionScore(points, count);
    }
    int total = 0;
    for (ExamSection &sec : p.sections) {
        sec.count = StrToInt(sec.countText);
        total += sec.count;
    }
    p.totalCount = total;
}

void TDataForm::LoadExamOptions() {
    ExamProfile &p = examProfile();
    p.examMinutes = ExamMinutesOf(GetOption(ExamMinutesOptionKey()));
    p.scoring = ScoringRuleOf(GetOption(ExamScoringOptionKey())).value_or(ScoringRule::AllOrNothing);
}

QString TDataForm::GetOption(const QString &name) {
    qryTemp.close();
    qryTemp.setSql(QStringLiteral("select * from sys_option where option_name = '") +
                   SqlValue(upperAscii(name), QLatin1Char('\'')) + QStringLiteral("'"));
    qryTemp.open();
    return qryTemp.asString(QStringLiteral("Option_Value"));
}
