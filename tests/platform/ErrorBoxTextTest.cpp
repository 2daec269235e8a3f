#include "HandlerGuard.h"
#include "Platform.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

TEST(ErrorBoxText, EngineWordsBecomeAChineseSentenceWithTheDetailLine) {
    struct Case {
        const char *detail;
        const char16_t *firstLine;
    };
    const Case cases[] = {
        {"database disk image is malformed",
         u"题库文件已损坏，无法读取这部分内容。请从备份恢复题库文件，或重新安装本程序。"},
        {"file is encrypted or is not a database",
         u"题库文件已损坏，无法读取这部分内容。请从备份恢复题库文件，或重新安装本程序。"},
        {"attempt to write a readonly database",
         u"题库文件是只读的，刚才的更改没有保存。请取消题库文件的只读属性后重新启动本程序。"},
        {"database is locked", u"题库文件正被其他程序使用，刚才的更改没有保存。请关闭其他程序后重试。"},
        {"Stream read error", u"题目文字无法解码，题库中的这段文字已损坏。"},
        {"Invalid buffer size for decryption", u"题目文字无法解码，题库中的这段文字已损坏。"},
        {"'十' is not a valid integer value", u"题库中有无效的数据，操作没有完成。"},
        {"Floating point division by zero", u"题库中有无效的数据，操作没有完成。"},
        {"no such column: kaolv", u"读写题库时出错，操作没有完成。"},
        {"Cannot create file \"/x/AutoUpdate.zri\". Is a directory", u"文件无法读写，操作没有完成。"},
        {"std::bad_cast", u"发生了意外的错误，操作没有完成。"},
    };
    for (const Case &c : cases) {
        const QString detail = QString::fromUtf8(c.detail);
        const QStringList lines = ErrorBoxText(detail).split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), 2) << c.detail;
        EXPECT_EQ(lines[0], QString::fromUtf16(c.firstLine)) << c.detail;
        EXPECT_EQ(lines[1], QStringLiteral("详细信息：") + detail) << c.detail;
    }
    // A text that is already the learner's stays as it is; no detail, no empty detail line.
    EXPECT_EQ(ErrorBoxText(QStringLiteral("题目 1001 的文字无法解码。")), QStringLiteral("题目 1001 的文字无法解码。"));
    EXPECT_EQ(ErrorBoxText(QString()), QStringLiteral("发生了意外的错误，操作没有完成。"));
}

class RecordingErrors : public PlatformServices {
public:
    RecordingErrors() { setPlatform(this); }
    ~RecordingErrors() override { setPlatform(nullptr); }
    void messageBox(BoxKind, const QString &text) override { texts << text; }
    bool confirmBox(const QString &) override { return true; }
    bool shellOpen(const QString &) override { return false; }
    bool startProgram(const QString &, bool) override { return false; }
    void processEvents() override {}
    void pause(int) override {}
    QDateTime now() override { return QDateTime(); }
    quint64 seedCounter() override { return 0; }
    QStringList texts;
};

TEST(ErrorBoxText, TheHandlerGuardShowsIt) {
    RecordingErrors boxes;
    Guarded([] { throw std::runtime_error("database disk image is malformed"); });
    Guarded([] { throw 42; });
    ASSERT_EQ(boxes.texts.size(), 2);
    EXPECT_TRUE(boxes.texts[0].startsWith(QStringLiteral("题库文件已损坏")));
    EXPECT_TRUE(boxes.texts[0].endsWith(QStringLiteral("\n详细信息：database disk image is malformed")));
    EXPECT_EQ(boxes.texts[1], QStringLiteral("发生了意外的错误，操作没有完成。"));
}

} // namespace
