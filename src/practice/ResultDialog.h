#pragma once

#include <QDialog>
#include <QString>

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// "评分": the outcome of one question (standard score, standard answer, the learner's answer, score,
// right/wrong picture, explanation). Modeless; at most one exists, refilled in place by every
// ShowResultDialog and destroyed when the learner closes it.
class ResultDialog : public QDialog {
    Q_OBJECT
public:
    explicit ResultDialog(QWidget *parent = nullptr);

    // Clears the value labels and the explanation and fills them from a non-empty payload.
    void fill(const QString &payload);
    // The picture file last asked for (AppDir + images/yes.png or images/wrong.png).
    QString pictureFile() const { return m_pictureFile; }

    // Each value beside its caption: "本题标准分：", "标准答案：", "考生答案：", "本题得分：".
    QLabel *standardScoreCaption;
    QLabel *standardScoreLabel;
    QLabel *standardAnswerCaption;
    QLabel *standardAnswerLabel;
    QLabel *answerCaption;
    QLabel *answerLabel;
    QLabel *scoreCaption;
    QLabel *scoreLabel;
    QLabel *verdictPicture; // right or wrong picture, or the words "部分正确"
    QGroupBox *explanationGroup;
    QPlainTextEdit *explanationBox;
    QLabel *hintLabel; // "操作提示：继续做题本窗口将自动关闭。"
    QPushButton *confirmButton;

private:
    void showPicture(const QString &file);

    QString m_pictureFile;
};

// Fills the one result dialog from a payload (created when none is open), shows it without blocking
// the caller and brings it to the front. An empty payload shows the dialog as it is.
void ShowResultDialog(const QString &payload);

// The open result dialog, or nullptr.
ResultDialog *resultDialog();
