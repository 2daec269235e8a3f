#pragma once

#include <QString>
#include <QtGlobal>

// `kjks-bank print`: mock-exam papers drawn from a bank, printed to a PDF for a class.

struct PrintRequest {
    QString bank;
    QString pdf;
    int papers = 1;
    quint64 seed = 0;   // paper k (from 0) is drawn with seed + k
    bool blank = false; // questions and an empty answer sheet, no key
};

struct PrintOutcome {
    int papers = 0;
    int pages = 0;
};

// Draws the papers as the mock exam does (the bank's exam profile 1, each paper avoiding the
// questions of the one before) in a copy of the bank made in a temporary folder, so the bank is
// only read, and writes them one after another into the PDF. The copy starts without the bank's
// papers: the same bank and seed give the same papers whatever the learner sat. Needs a
// QGuiApplication (fonts). Throws KjksError with a Chinese message; the PDF is then not written.
PrintOutcome PrintPapers(const PrintRequest &request);

// The command: parses its arguments, runs PrintPapers under a GUI application of its own (on the
// offscreen platform unless one is set) and says what it wrote. Exit status as the other commands.
int PrintCommand(int argc, char **argv);
