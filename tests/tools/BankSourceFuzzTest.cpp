// The source reader meets broken input: cut-off records, binary garbage, huge lines and bad UTF-8.
// It must never crash or hang, and whatever it reports names a file and a line.

#include "BankRules.h"
#include "BankSource.h"
#include "BankTestSupport.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

namespace {

// Parses the files; returns the problems (empty when the source was accepted).
QStringList parse(const SourceFiles &files, const QString &dir = QString()) {
    BankSourceReader reader(dir);
    for (const auto &[name, bytes] : files)
        if (!name.startsWith(QLatin1String("pictures/"))) reader.addFile(name, bytes);
    try {
        reader.finish();
        return {};
    } catch (const BankSourceError &e) {
        // Most inputs here hold no exam profile: that mistake of the whole source has no line.
        QStringList problems = e.problems();
        problems.removeIf([](const QString &p) { return p.startsWith(QStringLiteral("考试方案 1：缺少考试方案")); });
        return problems;
    }
}

void expectLocated(const QStringList &problems, const std::string &context) {
    static const QRegularExpression located(QStringLiteral("^[^:]+\\.txt:[0-9]+: \\S"));
    for (const QString &p : problems)
        ASSERT_TRUE(located.match(p).hasMatch()) << context << ": " << p.toStdString();
}

TEST(SourceFuzz, EveryTruncationOfAGoodSourceIsReadOrReported) {
    QTemporaryDir dir;
    const SourceFiles full = FullSource();
    WriteSourceFiles(dir.path(), full);
    ASSERT_EQ(parse(full, dir.path()), QStringList());
    const QString cut = QStringLiteral("questions/b.txt");
    const QByteArray text = full.at(cut);
    for (qsizetype n = 0; n <= text.size(); ++n) {
        SourceFiles files = full;
        files[cut] = text.left(n); // also cuts UTF-8 sequences and escapes in half
        expectLocated(parse(files, dir.path()), "cut at " + std::to_string(n));
    }
}

TEST(SourceFuzz, BinaryGarbageIsReported) {
    std::mt19937 random(20260101);
    for (int round = 0; round < 300; ++round) {
        QByteArray garbage(int(random() % 4096), Qt::Uninitialized);
        for (char &c : garbage)
            c = char(random());
        // Every third round mixes in pieces of the syntax, so that the garbage reaches past the first line.
        if (round % 3 == 0)
            for (int k = 0; k < 20; ++k)
                garbage.insert(random() % (garbage.size() + 1),
                               QByteArrayList{"\n[kjks_tigan 1]\n", "\ndaan:: \"\\u12", "\n  ", "\noption: ",
                                              "\n[zongtigan 2]\nzongtimian: 1\n", "\xE4\xB8"}[random() % 6]);
        const QStringList problems =
            parse({{QStringLiteral("bank.txt"), QByteArray()}, {QStringLiteral("questions/g.txt"), garbage}});
        // Random bytes are never a source: something is reported, and every report is located.
        if (!garbage.trimmed().isEmpty()) {
            EXPECT_FALSE(problems.isEmpty()) << "round " << round << ": garbage accepted";
        }
        expectLocated(problems, "round " + std::to_string(round));
    }
}

TEST(SourceFuzz, HugeLinesAndValuesAreRefusedAtTheirLine) {
    // A value of the limit is read, over several lines too; one character more is refused.
    const QByteArray half(kMaxTextChars / 2, 'x');
    const QByteArray atLimit = "[kjks_zhangjie 01]\nmc: " + half + "\n  " + half.left(half.size() - 1) + "\n";
    EXPECT_EQ(parse({{QStringLiteral("bank.txt"), atLimit}}), QStringList());
    const QStringList over = parse({{QStringLiteral("bank.txt"), atLimit + "  y\n"}});
    ASSERT_EQ(over.size(), 1) << over.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(over[0].startsWith(QStringLiteral("bank.txt:4: 值超过"))) << over[0].toStdString();
    const QStringList escaped =
        parse({{QStringLiteral("bank.txt"), "[kjks_zhangjie 01]\nmc:: \"" + half + half + "y\"\n"}});
    ASSERT_EQ(escaped.size(), 1);
    EXPECT_TRUE(escaped[0].startsWith(QStringLiteral("bank.txt:2: 值超过")));

    // Lines longer than any value can be are refused before they are decoded.
    const QByteArray huge(8 * 1024 * 1024, 'x');
    const QStringList lineProblems = parse({{QStringLiteral("bank.txt"), huge + "\n[" + huge + "\n"}});
    ASSERT_EQ(lineProblems.size(), 2);
    EXPECT_TRUE(lineProblems[0].startsWith(QStringLiteral("bank.txt:1: 值超过")));
    EXPECT_TRUE(lineProblems[1].startsWith(QStringLiteral("bank.txt:2: 值超过")));
}

TEST(SourceFuzz, BadUtf8IsReportedAtItsLine) {
    const char *const bad[] = {
        "\xC0\xAF",         // overlong "/"
        "\x80",             // lone continuation byte
        "\xE4\xB8",         // sequence cut at the line's end
        "\xED\xA0\x80",     // an encoded surrogate
        "\xFF\xFE",         // never valid
        "\xF4\x90\x80\x80", // beyond U+10FFFF
    };
    for (const char *b : bad) {
        const QStringList problems =
            parse({{QStringLiteral("bank.txt"), QByteArray("[kjks_zhangjie 01]\nmc: 科目") + b + "\n"}});
        ASSERT_EQ(problems.size(), 1) << QByteArray(b).toHex().toStdString();
        EXPECT_TRUE(problems[0].startsWith(QStringLiteral("bank.txt:2: 文件不是 UTF-8 编码")))
            << problems[0].toStdString();
    }
    // A file saved as GBK: one message at its first such line, not one for every line.
    const QByteArray gbk =
        "# \xBB\xE1\xBC\xC6\n[kjks_zhangjie 01]\nmc: \xBF\xC6\xC4\xBF\n[kjks_zhangjie 0101]\nmc: \xD5\xC2\n";
    EXPECT_EQ(parse({{QStringLiteral("q.txt"), gbk}}),
              QStringList{
                  QStringLiteral("q.txt:1: 文件不是 UTF-8 编码（从这一行起），请另存为 UTF-8：在记事本中“另存为”，编码"
                                 "选“UTF-8”")});
    // A byte-order mark and Windows line ends are fine.
    EXPECT_EQ(parse({{QStringLiteral("bank.txt"), "\xEF\xBB\xBF[kjks_zhangjie 01]\r\nmc: 科目\r\n"}}), QStringList());
}

} // namespace
