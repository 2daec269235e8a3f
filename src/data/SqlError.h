#pragma once

#include <QString>
#include <stdexcept>

// Every failure in the data layer is reported as an exception carrying the text to show; the
// windows' handler guard turns it into the general error box.
class KjksError : public std::runtime_error {
public:
    explicit KjksError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// A statement the engine refused; the message is the engine's own.
class SqlError : public KjksError {
public:
    using KjksError::KjksError;
};
