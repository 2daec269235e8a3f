#include "WebLink.h"

#include <QRegularExpression>

namespace {

bool hasBlankOrControl(const QString &text) {
    for (const QChar c : text)
        if (c.isSpace() || c.category() == QChar::Other_Control || c.category() == QChar::Other_Format) return true;
    return false;
}

// "name@host.tld": one @, a dotted host of letters, digits and hyphens.
bool isMailAddress(const QString &text) {
    static const QRegularExpression mail(QStringLiteral(
        "^[A-Za-z0-9.!#$%&'*+/"
        "=?^_`{|}~-]+@[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?(\\.[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?)+$"));
    return mail.match(text).hasMatch();
}

// A host with at least one dot and a top-level name of letters, then optionally a port and a path.
bool isBareWebAddress(const QString &text) {
    static const QRegularExpression web(
        QStringLiteral("^[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?(\\.[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?)*\\.[A-Za-z]{"
                       "2,63}(:[0-9]{1,5})?([/?#].*)?$"));
    return web.match(text).hasMatch();
}

} // namespace

QUrl WebOrMailLink(const QString &text) {
    const QString t = text.trimmed();
    if (t.isEmpty() || hasBlankOrControl(t)) return QUrl();

    static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*):"));
    const QRegularExpressionMatch m = scheme.match(t);
    QUrl url;
    if (m.hasMatch() && !isBareWebAddress(t)) {
        const QString s = m.captured(1).toLower();
        if (s == QLatin1String("mailto")) {
            const QString address = t.mid(m.capturedLength()).section(QLatin1Char('?'), 0, 0);
            if (!isMailAddress(QUrl::fromPercentEncoding(address.toUtf8()))) return QUrl();
        } else if (s != QLatin1String("http") && s != QLatin1String("https")) {
            return QUrl(); // file:, a drive letter, javascript:, any other handler
        }
        url = QUrl(t, QUrl::StrictMode);
        if (s != QLatin1String("mailto") && url.host().isEmpty()) return QUrl();
    } else if (isMailAddress(t)) {
        url = QUrl(QStringLiteral("mailto:") + t, QUrl::StrictMode);
    } else if (isBareWebAddress(t)) {
        url = QUrl(QStringLiteral("http://") + t, QUrl::StrictMode);
    }
    return url.isValid() ? url : QUrl();
}
