#include "ReviewSchedule.h"

bool IsValidRetention(double retention) {
    // Compared in hundredths, so 0.97 typed or stored as text is inside.
    const qint64 hundredths = qRound64(retention * 100);
    return hundredths >= 80 && hundredths <= 97 && qAbs(retention * 100 - double(hundredths)) < 1e-6;
}

ReviewStep ApplyReview(const std::optional<ReviewState> &before, bool right, qint64 today, double desiredRetention) {
    ReviewStep step;
    step.grade = right ? fsrs::Grade::Good : fsrs::Grade::Again;
    if (before) {
        // A clock set back makes no negative interval.
        const int elapsed = int(qMax<qint64>(0, today - before->lastDay));
        step.elapsedDays = elapsed;
        step.wasDue = today >= before->dueDay;
        step.after.memory = fsrs::NextReview(before->memory, step.grade, elapsed);
        step.after.lapses = before->lapses;
    } else {
        step.after.memory = fsrs::FirstReview(step.grade);
    }
    if (!right) ++step.after.lapses;
    step.after.lastDay = today;
    step.after.dueDay = today + fsrs::IntervalDays(step.after.memory.stability, desiredRetention);
    return step;
}

bool IsMastered(double stability, const ReviewSettings &settings) {
    return stability >= settings.masteredDays;
}

bool IsInQueue(const ReviewState &state) {
    return state.lapses > 0;
}

std::vector<int> ForecastFromDueDays(const std::vector<std::pair<qint64, int>> &dueDays, qint64 today, int days) {
    std::vector<int> perDay(size_t(qMax(0, days)), 0);
    for (const auto &[day, count] : dueDays) {
        const qint64 offset = qMax<qint64>(0, day - today);
        if (offset < days) perDay[size_t(offset)] += count;
    }
    return perDay;
}

std::optional<double> MeasuredRetention(int dueReviews, int rightOfThem) {
    if (dueReviews <= 0) return std::nullopt;
    return double(rightOfThem) / dueReviews;
}

QString DueCountsText(const DueCounts &counts) {
    return QStringLiteral("今日到期 %1 题，未来 7 天 %2 题").arg(counts.today).arg(counts.nextSevenDays);
}

QString RetentionText(std::optional<double> measured, int dueReviews, double desired) {
    const QString target = QStringLiteral("目标 %1%").arg(qRound(desired * 100));
    if (!measured) return QStringLiteral("实际记忆保持率：尚无到期复习；") + target;
    return QStringLiteral("实际记忆保持率：%1%（%2 次到期复习）；")
               .arg(QString::number(*measured * 100, 'f', 1))
               .arg(dueReviews) +
           target;
}
