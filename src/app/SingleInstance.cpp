#include "SingleInstance.h"

BankInstanceLock::BankInstanceLock(const QString &bankPath) : m_lock(bankPath + QStringLiteral(".lock")) {
    // Only a copy that is still running holds the bank, however long it runs.
    m_lock.setStaleLockTime(0);
}

bool BankInstanceLock::acquire() {
    if (m_lock.tryLock(0)) return true;
    return m_lock.error() != QLockFile::LockFailedError;
}

QString AlreadyRunningText() {
    return QStringLiteral("本程序已在运行，请切换到已打开的窗口。");
}
