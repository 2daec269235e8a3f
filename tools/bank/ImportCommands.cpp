#include "ImportCommands.h"

#include "AikenImport.h"
#include "BankExport.h"
#include "BankReader.h"
#include "BankWriter.h"
#include "CsvExport.h"
#include "CsvImport.h"
#include "GiftImport.h"
#include "SqlError.h"
#include "XlsxImport.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>
#include <optional>

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

// The import formats: a file's reader by its name's ending, then by its content where that tells
// more (a workbook renamed .csv is still a workbook; a .txt file is Aiken or GIFT).
enum class ImportFormat { Csv, Gift, Aiken, Xlsx, GiftOrAiken, SaveAsXlsx };
const std::pair<const char *, ImportFormat> kImportFormats[] = {
    {".csv", ImportFormat::Csv},         {".gift", ImportFormat::Gift},      {".aiken", ImportFormat::Aiken},
    {".txt", ImportFormat::GiftOrAiken}, {".xlsx", ImportFormat::Xlsx},      {".xlsm", ImportFormat::Xlsx},
    {".xls", ImportFormat::SaveAsXlsx},  {".ods", ImportFormat::SaveAsXlsx}, {".et", ImportFormat::SaveAsXlsx}};

std::optional<ImportFormat> formatByName(const QString &path) {
    for (const auto &[ending, format] : kImportFormats)
        if (path.endsWith(QLatin1String(ending), Qt::CaseInsensitive)) return format;
    return std::nullopt;
}

ImportFormat formatOf(const QString &path, const QByteArray &bytes) {
    // Zip (an .xlsx) and OLE compound files (an .xls, an encrypted workbook): the workbook reader
    // names what it finds.
    if (bytes.startsWith("PK\x03\x04") || bytes.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        return ImportFormat::Xlsx;
    const ImportFormat format = formatByName(path).value_or(ImportFormat::Csv);
    if (format == ImportFormat::GiftOrAiken) return LooksLikeAiken(bytes) ? ImportFormat::Aiken : ImportFormat::Gift;
    return format;
}

// Where questions without a chapter (GIFT without $CATEGORY, Aiken) go unless --chapter names one.
const char kImportedChapter[] = "导入题目";

} // namespace

int ImportCommand(const QStringList &args) {
    QStringList files;
    QString sourceDir, bank, sheet;
    QString chapter = QString::fromUtf8(kImportedChapter);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--chapter") || args[i] == QLatin1String("--sheet")) {
            if (i + 1 >= args.size() || args[i + 1].trimmed().isEmpty())
                return usageError(QStringLiteral("import"), QStringLiteral("%1 后面写一个名字").arg(args[i]));
            (args[i] == QLatin1String("--sheet") ? sheet : chapter) = args[i + 1];
            ++i;
        } else if (args[i] == QLatin1String("--bank")) {
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
    if (formatByName(sourceDir))
        return usageError(
            QStringLiteral("import"),
            QStringLiteral("最后一个参数“%1”像是题目文件：写上要生成的源文件夹，或用 --bank BANK").arg(sourceDir));
    for (const QString &f : files) {
        const std::optional<ImportFormat> format = formatByName(f);
        if (format == ImportFormat::SaveAsXlsx)
            return usageError(QStringLiteral("import"),
                              QStringLiteral("不能直接读取“%1”：").arg(f) + SaveAsXlsxOrCsvAdvice());
        if (!format)
            return usageError(QStringLiteral("import"),
                              QStringLiteral("不认识“%1”的格式：CSV 以 .csv 结尾，Excel 工作簿以 .xlsx 结尾，GIFT 以 "
                                             ".gift 结尾，Aiken 以 .aiken 结尾，.txt 按内容判断是 GIFT 还是 Aiken；"
                                             ".xls 等其他表格")
                                      .arg(f) +
                                  SaveAsXlsxOrCsvAdvice());
    }

    ImportProblems problems;
    std::vector<ImportedQuestion> questions;
    for (const QString &f : files) {
        problems.noteFile(f);
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
        std::vector<ImportedQuestion> read;
        switch (formatOf(f, bytes)) {
        case ImportFormat::Csv:
            read = ReadCsvQuestions(f, bytes, &problems);
            break;
        case ImportFormat::Xlsx:
            read = ReadXlsxQuestions(f, bytes, sheet, &problems);
            break;
        case ImportFormat::Aiken:
            read = ReadAikenQuestions(f, bytes, chapter, &problems);
            break;
        case ImportFormat::Gift:
        case ImportFormat::GiftOrAiken:
        case ImportFormat::SaveAsXlsx: // named before reading
            read = ReadGiftQuestions(f, bytes, chapter, &problems);
            break;
        }
        questions.insert(questions.end(), read.begin(), read.end());
    }
    QStringList warnings;
    BankModel model;
    model = AssembleImport(questions, &problems, &warnings); // its refusals join the readers', in file order
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
            printLine(stderr, QStringLiteral("kjks-bank: 无法写入 %1：%2").arg(args[1], out.errorString()));
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
