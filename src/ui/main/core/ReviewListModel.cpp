#include "ReviewListModel.h"

#include "Dataset.h"
#include "Gbk.h"
#include "QuestionText.h"
#include "QuestionTypes.h"

#include <exception>

namespace {
constexpr int kPreviewBytes = 50;
} // namespace

void ReviewListModel::reload(Dataset &query, const std::set<int> &mastered) {
    beginResetModel();
    m_rows.clear();
    m_unmastered.clear();
    for (query.first(); !query.eof(); query.next()) {
        m_rows.push_back({query.asString(QStringLiteral("tixing")), query.asString(QStringLiteral("timian")),
                          query.asString(QStringLiteral("daan")),
                          mastered.count(query.asInteger(QStringLiteral("tigan_id"))) > 0});
        if (!m_rows.back().mastered) m_unmastered.push_back(m_rows.back());
    }
    query.first();
    endResetModel();
}

void ReviewListModel::setShowsMastery(bool shows) {
    beginResetModel();
    m_showsMastery = shows;
    endResetModel();
}

void ReviewListModel::setOnlyUnmastered(bool only) {
    beginResetModel();
    m_onlyUnmastered = only;
    endResetModel();
}

int ReviewListModel::masteredCount() const {
    return int(m_rows.size() - m_unmastered.size());
}

int ReviewListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(shown().size());
}

int ReviewListModel::columnCount(const QModelIndex &parent) const {
    if (parent.isValid()) return 0;
    return m_showsMastery ? ColumnCount : MasteryColumn;
}

QString ReviewListModel::FullQuestionText(const Row &row) {
    if (row.timian.isEmpty()) return QString();
    // A list is drawn again and again; a text that does not decode shows as an empty cell instead
    // of an error box on every repaint. The practice window reports it when the question is opened.
    try {
        return DecodeQuestionText(row.timian);
    } catch (const std::exception &) {
        return QString();
    }
}

QString ReviewListModel::CellText(const Row &row, int column) {
    switch (column) {
    case TypeColumn:
        return row.tixing;
    case QuestionColumn:
        return LeftGbkBytes(FullQuestionText(row), kPreviewBytes);
    case AnswerColumn:
        return row.tixing == OperationBankTypeName() ? QStringLiteral("略") : LeftGbkBytes(row.daan, kPreviewBytes);
    case MasteryColumn:
        return row.mastered ? QStringLiteral("已掌握") : QString();
    default:
        return QString();
    }
}

QVariant ReviewListModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= int(shown().size())) return QVariant();
    const Row &row = shown()[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return CellText(row, index.column());
    case Qt::ToolTipRole:
        if (index.column() == QuestionColumn) {
            const QString full = FullQuestionText(row);
            if (!full.isEmpty()) return full;
        }
        return QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default:
        return QVariant();
    }
}

QVariant ReviewListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
    switch (section) {
    case TypeColumn:
        return QStringLiteral("题型");
    case QuestionColumn:
        return QStringLiteral("题目");
    case AnswerColumn:
        return QStringLiteral("答案");
    case MasteryColumn:
        return QStringLiteral("掌握");
    default:
        return QVariant();
    }
}
