#pragma once

#include "BankSession.h"
#include "ExamEngine.h"
#include "ExamProfile.h"
#include "FixtureBank.h"
#include "LaunchParameters.h"
#include "RecordingPlatform.h"

#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// Readable failure messages.
inline void PrintTo(const QString &text, std::ostream *os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList &list, std::ostream *os) {
    *os << '[' << list.join(QStringLiteral(", ")).toStdString() << ']';
}

// The engine on a fixture bank. The default pool fills the fixture profile (2 single, 1 multiple,
// 1 judgement, one case of 5 sub-questions) with a spare row in every section; tests change the
// rows or the profile before open().
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        launchParameters() = LaunchParameters{};
        examProfile() = ExamProfile{};
    }

    void setProfile(const char *column, const QString &value) {
        bank.model.profiles[0].columns[QString::fromLatin1(column)] = value;
    }
    void setTitle(const QString &title) { bank.model.options[QStringLiteral("APP_TITLE")] = title; }

    // Singles 11–13, multiples 21–22, judgements 31–32, stems 7 and 8 (sub-questions 701–705, 801–805).
    void addPool() {
        for (int id : {11, 12, 13})
            bank.addQuestion(id, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
        for (int id : {21, 22})
            bank.addQuestion(id, QStringLiteral("多选题"), 1, 1, QStringLiteral("AB"));
        for (int id : {31, 32})
            bank.addQuestion(id, QStringLiteral("判断题"), 1, 2, QStringLiteral("√"), 0);
        bank.addStem(7, 1, 2);
        bank.addStem(8, 1, 2);
    }

    // Writes and opens the bank, loads the profile and the title as the exam window's start-up does.
    ExamEngine &open() {
        BankSession &form = bank.open();
        form.LoadExamProfile(QStringLiteral("1"));
        form.LoadExamOptions();
        engine = std::make_unique<ExamEngine>(form, examProfile(), launchParameters());
        engine->SetSubjectTitle(form.GetOption(QStringLiteral("APP_TITLE")));
        bank.statements.clear();
        return *engine;
    }

    // "进入考场": a new random paper.
    void startNewPaper() {
        launchParameters().PaperKey = QStringLiteral("0");
        launchParameters().PaperDrawMode = QStringLiteral("shijuan");
        launchParameters().PaperSetValue = QStringLiteral("随机");
        engine->StartPaper();
    }

    QVariant scalar(const QString &sql) { return bank.scalar(sql); }
    int count(const QString &table) { return scalar(QStringLiteral("select count(*) from ") + table).toInt(); }
    // Paper items of the open bank other than the practice scratch row.
    int itemCount() { return scalar(QStringLiteral("select count(*) from shijuan where sjID <> 0")).toInt(); }

    // Rows of a query, every column as text (NULL as "NULL").
    QStringList rows(const QString &sql) {
        QStringList out;
        for (const auto &row : bankSession()->db.select(sql)) {
            QStringList cells;
            for (const QVariant &v : row)
                cells << (v.isNull() ? QStringLiteral("NULL") : v.toString());
            out << cells.join(QLatin1Char('|'));
        }
        return out;
    }

    // The statements sent as SQL text that start with `prefix`; the bank layer's own row reads and
    // writes (addressed by _rowid_) are left out.
    QStringList sent(const QString &prefix = QString()) const {
        QStringList out;
        for (const QString &s : bank.statements)
            if (s.startsWith(prefix) && !s.contains(QStringLiteral("_rowid_"))) out << s;
        return out;
    }

    RecordingPlatform platform;
    FixtureBank bank;
    std::unique_ptr<ExamEngine> engine;
};
