#pragma once

#include <QLockFile>
#include <QString>

// One running copy of the program per bank: a second copy on the same bank would make every save
// of both wait on the other. A lock file beside the bank is held while the program runs; one left
// behind by a copy that ended abnormally is taken over.
class BankInstanceLock {
public:
    explicit BankInstanceLock(const QString &bankPath);

    // False when another running copy holds the bank. A folder where no lock file can be made does
    // not stop the start.
    bool acquire();

private:
    QLockFile m_lock;
};

// What a second start says before it ends.
QString AlreadyRunningText();
