#pragma once

#include <QString>

// The statements the exam window reads a question with, exactly as the bank expects them (blanks
// included). Ids are written from integers, so nothing but a number reaches a bare position.
QString SingleQuestionSql(int questionId);
QString MultipleQuestionSql(int questionId);
QString JudgementQuestionSql(int questionId);
QString ChoiceOptionsSql(int questionId);
QString CaseQuestionSql(int questionId);
QString CaseOptionsSql(int questionId);
QString CaseStemSql(int stemId);
QString AnalysisQuestionSql(int questionId);
QString OperationQuestionSql(int questionId);
