#include "SingleInstance.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

// A second start on the same bank is refused while the first runs, and allowed once it has ended;
// another bank is another program.
TEST(SingleInstance, ASecondStartOnTheSameBankIsRefused) {
    QTemporaryDir dir;
    const QString bank = dir.path() + QStringLiteral("/kjks.dbf");
    auto first = std::make_unique<BankInstanceLock>(bank);
    ASSERT_TRUE(first->acquire());
    EXPECT_TRUE(QFileInfo::exists(bank + QStringLiteral(".lock")));

    BankInstanceLock second(bank);
    EXPECT_FALSE(second.acquire());
    BankInstanceLock otherBank(dir.path() + QStringLiteral("/abc.dbf"));
    EXPECT_TRUE(otherBank.acquire());

    first.reset(); // the first copy ends
    BankInstanceLock third(bank);
    EXPECT_TRUE(third.acquire());
}
