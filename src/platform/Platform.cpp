#include "Platform.h"

#include <QElapsedTimer>
#include <QThread>
#include <chrono>
#include <initializer_list>

namespace {

// Until the desktop services are installed (or in a program without windows) boxes go to stderr.
class ConsoleServices : public PlatformServices {
public:
    void messageBox(BoxKind, const QString &text) override { qWarning("%s", qUtf8Printable(text)); }
    bool confirmBox(const QString &text) override {
        qWarning("%s", qUtf8Printable(text));
        return false;
    }
    bool shellOpen(const QString &) override { return false; }
    bool startProgram(const QString &, bool) override { return false; }
    void processEvents() override {}
    void pause(int ms) override { QThread::msleep(ulong(ms > 0 ? ms : 0)); }
    QDateTime now() override { return QDateTime::currentDateTime(); }
    quint64 seedCounter() override { return quint64(std::chrono::steady_clock::now().time_since_epoch().count()); }
};

ConsoleServices g_console;
PlatformServices *g_services = &g_console;
QString &titleStore() {
    static QString title = productTitle();
    return title;
}

} // namespace

qint64 PlatformServices::monotonicMs() {
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}

PlatformServices &platform() {
    return *g_services;
}
void setPlatform(PlatformServices *services) {
    g_services = services ? services : &g_console;
}

QString productTitle() {
    return QStringLiteral("初级会计实务考试练习系统");
}
QString applicationTitle() {
    return titleStore();
}
void setApplicationTitle(const QString &title) {
    titleStore() = title;
}

QString ErrorBoxText(const QString &detail) {
    // The program's own Chinese messages begin with a Chinese character; the engine's and the
    // runtime's never do, though they may quote a Chinese value.
    const QString trimmed = detail.trimmed();
    if (!trimmed.isEmpty() && trimmed.at(0).unicode() >= 0x4E00 && trimmed.at(0).unicode() <= 0x9FFF) return detail;
    struct Kind {
        std::initializer_list<const char *> marks;
        const char16_t *sentence;
    };
    // First match wins; the marks are the engine's and the runtime's own wordings.
    static const Kind kinds[] = {
        {{"malformed", "not a database", "file is encrypted", "corrupt"},
         u"题库文件已损坏，无法读取这部分内容。请从备份恢复题库文件，或重新安装本程序。"},
        {{"disk i/o error"},
         u"读写题库文件时出错，操作没有完成。题库文件不一定损坏：请检查题库所在的磁盘或设备是否正常连接后重试。"},
        {{"readonly", "read-only", "read only"},
         u"题库文件是只读的，刚才的更改没有保存。请取消题库文件的只读属性后重新启动本程序。"},
        {{"database is locked", "busy"}, u"题库文件正被其他程序使用，刚才的更改没有保存。请关闭其他程序后重试。"},
        {{"disk is full", "out of memory"}, u"磁盘空间或内存不足，操作没有完成。"},
        {{"stream read error", "invalid buffer size for decryption"}, u"题目文字无法解码，题库中的这段文字已损坏。"},
        {{"is not a valid", "floating point"}, u"题库中有无效的数据，操作没有完成。"},
        {{"cannot create file", "cannot write file", "cannot open file", "cannot read file"},
         u"文件无法读写，操作没有完成。"},
        {{"no such", "syntax error", "constraint", "sql", "question bank"}, u"读写题库时出错，操作没有完成。"},
    };
    const QString lower = detail.toLower();
    const char16_t *sentence = u"发生了意外的错误，操作没有完成。";
    for (const Kind &k : kinds) {
        bool hit = false;
        for (const char *mark : k.marks)
            hit = hit || lower.contains(QLatin1String(mark));
        if (hit) {
            sentence = k.sentence;
            break;
        }
    }
    QString text = QString::fromUtf16(sentence);
    if (!detail.trimmed().isEmpty()) text += QStringLiteral("\n详细信息：") + detail.trimmed();
    return text;
}

namespace {
FailureExplainer g_explainer = nullptr;
} // namespace

void setFailureExplainer(FailureExplainer explainer) {
    g_explainer = explainer;
}

QString FailureBoxText(const std::exception &failure) {
    if (g_explainer) {
        const QString text = g_explainer(failure);
        if (!text.isEmpty()) return text;
    }
    return ErrorBoxText(QString::fromUtf8(failure.what()));
}

namespace {
int g_openBoxes = 0;
// Counts a box for as long as its call lasts, however it ends.
struct OpenBox {
    OpenBox() { ++g_openBoxes; }
    ~OpenBox() { --g_openBoxes; }
    OpenBox(const OpenBox &) = delete;
    OpenBox &operator=(const OpenBox &) = delete;
};
} // namespace

int OpenBoxCount() {
    return g_openBoxes;
}
void CloseOpenBoxes() {
    if (g_openBoxes > 0) platform().closeBoxes();
}

void ShowInfoBox(const QString &text) {
    const OpenBox open;
    platform().messageBox(PlatformServices::BoxKind::Info, text);
}
void ShowErrorBox(const QString &text) {
    const OpenBox open;
    platform().messageBox(PlatformServices::BoxKind::Error, text);
}
bool ConfirmBox(const QString &text) {
    const OpenBox open;
    return platform().confirmBox(text);
}
bool QuestionBox(const QString &caption, const QString &text) {
    const OpenBox open;
    return platform().questionBox(caption, text);
}
void ShowMessage(const QString &text) {
    const OpenBox open;
    platform().messageBox(PlatformServices::BoxKind::Plain, text);
}
bool ShellOpen(const QString &target) {
    return platform().shellOpen(target);
}
