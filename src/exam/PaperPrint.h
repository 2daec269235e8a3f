#pragma once

#include "Question.h"

#include <QString>
#include <memory>
#include <vector>

class QTextDocument;
class BankSession;
struct ExamProfile;

// A mock-exam paper laid out for printing: the questions as the exam shows them, an answer sheet,
// and the key with explanations, each part starting on a page of its own.

struct PrintedQuestion {
    int number = 0;         // position in the paper, 1-based
    int section = 0;        // 0 … 3, the profile's sections
    Question question;      // stem, options, picture, second text; a case sub-question with its material
    QString standardAnswer; // daan of the paper item
    QString answer;         // the learner's answer; empty on a blank paper or when unanswered
    QString points;         // points the item got ("" when not scored or on a blank paper)
    QString explanation;    // decoded, or the chapter and section names
};

struct PrintedSection {
    QString typeName;
    int count = 0;
    QString pointsEach; // per question, in the number form of the score sheet
};

struct PrintedPaper {
    QString subject;     // the profile's subject name
    int shownNumber = 0; // the paper number the answered-paper list shows
    bool withAnswers = false;
    bool withKey = true; // the key with explanations after the answer sheet
    QString score;       // total when handed in and printed with answers, else empty
    std::vector<PrintedSection> sections;
    std::vector<PrintedQuestion> questions;
};

// Reads paper `paperId` (kjks_SJML.sjID) with the exam window's statements. With `withAnswers`
// the learner's answers and points come along (a paper never handed in prints its answers so far
// and no score); without, the answer sheet is left blank for writing on.
PrintedPaper ReadPrintedPaper(BankSession &data, const ExamProfile &profile, int paperId, int shownNumber,
                              bool withAnswers);

// The three parts as one document (texts of the bank set as plain text, pictures embedded).
std::unique_ptr<QTextDocument> PaperDocument(const PrintedPaper &paper);
// Papers one after another in one document, each starting on a page of its own.
std::unique_ptr<QTextDocument> PapersDocument(const std::vector<PrintedPaper> &papers);

// The headings that open the three parts.
QString QuestionsHeading(const PrintedPaper &paper);
QString AnswerSheetHeading();
QString KeyHeading();

// Writes the paper as an A4 PDF with its fonts embedded: a temporary file beside `path`, renamed
// into place when complete. Its text layer gives the paper's texts as drawn (searching and copying
// work). Returns the number of pages. Throws KjksError (Chinese) on failure.
int WritePaperPdf(const PrintedPaper &paper, const QString &path);
// The same for papers one after another (a class set) in one file.
int WritePapersPdf(const std::vector<PrintedPaper> &papers, const QString &path);
