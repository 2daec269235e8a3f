#include "UpdateCheck.h"
#include "FixtureBank.h"
#include "LaunchParameters.h"
#include "MainWindow.h"
#include "RecordingPlatform.h"
#include "TestApp.h"
#include "UpdateIni.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QRegularExpression>
#include <QSettings>
#include <QTest>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// A one-answer HTTP server on 127.0.0.1, on its own thread: the check's request blocks the test's
// thread, so the server must not need it.
class TestHttpServer {
public:
    struct Reply {
        int status = 200;
        QByteArray body;
        bool contentLength = true; // without it the body ends when the connection closes
        bool silent = false;       // accepts the request and never answers
    };

    explicit TestHttpServer(Reply reply) : m_reply(std::move(reply)) {
        m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        if (::bind(m_listen, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 || ::listen(m_listen, 8) != 0)
            throw std::runtime_error("test server cannot listen");
        socklen_t len = sizeof addr;
        ::getsockname(m_listen, reinterpret_cast<sockaddr *>(&addr), &len);
        m_port = ntohs(addr.sin_port);
        m_thread = std::thread([this] { run(); });
    }
    ~TestHttpServer() {
        m_stop = true;
        m_thread.join();
        ::close(m_listen);
    }

    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }
    // The heads of the requests received, in order.
    QStringList requests() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_requests;
    }

private:
    bool waitReadable(int fd) const {
        pollfd p{fd, POLLIN, 0};
        while (!m_stop)
            if (::poll(&p, 1, 20) > 0) return true;
        return false;
    }
    void sendAll(int fd, const QByteArray &bytes) const {
        qsizetype sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n = ::send(fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
            if (n <= 0) return; // the client gave up (an oversized answer)
            sent += n;
        }
    }
    void run() {
        while (waitReadable(m_listen)) {
            const int client = ::accept(m_listen, nullptr, nullptr);
            if (client < 0) continue;
            QByteArray head;
            char buf[4096];
            while (!head.contains("\r\n\r\n") && waitReadable(client)) {
                const ssize_t n = ::recv(client, buf, sizeof buf, 0);
                if (n <= 0) break;
                head.append(buf, n);
            }
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_requests << QString::fromUtf8(head);
            }
            if (m_reply.silent) {
                // Hold the connection until the client hangs up.
                while (waitReadable(client) && ::recv(client, buf, sizeof buf, 0) > 0) {
                }
            } else {
                QByteArray answer = "HTTP/1.1 " + QByteArray::number(m_reply.status) + " Status\r\n" +
                                    "Content-Type: application/json; charset=utf-8\r\nConnection: close\r\n";
                if (m_reply.contentLength)
                    answer += "Content-Length: " + QByteArray::number(m_reply.body.size()) + "\r\n";
                sendAll(client, answer + "\r\n" + m_reply.body);
            }
            ::shutdown(client, SHUT_RDWR);
            ::close(client);
        }
    }

    Reply m_reply;
    int m_listen = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    mutable std::mutex m_mutex;
    QStringList m_requests;
};

const QString kAsk = QStringLiteral("确认升级？");
const QString kOffer = QStringLiteral("发现新版本，确认升级？");
const QByteArray kOneVersion =
    R"({"data":[{"version_id":"7","version_name":"2025版","version_date":"2025-06-01","version_state":"2"}]})";

QByteArray oversized(qsizetype size) {
    QByteArray body = kOneVersion;
    body.chop(1);
    return body + ",\"padding\":\"" + QByteArray(size, 'x') + "\"}";
}

class UpdateCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        launchParameters() = LaunchParameters{};
        setApplicationTitle(QStringLiteral("初级会计实务考试系统"));
    }

    // Opens the bank with the given UPDATE_HOST (none when null), sets the program folder and
    // starts from no record and no boxes, so that cases of a table can share the folder.
    void openBank(const QString &updateHost) {
        if (updateHost.isNull())
            bank.model.options.erase(QStringLiteral("UPDATE_HOST"));
        else
            bank.model.options[QStringLiteral("UPDATE_HOST")] = updateHost;
        bank.open();
        launchParameters().AppDir = bank.dir();
        QFile::remove(iniPath());
        platform.boxes.clear();
        platform.started.clear();
    }
    QString iniPath() const { return bank.dir() + QStringLiteral("AutoUpdate.zri"); }
    QByteArray iniBytes() const {
        QFile f(iniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeIni(const QByteArray &bytes) {
        QFile f(iniPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    RecordingPlatform platform;
    FixtureBank bank;
};

const QString kRequestLine =
    QStringLiteral("GET /ZRProject/ZRProjectSlim/projectversion/3F5A9C21-6B7D-4E08-B1C4-000000417305 HTTP/1.1\r\n");

TEST_F(UpdateCheckTest, CancelAtTheFirstQuestionAsksNobody) {
    TestHttpServer server({200, kOneVersion});
    openBank(server.host());
    platform.confirmAnswers = {false};
    RunUpdateCheck();
    EXPECT_EQ(platform.texts(), QStringList{kAsk});
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(iniPath()));
    EXPECT_TRUE(platform.started.isEmpty());
}

TEST_F(UpdateCheckTest, AnswersWithoutANewVersionEndSilently) {
    struct Case {
        const char *name;
        TestHttpServer::Reply reply;
        QByteArray iniBefore;
    };
    const Case cases[] = {
        {"empty data array", {200, R"({"data":[]})"}, {}},
        {"no data member", {200, R"({"msg":"ok","rows":[{"version_date":"2025-06-01"}]})"}, {}},
        {"data is not an array", {200, R"({"data":{"version_date":"2025-06-01"}})"}, {}},
        {"not JSON", {200, "<html><body>502 Bad Gateway</body></html>"}, {}},
        {"truncated JSON", {200, kOneVersion.left(40)}, {}},
        {"empty answer", {200, "  \r\n"}, {}},
        {"HTTP error status with a version in its body", {500, kOneVersion}, {}},
        {"not found", {404, kOneVersion}, {}},
        {"oversized answer with its length announced", {200, oversized(1100 * 1024)}, {}},
        {"oversized answer ended by closing", {200, oversized(1100 * 1024), false}, {}},
        {"no answer within the time-out", {200, kOneVersion, true, true}, {}},
        {"date equal to the recorded one", {200, kOneVersion}, "[Option]\nVersionDate=2025-06-01\nCode=abc\n"},
    };
    HttpLimits quick;
    quick.connectTimeoutMs = 500;
    quick.totalTimeoutMs = 800;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TestHttpServer server(c.reply);
        openBank(server.host());
        if (!c.iniBefore.isEmpty()) writeIni(c.iniBefore);

        RunUpdateCheck(c.reply.silent ? quick : HttpLimits{});

        EXPECT_EQ(platform.texts(), QStringList{kAsk});
        ASSERT_EQ(server.requests().size(), 1);
        EXPECT_TRUE(server.requests()[0].startsWith(kRequestLine)) << qPrintable(server.requests()[0]);
        EXPECT_TRUE(server.requests()[0].contains(QStringLiteral("Host: ") + server.host()));
        EXPECT_EQ(iniBytes(), c.iniBefore);
        EXPECT_TRUE(platform.started.isEmpty());
    }
}

TEST_F(UpdateCheckTest, WithoutAUsableHostTheLearnerIsToldSo) {
    TestHttpServer server({200, kOneVersion});
    const QString cases[] = {QString(),
                             QStringLiteral(""),
                             QStringLiteral("   "),
                             server.host() + QStringLiteral("/other?x="),
                             QStringLiteral("http://") + server.host(),
                             QStringLiteral("user@") + server.host()};
    for (const QString &host : cases) {
        SCOPED_TRACE(qPrintable(host.isNull() ? QStringLiteral("(no option)") : host));
        openBank(host);
        platform.boxes.clear();
        RunUpdateCheck();
        EXPECT_EQ(platform.texts(), QStringList{NoUpdateHostText()});
        EXPECT_FALSE(QFileInfo::exists(iniPath()));
    }
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(UpdateCheckTest, NewVersionIsRecordedAndHandedToTheUpdater) {
    // Two elements: the second lacks version_name, so the first one's name stays; numbers are text.
    const QByteArray twoVersions = R"({"code":0,"data":[
        {"version_id":"6","version_name":"2025版（春季）","version_date":"2025-03-01","version_state":"0"},
        {"version_id":7,"version_date":"2025-06-01","version_state":"%STATE%"}]})";
    struct Case {
        const char *state;
        bool agree;
        QStringList started;
    };
    const QString updater = QStringLiteral("AutoUpdate.exe");
    const Case cases[] = {
        {"0", true, {updater + QStringLiteral(" [visible]")}},
        {"1", true, {updater + QStringLiteral(" [hidden]")}},
        {"2", true, {}},
        {"", true, {}},
        {"0", false, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string("version_state ") + c.state + (c.agree ? "" : ", cancelled"));
        TestHttpServer server({200, QByteArray(twoVersions).replace("%STATE%", c.state)});
        openBank(server.host());
        platform.confirmAnswers = {true, c.agree};

        RunUpdateCheck();

        EXPECT_EQ(platform.texts(), QStringList({kAsk, kOffer}));
        QStringList started;
        for (const QString &s : platform.started)
            started << s.mid(bank.dir().size());
        EXPECT_EQ(started, c.started);
        for (const QString &s : platform.started)
            EXPECT_TRUE(s.startsWith(bank.dir()));
        if (!c.agree) {
            EXPECT_FALSE(QFileInfo::exists(iniPath()));
            continue;
        }
        const QString client = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        const QString code = InstallationCode(bank.dir());
        const QString expected = QStringLiteral("[Option]\nVersionDate=2025-06-01\nServer=%1\nCode=%2\nVersionId=7\n"
                                                "VersionName=2025版（春季）\nClientName=%3\nVersionState=%4\n")
                                     .arg(server.host(), code, client, QString::fromLatin1(c.state));
        EXPECT_EQ(iniBytes(), expected.toUtf8());
        // Another INI reader sees the same values.
        QSettings other(iniPath(), QSettings::IniFormat);
        EXPECT_EQ(other.value(QStringLiteral("Option/VersionName")).toString(), QStringLiteral("2025版（春季）"));
        EXPECT_EQ(other.value(QStringLiteral("Option/Server")).toString(), server.host());
    }
}

TEST_F(UpdateCheckTest, RecordKeepsTheRestOfTheFile) {
    TestHttpServer server({200, kOneVersion});
    openBank(server.host());
    writeIni("; written by the updater\r\n[Download]\r\nFolder=下载\r\n\r\n[option]\r\n"
             "versiondate = 2024-12-01\r\nExtra=1\r\nCode=\r\n\r\n[Last]\r\nKey=value\r\n");
    RunUpdateCheck();
    EXPECT_EQ(platform.texts(), QStringList({kAsk, kOffer}));
    const QString client = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    const QString expected =
        QStringLiteral(
            "; written by the updater\r\n[Download]\r\nFolder=下载\r\n\r\n[option]\r\n"
            "VersionDate=2025-06-01\r\nExtra=1\r\nCode=%1\r\nServer=%2\r\nVersionId=7\r\nVersionName=2025版\r\n"
            "ClientName=%3\r\nVersionState=2\r\n\r\n[Last]\r\nKey=value\r\n")
            .arg(InstallationCode(bank.dir()), server.host(), client);
    EXPECT_EQ(QString::fromUtf8(iniBytes()), expected);
    EXPECT_TRUE(platform.started.isEmpty());
}

TEST_F(UpdateCheckTest, RecordThatCannotBeWrittenEndsWithTheErrorBox) {
    TestHttpServer server({200, QByteArray(kOneVersion).replace("\"version_state\":\"2\"", "\"version_state\":\"0\"")});
    bank.model.options[QStringLiteral("UPDATE_HOST")] = server.host();
    bank.open();
    ASSERT_TRUE(QDir(bank.dir()).mkdir(QStringLiteral("AutoUpdate.zri"))); // a folder in the file's place
    MainWindow form(bank.dir() + QStringLiteral("kjks"));
    form.showFirstTime();
    platform.boxes.clear();

    QTest::mouseClick(form.updateLink, Qt::LeftButton);

    ASSERT_EQ(platform.texts().size(), 3) << qPrintable(platform.texts().join(QLatin1Char('|')));
    EXPECT_EQ(platform.texts().mid(0, 2), QStringList({kAsk, kOffer}));
    EXPECT_EQ(platform.boxes[2].kind, PlatformServices::BoxKind::Error);
    EXPECT_TRUE(platform.boxes[2].text.contains(QStringLiteral("AutoUpdate.zri")))
        << qPrintable(platform.boxes[2].text);
    EXPECT_TRUE(platform.started.isEmpty());
}

TEST_F(UpdateCheckTest, ControlCharactersInTheAnswerStayOnTheirLine) {
    // A NUL and a line break in the date must not reach the updater's file raw, nor forge a key.
    const QByteArray answer =
        R"({"data":[{"version_id":"7","version_name":"n","version_date":"2025-06-01\u0000\r\nCode=forged","version_state":"2"}]})";
    TestHttpServer server({200, answer});
    openBank(server.host());
    RunUpdateCheck();
    EXPECT_EQ(platform.texts(), QStringList({kAsk, kOffer}));
    const QByteArray written = iniBytes();
    EXPECT_FALSE(written.contains('\0'));
    EXPECT_TRUE(written.contains("\nVersionDate=2025-06-01  Code=forged\n")) << written.toStdString();
    EXPECT_EQ(written.count("\nCode="), 1);

    // The same answer again is the version just recorded: nothing more is offered.
    platform.boxes.clear();
    TestHttpServer again({200, answer});
    bank.exec(QStringLiteral("update sys_option set option_value = '%1' where option_name = 'UPDATE_HOST'")
                  .arg(again.host()));
    RunUpdateCheck();
    EXPECT_EQ(platform.texts(), QStringList{kAsk});
}

TEST(UpdateAnswer, DeeplyNestedValuesAreRefusedWithoutExhaustingTheStack) {
    const auto withId = [](const QByteArray &value) -> QByteArray {
        return QByteArray(R"({"data":[{"version_date":"2025-06-01","version_id":)") + value + "}]}";
    };
    const int depth = 500000;
    EXPECT_FALSE(ParseVersionAnswer(withId(QByteArray(depth, '[') + QByteArray(depth, ']'))));
    const int objects = 170000;
    EXPECT_FALSE(ParseVersionAnswer(withId(QByteArray("{\"a\":").repeated(objects) + "1" + QByteArray(objects, '}'))));
    // Shallow structures are still read as their JSON text, and brackets inside strings do not count.
    const QByteArray value = R"([1,{"a":")" + QByteArray(100, '[') + R"("}])";
    const auto shallow = ParseVersionAnswer(withId(value));
    ASSERT_TRUE(shallow);
    EXPECT_EQ(shallow->version_id, QString::fromLatin1(value));
    EXPECT_EQ(shallow->version_date, QStringLiteral("2025-06-01"));
}

TEST(UpdateAnswer, MembersAreReadAsText) {
    struct Case {
        const char *answer;
        std::optional<VersionRecord> record;
    };
    const Case cases[] = {
        {"\xEF\xBB\xBF  {\"data\":[{\"version_id\":12,\"version_name\":null,\"version_date\":true,"
         "\"version_state\":1.5}]}\n",
         VersionRecord{QStringLiteral("12"), QString(), QStringLiteral("true"), QStringLiteral("1.5")}},
        {R"({"data":[{"version_name":"甲","version_date":"1"},"not an object",{"version_date":"2"}]})",
         VersionRecord{QString(), QStringLiteral("甲"), QStringLiteral("2"), QString()}},
        {R"({"data":[1]})", VersionRecord{}},
        {R"([{"data":[{"version_date":"1"}]}])", std::nullopt},
        {R"({"data":[{"version_date":"1"}]} trailing)", std::nullopt},
        {"{\"data\":[{\"version_name\":\"\xB0\xE6\"}]}", std::nullopt}, // GBK bytes are not UTF-8
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.answer);
        const auto record = ParseVersionAnswer(QByteArray(c.answer));
        ASSERT_EQ(record.has_value(), c.record.has_value());
        if (!record) continue;
        EXPECT_EQ(record->version_id, c.record->version_id);
        EXPECT_EQ(record->version_name, c.record->version_name);
        EXPECT_EQ(record->version_date, c.record->version_date);
        EXPECT_EQ(record->version_state, c.record->version_state);
    }
}

TEST(UpdateInstallation, CodeIsStableForAFolderAndDiffersBetweenFolders) {
    const QString a = InstallationCode(QStringLiteral("/opt/kjks/"));
    EXPECT_EQ(a, InstallationCode(QStringLiteral("/opt/kjks/")));
    EXPECT_NE(a, InstallationCode(QStringLiteral("/home/learner/kjks/")));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"))
                    .match(a)
                    .hasMatch())
        << qPrintable(a);
}

} // namespace
