#pragma once

#include "BankModel.h"
#include "BankReader.h"
#include "SqlError.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>

// Reads a bank source folder (docs/bank-format.md) into a BankModel with the texts in plain words.
// Every mistake is reported as "FILE:LINE: what is wrong"; reading goes on after a mistake so that
// the author sees all of them at once.

class BankSourceError : public KjksError {
public:
    // `problems`: every line in reading order, warnings among them (SourceWarningPrefix()); `errors`:
    // how many are errors (-1: all).
    explicit BankSourceError(const QStringList &problems, int errors = -1);
    const QStringList &problems() const { return m_problems; }
    int errorCount() const { return m_errors; }

private:
    QStringList m_problems;
    int m_errors = 0;
};

// "警告：", before a line that names what the program copes with.
QString SourceWarningPrefix();

// Reads SOURCE_DIR: bank.txt, the other *.txt beside it and questions/*.txt, in name order. Rows come
// back sorted by their keys, so the split into files never changes the bank. Throws BankSourceError.
// Rows that break a rule the program copes with are built and listed in *warnings; with `strict`
// they are errors (an author's own source should hold none).
BankModel ReadBankSource(const QString &sourceDir, QStringList *warnings = nullptr, bool strict = false);

// `kjks-bank build`: reads SOURCE_DIR as ReadBankSource does and writes the bank at `bankPath` row
// by row, never holding the source whole. Throws BankSourceError (BANK untouched) or KjksError.
struct BuiltBank {
    qint64 questions = 0;
    qint64 stems = 0;
    qint64 chapters = 0;
};
BuiltBank BuildBank(const QString &sourceDir, const QString &bankPath, QStringList *warnings = nullptr,
                    bool strict = false);

// The same reader fed file by file (tests feed it bytes directly). Pictures are read relative to
// `sourceDir`; `label` is how messages name the file.
class BankSourceReader {
public:
    // With `rows`, the questions and cases go there as they are read (while the source is sound so
    // far) instead of into the model finish() returns.
    explicit BankSourceReader(const QString &sourceDir, BankRowVisitor *rows = nullptr);
    ~BankSourceReader();
    BankSourceReader(const BankSourceReader &) = delete;
    BankSourceReader &operator=(const BankSourceReader &) = delete;

    void addFile(const QString &label, const QByteArray &bytes);
    void addProblem(const QString &problem);
    // A file of the folder that cannot be read: named in its place among the files.
    void addFileProblem(const QString &label, const QString &problem);
    // Warnings become errors.
    void setStrict(bool strict);
    // Checks the whole and returns the model; throws BankSourceError listing every mistake.
    BankModel finish();
    // After finish(): the broken rules the program copes with, as "FILE:LINE: what is wrong".
    QStringList warnings() const { return m_warnings; }
    // After finish(): the answers of the cases that have none written, computed from their
    // sub-questions (with `rows`, for the cases already handed over).
    const std::vector<std::pair<int, QString>> &stemAnswers() const { return m_stemAnswers; }
    qint64 questionCount() const { return m_questionCount; }
    qint64 stemCount() const { return m_stemCount; }

private:
    struct State;
    std::unique_ptr<State> d;
    QStringList m_warnings;
    std::vector<std::pair<int, QString>> m_stemAnswers;
    qint64 m_questionCount = 0;
    qint64 m_stemCount = 0;
};
