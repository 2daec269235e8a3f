// What the desktop shell is asked to open, decided before anything is started.

#include "DesktopPlatform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Kind = ShellTarget::Kind;

TEST(ShellRequest, EveryRequestIsClassifiedBeforeAnythingStarts) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString program = dir.filePath(QStringLiteral("101.exe"));
    const QString document = dir.filePath(QStringLiteral("考试大纲.rtf"));
    for (const QString &path : {program, document}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    struct Case {
        QString request;
        Kind kind;
        QString target;
    } cases[] = {
        {QString(), Kind::Nothing, QString()},
        {QStringLiteral("   "), Kind::Nothing, QString()},
        {QStringLiteral("\"\""), Kind::Nothing, QString()},
        {QStringLiteral("Calc.EXE"), Kind::Calculator, QStringLiteral("Calc.EXE")},
        {QStringLiteral(" \"calc.exe\" "), Kind::Calculator, QStringLiteral("calc.exe")},
        {QStringLiteral("https://www.example.com/kjks"), Kind::Address, QStringLiteral("https://www.example.com/kjks")},
        {QStringLiteral("www.example.com"), Kind::Address, QStringLiteral("www.example.com")},
        {QStringLiteral("MAILTO:kjks@example.com"), Kind::Address, QStringLiteral("MAILTO:kjks@example.com")},
        {program, Kind::Program, program},
        {QStringLiteral("\"") + program + QStringLiteral("\""), Kind::Program, program},
        {document, Kind::Document, document},
        {dir.path(), Kind::Document, QDir(dir.path()).absolutePath()}, // a folder opens in the file manager
        {dir.filePath(QStringLiteral("102.exe")), Kind::Nothing, QString()},
        {QStringLiteral("Calc"), Kind::Nothing, QString()},
    };
    for (const Case &c : cases) {
        const ShellTarget t = ClassifyShellRequest(c.request);
        EXPECT_EQ(t.kind, c.kind) << c.request.toStdString();
        EXPECT_EQ(t.target, c.target) << c.request.toStdString();
    }

    // A file that lost its execute permission is a document, never started.
    ASSERT_TRUE(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner));
    EXPECT_EQ(ClassifyShellRequest(program).kind, Kind::Document);
}

} // namespace
