#include "PaperState.h"

#include <algorithm>

namespace {
const QString &storedForm() {
    static const QString form = QStringLiteral("yyyy-MM-dd HH:mm:ss");
    return form;
}
} // namespace

QDateTime StoredDateTime(const QString &text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return {};
    QDateTime t = QDateTime::fromString(trimmed, storedForm());
    if (!t.isValid()) t = QDateTime::fromString(trimmed, Qt::ISODate);
    return t;
}

QString PaperTimeText(const QString &stored) {
    const QDateTime t = StoredDateTime(stored);
    return t.isValid() ? t.toString(storedForm()) : stored;
}

bool PaperHandedIn(const QString &startedText, const QString &handedInText) {
    const QDateTime handedIn = StoredDateTime(handedInText);
    if (!handedIn.isValid()) return false;
    const QDateTime started = StoredDateTime(startedText);
    // A paper without a readable start time has nothing to compare with: its hand-in time decides.
    return !started.isValid() || started <= handedIn;
}

std::vector<int> PaperDisplayNumbers(const std::vector<int> &paperIds) {
    std::vector<int> sorted = paperIds;
    std::sort(sorted.begin(), sorted.end());
    std::vector<int> numbers;
    numbers.reserve(paperIds.size());
    for (int id : paperIds)
        numbers.push_back(int(std::lower_bound(sorted.begin(), sorted.end(), id) - sorted.begin()) + 1);
    return numbers;
}
