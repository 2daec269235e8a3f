#include "WriteFailure.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <initializer_list>

#include <sqlite3.h>

namespace {

bool mentions(const QString &text, std::initializer_list<const char *> marks) {
    const QString lower = text.toLower();
    for (const char *mark : marks)
        if (lower.contains(QLatin1String(mark))) return true;
    return false;
}

// The folder a file goes into, or the folder itself when the target is one (an export).
QString folderOf(const QString &target) {
    return QFileInfo(target).absolutePath();
}

// The deepest folder on the way to `folder` that exists: the one a missing folder would be made in.
QString nearestExisting(QString folder) {
    while (!folder.isEmpty() && !QFileInfo(folder).isDir()) {
        const QString parent = QFileInfo(folder).absolutePath();
        if (parent == folder) break;
        folder = parent;
    }
    return folder;
}

} // namespace

WriteFolderState ProbeWriteFolder(const QString &folder) {
    WriteFolderState state;
    const QFileInfo info(folder);
    state.exists = info.isDir();
    // The room and the mount of the folder, or of the nearest one that exists.
    const QStorageInfo storage(nearestExisting(info.absoluteFilePath()));
    if (storage.isValid()) {
        state.bytesAvailable = storage.bytesAvailable();
        state.readOnly = storage.isReadOnly();
    }
    if (state.exists && !info.isWritable()) state.readOnly = true;
    return state;
}

WriteFailureCause ClassifyWriteFailure(int engineCode, const QString &text, const WriteFolderState &folder,
                                       qint64 bytesNeeded) {
    const int primary = engineCode & 0xFF;
    if (primary == SQLITE_FULL || mentions(text, {"database or disk is full", "no space left on device"}))
        return WriteFailureCause::DiskFull;
    if (primary == SQLITE_READONLY || primary == SQLITE_PERM ||
        mentions(text, {"read-only file system", "permission denied", "access is denied"}))
        return folder.exists ? WriteFailureCause::ReadOnly : WriteFailureCause::MissingFolder;
    // Any other answer of the engine is about the content, not the disk.
    if (primary != SQLITE_OK && primary != SQLITE_IOERR && primary != SQLITE_CANTOPEN) return WriteFailureCause::Other;
    if (folder.readOnly) return WriteFailureCause::ReadOnly;
    if (!folder.exists) return WriteFailureCause::MissingFolder;
    if (folder.bytesAvailable >= 0 && folder.bytesAvailable < bytesNeeded + kLowDiskBytes)
        return WriteFailureCause::DiskFull;
    return WriteFailureCause::Other;
}

QString ReadableSize(qint64 bytes) {
    if (bytes < 1024 * 1024) return QStringLiteral("%1 KB").arg((qMax<qint64>(bytes, 0) + 1023) / 1024);
    if (bytes < qint64(1024) * 1024 * 1024)
        return QStringLiteral("%1 MB").arg(QString::number(double(bytes) / (1024 * 1024), 'f', 1));
    return QStringLiteral("%1 GB").arg(QString::number(double(bytes) / (1024.0 * 1024 * 1024), 'f', 1));
}

QString WriteFailureMessage(WriteFailureCause cause, const QString &target, const WriteFolderState &folder,
                            const QString &detail, qint64 bytesNeeded) {
    const QString shown = QDir::toNativeSeparators(target);
    const QString where = QDir::toNativeSeparators(folderOf(target));
    QString sentence;
    switch (cause) {
    case WriteFailureCause::DiskFull:
        sentence = QStringLiteral("磁盘已满，没有写出 %1。").arg(shown);
        if (bytesNeeded > 0) sentence += QStringLiteral("需要约 %1 的空间，").arg(ReadableSize(bytesNeeded));
        if (folder.bytesAvailable >= 0)
            sentence += QStringLiteral("%1 所在的磁盘只剩 %2，").arg(where, ReadableSize(folder.bytesAvailable));
        sentence += QStringLiteral("请腾出空间后重试。");
        break;
    case WriteFailureCause::ReadOnly:
        sentence =
            QStringLiteral("没有写入权限，没有写出 %1：文件夹 %2 不能写入（只读的文件系统，或没有写入这个文件夹的"
                           "权限）。请换一个位置，或取消只读后重试。")
                .arg(shown, where);
        break;
    case WriteFailureCause::MissingFolder:
        sentence = QStringLiteral("文件夹不存在，没有写出 %1：找不到文件夹 %2。请先创建这个文件夹，或换一个位置。")
                       .arg(shown, where);
        break;
    case WriteFailureCause::Other:
        sentence = QStringLiteral("无法写入 %1。").arg(shown);
        break;
    }
    if (!detail.trimmed().isEmpty()) sentence += QStringLiteral("\n详细信息：") + detail.trimmed();
    return sentence;
}

QString DescribeWriteFailure(const QString &target, int engineCode, const QString &detail, qint64 bytesNeeded) {
    const WriteFolderState folder = ProbeWriteFolder(folderOf(target));
    const WriteFailureCause cause = ClassifyWriteFailure(engineCode, detail, folder, bytesNeeded);
    if (cause == WriteFailureCause::Other) return QString();
    return WriteFailureMessage(cause, target, folder, detail, bytesNeeded);
}

QString DescribeWriteFailure(const QString &target, const std::exception &failure, qint64 bytesNeeded) {
    if (const auto *told = dynamic_cast<const WriteFailureError *>(&failure)) return told->message();
    const auto *engine = dynamic_cast<const SqlError *>(&failure);
    return DescribeWriteFailure(target, engine ? engine->code() : 0, QString::fromUtf8(failure.what()), bytesNeeded);
}

void ThrowIfWriteFailure(const QString &target, const std::exception &failure, qint64 bytesNeeded) {
    const QString message = DescribeWriteFailure(target, failure, bytesNeeded);
    if (!message.isEmpty()) throw WriteFailureError(message);
}

void RethrowTellingCause(const QString &target, const std::function<void()> &cleanup, qint64 bytesNeeded) {
    const std::exception_ptr failure = std::current_exception();
    QString told;
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception &e) {
        told = DescribeWriteFailure(target, e, bytesNeeded);
    } catch (...) {
    }
    if (cleanup) cleanup();
    if (!told.isEmpty()) throw WriteFailureError(told);
    std::rethrow_exception(failure);
}
