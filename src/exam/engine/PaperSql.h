#pragma once

#include "ExamProfile.h"

#include <QString>

// The statement texts of paper generation, answering, hand-in and review, exactly as the bank
// expects them (blanks included). Texts are spliced through SqlValue; ids and numbers are written
// from integers, so nothing but a number reaches a bare position.

// Paper creation and reopening.
QString MaxPaperNumberSql();  // select max(sjID) from kjks_SJML
QString EmptyCatalogueSql();  // select * from kjks_SJML where 1 =2
QString EmptyPaperItemsSql(); // select * from shijuan where 1 = 2
QString CatalogueRowSql(int paperNumber);
QString ReopenItemsSql(int paperNumber);

// The eligible rows of an objective section (Single, Multiple, TrueFalse), as listed.
QString ObjectiveListSql(QuestionType section, const QString &typeName, const QString &paperSet);
QString ObjectiveFetchSql(int questionId);
// Calculation and operation sections: the bank's "实操题" rows, no paper-set condition.
QString PracticalListSql();
QString OperationFetchSql(int questionId);
QString CalculationFetchSql(int questionId);
// Case stems and the sub-questions of one stem in id order.
QString StemListSql(const QString &paperSet);
QString StemSubQuestionsSql(int stemId);

// One item of the open paper by question number (answering, marking, review).
QString PaperItemSql(int xth, int paperNumber);       // "... and sjID = " number
QString AnswerItemSql(int xth, int paperNumber);      // "... and sjID =" number (no blank)
QString SingleScoreItemSql(int xth, int paperNumber); // select ID,daan,defen,tigan_id ...
QString ScoreItemSql(int xth, int paperNumber);       // select ID,daan,defen ...

// Hand-in.
QString OperationItemsSql(int paperNumber);
QString TotalSumSql(int paperNumber);
QString SectionSumSql(int paperNumber, const QString &typeName);
QString AnswerListSql(int paperNumber);
QString QuestionRowSql(int questionId);
QString CaseStemRowSql(int stemId); // select * from zongtigan where id = N

// Explanation of a paper question: its jiexi, else the chapter and section names.
QString ExplanationChapterSql(const QString &zhang);
QString ExplanationSectionSql(const QString &zhang, const QString &jie);

// The items of one section of the open paper (the window's section handlers).
QString SectionItemsSql(const QString &typeName, int paperNumber);
