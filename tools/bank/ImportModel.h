#pragma once

#include "BankModel.h"

#include <QString>
#include <QStringList>
#include <map>
#include <vector>

// Questions read from a teacher's file (a spreadsheet's CSV or Moodle's GIFT) before they become
// bank rows: every reader fills these, and one assembler numbers them, builds the chapter tree and
// an exam profile they can fill, and checks them with the bank's own rules.

enum class ImportKind { Single, Multiple, Judgement, Operation, CaseStem, CaseSub };

struct ImportedQuestion {
    QString file; // how messages name the file
    int line = 0; // where the row or question starts
    ImportKind kind = ImportKind::Single;
    int id = 0;      // 0: numbered after the highest id given in its table
    QString chapter; // chapter and section names (a case sub-question takes its case's)
    QString section;
    QString caseLabel; // a case and its sub-questions share it
    QString text;
    QStringList options;
    QString answer; // as written; the assembler normalises it
    QString explanation;
};

// Every refused row or question, as "FILE:LINE: reason" in the teacher's words, listed in file order
// (the files in the order noted, then by line), whatever order the checks found them in; mistakes
// of the whole import (no file) come last.
class ImportProblems {
public:
    // The files in the order they are read: their problems are listed in this order.
    void noteFile(const QString &file);
    void add(const QString &file, int line, const QString &what);
    void add(const QString &file, const QString &what); // a mistake of the whole file
    bool isEmpty() const { return m_problems.empty(); }
    QStringList lines() const;

private:
    struct Entry {
        int file; // order of the file; past every file for a mistake of no file
        int line;
        QString text;
    };
    int fileOrder(const QString &file);
    std::map<QString, int> m_files;
    std::vector<Entry> m_problems;
};

// "章/节": the part before the first '/' names the chapter, the rest the section; without '/' the
// section takes the chapter's name. Blanks around each part are dropped.
void SplitChapterPath(const QString &path, QString *chapter, QString *section);

// The answer as the bank stores it, or empty with *error set. Letters: full-width and lower-case
// letters are accepted, separators (space , ， 、 ; ；) dropped, letters put in option order;
// true/false: √ × 对 错 正确 错误 T F TRUE FALSE (and a bank's 1 and 0 kept as they are).
QString NormaliseAnswer(ImportKind kind, const QString &answer, int optionCount, QString *error);

// Exam options, chapter tree, questions and cases, and exam profile 1 fitted to what the questions
// can fill: the current exam's shape (20 single choice of 2 points, 10 multiple choice of 2, 10
// true/false of 1, 3 cases of 5 sub-questions of 2) cut down to the questions there are; a section
// without questions is left off the paper (0 and 0), and EXAM_MINUTES takes the paper's share of
// the full paper's 105 minutes by its points. A case with fewer than 5 sub-questions is kept for
// practice and left out of mock papers (a warning).
// Every mistake goes to *problems; the model is usable only when it stays empty.
// `needsOwnExam` false: the questions go into a bank that has its exam already (`import --bank`), so
// sections they leave empty are no mistake.
BankModel AssembleImport(const std::vector<ImportedQuestion> &questions, ImportProblems *problems,
                         QStringList *warnings, bool needsOwnExam = true);

// Sub-questions a mock paper takes from each case (the bank's title names 实务).
constexpr int kImportCaseSize = 5;
