#include "BankFailure.h"

#include "SqlError.h"

#include <QFileInfo>
#include <QStorageInfo>

#include <sqlite3.h>

namespace {

// Less room than this beside the bank: a failed write is the full disk's.
constexpr qint64 kLowDiskBytes = 4 * 1024 * 1024;

bool diskAlmostFull(const QString &bankPath) {
    if (bankPath.isEmpty()) return false;
    const QStorageInfo storage(QFileInfo(bankPath).absolutePath());
    return storage.isValid() && storage.bytesAvailable() >= 0 && storage.bytesAvailable() < kLowDiskBytes;
}

bool mentions(const QString &text, std::initializer_list<const char *> marks) {
    const QString lower = text.toLower();
    for (const char *mark : marks)
        if (lower.contains(QLatin1String(mark))) return true;
    return false;
}

} // namespace

BankFailureCause ClassifyBankFailure(int engineCode, const QString &engineText, const QString &bankPath) {
    switch (engineCode & 0xFF) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return BankFailureCause::Damaged;
    case SQLITE_FULL:
        return BankFailureCause::DiskFull;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return BankFailureCause::Busy;
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return BankFailureCause::ReadOnly;
    case SQLITE_IOERR:
        // A file cut short is a damaged file; any other failed read or write is the disk's.
        if (engineCode == SQLITE_IOERR_SHORT_READ) return BankFailureCause::Damaged;
        return diskAlmostFull(bankPath) ? BankFailureCause::DiskFull : BankFailureCause::DiskError;
    case SQLITE_OK:
        break;
    default:
        return BankFailureCause::Other;
    }
    // The program's own checks carry no code; the engine's words still tell.
    if (mentions(engineText, {"malformed", "not a database", "file is encrypted", "corrupt"}))
        return BankFailureCause::Damaged;
    if (mentions(engineText, {"disk is full", "database or disk is full"})) return BankFailureCause::DiskFull;
    if (mentions(engineText, {"database is locked", "database is busy"})) return BankFailureCause::Busy;
    if (mentions(engineText, {"readonly", "read-only"})) return BankFailureCause::ReadOnly;
    if (mentions(engineText, {"disk i/o error"}))
        return diskAlmostFull(bankPath) ? BankFailureCause::DiskFull : BankFailureCause::DiskError;
    return BankFailureCause::Other;
}

QString BankFailureSentence(BankFailureCause cause) {
    switch (cause) {
    case BankFailureCause::Damaged:
        return QStringLiteral("题库文件已损坏，无法读取这部分内容。请从备份恢复题库文件，或重新安装本程序。");
    case BankFailureCause::DiskFull:
        return QStringLiteral("磁盘空间不足，操作没有完成。题库文件没有损坏：请在题库所在的磁盘上腾出空间后重试。");
    case BankFailureCause::Busy:
        return QStringLiteral("题库文件正被其他程序使用，操作没有完成。请关闭其他程序后重试。");
    case BankFailureCause::ReadOnly:
        return QStringLiteral("题库文件是只读的，刚才的更改没有保存。请取消题库文件的只读属性后重新启动本程序。");
    case BankFailureCause::DiskError:
        return QStringLiteral("读写题库文件时出错，操作没有完成。题库文件不一定损坏：请检查题库所在的磁盘或设备"
                              "是否正常连接后重试。");
    case BankFailureCause::Other:
        break;
    }
    return QStringLiteral("读写题库时出错，操作没有完成。");
}

QString BankFailureText(const std::exception &failure, const QString &bankPath) {
    const auto *engine = dynamic_cast<const SqlError *>(&failure);
    if (!engine) return QString();
    // A change that was not saved already says so in the learner's words, with its cause.
    if (const auto *post = dynamic_cast<const PostError *>(engine))
        return post->message() + QStringLiteral("\n详细信息：") + post->engineMessage();
    const QString detail = engine->message();
    return BankFailureSentence(ClassifyBankFailure(engine->code(), detail, bankPath)) + QStringLiteral("\n详细信息：") +
           detail;
}
