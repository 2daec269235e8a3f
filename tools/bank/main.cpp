// kjks-bank: builds question banks from source folders, exports them back, imports teachers'
// spreadsheets and GIFT files, makes synthetic banks for benchmarks and checks built banks.

#include "BankCheck.h"
#include "BankExport.h"
#include "BankReader.h"
#include "BankSource.h"
#include "BankSynth.h"
#include "BankUpgrade.h"
#include "BankWriter.h"
#include "ImportCommands.h"
#include "PrintCommand.h"
#include "SqlError.h"
#include "ToolHelp.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

namespace {

void print(FILE *stream, const QString &text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fputc('\n', stream);
}

int usageError(const QString &message) {
    print(stderr, QStringLiteral("kjks-bank: ") + message);
    print(stderr, QStringLiteral("Run 'kjks-bank --help' for the commands."));
    return 2;
}

// Takes `--strict` out of `args`: warnings fail the command (for authors of a bank).
bool takeStrict(QStringList &args) {
    return args.removeAll(QStringLiteral("--strict")) > 0;
}

int build(QStringList args) {
    const bool strict = takeStrict(args);
    if (args.size() != 2) return usageError(QStringLiteral("build takes [--strict] SOURCE_DIR BANK"));
    try {
        QStringList warnings;
        const BuiltBank built = BuildBank(args[0], args[1], &warnings, strict);
        // Rows the program copes with are built; `check` lists them too.
        for (const QString &w : warnings)
            print(stderr, kCheckWarning() + w);
        print(stdout, QStringLiteral("%1：%2 道题，%3 个案例，%4 个章节条目")
                          .arg(args[1])
                          .arg(built.questions)
                          .arg(built.stems)
                          .arg(built.chapters));
        return 0;
    } catch (const BankSourceError &e) {
        for (const QString &p : e.problems())
            print(stderr, p);
        print(stderr, QStringLiteral("kjks-bank: 发现 %1 个问题，没有写出 %2").arg(e.errorCount()).arg(args[1]));
    } catch (const KjksError &e) {
        print(stderr, QStringLiteral("kjks-bank: ") + e.message());
    }
    return 1;
}

int exportBank(const QStringList &args) {
    if (!args.isEmpty() && args[0] == QLatin1String("--csv")) return ExportCsvCommand(args.mid(1));
    if (args.size() != 2) return usageError(QStringLiteral("export takes BANK OUT_DIR"));
    try {
        // Every row is written; a text that does not decode keeps its stored form and is flagged.
        std::vector<BankProblem> undecodable;
        const ExportCounts counts = ExportBank(args[0], args[1], &undecodable);
        for (const BankProblem &p : undecodable)
            print(stderr, kCheckWarning() + QStringLiteral("%1: %2（按存储形式保留）").arg(args[0], ProblemText(p)));
        print(stdout, QStringLiteral("%1：%2 道题，%3 个案例").arg(args[1]).arg(counts.questions).arg(counts.stems));
        return 0;
    } catch (const KjksError &e) {
        print(stderr, QStringLiteral("kjks-bank: ") + e.message());
        return 1;
    }
}

int synth(const QStringList &args) {
    int questions = -1;
    quint32 seed = 1;
    QString bank;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--questions") || a == QLatin1String("--seed")) {
            if (i + 1 >= args.size()) return usageError(a + QStringLiteral(" needs a number"));
            bool ok = false;
            const qlonglong v = args[++i].toLongLong(&ok);
            if (a == QLatin1String("--questions")) {
                if (!ok || v < 0 || v > 10000000) return usageError(QStringLiteral("--questions takes 0 to 10000000"));
                questions = int(v);
            } else {
                if (!ok || v < 0 || v > 0xFFFFFFFFLL) return usageError(QStringLiteral("--seed takes 0 to 4294967295"));
                seed = quint32(v);
            }
        } else if (a.startsWith(QLatin1String("--")) || !bank.isEmpty()) {
            return usageError(QStringLiteral("synth: unexpected '%1'").arg(a));
        } else {
            bank = a;
        }
    }
    if (questions < 0 || bank.isEmpty()) return usageError(QStringLiteral("synth takes --questions N [--seed S] BANK"));
    try {
        // Row by row into the file: a bank of millions of questions is never held whole.
        struct Writer : BankRowVisitor {
            explicit Writer(const QString &path) : file(path, true) {}
            void head(const BankModel &head) override { file.head(head); }
            void question(BankQuestion &&q) override {
                file.question(q);
                ++questions;
            }
            void stem(BankStem &&s) override {
                file.stem(s);
                ++stems;
            }
            BankFileWriter file;
            qint64 questions = 0, stems = 0;
        } writer(bank);
        BankModel tail = SyntheticBankRows(questions, seed, writer);
        tail.options.clear(); // written with the head
        tail.chapters.clear();
        writer.file.head(tail);
        writer.file.commit(true);
        print(stdout, QStringLiteral("%1: %2 questions, %3 cases").arg(bank).arg(writer.questions).arg(writer.stems));
        return 0;
    } catch (const KjksError &e) {
        print(stderr, QStringLiteral("kjks-bank: ") + e.message());
        return 1;
    }
}

int check(QStringList args) {
    const bool strict = takeStrict(args);
    if (args.size() != 1) return usageError(QStringLiteral("check takes [--strict] BANK"));
    const QStringList problems = CheckBank(args[0]);
    int errors = 0;
    for (const QString &p : problems) {
        print(stderr, args[0] + QStringLiteral(": ") + p);
        if (strict || !p.startsWith(kCheckWarning())) ++errors;
    }
    if (errors == 0) {
        print(stdout,
              args[0] + (problems.isEmpty() ? QStringLiteral("：没有问题") : QStringLiteral("：没有问题，只有警告")));
        return 0;
    }
    print(stderr, QStringLiteral("kjks-bank: 发现 %1 个问题").arg(errors));
    return 1;
}

} // namespace

int main(int argc, char **argv) {
    // `print` sets text in the system's fonts and so runs under a GUI application of its own.
    if (argc > 1 && qstrcmp(argv[1], "print") == 0) return PrintCommand(argc, argv);
    QCoreApplication app(argc, argv); // image format plugins and local 8-bit arguments
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) return usageError(QStringLiteral("no command given"));
    const QString command = args.takeFirst();
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
        // `help COMMAND` as `COMMAND --help`
        const QString help = CommandHelp(args.value(0));
        std::fputs((help.isEmpty() ? CommandHelp(QString()) : help).toUtf8().constData(), stdout);
        return 0;
    }
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        const QString help = CommandHelp(command);
        if (help.isEmpty()) return usageError(QStringLiteral("unknown command '%1'").arg(command));
        std::fputs(help.toUtf8().constData(), stdout);
        return 0;
    }
    if (command == QLatin1String("build")) return build(args);
    if (command == QLatin1String("export")) return exportBank(args);
    if (command == QLatin1String("synth")) return synth(args);
    if (command == QLatin1String("check")) return check(args);
    if (command == QLatin1String("import")) return ImportCommand(args);
    if (command == QLatin1String("upgrade")) return upgradeCommand(args);
    return usageError(QStringLiteral("unknown command '%1'").arg(command));
}
