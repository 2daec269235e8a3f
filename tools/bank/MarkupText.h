#pragma once

#include <QString>

// Texts that Moodle writes with markup, as the bank's plain text: the program shows a question's
// text as it stands, so tags and entities would reach the learner literally.
enum class MarkupKind {
    Html,       // tags removed, <br> and paragraph ends as line breaks, source line breaks as spaces
    MoodleAuto, // Moodle's auto-format: HTML allowed, line breaks of the text kept
    Markdown,   // emphasis markers (** __ * _) and backslash escapes removed
};

// Entities (named and numeric) are decoded in every kind; each line is trimmed and runs of empty
// lines become one.
QString MarkupToPlainText(const QString &text, MarkupKind kind);
