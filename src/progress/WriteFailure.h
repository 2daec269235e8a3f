#pragma once

#include "SqlError.h"

#include <QString>
#include <exception>
#include <functional>

// Why a file could not be written, told the same way by the bank tool's commands and by the
// program's copies of the bank (backup, restore, upgrade): a teacher or learner reads the cause in
// Chinese, with the engine's or the system's own words as a detail line.
enum class WriteFailureCause {
    DiskFull,      // no room left on the target's disk
    ReadOnly,      // the folder cannot be written: a read-only file system or no permission
    MissingFolder, // the folder the file was to go into does not exist
    Other,         // anything else: the failure's own words say it
};

// A write that failed for a known cause; its message is WriteFailureMessage's.
class WriteFailureError : public KjksError {
public:
    using KjksError::KjksError;
};

// What the folder that was to receive the file shows now.
struct WriteFolderState {
    bool exists = true;
    bool readOnly = false;      // a read-only volume, or a folder this user may not write
    qint64 bytesAvailable = -1; // room left for this user; -1 when the system does not say
};
WriteFolderState ProbeWriteFolder(const QString &folder);

// Less room than this (beyond what the write needed) when a write failed: the disk was full.
constexpr qint64 kLowDiskBytes = 4 * 1024 * 1024;

// From the engine's extended result code (0 when the failure did not come from the engine), the
// failure's own words and the folder's state. A failure the engine names for itself (a constraint,
// a damaged file) is Other whatever the folder shows; a failed open or write of a file is told by
// the folder: missing, read-only, or with less room than `bytesNeeded` plus kLowDiskBytes.
WriteFailureCause ClassifyWriteFailure(int engineCode, const QString &text, const WriteFolderState &folder,
                                       qint64 bytesNeeded = 0);

// "1.3 MB", "640 KB": a size as the teacher and learner read it.
QString ReadableSize(qint64 bytes);

// The message for a failure that left `target` unwritten: the cause's sentence, naming the target
// (or its folder), the room the write needed (when known, > 0) and the room left, then "详细信息："
// and `detail`.
QString WriteFailureMessage(WriteFailureCause cause, const QString &target, const WriteFolderState &folder,
                            const QString &detail, qint64 bytesNeeded = 0);

// Classifies a failure met while writing `target` against its folder as it is now. Empty when the
// cause is Other, so that the caller keeps its own message.
QString DescribeWriteFailure(const QString &target, int engineCode, const QString &detail, qint64 bytesNeeded = 0);
QString DescribeWriteFailure(const QString &target, const std::exception &failure, qint64 bytesNeeded = 0);

// Throws WriteFailureError with DescribeWriteFailure's message when the failure has a known cause; returns
// otherwise, so that the caller rethrows the failure as it was.
void ThrowIfWriteFailure(const QString &target, const std::exception &failure, qint64 bytesNeeded = 0);

// Inside a catch block: tells the cause of the failure being handled while the unfinished file
// still takes its room, runs `cleanup` (which removes it), then throws WriteFailureError with the
// cause, or the failure as it was when its cause is Other.
[[noreturn]] void RethrowTellingCause(const QString &target, const std::function<void()> &cleanup,
                                      qint64 bytesNeeded = 0);
