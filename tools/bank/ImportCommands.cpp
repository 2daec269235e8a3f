#include "ImportCommands.h"

#include "BankExport.h"
#include "BankReader.h"
#include "BankWriter.h"
#include "CsvExport.h"
#include "CsvImport.h"
#include "GiftImport.h"
#include "SqlError.h"
#include "WriteFailure.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>

namespace {

// A teacher's file larger than this is no question list.
constexpr qint64 kLargestImportFile = 64 * 1024 * 1024;

void printLine(FILE *stream, const QString &text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fputc('\n', stream);
}

int usageError(const QString &command, const QString &message) {
    printLine(stderr, QStringLiteral("kjks-bank: ") + message);
    printLine(stderr, QStringLiteral("用法见 kjks-bank %1 --help").arg(command));
    return 2;
}

bool isCsv(const QString &path) {
    return path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
}
bool isGift(const QString &path) {
    return path.endsWith(QLatin1String(".gift"), Qt::CaseInsensitive) ||
           path.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive);
}

} // namespace

int ImportCommand(const QStringList &args) {
    QStringList files;
    QString sourceDir, bank;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--bank")) {
            if (i + 1 >= args.size() || !bank.isEmpty())
                return usageError(QStringLiteral("import"), QStringLiteral("--bank 后面写一个题库文件"));
            bank = args[++i];
        } else if (args[i].startsWith(QLatin1String("--"))) {
            return usageError(QStringLiteral("import"), QStringLiteral("不认识的选项“%1”").arg(args[i]));
        } else {
            files << args[i];
        }
    }
    if (bank.isEmpty() && !files.isEmpty()) sourceDir = files.takeLast();
    if (files.isEmpty() || (bank.isEmpty() && sourceDir.isEmpty()))
        return usageError(QStringLiteral("import"),
                          QStringLiteral("import 需要 FILE... SOURCE_DIR 或 FILE... --bank BANK"));
    if (isCsv(sourceDir) || isGift(sourceDir))
        return usageError(
            QStringLiteral("import"),
            QStringLiteral("最后一个参数“%1”像是题目文件：写上要生成的源文件夹，或用 --bank BANK").arg(sourceDir));
    for (const QString &f : files)
        if (!isCsv(f) && !isGift(f))
            return usageError(
                QStringLiteral("import"),
                QStringLiteral("不认识“%1”的格式：CSV 文件以 .csv 结尾，GIFT 文件以 .gift 或 .txt 结尾").arg(f));

    ImportProblems problems;
    std::vector<ImportedQuestion> questions;
    for (const QString &f : files) {
        QFile file(f);
        if (!QFileInfo(f).isFile() || !file.open(QIODevice::ReadOnly)) {
            problems.add(f, QStringLiteral("无法读取这个文件"));
            continue;
        }
        if (file.size() > kLargestImportFile) {
            problems.add(f, QStringLiteral("文件太大（超过 64 MiB），不像是题目表"));
            continue;
        }
        const QByteArray bytes = file.readAll();
        const std::vector<ImportedQuestion> read =
            isCsv(f) ? ReadCsvQuestions(f, bytes, &problems) : ReadGiftQuestions(f, bytes, &problems);
        questions.insert(questions.end(), read.begin(), read.end());
    }
    QStringList warnings;
    BankModel model;
    if (problems.isEmpty()) model = AssembleImport(questions, &problems, &warnings);
    const QString target = bank.isEmpty() ? sourceDir : bank;
    for (const QString &w : warnings)
        printLine(stderr, QStringLiteral("提示：") + w);
    if (!problems.isEmpty()) {
        for (const QString &p : problems.lines())
            printLine(stderr, p);
        printLine(stderr,
                  QStringLiteral("kjks-bank: 共 %1 处问题，%2 没有写入").arg(problems.lines().size()).arg(target));
        return 1;
    }
    try {
        if (bank.isEmpty())
            ExportBankSource(model, sourceDir);
        else
            WriteBank(model, bank);
    } catch (const KjksError &e) {
        printLine(stderr, QStringLiteral("kjks-bank: ") + e.message());
        return 1;
    }
    printLine(
        stdout,
        QStringLiteral("%1：导入 %2 道题、%3 个案例").arg(target).arg(model.questions.size()).arg(model.stems.size()));
    return 0;
}

int ExportCsvCommand(const QStringList &args) {
    if (args.size() != 2) return usageError(QStringLiteral("export"), QStringLiteral("export --csv 需要 BANK OUT.csv"));
    try {
        QStringList notes;
        const QByteArray csv = BankToCsv(ReadBank(args[0]), &notes);
        QSaveFile out(args[1]);
        if (!out.open(QIODevice::WriteOnly) || out.write(csv) != csv.size() || !out.commit()) {
            const QString cause = DescribeWriteFailure(args[1], KjksError(out.errorString()), csv.size());
            printLine(stderr, QStringLiteral("kjks-bank: ") +
                                  (cause.isEmpty() ? QStringLiteral("无法写入 %1：%2").arg(args[1], out.errorString())
                                                   : cause));
            return 1;
        }
        for (const QString &n : notes)
            printLine(stderr, QStringLiteral("提示：") + n);
        printLine(stdout, QStringLiteral("%1：已导出").arg(args[1]));
        return 0;
    } catch (const KjksError &e) {
        printLine(stderr, QStringLiteral("kjks-bank: ") + e.message());
        return 1;
    }
}
