#include "UpdateCheck.h"

#include "BankSession.h"
#include "LaunchParameters.h"
#include "Platform.h"
#include "UpdateIni.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QMessageAuthenticationCode>
#include <QRegularExpression>
#include <QSysInfo>
#include <nlohmann/json.hpp>

namespace {

const QString kSection = QStringLiteral("Option");

using json = nlohmann::json;

QString memberText(const json &v) {
    if (v.is_string()) {
        const std::string &s = v.get_ref<const std::string &>();
        return QString::fromUtf8(s.data(), qsizetype(s.size()));
    }
    if (v.is_null()) return QString();
    const std::string text = v.dump();
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// How deep arrays and objects may nest in an answer. A version record is three levels deep; the
// JSON library writes a nested value out by recursion, so an answer nested without bound (the
// request is plain HTTP: anyone on the path can write it) would exhaust the stack.
constexpr int kMaxAnswerNesting = 64;

// True when the brackets of `text` (outside strings) never nest deeper than `limit`.
bool nestingWithin(const QByteArray &text, int limit) {
    int depth = 0;
    bool inString = false, escaped = false;
    for (const char c : text) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit) return false;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return true;
}

// The request blocks the window; the desktop says so while it runs.
class WaitCursor {
public:
    WaitCursor() { platform().setBusy(true); }
    ~WaitCursor() { platform().setBusy(false); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace

QString UpdateHostFromOption(const QString &value) {
    static const QRegularExpression plainHost(
        QStringLiteral("^(\\[[0-9A-Fa-f:.]+\\]|[A-Za-z0-9_]([A-Za-z0-9_.-]*[A-Za-z0-9_])?)(:[0-9]{1,5})?$"));
    const QString host = value.trimmed();
    return plainHost.match(host).hasMatch() ? host : QString();
}

QString UpdateRequestAddress(const QString &host) {
    return QStringLiteral("http://") + host + QStringLiteral("/ZRProject/ZRProjectSlim/projectversion/") +
           QLatin1String(kUpdateProductId);
}

std::optional<VersionRecord> ParseVersionAnswer(const QByteArray &answer) {
    const QByteArray text = answer.trimmed();
    if (text.isEmpty() || !nestingWithin(text, kMaxAnswerNesting)) return std::nullopt;
    const json root = json::parse(text.constBegin(), text.constEnd(), nullptr, /*allow_exceptions=*/false);
    if (!root.is_object()) return std::nullopt;
    const auto data = root.find("data");
    if (data == root.end() || !data->is_array() || data->empty()) return std::nullopt;

    VersionRecord r;
    const std::pair<const char *, QString *> members[] = {{"version_id", &r.version_id},
                                                          {"version_name", &r.version_name},
                                                          {"version_date", &r.version_date},
                                                          {"version_state", &r.version_state}};
    for (const json &element : *data) {
        if (!element.is_object()) continue; // nothing to read; the values so far stay
        for (const auto &[name, target] : members) {
            const auto m = element.find(name);
            if (m != element.end()) *target = memberText(*m);
        }
    }
    return r;
}

QString InstallationCode(const QString &appDir) {
    // The machine id is a secret of the machine: only a keyed hash of it leaves the program.
    QByteArray machine = QSysInfo::machineUniqueId();
    if (machine.isEmpty()) machine = QSysInfo::machineHostName().toUtf8();
    const QByteArray message = QByteArray(kUpdateProductId) + '\n' + appDir.toUtf8();
    const QByteArray hex =
        QMessageAuthenticationCode::hash(message, machine, QCryptographicHash::Sha256).left(16).toHex().toUpper();
    return QString::fromLatin1(hex.mid(0, 8) + '-' + hex.mid(8, 4) + '-' + hex.mid(12, 4) + '-' + hex.mid(16, 4) + '-' +
                               hex.mid(20, 12));
}

void WriteUpdateRecord(const QString &path, const VersionRecord &record, const QString &server, const QString &code,
                       const QString &clientName) {
    IniFile ini = IniFile::load(path);
    ini.setValue(kSection, QStringLiteral("VersionDate"), record.version_date);
    ini.setValue(kSection, QStringLiteral("Server"), server);
    ini.setValue(kSection, QStringLiteral("Code"), code);
    ini.setValue(kSection, QStringLiteral("VersionId"), record.version_id);
    ini.setValue(kSection, QStringLiteral("VersionName"), record.version_name);
    ini.setValue(kSection, QStringLiteral("ClientName"), clientName);
    ini.setValue(kSection, QStringLiteral("VersionState"), record.version_state);
    ini.save(path);
}

QString NoUpdateHostText() {
    return QStringLiteral("本题库没有设置升级服务器，无法在线检查新版本。请向题库的提供者索取新版本。");
}

void RunUpdateCheck() {
    RunUpdateCheck(HttpLimits{});
}

void RunUpdateCheck(const HttpLimits &limits) {
    // Without a host there is nobody to ask, and the learner is told so instead of being asked.
    const QString host = UpdateHostFromOption(bankSession()->GetOption(QStringLiteral("UPDATE_HOST")));
    if (host.isEmpty()) {
        ShowInfoBox(NoUpdateHostText());
        return;
    }
    if (!ConfirmBox(QStringLiteral("确认升级？"))) return;

    QByteArray answer;
    {
        WaitCursor wait;
        answer = HttpGet(UpdateRequestAddress(host), limits);
    }
    const std::optional<VersionRecord> record = ParseVersionAnswer(answer);
    if (!record) return;

    const QString appDir = launchParameters().AppDir;
    const QString iniPath = appDir + QStringLiteral("AutoUpdate.zri");
    // Compared as the record keeps it: a date with a line break or a control character in it is
    // written as one line of blanks, and must read back as the same version.
    if (IniFile::load(iniPath).value(kSection, QStringLiteral("VersionDate")) ==
        IniFile::lineValue(record->version_date))
        return;

    if (!ConfirmBox(QStringLiteral("发现新版本，确认升级？"))) return;

    WriteUpdateRecord(iniPath, *record, host, InstallationCode(appDir),
                      QFileInfo(QCoreApplication::applicationFilePath()).fileName());

    // The updater reads the record on its own; whether it could be started is not reported.
    const QString updater = appDir + QStringLiteral("AutoUpdate.exe");
    if (record->version_state == QLatin1String("0"))
        platform().startProgram(updater, true);
    else if (record->version_state == QLatin1String("1"))
        platform().startProgram(updater, false);
}
