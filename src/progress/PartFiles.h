#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QLockFile;

// The work files a writer makes beside its target before it puts the target in place in one step:
// a private file ".NAME.XXXXXX.part" (with the engine's "-wal", "-shm" and "-journal" beside it) or
// an export's folder ".NAME.partial-XXXXXX". A run that is killed part way leaves them behind; the
// next run for the same target removes them before it writes.
//
// While its writer runs, each one is marked by a lock file of its own ("….part.lock", Qt's
// QLockFile, which the system lets go of when the process ends in any way): a run never removes the
// work of another run that is still writing the same target.

// Removes the work files that earlier runs for `target` left in its folder and returns their
// paths. Only names of exactly these forms for this target's name are touched; a date and time
// "yyyyMMdd-HHmmss" in the name (a backup's) matches any such stamp, so that the leftovers of
// earlier backups go too. A leftover that cannot be removed stays (the next run tries again).
QStringList RemoveLeftoverParts(const QString &target);

// Marks the work file or folder at `path` as in use for as long as it lives; a lock that cannot be
// made leaves the file unmarked (it is then only at risk from a concurrent run for the same target).
class PartInUse {
public:
    explicit PartInUse(const QString &path);
    ~PartInUse();
    PartInUse(const PartInUse &) = delete;
    PartInUse &operator=(const PartInUse &) = delete;

private:
    std::unique_ptr<QLockFile> m_lock;
};
