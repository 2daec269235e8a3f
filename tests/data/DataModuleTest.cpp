#include "BankSession.h"
#include "ExamProfile.h"
#include "FixtureBank.h"
#include "SqlError.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

QString openError(const QString &exePath) {
    BankSession form;
    try {
        form.OpenBesideExecutable(exePath);
    } catch (const SqlError &e) {
        return e.message();
    }
    return QString();
}

TEST(DataModule, OpensTheBankNamedAfterTheExecutable) {
    FixtureBank bank;
    bank.write(QStringLiteral("abc.dbf"));
    BankSession form;
    form.OpenBesideExecutable(bank.dir() + QStringLiteral("abc"));
    EXPECT_TRUE(form.db.isOpen());
    EXPECT_EQ(BankPathForExecutable(QStringLiteral("/x/kj.exe")), QStringLiteral("/x/kj.dbf"));
}

TEST(DataModule, UnusableBanksFailWithoutCreatingOrChangingAnything) {
    FixtureBank bank;
    // Missing: fails and leaves no file.
    EXPECT_FALSE(openError(bank.dir() + QStringLiteral("kjks")).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(bank.dir() + QStringLiteral("kjks.dbf")));

    // Plain bytes, an empty file, and a bank under another password all fail.
    auto writeFile = [&](const QString &name, const QByteArray &bytes) {
        QFile f(bank.dir() + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    writeFile(QStringLiteral("text.dbf"),
              QByteArray("this is not a question bank at all, just some text......", 56).repeated(40));
    writeFile(QStringLiteral("empty.dbf"), QByteArray());
    EXPECT_FALSE(openError(bank.dir() + QStringLiteral("text")).isEmpty());
    EXPECT_FALSE(openError(bank.dir() + QStringLiteral("empty")).isEmpty());
    EXPECT_EQ(QFileInfo(bank.dir() + QStringLiteral("empty.dbf")).size(), 0);

    // Damaged pages behind an intact first page: refused at open, and the file is left as it was.
    const QString good = bank.write(QStringLiteral("damaged.dbf"));
    QFile f(good);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.seek(1500);
    f.write(QByteArray(2000, '\x5A'));
    f.close();
    auto bytes = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray damaged = bytes(good);
    EXPECT_FALSE(openError(bank.dir() + QStringLiteral("damaged")).isEmpty());
    EXPECT_EQ(bytes(good), damaged);

    // A bank without one of the tables the program reads is refused too.
    SqlDatabase partial;
    partial.create(bank.dir() + QStringLiteral("partial.dbf"), QString::fromLatin1(kBankPassword));
    partial.exec(
        QStringLiteral("create table sys_option (option_id INTEGER PRIMARY KEY, option_name TEXT, option_value TEXT)"));
    partial.close();
    EXPECT_TRUE(openError(bank.dir() + QStringLiteral("partial")).contains(QStringLiteral("no such table")));

    SqlDatabase other;
    other.create(bank.dir() + QStringLiteral("other.dbf"), QStringLiteral("another"));
    other.exec(QStringLiteral("create table t (x)"));
    other.close();
    EXPECT_FALSE(openError(bank.dir() + QStringLiteral("other")).isEmpty());
}

TEST(DataModule, LoadsTheExamProfile) {
    FixtureBank bank;
    auto &cols = bank.model.profiles[0].columns;
    cols[QStringLiteral("danxuanti")] = QStringLiteral("20");
    cols[QStringLiteral("danxuanfen")] = QStringLiteral("20");
    cols[QStringLiteral("duoxuanti")] = QStringLiteral("20");
    cols[QStringLiteral("duoxuanfen")] = QStringLiteral("40");
    cols[QStringLiteral("panduanti")] = QStringLiteral("20");
    cols[QStringLiteral("panduanfen")] = QStringLiteral("20");
    cols[QStringLiteral("shicaoti")] = QStringLiteral("3");
    cols[QStringLiteral("shicaofen")] = QStringLiteral("10");
    BankSession &form = bank.open();
    form.LoadExamProfile(QStringLiteral("1"));
    EXPECT_EQ(bank.statements.last(), QStringLiteral("select * from kjks_type where kjks_type_id = 1"));
    const ExamProfile &p = examProfile();
    EXPECT_EQ(p.subjectName, QStringLiteral("初级会计实务"));
    EXPECT_EQ(p.sections[0].typeName, QStringLiteral("单选题"));
    EXPECT_EQ(p.sections[3].typeName, QStringLiteral("不定项选择题"));
    EXPECT_EQ(p.sections[0].perQuestionScore, 1.0);
    EXPECT_EQ(p.sections[1].perQuestionScore, 2.0);
    EXPECT_EQ(p.sections[3].perQuestionScore, 10.0 / 3.0);
    EXPECT_EQ(p.sections[3].countText, QStringLiteral("3"));
    EXPECT_EQ(p.totalCount, 63);
}

TEST(DataModule, ASectionOfNoQuestionsAndNoPointsIsLeftOffThePaper) {
    const struct {
        std::vector<const char *> emptied; // count and points columns set to 0
        std::vector<QuestionType> present;
        int totalCount;
        int totalPoints;
    } cases[] = {
        {{"duoxuanti", "duoxuanfen", "panduanti", "panduanfen", "shicaoti", "shicaofen"}, {QuestionType::Single}, 2, 4},
        {{"shicaoti", "shicaofen"}, {QuestionType::Single, QuestionType::Multiple, QuestionType::Judgement}, 4, 7},
    };
    for (const auto &c : cases) {
        FixtureBank bank;
        for (const char *column : c.emptied)
            bank.model.profiles[0].columns[QString::fromLatin1(column)] = QStringLiteral("0");
        BankSession &form = bank.open();
        examProfile() = ExamProfile{};
        form.LoadExamProfile(QStringLiteral("1"));
        const ExamProfile &p = examProfile();
        EXPECT_EQ(p.presentSections(), c.present);
        EXPECT_EQ(p.totalCount, c.totalCount);
        EXPECT_EQ(p.totalPoints(), c.totalPoints);
        EXPECT_EQ(p.section(QuestionType::Fourth).perQuestionScore, 0);
    }
    // All four at 0: nothing to draw, and the start-up says so.
    FixtureBank bank;
    for (const char *column :
         {"danxuanti", "danxuanfen", "duoxuanti", "duoxuanfen", "panduanti", "panduanfen", "shicaoti", "shicaofen"})
        bank.model.profiles[0].columns[QString::fromLatin1(column)] = QStringLiteral("0");
    BankSession &form = bank.open();
    try {
        form.LoadExamProfile(QStringLiteral("1"));
        ADD_FAILURE();
    } catch (const ExamProfileError &e) {
        EXPECT_TRUE(StartupFailureText(e).startsWith(
            QStringLiteral("题库的考试方案无法使用：考试方案的四个部分题数都是 0，抽不出试卷")));
    }
}

TEST(DataModule, ProfileFailuresKeepTheFieldsSetBefore) {
    struct Case {
        const char *column;
        const char *value;
        QString error;
        QString named; // what the start-up message says instead of "缺少数据库文件"
    } cases[] = {
        {"duoxuanti", "abc", QStringLiteral("'abc' is not a valid integer value"),
         QStringLiteral("考试方案的第二部分（多选题）题数“abc”或分数“2”不是整数")},
        {"duoxuanti", "0", QStringLiteral("Floating point division by zero"),
         QStringLiteral("考试方案的第二部分（多选题）题数为 0")},
    };
    for (const Case &c : cases) {
        FixtureBank bank;
        bank.model.profiles[0].columns[QString::fromLatin1(c.column)] = QString::fromLatin1(c.value);
        BankSession &form = bank.open();
        examProfile() = ExamProfile{};
        try {
            form.LoadExamProfile(QStringLiteral("1"));
            ADD_FAILURE() << c.value;
        } catch (const ExamProfileError &e) {
            EXPECT_EQ(e.message(), c.error);
            const QString text = StartupFailureText(e);
            EXPECT_TRUE(text.startsWith(QStringLiteral("题库的考试方案无法使用：") + c.named)) << text.toStdString();
            EXPECT_TRUE(text.endsWith(QStringLiteral("详细信息：") + c.error)) << text.toStdString();
        }
        // The first section and the second's texts were set before the failing division.
        EXPECT_EQ(examProfile().sections[0].perQuestionScore, 2.0);
        EXPECT_EQ(examProfile().sections[1].countText, QString::fromLatin1(c.value));
        EXPECT_EQ(examProfile().sections[2].typeName, QString());
        EXPECT_EQ(examProfile().totalCount, 0);
    }
    // No row for the id: the empty text is not an integer.
    FixtureBank bank;
    BankSession &form = bank.open();
    try {
        form.LoadExamProfile(QStringLiteral("7"));
        ADD_FAILURE();
    } catch (const ExamProfileError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("'' is not a valid integer value"));
        EXPECT_TRUE(StartupFailureText(e).contains(QStringLiteral("题库中没有考试方案 7")));
    }
}

TEST(DataModule, OptionsAreLookedUpInUpperCase) {
    FixtureBank bank;
    BankSession &form = bank.open();
    EXPECT_EQ(form.GetOption(QStringLiteral("app_title")), QStringLiteral("初级会计实务考试系统"));
    EXPECT_EQ(form.GetOption(QStringLiteral("APP_TITLE")), QStringLiteral("初级会计实务考试系统"));
    EXPECT_EQ(bank.statements.last(), QStringLiteral("select * from sys_option where option_name = 'APP_TITLE'"));
    EXPECT_EQ(form.GetOption(QStringLiteral("NO_SUCH_KEY")), QString());
}

} // namespace

// Start-up names the real cause: the engine's result code decides, not the wording of its message.
TEST(DataModule, StartUpFailuresNameTheirRealCause) {
    const struct {
        const char *message;
        int code;
        const char *opening; // the text begins with it
    } cases[] = {
        {"database disk image is malformed", SQLITE_CORRUPT, "缺少数据库文件。\n题库文件已损坏"},
        {"file is not a database", SQLITE_NOTADB, "缺少数据库文件。\n题库文件已损坏"},
        {"disk I/O error", SQLITE_IOERR_SHORT_READ, "缺少数据库文件。\n题库文件已损坏"}, // a file cut short
        {"database or disk is full", SQLITE_FULL, "磁盘空间不足"},
        {"disk I/O error", SQLITE_IOERR_WRITE, "读写题库文件时出错"}, // not damaged
        {"database is locked", SQLITE_BUSY, "题库文件正被其他程序使用"},
        {"attempt to write a readonly database", SQLITE_READONLY, "题库文件不可写"},
        {"no such table: kjks_type", SQLITE_ERROR, "缺少数据库文件。\n详细信息：no such table"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.message);
        const QString text = StartupFailureText(SqlError(QString::fromUtf8(c.message), c.code));
        EXPECT_TRUE(text.startsWith(QString::fromUtf8(c.opening))) << text.toStdString();
        EXPECT_TRUE(
            text.endsWith(QStringLiteral("详细信息：") + QString::fromUtf8(c.message))); // English only as detail
    }
}
