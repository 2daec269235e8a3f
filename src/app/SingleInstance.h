#pragma once

#include <QString>

// One running copy of the program per bank: a second copy on the same bank would make every save
// of both wait on the other. The running copy holds an operating-system lock on a file beside the
// bank (`kjks.dbf.lock`); the system drops it when the process ends in any way, so a file left
// behind (a power loss, a kill, a copy on another machine, a reused process id) never stops a
// start: only a lock that a running copy holds does.
class BankInstanceLock {
public:
    enum class Outcome {
        Acquired,      // this copy runs on the bank
        HeldElsewhere, // another running copy holds the bank
        Unusable,      // the lock file cannot be used: problem() says which file and what to do
    };

    explicit BankInstanceLock(const QString &bankPath);
    ~BankInstanceLock();
    BankInstanceLock(const BankInstanceLock &) = delete;
    BankInstanceLock &operator=(const BankInstanceLock &) = delete;

    Outcome acquire();
    QString lockPath() const { return m_path; }
    // For Unusable: the learner's message, naming the file.
    QString problem() const { return m_problem; }

private:
    QString m_path;
    QString m_problem;
    int m_fd = -1;
};

// What a second start says before it ends.
QString AlreadyRunningText();
// The exit status of a refused second start: not 0, so that a script or shortcut that started it
// sees that this copy did not run; not 1, the status of a bank that cannot be used.
constexpr int kAlreadyRunningExitStatus = 3;
