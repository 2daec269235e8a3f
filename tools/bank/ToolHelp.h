#pragma once

#include <QString>

// The help of one command of kjks-bank (build, export, check, synth, import), or of the whole tool
// when `command` is empty; empty for an unknown command. docs/kjks-bank.md says the same at length.
QString CommandHelp(const QString &command);
