#pragma once

#include "BankModel.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
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

// What a run of the bank tool printed and returned.
struct ToolRun {
    int code;
    QString out;
    QString err;
};
// Runs the built tool `exe` with `args` and waits for it to finish.
ToolRun RunBankTool(const QString &exe, const QStringList &args, int timeoutMs = 120000);

// The rows a query returns from the bank at `bankPath`, each as its values joined by '|', NULL as
// "NULL".
QStringList BankRows(const QString &bankPath, const QString &sql);

// The SHA-256 of a file's bytes (empty when it cannot be read): "not written" checked to the byte.
QByteArray FileSha256(const QString &path);

// A source with every kind of row: options, profile, chapter tree, all question types, a case with
// sub-questions, withdrawn options, pictures, multi-line and escaped values, progress and papers.
SourceFiles FullSource();
