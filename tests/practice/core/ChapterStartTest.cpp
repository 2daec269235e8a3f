// Where a practice set starts for the chapter tree's code, found by the bank, against a walk of the
// whole set that tests each row as the learner's rule states it.

#include "Dataset.h"
#include "FixtureBank.h"
#include "PracticeQueries.h"

#include <gtest/gtest.h>

namespace {

// The first row, in the set's order, with zhang at least the chapter and jie at least the section,
// each read as an integer; the first row when none is.
int walkedStart(Dataset &whole, const QString &code) {
    const ChapterStart start = ParseChapterCode(code);
    for (whole.first(); start.positioned && !whole.eof(); whole.next())
        if (whole.asInteger(QStringLiteral("zhang")) >= start.chapter &&
            whole.asInteger(QStringLiteral("jie")) >= start.section)
            return whole.asInteger(QStringLiteral("tigan_id"));
    whole.first();
    return whole.asInteger(QStringLiteral("tigan_id"));
}

TEST(ChapterStart, TheBankFindsTheRowAWalkOfTheSetFinds) {
    struct Bank {
        const char *name;
        const char *columnType; // of zhang and jie
        std::vector<const char *> rows;
        std::vector<std::pair<const char *, int>> codes; // code, the row it starts at
    };
    const std::vector<Bank> banks = {
        // Chapter and section are tested on their own: a later chapter with an earlier section
        // does not start.
        {"numbers",
         "INTEGER",
         {"11, 2, 5", "12, 3, 1", "13, 4, 1", "14, 4, 2", "15, 1, 1", "16, 3, 3"},
         {{"10302", 16}, {"10402", 14}, {"104", 13}, {"10205", 11}, {"10306", 15}, {"1030", 15}, {"", 15}}},
        // A null chapter reads as 0, a real is rounded, bytes are read as their digits.
        {"nulls, reals and bytes",
         "INTEGER",
         {"21, null, 2", "22, 2.6, 1", "23, 2.6, 3", "24, 3, null", "25, cast('5' as blob), 2", "26, 1, 1"},
         {{"10302", 23}, {"10000", 21}, {"100", 21}, {"10003", 23}, {"10502", 25}, {"10301", 22}, {"10602", 21}}},
        // Codes kept as text sort as text ("10" before "2") yet compare as numbers.
        {"texts",
         "TEXT",
         {"31, '10', '1'", "32, '2', '3'", "33, '3', '1'", "34, '9', '2'", "35, ' 4', '2'"},
         {{"10302", 35}, {"10502", 34}, {"10203", 32}, {"11001", 31}, {"11002", 35}, {"10901", 31}}},
    };
    const QString set =
        QStringLiteral("select * from kjks_tigan where daan <> \"\" and  tixing = \"单选题\" order by zhang,jie asc");
    for (const Bank &b : banks) {
        SCOPED_TRACE(b.name);
        FixtureBank bank;
        BankSession &form = bank.open();
        bank.exec(QStringLiteral("drop table kjks_tigan"));
        bank.exec(QStringLiteral("create table kjks_tigan (tigan_id INTEGER PRIMARY KEY, tixing TEXT, daan TEXT,"
                                 " zhang %1, jie %1, YDCS TEXT DEFAULT '0', DDCS TEXT DEFAULT '0',"
                                 " shoucang TEXT DEFAULT '0')")
                      .arg(QString::fromLatin1(b.columnType)));
        bank.exec(QStringLiteral("create index kjks_tigan_practice on kjks_tigan"
                                 " (tixing, zhang, jie, tigan_id, daan, YDCS, DDCS, shoucang)"));
        for (const char *row : b.rows)
            bank.exec(QStringLiteral("insert into kjks_tigan (tigan_id, zhang, jie, tixing, daan) values (%1,"
                                     " '单选题', 'A')")
                          .arg(QString::fromLatin1(row)));
        Dataset whole(&form.db);
        whole.openSql(set);
        for (const auto &[code, expected] : b.codes) {
            SCOPED_TRACE(code);
            const QString chapterCode = QString::fromLatin1(code);
            EXPECT_EQ(walkedStart(whole, chapterCode), expected);
            for (int window : {1, 256}) {
                Dataset windowed(&form.db);
                windowed.openWindowed(set, window);
                PositionAtChapter(windowed, chapterCode);
                EXPECT_EQ(windowed.asInteger(QStringLiteral("tigan_id")), expected) << "window " << window;
                whole.openSql(set);
                EXPECT_EQ(windowed.bof(), expected == whole.asInteger(QStringLiteral("tigan_id")));
                EXPECT_FALSE(windowed.eof());
            }
        }
    }
}

} // namespace
