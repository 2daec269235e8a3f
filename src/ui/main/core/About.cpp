#include "About.h"

QString ProgramVersion() {
    return QStringLiteral(KJKS_VERSION);
}

QString AboutText(const AboutFacts &facts) {
    const QString title =
        facts.bankTitle.trimmed().isEmpty() ? QStringLiteral("（未命名题库）") : facts.bankTitle.trimmed();
    const QString bankVersion =
        facts.bankVersion.trimmed().isEmpty() ? QStringLiteral("未注明") : facts.bankVersion.trimmed();
    return QStringLiteral("初级会计职称考试练习程序\n"
                          "程序版本：%1\n"
                          "题库：%2\n"
                          "题库版本：%3\n\n"
                          "许可\n"
                          "本程序是自由软件：您可以按照自由软件基金会发布的 GNU 通用公共许可证"
                          "（第 3 版，或您选择的任何更新的版本）再发布和修改它。"
                          "发布本程序是希望它有用，但不提供任何担保，也不担保适销性或适用于特定用途。"
                          "许可证全文见程序文件夹中的 LICENSE 文件。\n\n"
                          "本程序使用的组件及其许可：\n"
                          "· Qt 6：GNU 宽通用公共许可证第 3 版\n"
                          "· Qt Charts（统计图表）：GNU 通用公共许可证第 3 版\n"
                          "· SQLCipher（加密题库）：BSD 式许可，基于公有领域的 SQLite\n"
                          "· OpenSSL 3：Apache 许可证 2.0\n"
                          "· libcurl（软件升级）：curl 许可证\n"
                          "· nlohmann/json：MIT 许可证")
        .arg(facts.programVersion, title, bankVersion);
}
