#pragma once

#include "HttpFetch.h"

#include <QByteArray>
#include <QString>
#include <optional>

// "[软件升级]": asks the update service for a newer version and hands over to the updater.
void RunUpdateCheck();
// The same with the request's limits given (tests shorten the time-outs).
void RunUpdateCheck(const HttpLimits &limits);
// What [软件升级] says when the bank names no update service.
QString NoUpdateHostText();

// The pieces of the check, each callable on its own.

// What the update service says about the latest version; every member as text.
struct VersionRecord {
    QString version_id;
    QString version_name;
    QString version_date;
    QString version_state;
};

// The product identifier the service knows this program by.
inline constexpr char kUpdateProductId[] = "3F5A9C21-6B7D-4E08-B1C4-000000417305";

// The configured host ("name" or "name:port", IPv6 in brackets), blanks trimmed; empty when the
// value is empty or is not a plain host, so that nothing else is ever spliced into the address.
QString UpdateHostFromOption(const QString &value);
// "http://" + host + the service's path + the product identifier.
QString UpdateRequestAddress(const QString &host);

// The answer's `data` array walked from first to last: each member present in an element replaces
// the value taken so far, so the last element wins member by member. No record for an empty
// answer, one that is not JSON, one without a `data` array, or an empty array.
std::optional<VersionRecord> ParseVersionAnswer(const QByteArray &answer);

// A stable identification of this installation for the updater: derived from the machine's
// identity and the program folder, so the same folder on the same machine always gives the same
// text. Shaped like the product identifier (8-4-4-4-12 upper-case hexadecimal digits).
QString InstallationCode(const QString &appDir);

// Writes the record for the updater into the `Option` section of the INI file at `path`, keeping
// everything else in the file.
void WriteUpdateRecord(const QString &path, const VersionRecord &record, const QString &server, const QString &code,
                       const QString &clientName);
