#pragma once

#include "BankModel.h"
#include "BankSession.h"

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// A small encrypted bank in a temporary folder, written by the bank tool's own writer from rows the
// test states. Starts with profile 1 (2/1/1/1 questions), the display options and a chapter tree of
// one chapter with two sections; tests add the rows they need.
// A small JPEG picture of the given size, as a question's tmimage holds.
QByteArray FixtureJpeg(int width, int height);

class SqlDatabase;
// The rows in which the chapter tree's kept counts differ from a full count of the question
// tables, as "table: kept rows | counted rows" (each key quoted with its stored type); empty when
// they agree row for row.
QString ProgressCountsDrift(SqlDatabase &db);

class FixtureBank {
public:
    FixtureBank();
    // The process's data module never outlives the bank that opened it.
    ~FixtureBank();
    FixtureBank(const FixtureBank &) = delete;
    FixtureBank &operator=(const FixtureBank &) = delete;

    BankModel model;

    // Writes the bank as `fileName` in the folder and returns its path.
    QString write(const QString &fileName = QStringLiteral("kjks.dbf"));
    QString dir() const { return m_dir.path() + QLatin1Char('/'); }

    // Writes the bank, opens it in a new data module that becomes the process's, and records
    // every statement sent into `statements`.
    BankSession &open();
    QStringList statements;

    // Row helpers returning the added row for further changes.
    BankQuestion &addQuestion(int id, const QString &tixing, int zhang, int jie, const QString &daan,
                              int optionCount = 4);
    BankStem &addStem(int id, int zhang, int jie, int subQuestions = 5, int optionsEach = 4);

    // Runs a statement on the open bank without tracing (set-up and checks).
    void exec(const QString &sql);
    QVariant scalar(const QString &sql);

private:
    QTemporaryDir m_dir;
    std::unique_ptr<BankSession> m_form;
};
