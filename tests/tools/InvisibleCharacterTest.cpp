// Invisible format characters in a question's texts are refused by name, at their line; the
// characters Chinese texts do use pass.
#include "BankRules.h"
#include "BankSource.h"
#include "BankTestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(InvisibleCharacters, EveryFormatCharacterIsNamedAndVisibleTextPasses) {
    const struct {
        const char16_t *text;
        const char *named; // empty: the text passes
    } cases[] = {
        {u"会\U000E0001计", "U+E0001"}, // a language tag
        {u"会计\U000E007F", "U+E007F"}, // the cancel tag
        {u"会\u200B计", "U+200B"},      // zero-width space
        {u"会\u200D计", "U+200D"},      // zero-width joiner
        {u"会\u200C计", "U+200C"},      // zero-width non-joiner
        {u"答案\u202E甲乙", "U+202E"},  // right-to-left override: what is shown is not what is stored
        {u"会\uFEFF计", "U+FEFF"},      // a byte order mark inside a text
        {u"会\u00AD计", "U+00AD"},      // soft hyphen
        {u"会\u2060计", "U+2060"},      // word joiner
        {u"下列各项中，属于会计基本假设的有（　）。", ""},
        {u"借：银行存款 5000\n  贷：实收资本 5000", ""},
        {u"税率 13%，√ ×，①②，≥ ≤，“引号”", ""},
    };
    for (const auto &c : cases) {
        const QString text = QString::fromUtf16(c.text);
        SCOPED_TRACE(text.toStdString());
        const QString problem = InvisibleCharacterProblem(text);
        if (*c.named == 0) {
            EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
        } else {
            EXPECT_TRUE(problem.contains(QString::fromLatin1(c.named))) << problem.toStdString();
        }
    }
}

// `build` names the file and line of the text and writes no bank.
TEST(InvisibleCharacters, BuildRefusesATagCharacterAtItsLine) {
    QTemporaryDir dir;
    SourceFiles files = FullSource();
    QByteArray &questions = files[QStringLiteral("questions/b.txt")];
    const QByteArray plain = QStringLiteral("timian: 会计主体一定是法律主体。").toUtf8();
    ASSERT_TRUE(questions.contains(plain));
    const int line = int(questions.left(questions.indexOf(plain)).count('\n')) + 1;
    questions.replace(plain, QStringLiteral("timian: 会计主体\U000E0001一定是法律主体。").toUtf8());
    WriteSourceFiles(dir.filePath(QStringLiteral("src")), files);
    const QString bank = dir.filePath(QStringLiteral("out.dbf"));
    try {
        BuildBank(dir.filePath(QStringLiteral("src")), bank);
        FAIL() << "a tag character was built";
    } catch (const BankSourceError &e) {
        ASSERT_EQ(e.problems().size(), 1) << e.problems().join(QLatin1Char('\n')).toStdString();
        const QString where = QStringLiteral("questions/b.txt:%1: ").arg(line);
        EXPECT_TRUE(e.problems()[0].contains(where)) << e.problems()[0].toStdString();
        EXPECT_TRUE(e.problems()[0].contains(QStringLiteral("U+E0001"))) << e.problems()[0].toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(bank));
}
