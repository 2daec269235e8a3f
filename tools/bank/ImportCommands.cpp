#include "ImportCommands.h"

#include "AikenImport.h"
#include "BankExport.h"
#include "BankReader.h"
#include "BankWriter.h"
#include "CsvExport.h"
#include "CsvImport.h"
#include "GiftImport.h"
#include "ImportMerge.h"
#include "SqlError.h"
#include "WriteFailure.h"
#include "XlsxImport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
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

// The warnings less those about cases the merge found in the bank. The import numbered the cases
// without an id after the highest id given, in file order; that tells which row each case came from.
QStringList WarningsOfNewCases(const QStringList &warnings, const std::vector<ImportedQuestion> &rows,
                               const BankModel &model, const GivenIds &given, const MergeReport &merged) {
    std::vector<int> numbered;
    for (const BankStem &s : model.stems)
        if (!given.stems.count(s.id)) numbered.push_back(s.id);
    QStringList found;
    size_t next = 0;
    for (const ImportedQuestion &q : rows) {
        if (q.kind != ImportKind::CaseStem) continue;
        const int id = q.id > 0 ? q.id : next < numbered.size() ? numbered[next++] : 0;
        if (merged.casesFound.count(id)) found << QStringLiteral("%1:%2: ").arg(q.file).arg(q.line);
    }
    QStringList kept;
    for (const QString &w : warnings)
        if (std::none_of(found.begin(), found.end(), [&](const QString &where) { return w.startsWith(where); }))
            kept << w;
    return kept;
}

} // namespace

int ImportCommand(const QStringList &args) {
    // Where the questions go: a source folder, a bank they are added to (--bank), a new bank (--new)
    // or a bank whose questions they replace wholesale (--replace).
    enum class Target { SourceDir, Merge, New, Replace };
    Target mode = Target::SourceDir;
    QStringList files;
    QString target, sheet;
    QString chapter = QString::fromUtf8(kImportedChapter);
    const QString command = QStringLiteral("import");
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--chapter") || a == QLatin1String("--sheet")) {
            if (i + 1 >= args.size() || args[i + 1].trimmed().isEmpty())
                return usageError(command, QStringLiteral("%1 后面写一个名字").arg(a));
            (a == QLatin1String("--sheet") ? sheet : chapter) = args[i + 1];
            ++i;
        } else if (a == QLatin1String("--bank") || a == QLatin1String("--new") || a == QLatin1String("--replace")) {
            if (i + 1 >= args.size() || !target.isEmpty())
                return usageError(command, QStringLiteral("--bank、--new、--replace 只能写一个，后面写一个题库文件"));
            mode = a == QLatin1String("--bank")  ? Target::Merge
                   : a == QLatin1String("--new") ? Target::New
                                                 : Target::Replace;
            target = args[++i];
        } else if (a.startsWith(QLatin1String("--"))) {
            return usageError(command, QStringLiteral("不认识的选项“%1”").arg(a));
        } else {
            files << a;
        }
    }
    if (mode == Target::SourceDir && !files.isEmpty()) target = files.takeLast();
    if (files.isEmpty() || target.isEmpty())
        return usageError(command, QStringLiteral("import 需要 FILE... SOURCE_DIR、FILE... --bank BANK、"
                                                  "FILE... --new BANK 或 FILE... --replace BANK"));
    if (mode == Target::SourceDir && formatByName(target))
        return usageError(
            command,
            QStringLiteral("最后一个参数“%1”像是题目文件：写上要生成的源文件夹，或用 --bank BANK").arg(target));
    for (const QString &f : files) {
        const std::optional<ImportFormat> format = formatByName(f);
        if (format == ImportFormat::SaveAsXlsx)
            return usageError(command, QStringLiteral("不能直接读取“%1”：").arg(f) + SaveAsXlsxOrCsvAdvice());
        if (!format)
            return usageError(command,
                              QStringLiteral("不认识“%1”的格式：CSV 以 .csv 结尾，Excel 工作簿以 .xlsx 结尾，GIFT 以 "
                                             ".gift 结尾，Aiken 以 .aiken 结尾，.txt 按内容判断是 GIFT 还是 Aiken；"
                                             ".xls 等其他表格")
                                      .arg(f) +
                                  SaveAsXlsxOrCsvAdvice());
    }

    // The bank is there, or not, as the option says, before any file is read.
    const bool exists = QFileInfo::exists(target);
    if (mode == Target::Merge && !exists) {
        printLine(stderr, QStringLiteral("kjks-bank: 题库 %1 不存在，没有导入。要用这些文件新建题库，写 --new %1")
                              .arg(QDir::toNativeSeparators(target)));
        return 1;
    }
    if (mode == Target::Replace && !exists) {
        printLine(stderr, QStringLiteral("kjks-bank: 题库 %1 不存在，没有可替换的。要新建题库，写 --new %1")
                              .arg(QDir::toNativeSeparators(target)));
        return 1;
    }
    if (mode == Target::New && exists) {
        printLine(stderr, QStringLiteral("kjks-bank: %1 已经存在，--new 不覆盖已有的文件。要把题目加进这个题库，写 "
                                         "--bank；要连同学习进度整个替换它，写 --replace")
                              .arg(QDir::toNativeSeparators(target)));
        return 1;
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
    // Its refusals join the readers', in file order. Questions added to a bank are drawn by the
    // bank's own exam: they need not fill one of their own.
    model = AssembleImport(questions, &problems, &warnings, mode != Target::Merge);
    const auto printWarnings = [&] {
        for (const QString &w : warnings)
            printLine(stderr, QStringLiteral("提示：") + w);
    };
    // Added to a bank, a case found there keeps its sub-questions and its place in mock papers: the
    // warning about the few sub-questions of the file's case waits for the merge to say which were found.
    if (mode != Target::Merge || !problems.isEmpty()) printWarnings();
    if (!problems.isEmpty()) {
        for (const QString &p : problems.lines())
            printLine(stderr, p);
        printLine(stderr,
                  QStringLiteral("kjks-bank: 共 %1 处问题，%2 没有写入").arg(problems.lines().size()).arg(target));
        return 1;
    }
    try {
        QStringList report;
        if (mode == Target::SourceDir) {
            ExportBankSource(model, target);
        } else if (mode == Target::New) {
            WriteBank(model, target);
        } else if (mode == Target::Replace) {
            report = ReplaceReportLines(ReplaceBank(model, target, QDateTime::currentDateTime()));
        } else {
            GivenIds given;
            for (const ImportedQuestion &q : questions)
                if (q.id > 0) (q.kind == ImportKind::CaseStem ? given.stems : given.questions).insert(q.id);
            const MergeReport merged = MergeIntoBank(model, given, target, QDateTime::currentDateTime());
            warnings = WarningsOfNewCases(warnings, questions, model, given, merged);
            printWarnings();
            report = MergeReportLines(merged);
        }
        if (mode != Target::Merge)
            printLine(stdout, QStringLiteral("%1：导入 %2 道题、%3 个案例")
                                  .arg(target)
                                  .arg(model.questions.size())
                                  .arg(model.stems.size()));
        else
            printLine(stdout, QStringLiteral("%1：导入 %2 道题、%3 个案例，已加入原有题库")
                                  .arg(target)
                                  .arg(model.questions.size())
                                  .arg(model.stems.size()));
        for (const QString &line : report)
            printLine(stdout, line);
    } catch (const KjksError &e) {
        printLine(stderr, QStringLiteral("kjks-bank: ") + e.message());
        return 1;
    }
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
