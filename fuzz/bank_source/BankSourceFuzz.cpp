// libFuzzer target for the bank source reader: any bytes in a source file must be read or reported
// without a crash or a hang, and every report, warnings among them, must name its file and line (a
// missing exam profile, a mistake of the whole source, has none).
#include "BankSource.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    static int argc = 1;
    static char name[] = "bank-source-fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv); // image readers for pictures
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const QRegularExpression located(
        QStringLiteral("^(警告：)?((bank|questions/a)\\.txt:[0-9]+: \\S|考试方案 1：缺少考试方案)"));
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // The same bytes as the only file and as a second file beside a minimal first one, so that
    // records may refer across files.
    for (int round = 0; round < 2; ++round) {
        BankSourceReader reader(QStringLiteral("/nonexistent-kjks-fuzz"));
        if (round == 0) {
            reader.addFile(QStringLiteral("bank.txt"), bytes);
        } else {
            reader.addFile(QStringLiteral("bank.txt"),
                           QByteArrayLiteral("[kjks_zhangjie 01]\nmc: 科目\n[kjks_zhangjie 0101]\n"
                                             "mc: 章\n[kjks_zhangjie 010101]\nmc: 节\n"));
            reader.addFile(QStringLiteral("questions/a.txt"), bytes);
        }
        try {
            reader.finish();
        } catch (const BankSourceError &e) {
            for (const QString &p : e.problems())
                if (!located.match(p).hasMatch()) std::abort();
        }
    }
    return 0;
}
