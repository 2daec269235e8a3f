#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The one text a caller hands to the result dialog: fields joined by "=*=&". The practice window
// and the exam window both build it; the dialog takes it apart again.
QString PayloadSeparator();

struct ResultPayload {
    QString number;                       // 0: shown in the caption
    QString type;                         // 1: question type text
    std::optional<QString> standardScore; // 2: points + "分"; left out when no type name matches
    QString standardAnswer;               // 3
    QString answer;                       // 4: the learner's
    QString score;                        // 5: points + "分"
    QString explanation;                  // 6: its own line breaks make further fields
    int questionId = 0;                   // 7: the question id again

    QString text() const;
};

// The per-question points of the exam-profile section whose type name equals the type text (single,
// multiple, judgement, fourth, first match), times `multiple`, followed by "分"; nothing when no
// section carries that name.
std::optional<QString> StandardScoreText(const QString &typeText, double multiple = 1);

// What the dialog shows for a payload.
struct ResultView {
    QString caption;
    QString standardScore;
    QString standardAnswer;
    QString answer;
    QString score;
    QStringList explanationLines;
    bool right = false; // picks images/yes.png, else images/wrong.png
    // Not right, yet worth points (partial credit on a multiple-choice or case answer): shown as
    // partly right instead of wrong.
    bool partlyRight = false;
};

// Splits a non-empty payload: trimmed at both ends, fields at the separator and at line breaks.
// Missing fields read as empty; operation questions show "略" for both answers, the picture still
// follows the payload's own answer texts.
ResultView ParseResultPayload(const QString &payload);
