#include "NumberText.h"
#include "SqlError.h"

#include <gtest/gtest.h>

TEST(NumberText, FormatsPointsInShortestForm) {
    struct Case {
        double value;
        const char *text;
    } cases[] = {{2, "2"},
                 {1.5, "1.5"},
                 {2.0 / 3.0, "0.666666666666667"},
                 {10.0 / 3.0, "3.33333333333333"},
                 {0, "0"},
                 {-0.0, "0"},
                 {48, "48"},
                 {0.1 + 0.2, "0.3"},
                 {1.2, "1.2"}};
    for (const Case &c : cases)
        EXPECT_EQ(FormatNumber(c.value), QString::fromLatin1(c.text)) << c.value;
}

TEST(NumberText, ClockAndLetters) {
    EXPECT_EQ(SecondsToClock(5400), QStringLiteral("1:30:00"));
    EXPECT_EQ(SecondsToClock(59), QStringLiteral("0:00:59"));
    EXPECT_EQ(SecondsToClock(7200), QStringLiteral("2:00:00"));
    EXPECT_EQ(SecondsToClock(0), QStringLiteral("0:00:00"));
    EXPECT_EQ(SecondsToClock(61 * 3600 + 61), QStringLiteral("1:01:01"));
    EXPECT_EQ(OptionLetter(0), QStringLiteral("A"));
    EXPECT_EQ(OptionLetter(4), QStringLiteral("E"));
}

TEST(NumberText, ConversionErrorsNameTheText) {
    EXPECT_EQ(StrToInt(QStringLiteral("24")), 24);
    EXPECT_EQ(StrToInt(QStringLiteral(" -3")), -3);
    for (const char *bad : {"", "2.5", "abc", "99999999999"}) {
        try {
            StrToInt(QString::fromLatin1(bad));
            ADD_FAILURE() << bad;
        } catch (const KjksError &e) {
            EXPECT_EQ(e.message(), QStringLiteral("'%1' is not a valid integer value").arg(QString::fromLatin1(bad)));
        }
    }
}
