// build -> export -> build gives the same rows, for a hand-written source, for awkward texts and for
// a synthetic bank.

#include "BankExport.h"
#include "BankReader.h"
#include "BankSession.h"
#include "BankSource.h"
#include "BankSynth.h"
#include "BankTestSupport.h"
#include "BankWriter.h"
#include "SqlDatabase.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class RoundTrip : public ::testing::Test {
protected:
    QString path(const QString &name) const { return QDir(m_dir.path()).filePath(name); }

    // Exports `bank` as the command does (row by row) and as a model, expects the same files, builds
    // the export as the command does and expects the same rows; returns the export's folder.
    QString expectRoundTrip(const QString &bank) {
        const QString out = path(QStringLiteral("export"));
        std::vector<BankProblem> undecodable;
        ExportBank(bank, out, &undecodable);
        const QString fromModel = path(QStringLiteral("export-model"));
        ExportBankSource(ReadBank(bank, &undecodable), fromModel);
        EXPECT_EQ(folderBytes(out), folderBytes(fromModel));
        const QString again = path(QStringLiteral("again.dbf"));
        BuildBank(out, again);
        EXPECT_EQ(FirstDifference(ReadAllTables(bank), ReadAllTables(again)), QString());
        return out;
    }

    static std::map<QString, QByteArray> folderBytes(const QString &dir) {
        std::map<QString, QByteArray> files;
        QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            EXPECT_TRUE(f.open(QIODevice::ReadOnly));
            files[QDir(dir).relativeFilePath(f.fileName())] = f.readAll();
        }
        return files;
    }

    QTemporaryDir m_dir;
};

TEST_F(RoundTrip, HandWrittenSourceKeepsEveryRow) {
    const QString source = path(QStringLiteral("source"));
    WriteSourceFiles(source, FullSource());
    const QString bank = path(QStringLiteral("first.dbf"));
    WriteBank(ReadBankSource(source), bank);

    const BankTables tables = ReadAllTables(bank);
    EXPECT_EQ(tables.at(QStringLiteral("kjks_tigan")).size(), 6u);
    EXPECT_EQ(tables.at(QStringLiteral("zongtigan")).size(), 1u);
    EXPECT_EQ(tables.at(QStringLiteral("shijuan")).size(), 2u); // the written scratch row is not doubled

    const QString out = expectRoundTrip(bank);
    EXPECT_TRUE(QFile::exists(QDir(out).filePath(QStringLiteral("papers.txt"))));
    EXPECT_TRUE(QFile::exists(QDir(out).filePath(QStringLiteral("pictures/tigan_4.jpg"))));
    EXPECT_TRUE(QFile::exists(QDir(out).filePath(QStringLiteral("questions/ch01.txt"))));
}

// The command writes each question as its file is read; the options still take their ids in question
// order, and a case written after its sub-questions still gets its answer from them.
TEST_F(RoundTrip, BuildOfFilesOutOfIdOrderGivesTheRowsOfTheSortedSource) {
    const QString source = path(QStringLiteral("source"));
    SourceFiles files = FullSource();
    files[QStringLiteral("questions/c1.txt")] = R"([kjks_tigan 90]
tixing: 不定项选择题
zongtimian: 80
option: 甲
option: 乙
option: 丙
daan: BC

[kjks_tigan 89]
tixing: 不定项选择题
zongtimian: 80
option: 甲
option: 乙
daan: A

[kjks_tigan 50]
tixing: 单选题
zhang: 1
jie: 1
timian: 后面的文件里有更小的编号
option: 甲
option: 乙
daan: B
)";
    files[QStringLiteral("questions/z9.txt")] = R"([zongtigan 80]
zhang: 1
jie: 2
zongtimian: 案例写在小题之后，答案由小题算出
)";
    WriteSourceFiles(source, files);
    const QString built = path(QStringLiteral("built.dbf"));
    BuildBank(source, built);
    const QString fromModel = path(QStringLiteral("model.dbf"));
    const BankModel model = ReadBankSource(source);
    WriteBank(model, fromModel);
    EXPECT_EQ(FirstDifference(ReadAllTables(built), ReadAllTables(fromModel)), QString());
    for (const BankStem &s : model.stems)
        if (s.id == 80) {
            EXPECT_EQ(s.daan, QStringLiteral("ADE"));
        }
}

TEST_F(RoundTrip, UndecodableTextsAndOddRecordsComeBackUnchanged) {
    BankModel m = SyntheticBank(60, 5);
    m.papers.push_back({11, QStringLiteral("昨天"), QString(), {}, 0});
    const QString bank = path(QStringLiteral("odd.dbf"));
    WriteBank(m, bank);
    {
        // Texts the program cannot decode, as a damaged or foreign bank holds them.
        SqlDatabase db;
        db.open(bank, QString::fromLatin1(kBankPassword));
        db.exec(QStringLiteral("update kjks_tigan set timian = 'plain words', jiexi = '0011' where tigan_id = 2"));
        db.exec(QStringLiteral("update kjks_xuanxiang set timian = substr(timian, 1, 20) where xuanxiang_id = 3"));
        db.exec(QStringLiteral("update zongtigan set zongtimian = '' || zongtimian || 'G' where ID = 1"));
    }
    const QString out = expectRoundTrip(bank);
    QFile questions(QDir(out).filePath(QStringLiteral("questions/ch01.txt")));
    ASSERT_TRUE(questions.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(questions.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("无法解码：按题库中的原样保留\ntimian_stored: plain words\n")))
        << text.left(2000).toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\njiexi_stored: 0011\n")));
}

// A bank holding an authoring mistake (made by another tool) still exports; building the export
// names the mistake at its line, so the author can mend it there (a warning, an error with strict).
TEST_F(RoundTrip, AuthoringMistakesOfABankAreNamedWhenItsExportIsBuilt) {
    BankModel m = SyntheticBank(60, 5);
    m.questions[1].daan = QStringLiteral("Z");
    const QString bank = path(QStringLiteral("odd.dbf"));
    WriteBank(m, bank);
    const QString out = path(QStringLiteral("export"));
    ExportBankSource(ReadBank(bank), out);
    try {
        ReadBankSource(out, nullptr, true);
        ADD_FAILURE() << "built";
    } catch (const BankSourceError &e) {
        ASSERT_EQ(e.problems().size(), 1) << e.problems().join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(e.problems()[0].contains(QStringLiteral("ch01.txt:"))) << e.problems()[0].toStdString();
        EXPECT_TRUE(e.problems()[0].contains(QStringLiteral("答案字母 Z 超出了"))) << e.problems()[0].toStdString();
    }
}

TEST_F(RoundTrip, BuiltRowsHoldWhatTheSourceSays) {
    const QString source = path(QStringLiteral("source"));
    WriteSourceFiles(source, FullSource());
    const BankModel m = ReadBankSource(source);
    ASSERT_EQ(m.questions.size(), 6u);
    // Rows come in key order whatever the files' order.
    EXPECT_EQ(m.questions[0].id, 1);
    EXPECT_EQ(m.questions[0].jiexi, QStringLiteral("会计的基本职能是核算和监督，\n其他各项属于拓展职能。"));
    EXPECT_EQ(m.questions[2].jiexi, QStringLiteral("  开头有空格\n\n# 不是注释\t制表符 \\ 反斜杠 \"引号\"  "));
    EXPECT_EQ(m.questions[2].progress.ZONGCS, 5);
    EXPECT_EQ(m.questions[3].daan, QStringLiteral("借：银行存款 5000\n贷：实收资本 5000"));
    EXPECT_FALSE(m.questions[3].tmimage.isEmpty());
    EXPECT_TRUE(m.questions[4].options[2].withdrawn);
    ASSERT_EQ(m.stems.size(), 1u);
    EXPECT_EQ(m.stems[0].daan, QStringLiteral("ACE")); // AC, then B shifted past three options
    EXPECT_EQ(m.options.at(QStringLiteral("APP_XINXI")), QString());
    EXPECT_FALSE(m.options.at(QStringLiteral("APP_XINXI")).isNull());
    EXPECT_TRUE(m.questions[0].timian2.isNull()); // absent stays NULL
}

TEST_F(RoundTrip, AwkwardTextsComeBackExactly) {
    BankModel m = SyntheticBank(300, 5);
    const QString awkward[] = {
        QStringLiteral("  leading and trailing blanks\t"),
        QStringLiteral("line one\n\nline three after a blank line"),
        QStringLiteral("first\n# looks like a comment\n  indented"),
        QStringLiteral(":starts with a colon"),
        QStringLiteral("carriage\r\nreturn and \\ backslash \"quoted\""),
        QStringLiteral("[not a header]\n[kjks_tigan 5]"),
        QStringLiteral("\n"),
        QStringLiteral("ends with a line break\n"),
        QString::fromUtf8("\xE3\x80\x80全角空格开头和结尾\xE3\x80\x80"),
    };
    for (size_t i = 0; i < std::size(awkward); ++i) {
        m.questions[i].timian = awkward[i];
        m.questions[i].jiexi = awkward[std::size(awkward) - 1 - i];
    }
    m.questions[0].timian2 = QString::fromUtf8("", 0); // "" stays apart from NULL
    m.options[QStringLiteral("APP_LXFS")] = QStringLiteral("a\tb");
    m.chapters[1].mc = QStringLiteral("  第一章\n第二行");
    m.papers.push_back(
        BankPaper{11, QStringLiteral("2026-01-02 09:30:00"), QString(), {{QStringLiteral("DEFEN"), 0.1 + 0.2}}, 0});
    m.paperItems.push_back(BankPaperItem{0, 11, 1, QStringLiteral("单选题"), 1, QStringLiteral("A"),
                                         QStringLiteral("B"), true, 1.0 / 3.0, QStringLiteral("0")});
    const QString bank = path(QStringLiteral("awkward.dbf"));
    WriteBank(m, bank);
    expectRoundTrip(bank);
}

TEST_F(RoundTrip, SyntheticBankWithProgress) {
    const QString bank = path(QStringLiteral("synth.dbf"));
    WriteBank(SyntheticBank(300, 9), bank);
    const QString out = expectRoundTrip(bank);
    // A fresh bank's scratch row is the one a build adds by itself: no papers file.
    EXPECT_FALSE(QFile::exists(QDir(out).filePath(QStringLiteral("papers.txt"))));
}

// A chapter larger than a source file may be (the build refuses such a file) goes on in further
// files, and the folder still builds the same bank.
TEST_F(RoundTrip, LargeChaptersAreSplitIntoFilesTheBuildReads) {
    const QString bank = path(QStringLiteral("s.dbf"));
    WriteBank(SyntheticBank(300, 4), bank);
    const QString out = path(QStringLiteral("split"));
    const qint64 limit = 16 * 1024;
    std::vector<BankProblem> undecodable;
    ExportBank(bank, out, &undecodable, limit);
    const auto files = folderBytes(out);
    EXPECT_TRUE(files.count(QStringLiteral("questions/ch01_2.txt")));
    for (const auto &[name, bytes] : files)
        if (name.startsWith(QLatin1String("questions/"))) {
            EXPECT_LE(bytes.size(), limit) << name.toStdString();
        }
    const QString again = path(QStringLiteral("again.dbf"));
    BuildBank(out, again);
    EXPECT_EQ(FirstDifference(ReadAllTables(bank), ReadAllTables(again)), QString());
}

TEST_F(RoundTrip, ExportRefusesAFolderInUseAndLeavesNothingOnFailure) {
    const QString bank = path(QStringLiteral("synth.dbf"));
    WriteBank(SyntheticBank(20, 1), bank);
    const QString used = path(QStringLiteral("used"));
    WriteSourceFiles(used, {{QStringLiteral("keep.txt"), QByteArray("mine")}});
    EXPECT_THROW(ExportBankSource(ReadBank(bank), used), KjksError);
    EXPECT_EQ(QDir(used).entryList(QDir::Files), QStringList{QStringLiteral("keep.txt")});

    // An option name a source cannot hold fails the export, and no folder appears.
    BankModel m = SyntheticBank(20, 1);
    m.options[QStringLiteral("TWO WORDS")] = QStringLiteral("x");
    const QString out = path(QStringLiteral("out"));
    EXPECT_THROW(ExportBankSource(m, out), KjksError);
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 2);
}

} // namespace
