// A bank file from elsewhere brings rows, never code: "恢复进度" and `kjks-bank upgrade` read the
// rows of the tables the program knows and refuse a file whose known names are views; triggers,
// views and unknown tables of the file never reach the learner's bank.

#include "BankCopy.h"
#include "BankSession.h"
#include "BankTestSupport.h"
#include "BankUpgrade.h"
#include "FixtureBank.h"
#include "LearnerProgress.h"
#include "SqlDatabase.h"
#include "SqlError.h"

#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>
#include <set>

namespace {

const QString &key() {
    static const QString k = QString::fromLatin1(kBankPassword);
    return k;
}

// The triggers, views and tables of a bank, as "type name".
std::set<QString> schemaOf(SqlDatabase &db) {
    std::set<QString> names;
    for (const auto &row : db.select(QStringLiteral("select type, name from sqlite_master where type <> 'index'")))
        names.insert(row[0].toString() + QLatin1Char(' ') + row[1].toString());
    return names;
}

qint64 count(SqlDatabase &db, const QString &sql) {
    return db.select(sql)[0][0].toLongLong();
}

struct HostileCase {
    const char *name;
    // Statements run on a sound copy of the learner's bank.
    std::vector<const char *> statements;
    bool refused;
    // Checked on the bank after a restore, or on OUT after an upgrade, when not refused.
    std::function<void(SqlDatabase &)> check;
};

const std::vector<HostileCase> &hostileCases() {
    static const std::vector<HostileCase> cases = {
        {"trigger on the questions",
         {"create trigger wipe after update on kjks_tigan begin delete from kjks_SJML; delete from kjks_zhangjie; end"},
         false,
         [](SqlDatabase &db) {
             db.exec(QStringLiteral("update kjks_tigan set YDCS = '1'"));
             EXPECT_GT(count(db, QStringLiteral("select count(*) from kjks_zhangjie")), 0);
         }},
        {"trigger on the case stems",
         {"create trigger wipe after update on zongtigan begin delete from kjks_xuanxiang; end"},
         false,
         [](SqlDatabase &db) {
             db.exec(QStringLiteral("update zongtigan set YDCS = '1'"));
             EXPECT_GT(count(db, QStringLiteral("select count(*) from kjks_xuanxiang")), 0);
         }},
        {"questions as a view",
         {"alter table kjks_tigan rename to kept_questions", "create view kjks_tigan as select * from kept_questions"},
         true,
         {}},
        {"papers as a view",
         {"alter table kjks_SJML rename to kept_papers", "create view kjks_SJML as select * from kept_papers"},
         true,
         {}},
        {"a program table as a view",
         {"create table other_state (is_stem, question_id)",
          "create view kjks_app_review_state as select * from other_state"},
         true,
         {}},
        {"a program table of its own with a trigger, and stray objects",
         {"create table kjks_app_notes (tigan_id INTEGER, note TEXT)",
          "insert into kjks_app_notes values (11, 'a'), (12, 'b')",
          "create trigger t after insert on kjks_app_notes begin delete from kjks_tigan; end", "create table stray (x)",
          "create view stray_view as select 1"},
         false,
         [](SqlDatabase &db) {
             EXPECT_EQ(count(db, QStringLiteral("select count(*) from kjks_app_notes")), 2);
             db.exec(QStringLiteral("insert into kjks_app_notes values (13, 'c')"));
             EXPECT_GT(count(db, QStringLiteral("select count(*) from kjks_tigan")), 0);
         }},
        {"a huge value",
         {"create table kjks_app_notes (tigan_id INTEGER, note TEXT)",
          "insert into kjks_app_notes values (11, zeroblob(30000000))"},
         false,
         [](SqlDatabase &db) {
             EXPECT_EQ(count(db, QStringLiteral("select length(note) from kjks_app_notes")), 30000000);
         }},
        {"a table of many rows",
         {"create table kjks_app_log (n INTEGER)",
          "with recursive s(n) as (select 1 union all select n + 1 from s where n < 100000) "
          "insert into kjks_app_log select n from s"},
         false,
         [](SqlDatabase &db) { EXPECT_EQ(count(db, QStringLiteral("select count(*) from kjks_app_log")), 100000); }},
    };
    return cases;
}

// The learner's bank: practised, a favourite, a paper and review rows.
class HostileBankTest : public ::testing::Test {
protected:
    void SetUp() override {
        bank.addQuestion(11, QStringLiteral("单选题"), 1, 1, QStringLiteral("A")).progress = {
            QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"), 2, 5};
        bank.addQuestion(12, QStringLiteral("单选题"), 1, 1, QStringLiteral("B"));
        bank.addStem(7, 1, 2).progress = {QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("1"), 1, 1};
        bank.model.papers = {{1, QStringLiteral("2026-05-01 09:00:00"), QString(), {}, 0}};
        bank.model.paperItems = {{0, 1, 1, QStringLiteral("单选题"), 11, QStringLiteral("A"), QStringLiteral("B"), true,
                                  0, QStringLiteral("1")}};
        db = &bank.open().db;
        path = db->path();
    }

    // A sound backup of the bank with the case's statements run on it.
    QString hostileCopy(const HostileCase &c, const QString &name) {
        const QString file = bank.dir() + name;
        WriteBankCopy(*db, file, key());
        SqlDatabase copy;
        copy.open(file, key());
        for (const char *sql : c.statements)
            copy.exec(QString::fromUtf8(sql));
        return file;
    }

    FixtureBank bank;
    SqlDatabase *db = nullptr;
    QString path;
};

TEST_F(HostileBankTest, RestoreReadsRowsOnlyAndRefusesViews) {
    // Every file is made from the same practised bank before any restore.
    std::vector<QString> files;
    for (const HostileCase &c : hostileCases())
        files.push_back(hostileCopy(c, QStringLiteral("backup%1.dbf").arg(files.size())));
    for (size_t n = 0; n < files.size(); ++n) {
        const HostileCase &c = hostileCases()[n];
        SCOPED_TRACE(c.name);
        // The learner went on after the backup.
        db->exec(QStringLiteral("update kjks_tigan set ZONGCS = 9 where tigan_id = 11"));
        const std::set<QString> schemaBefore = schemaOf(*db);
        const BankTables before = ReadAllTables(path);
        const QString kept = bank.dir() + QStringLiteral("kept%1.dbf").arg(n);

        const RestoreCheck check = CheckRestoreFile(files[n], *db, key(), RequiredBankTables());
        EXPECT_EQ(check.usable, !c.refused) << check.refusal.toStdString();
        if (c.refused) {
            EXPECT_TRUE(check.refusal.contains(QStringLiteral("视图"))) << check.refusal.toStdString();
            // Even when asked to, the restore takes nothing from the file.
            EXPECT_THROW(RestoreBankFrom(*db, files[n], kept, key(), RequiredBankTables()), KjksError);
            EXPECT_EQ(FirstDifference(before, ReadAllTables(path)), QString());
            continue;
        }
        RestoreBankFrom(*db, files[n], kept, key(), RequiredBankTables());
        // Nothing but the program's own objects, and the file's program tables as plain tables.
        for (const QString &entry : schemaOf(*db))
            EXPECT_TRUE(schemaBefore.count(entry) || entry.startsWith(QStringLiteral("table kjks_app_")))
                << entry.toStdString();
        EXPECT_EQ(count(*db, QStringLiteral("select ZONGCS from kjks_tigan where tigan_id = 11")), 5);
        EXPECT_EQ(count(*db, QStringLiteral("select count(*) from kjks_SJML")), 1);
        c.check(*db);
    }
}

TEST_F(HostileBankTest, UpgradeCarriesRowsOnlyAndRefusesViews) {
    FixtureBank release;
    release.addQuestion(11, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    release.addQuestion(12, QStringLiteral("单选题"), 1, 1, QStringLiteral("B"));
    release.addStem(7, 1, 2);
    const QString fresh = release.write(QStringLiteral("new.dbf"));
    int n = 0;
    for (const HostileCase &c : hostileCases()) {
        SCOPED_TRACE(c.name);
        const QString old = hostileCopy(c, QStringLiteral("old%1.dbf").arg(++n));
        const BankTables oldBefore = ReadAllTables(old);
        const QString out = bank.dir() + QStringLiteral("out%1.dbf").arg(n);
        if (c.refused) {
            try {
                UpgradeBank(old, fresh, out);
                ADD_FAILURE() << "the upgrade took the file";
            } catch (const KjksError &e) {
                EXPECT_TRUE(e.message().contains(QStringLiteral("视图"))) << e.message().toStdString();
            }
            EXPECT_FALSE(QFileInfo::exists(out));
            continue;
        }
        UpgradeBank(old, fresh, out);
        EXPECT_EQ(FirstDifference(oldBefore, ReadAllTables(old)), QString());
        SqlDatabase result;
        result.open(out, key());
        // Only the chapter tree's counts keep triggers in OUT, and there are no views.
        for (const auto &row :
             result.select(QStringLiteral("select type, name from sqlite_master where type in ('trigger', 'view')")))
            EXPECT_TRUE(row[1].toString().startsWith(QStringLiteral("kjks_app_"))) << row[1].toString().toStdString();
        EXPECT_EQ(count(result, QStringLiteral("select count(*) from sqlite_master where name like 'stray%'")), 0);
        EXPECT_EQ(count(result, QStringLiteral("select ZONGCS from kjks_tigan where tigan_id = 11")), 5);
        c.check(result);
    }
}

TEST_F(HostileBankTest, UpgradeDropsTheNewBanksForeignCode) {
    FixtureBank release;
    release.addQuestion(11, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    const QString fresh = release.write(QStringLiteral("new.dbf"));
    {
        SqlDatabase file;
        file.open(fresh, key());
        file.exec(QStringLiteral("create trigger t after update on kjks_tigan begin delete from kjks_zhangjie; end"));
        file.exec(QStringLiteral("create view v as select 1"));
    }
    const QString old = bank.dir() + QStringLiteral("old.dbf");
    WriteBankCopy(*db, old, key());
    const QString out = bank.dir() + QStringLiteral("out.dbf");
    UpgradeBank(old, fresh, out);
    SqlDatabase result;
    result.open(out, key());
    EXPECT_EQ(count(result, QStringLiteral("select count(*) from sqlite_master where name in ('t', 'v')")), 0);
    EXPECT_EQ(count(result, QStringLiteral("select ZONGCS from kjks_tigan where tigan_id = 11")), 5);
}

} // namespace
