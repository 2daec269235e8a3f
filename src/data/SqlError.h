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

// A stored question text that does not decode: the text is damaged, not the bank.
class TextDecodeError : public KjksError {
public:
    using KjksError::KjksError;
};

// A statement the engine refused; the message is the engine's own, the code its extended result
// code (0 when the failure did not come from the engine).
class SqlError : public KjksError {
public:
    explicit SqlError(const QString &message, int code = 0) : KjksError(message), m_code(code) {}
    int code() const { return m_code; }
    // True when another connection (a second copy of the program, a backup tool) held the bank
    // for longer than the busy time-out.
    bool busy() const { return (m_code & 0xFF) == 5 || (m_code & 0xFF) == 6; }

private:
    int m_code;
};

// A change that did not reach the bank. The dataset has already dropped it; the message says so
// in the learner's words, and engineMessage() keeps the engine's own text.
class PostError : public SqlError {
public:
    PostError(const QString &message, const SqlError &cause)
        : SqlError(message, cause.code()), m_engineMessage(cause.message()) {}
    const QString &engineMessage() const { return m_engineMessage; }

private:
    QString m_engineMessage;
};
