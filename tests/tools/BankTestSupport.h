#pragma once

#include "BankModel.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <map>
#include <vector>

// Helpers of the bank tool's tests: source folders written from strings, pictures, and every table
// of a bank read row by row for comparison.

using SourceFiles = std::map<QString, QByteArray>; // relative path -> bytes

void WriteSourceFiles(const QString &dir, const SourceFiles &files);

// A small JPEG made with Qt's writer.
QByteArray TestJpeg();

// Every table of the bank (sqlite_sequence included), each row in rowid order, NULL kept apart from "".
using BankTables = std::map<QString, std::vector<std::vector<QVariant>>>;
BankTables ReadAllTables(const QString &bankPath);

// The first difference between two banks' tables as text, or empty when they hold the same rows.
QString FirstDifference(const BankTables &a, const BankTables &b);

// A source with every kind of row: options, profile, chapter tree, all question types, a case with
// sub-questions, withdrawn options, pictures, multi-line and escaped values, progress and papers.
SourceFiles FullSource();
