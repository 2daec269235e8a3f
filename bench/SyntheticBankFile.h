#pragma once

#include "BankSynth.h"
#include "BankWriter.h"

#include <QFileInfo>
#include <QString>
#include <cstdio>

// The bank file a benchmark runs on: KJKS_BENCH_BANK when set, else `defaultPath`; a synthetic bank
// of `questions` questions is written there first when no file exists (minutes at 1M), and kept
// for the next run.
inline QString SyntheticBankFile(const QString &defaultPath, int questions) {
    const QByteArray env = qgetenv("KJKS_BENCH_BANK");
    const QString path = env.isEmpty() ? defaultPath : QString::fromLocal8Bit(env);
    if (!QFileInfo::exists(path)) {
        std::fprintf(stderr, "making the synthetic bank of %d questions at %s ...\n", questions, qPrintable(path));
        WriteBank(SyntheticBank(questions, 1), path);
    }
    return path;
}
