#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <set>
#include <vector>

class Dataset;

// The read-only list of the wrong-question and favourites pages: "题型", "题目" and "答案" of the
// rows of the page's query. The stored texts are kept as read; the question text is decoded when
// its cell is shown. The wrong-question page adds "掌握" ("已掌握" when the question's review
// stability reached the threshold) and may hide the mastered rows ("只看未掌握").
class ReviewListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { TypeColumn, QuestionColumn, AnswerColumn, MasteryColumn, ColumnCount };

    struct Row {
        QString tixing;
        QString timian; // encoded
        QString daan;
        bool mastered = false;
    };

    using QAbstractTableModel::QAbstractTableModel;

    // Takes the rows of an open query (tixing, timian, daan) and leaves it at its first row; a row
    // whose tigan_id is in `mastered` is marked so.
    void reload(Dataset &query, const std::set<int> &mastered = {});
    // The "掌握" column (wrong-question page) and the "只看未掌握" filter.
    void setShowsMastery(bool shows);
    void setOnlyUnmastered(bool only);
    int masteredCount() const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // What a cell shows: the type as stored; the decoded question text cut to at most 50 GBK bytes
    // (empty when the stored text does not decode); the answer cut the same way, or "略" for an
    // operation question ("实操题").
    static QString CellText(const Row &row, int column);
    // The whole decoded question text, for the cell's tool tip; empty when it does not decode.
    static QString FullQuestionText(const Row &row);

private:
    const std::vector<Row> &shown() const { return m_onlyUnmastered ? m_unmastered : m_rows; }

    std::vector<Row> m_rows;
    std::vector<Row> m_unmastered;
    bool m_showsMastery = false;
    bool m_onlyUnmastered = false;
};
