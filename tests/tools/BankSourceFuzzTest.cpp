// The source reader meets broken input: cut-off records, binary garbage, huge lines and bad UTF-8.
// It must never crash or hang, and whatever it reports names a file and a line.

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
        return e.problems();
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

TEST(SourceFuzz, HugeLinesAreHandled) {
    const QByteArray huge(8 * 1024 * 1024, 'x');
    const QByteArray chinese = QByteArray("会计").repeated(1024 * 1024);
    const QStringList valueProblems =
        parse({{QStringLiteral("bank.txt"), "[kjks_zhangjie 01]\nmc: " + chinese + "\n  " + huge + "\n"}});
    EXPECT_EQ(valueProblems, QStringList());
    const QStringList lineProblems = parse({{QStringLiteral("bank.txt"), huge + "\n[" + huge + "\n"}});
    ASSERT_EQ(lineProblems.size(), 2);
    EXPECT_TRUE(lineProblems[0].startsWith(QStringLiteral("bank.txt:1: expected")));
    EXPECT_TRUE(lineProblems[1].startsWith(QStringLiteral("bank.txt:2: a record header")));
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
        EXPECT_EQ(problems[0], QStringLiteral("bank.txt:2: the line is not valid UTF-8"));
    }
    // A byte-order mark and Windows line ends are fine.
    EXPECT_EQ(parse({{QStringLiteral("bank.txt"), "\xEF\xBB\xBF[kjks_zhangjie 01]\r\nmc: 科目\r\n"}}), QStringList());
}

} // namespace
