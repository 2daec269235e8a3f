// kjks-bank: builds question banks from source folders, exports them back, makes synthetic banks
// for benchmarks and checks built banks.

#include "BankCheck.h"
#include "BankExport.h"
#include "BankReader.h"
#include "BankSource.h"
#include "BankSynth.h"
#include "BankUpgrade.h"
#include "BankWriter.h"
#include "SqlError.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

namespace {

const char kUsage[] = "usage: kjks-bank COMMAND ARGUMENTS\n"
                      "\n"
                      "  build SOURCE_DIR BANK\n"
                      "      Reads the source folder (bank.txt, questions/*.txt, pictures/, papers.txt; see\n"
                      "      docs/bank-format.md), enciphers the question texts and writes the encrypted bank BANK.\n"
                      "      Every mistake is reported as FILE:LINE: what is wrong. BANK is replaced only when the\n"
                      "      whole source is sound; nothing is left half written. Rows that break a content rule the\n"
                      "      program copes with (an answer beyond the options, a section missing from the chapter\n"
                      "      tree, ...) are built and listed as warnings.\n"
                      "\n"
                      "  export BANK OUT_DIR\n"
                      "      Writes BANK back as a source folder with every text decoded: bank.txt, one\n"
                      "      questions/chNN.txt per chapter, pictures/ named after their rows, and papers.txt when\n"
                      "      the bank holds papers. Building OUT_DIR gives the same rows. A text that does not\n"
                      "      decode is written in its stored form (COLUMN_stored:) and listed as a warning. OUT_DIR\n"
                      "      must not exist or be empty.\n"
                      "\n"
                      "  synth --questions N [--seed S] BANK\n"
                      "      Writes a synthetic bank of N questions over eight chapters and all five kinds (single,\n"
                      "      multiple, true/false, 实操题, case stems with five sub-questions each) with options,\n"
                      "      explanations, some pictures and progress, and exam profile 1. The same seed (default 1)\n"
                      "      gives the same content. Meant for benchmarks.\n"
                      "\n"
                      "  check BANK\n"
                      "      Verifies a built bank: every encoded text decodes; answers fit the options; case answers\n"
                      "      match their sub-questions; pictures are readable; the chapter tree holds every section;\n"
                      "      the practice answer row exists; exam profile 1 finds enough eligible rows in every\n"
                      "      section; every page of the file is intact (integrity check); papers' answer times are\n"
                      "      dates. Prints one line per problem.\n"
                      "\n"
                      "  upgrade OLD NEW OUT\n"
                      "      Writes OUT: the content of the new bank NEW with the learner's progress of the old bank\n"
                      "      OLD carried onto the same question ids (practice counters, wrong flags, favourites,\n"
                      "      mock-exam papers, the program's own tables; see docs/progress.md). OLD and NEW are\n"
                      "      only read. Lists in Chinese what could not be carried: withdrawn questions, questions\n"
                      "      whose answer changed (their counters start afresh), papers holding either. OUT is\n"
                      "      replaced only when everything succeeded.\n"
                      "\n"
                      "  --help, help\n"
                      "      Shows this text.\n"
                      "\n"
                      "Exit status: 0 on success, 1 when the command found problems or failed, 2 on a usage mistake.\n";

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

int build(const QStringList &args) {
    if (args.size() != 2) return usageError(QStringLiteral("build takes SOURCE_DIR BANK"));
    try {
        QStringList warnings;
        const BankModel model = ReadBankSource(args[0], &warnings);
        WriteBank(model, args[1]);
        // Rows the program copes with are built; `check` lists them too.
        for (const QString &w : warnings)
            print(stderr, QStringLiteral("warning: ") + w);
        print(stdout, QStringLiteral("%1: %2 questions, %3 cases, %4 chapter entries")
                          .arg(args[1])
                          .arg(model.questions.size())
                          .arg(model.stems.size())
                          .arg(model.chapters.size()));
        return 0;
    } catch (const BankSourceError &e) {
        for (const QString &p : e.problems())
            print(stderr, p);
        print(stderr,
              QStringLiteral("kjks-bank: %1 problems; %2 was not written").arg(e.problems().size()).arg(args[1]));
    } catch (const KjksError &e) {
        print(stderr, QStringLiteral("kjks-bank: ") + e.message());
    }
    return 1;
}

int exportBank(const QStringList &args) {
    if (args.size() != 2) return usageError(QStringLiteral("export takes BANK OUT_DIR"));
    try {
        // Every row is written; a text that does not decode keeps its stored form and is flagged.
        std::vector<BankProblem> undecodable;
        const BankModel model = ReadBank(args[0], &undecodable);
        ExportBankSource(model, args[1]);
        for (const BankProblem &p : undecodable)
            print(stderr, QStringLiteral("warning: %1: %2 (kept in its stored form)").arg(args[0], ProblemText(p)));
        print(stdout, QStringLiteral("%1: %2 questions, %3 cases")
                          .arg(args[1])
                          .arg(model.questions.size())
                          .arg(model.stems.size()));
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
        const BankModel model = SyntheticBank(questions, seed);
        WriteBank(model, bank);
        print(
            stdout,
            QStringLiteral("%1: %2 questions, %3 cases").arg(bank).arg(model.questions.size()).arg(model.stems.size()));
        return 0;
    } catch (const KjksError &e) {
        print(stderr, QStringLiteral("kjks-bank: ") + e.message());
        return 1;
    }
}

int check(const QStringList &args) {
    if (args.size() != 1) return usageError(QStringLiteral("check takes BANK"));
    const QStringList problems = CheckBank(args[0]);
    int errors = 0;
    for (const QString &p : problems) {
        print(stderr, args[0] + QStringLiteral(": ") + p);
        if (!p.startsWith(kCheckWarning())) ++errors;
    }
    if (errors == 0) {
        print(stdout, args[0] + (problems.isEmpty() ? QStringLiteral(": no problems")
                                                    : QStringLiteral(": no problems, only warnings")));
        return 0;
    }
    print(stderr, QStringLiteral("kjks-bank: %1 problems").arg(errors));
    return 1;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv); // image format plugins and local 8-bit arguments
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) return usageError(QStringLiteral("no command given"));
    const QString command = args.takeFirst();
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (args.contains(QStringLiteral("--help"))) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == QLatin1String("build")) return build(args);
    if (command == QLatin1String("export")) return exportBank(args);
    if (command == QLatin1String("synth")) return synth(args);
    if (command == QLatin1String("check")) return check(args);
    if (command == QLatin1String("upgrade")) return upgradeCommand(args);
    return usageError(QStringLiteral("unknown command '%1'").arg(command));
}
