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
    void Fill(const QString &payload);
    // The picture file last asked for (AppDir + images/yes.png or images/wrong.png).
    QString pictureFile() const { return m_pictureFile; }

    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QLabel *Label4;
    QLabel *Label5;
    QLabel *Label6;
    QLabel *Label7;
    QLabel *Label8;
    QLabel *Label9;
    QLabel *Image1;
    QGroupBox *GroupBox1;
    QPlainTextEdit *Memo1;
    QPushButton *sButton1;

public slots:
    void sButton1Click();

private:
    void showPicture(const QString &file);

    QString m_pictureFile;
};

// Fills the one result dialog from a payload (created when none is open), shows it without blocking
// the caller and brings it to the front. An empty payload shows the dialog as it is.
void ShowResultDialog(const QString &payload);

// The open result dialog, or nullptr.
ResultDialog *resultDialog();
