#pragma once

#include <QByteArray>
#include <QString>
#include <map>
#include <vector>

// A question bank in memory with its texts in plain words: what a source folder describes, what an
// export writes and what test fixtures state. WriteBank turns it into an encrypted bank file.

struct BankOption {
    QString text;
    bool withdrawn = false; // flag_state 1
};

// Encoded columns of a row whose stored form is kept as it is instead of its plain text: a text
// that does not decode is exported and built back unchanged. Column name (an option: "option" and
// its 0-based index, StoredOptionKey) -> stored form.
using StoredTexts = std::map<QString, QString>;
inline QString StoredOptionKey(int index) {
    return QStringLiteral("option%1").arg(index);
}

struct BankProgress {
    QString YDCS = QStringLiteral("0");
    QString DDCS = QStringLiteral("0");
    QString shoucang = QStringLiteral("0");
    int ZQCS = 0;
    int ZONGCS = 0;
};

struct BankQuestion {
    int id = 0;
    QString tixing;
    QString timian;
    std::vector<BankOption> options;
    QString daan;
    QString jiexi;
    int zhang = 0;
    int jie = 0;
    QByteArray tmimage; // JPEG bytes, empty for none
    QString timian2;
    QString zongtimian; // stem id of a case sub-question, else empty
    QString shijuan;
    int flag_state = 0;
    BankProgress progress;
    StoredTexts stored; // timian, jiexi, options
};

struct BankStem {
    int id = 0;
    QString zongtimian;
    QString jiexi;
    QString daan;
    int zhang = 0;
    int jie = 0;
    QByteArray tmimage;
    QString timian2;
    QString shijuan;
    int flag_state = 0;
    BankProgress progress;
    StoredTexts stored; // zongtimian, jiexi
};

struct BankChapter {
    QString daima;
    QString mc;
};

// Exam profile row: column name -> text as stored (kjks_type_name, danxuan, danxuanti, ...).
struct BankProfile {
    int id = 1;
    std::map<QString, QString> columns;
};

struct BankPaper {
    int sjID = 0;
    QString DTKSSJ; // "yyyy-MM-dd HH:mm:ss" or empty
    QString JJSJ;
    std::map<QString, double> scores; // DEFEN, DanDeFen, DuoDeFen, PanDeFen, AnLiDeFen (absent = NULL)
    int flag_state = 0;
};

struct BankPaperItem {
    int id = 0; // 0: numbered on insert
    int sjID = 0;
    int xth = 0;
    QString tixing;
    int tigan_id = 0; // 0: NULL, as on the scratch row
    QString daan;
    QString KSDA;
    bool hasDefen = false;
    double defen = 0;
    QString kaolv;
};

struct BankModel {
    std::map<QString, QString> options; // sys_option, names upper-case
    std::vector<BankProfile> profiles;
    std::vector<BankChapter> chapters;
    std::vector<BankQuestion> questions;
    std::vector<BankStem> stems;
    std::vector<BankPaper> papers;
    std::vector<BankPaperItem> paperItems;
    // The practice operation questions' answer row (sjID 0, xth 200) is added unless the items
    // already hold one or this is false.
    bool addScratchRow = true;
};

// The stem-level answer: every sub-question's answer letters shifted by the options placed before
// it, sub-questions in id order ("A", "BD", "C" with four options each give "ABHK").
QString StemAnswer(const std::vector<const BankQuestion *> &subQuestionsInIdOrder);
