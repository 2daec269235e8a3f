#include "SingleInstance.h"

#include <QFile>
#include <QSysInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString unusableText(const QString &path, const QString &reason) {
    return QStringLiteral("无法确认本程序是否已在运行：%1“%2”。请先关闭所有已打开的本程序窗口，"
                          "再删除这个文件，然后重新启动本程序。")
        .arg(reason, path);
}

} // namespace

BankInstanceLock::BankInstanceLock(const QString &bankPath) : m_path(bankPath + QStringLiteral(".lock")) {}

BankInstanceLock::~BankInstanceLock() {
    if (m_fd < 0) return;
    // Removed while still held, so that no other copy can take an old file for a new lock.
    ::unlink(QFile::encodeName(m_path).constData());
    ::close(m_fd);
}

BankInstanceLock::Outcome BankInstanceLock::acquire() {
    const QByteArray path = QFile::encodeName(m_path);
    // A copy that ends removes the file between our open and our lock: then lock the new one.
    for (int attempt = 0; attempt < 3; ++attempt) {
        struct stat seen {};
        if (::lstat(path.constData(), &seen) == 0 && !S_ISREG(seen.st_mode)) {
            m_problem = unusableText(m_path, QStringLiteral("题库旁的锁文件不是普通文件"));
            return Outcome::Unusable;
        }
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0) {
            // A folder where nothing can be written: the bank itself is refused as read-only at
            // start-up, with its own message.
            if (errno == EROFS || (errno == EACCES && ::access(path.constData(), F_OK) != 0)) return Outcome::Acquired;
            m_problem = unusableText(m_path, QStringLiteral("题库旁的锁文件无法读写"));
            return Outcome::Unusable;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EWOULDBLOCK) return Outcome::HeldElsewhere;
            m_problem = unusableText(m_path, QStringLiteral("题库旁的锁文件无法加锁"));
            return Outcome::Unusable;
        }
        struct stat held {
        }, now{};
        if (::fstat(fd, &held) == 0 && ::stat(path.constData(), &now) == 0 && held.st_ino == now.st_ino &&
            held.st_dev == now.st_dev) {
            m_fd = fd;
            // Who holds it, for a person who looks at the file; nothing reads it back.
            const QByteArray who =
                QByteArray::number(qint64(::getpid())) + '\n' + QSysInfo::machineHostName().toUtf8() + '\n';
            if (::ftruncate(fd, 0) == 0 && ::write(fd, who.constData(), size_t(who.size())) < 0) {
                // Informational only: a full disk shows at the bank's own first write.
            }
            return Outcome::Acquired;
        }
        ::close(fd);
    }
    m_problem = unusableText(m_path, QStringLiteral("题库旁的锁文件不断被替换"));
    return Outcome::Unusable;
}

QString AlreadyRunningText() {
    return QStringLiteral("本程序已在运行，请切换到已打开的窗口。");
}
