#include "PartFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>

namespace {

const QString kLockSuffix = QStringLiteral(".lock");

// The target's name as a pattern: literal, except that a backup's stamp matches any stamp.
QString namePattern(const QString &name) {
    static const QRegularExpression stamp(QStringLiteral("\\d{8}-\\d{6}"));
    QString pattern;
    qsizetype at = 0;
    for (auto it = stamp.globalMatch(name); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        pattern += QRegularExpression::escape(name.mid(at, m.capturedStart() - at)) + QStringLiteral("\\d{8}-\\d{6}");
        at = m.capturedEnd();
    }
    return pattern + QRegularExpression::escape(name.mid(at));
}

// Removes a work file with its engine companions, or a work folder with what it holds.
bool removeWork(const QString &path) {
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink()) return QDir(path).removeRecursively();
    bool removed = true;
    for (const char *suffix : {"", "-wal", "-shm", "-journal"}) {
        const QString file = path + QString::fromLatin1(suffix);
        if (QFileInfo(file).exists() || QFileInfo(file).isSymLink()) removed = QFile::remove(file) && removed;
    }
    return removed;
}

} // namespace

QStringList RemoveLeftoverParts(const QString &target) {
    const QFileInfo info(target);
    const QDir folder = info.absoluteDir();
    if (info.fileName().isEmpty() || !folder.exists()) return {};
    // ".NAME.AbCdEf.part" (+ "-wal", "-shm", "-journal", ".lock") or ".NAME.partial-AbCdEf" (+ ".lock").
    const QRegularExpression leftover(QStringLiteral("^(\\.%1\\.(?:[A-Za-z0-9]{6}\\.part|partial-[A-Za-z0-9]{6}))"
                                                     "(-wal|-shm|-journal)?(\\.lock)?$")
                                          .arg(namePattern(info.fileName())));
    QStringList works;
    const QStringList entries =
        folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &entry : entries) {
        const QRegularExpressionMatch m = leftover.match(entry);
        if (!m.hasMatch()) continue;
        // A companion belongs to a file of the writer's; a companion whose own file is gone is removed with it.
        if (!m.captured(2).isEmpty() && !m.captured(3).isEmpty()) continue; // "-wal.lock" is no name of ours
        if (!works.contains(m.captured(1))) works << m.captured(1);
    }
    QStringList removed;
    for (const QString &work : std::as_const(works)) {
        const QString path = folder.filePath(work);
        const QString lockPath = path + kLockSuffix;
        QLockFile lock(lockPath);
        // A lock whose process has ended is stale at once; one that does not say its process (a
        // damaged lock file) after a day, longer than any bank takes to write.
        lock.setStaleLockTime(24 * 60 * 60 * 1000);
        const bool marked = QFileInfo::exists(lockPath);
        if (marked && !lock.tryLock(0)) continue; // another run is writing it now
        if (removeWork(path)) removed << path;
        if (marked) lock.unlock(); // removes the lock file
    }
    return removed;
}

PartInUse::PartInUse(const QString &path) : m_lock(std::make_unique<QLockFile>(path + kLockSuffix)) {
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) m_lock.reset();
}

PartInUse::~PartInUse() {
    if (m_lock) m_lock->unlock();
}
