#include "NumberText.h"

#include "SqlError.h"

#include <cmath>
#include <cstdio>
#include <limits>

QString FormatNumber(double value) {
    if (value == 0) return QStringLiteral("0"); // also folds -0
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    return QString::fromLatin1(buf);
}

int StrToInt(const QString &text) {
    const QString t = text.trimmed();
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok, 10);
    if (!ok || t.isEmpty() || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        throw KjksError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return int(v);
}

double StrToFloat(const QString &text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v)) throw KjksError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return v;
}

QString SecondsToClock(int seconds) {
    const int hours = (seconds / 3600) % 60;
    const int minutes = (seconds % 3600) / 60;
    const int secs = seconds % 60;
    return QStringLiteral("%1:%2:%3")
        .arg(hours)
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(secs, 2, 10, QLatin1Char('0'));
}

QString OptionLetter(int index) {
    return QString(QChar(u'A' + index));
}
