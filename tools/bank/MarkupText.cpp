#include "MarkupText.h"

#include <QRegularExpression>
#include <QStringList>
#include <map>

namespace {

// The entities a teacher's editor writes; anything else is left as written.
const std::map<QString, char32_t> &namedEntities() {
    static const std::map<QString, char32_t> entities = {
        {QStringLiteral("amp"), U'&'},    {QStringLiteral("lt"), U'<'},     {QStringLiteral("gt"), U'>'},
        {QStringLiteral("quot"), U'"'},   {QStringLiteral("apos"), U'\''},  {QStringLiteral("nbsp"), U' '},
        {QStringLiteral("ensp"), U' '},   {QStringLiteral("emsp"), U'　'},  {QStringLiteral("thinsp"), U' '},
        {QStringLiteral("ldquo"), U'“'},  {QStringLiteral("rdquo"), U'”'},  {QStringLiteral("lsquo"), U'‘'},
        {QStringLiteral("rsquo"), U'’'},  {QStringLiteral("hellip"), U'…'}, {QStringLiteral("mdash"), U'—'},
        {QStringLiteral("ndash"), U'–'},  {QStringLiteral("middot"), U'·'}, {QStringLiteral("times"), U'×'},
        {QStringLiteral("divide"), U'÷'}, {QStringLiteral("plusmn"), U'±'}, {QStringLiteral("deg"), U'°'},
        {QStringLiteral("yen"), U'¥'},    {QStringLiteral("permil"), U'‰'}, {QStringLiteral("le"), U'≤'},
        {QStringLiteral("ge"), U'≥'},     {QStringLiteral("ne"), U'≠'},     {QStringLiteral("radic"), U'√'},
        {QStringLiteral("rarr"), U'→'},   {QStringLiteral("larr"), U'←'},   {QStringLiteral("sup2"), U'²'},
        {QStringLiteral("sup3"), U'³'},   {QStringLiteral("frac12"), U'½'}, {QStringLiteral("laquo"), U'«'},
        {QStringLiteral("raquo"), U'»'},  {QStringLiteral("copy"), U'©'},   {QStringLiteral("reg"), U'®'},
        {QStringLiteral("sect"), U'§'},   {QStringLiteral("bull"), U'•'},   {QStringLiteral("trade"), U'™'},
        {QStringLiteral("euro"), U'€'},   {QStringLiteral("pound"), U'£'},  {QStringLiteral("cent"), U'¢'}};
    return entities;
}

QString decodeEntities(const QString &text) {
    static const QRegularExpression entity(
        QStringLiteral("&(#[0-9]{1,7}|#[xX][0-9a-fA-F]{1,6}|[A-Za-z][A-Za-z0-9]{1,7});"));
    QString out;
    qsizetype last = 0;
    for (auto it = entity.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).mid(last, m.capturedStart() - last);
        last = m.capturedEnd();
        const QString name = m.captured(1);
        char32_t code = 0;
        if (name.startsWith(QLatin1Char('#'))) {
            const bool hex = name.size() > 1 && (name[1] == QLatin1Char('x') || name[1] == QLatin1Char('X'));
            code = char32_t(name.mid(hex ? 2 : 1).toUInt(nullptr, hex ? 16 : 10));
        } else {
            const auto found = namedEntities().find(name);
            if (found != namedEntities().end()) code = found->second;
        }
        // A number that names no character (0, a surrogate, beyond Unicode) stays as written.
        if (code == 0 || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
            out += m.captured(0);
            continue;
        }
        out += QString::fromUcs4(&code, 1);
    }
    out += QStringView(text).mid(last);
    return out;
}

QString htmlToLines(QString text, bool sourceBreaksAreSpaces) {
    if (sourceBreaksAreSpaces) {
        static const QRegularExpression space(QStringLiteral("[ \\t\\r\\n]+"));
        text.replace(space, QStringLiteral(" "));
    }
    static const QRegularExpression comment(QStringLiteral("<!--.*?-->"),
                                            QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression lineBreak(QStringLiteral("<br\\s*/?>"), QRegularExpression::CaseInsensitiveOption);
    // The end of a block (paragraph, list item, table row, heading) starts a new line.
    static const QRegularExpression blockEnd(QStringLiteral("</(p|div|li|tr|h[1-6]|blockquote|pre)\\s*>"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression cellEnd(QStringLiteral("</t[dh]\\s*>"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression dropped(QStringLiteral("<(script|style)\\b.*?</\\1\\s*>"),
                                            QRegularExpression::CaseInsensitiveOption |
                                                QRegularExpression::DotMatchesEverythingOption);
    // A tag starts with a letter (or /letter); "1<2" in a text is no tag.
    static const QRegularExpression tag(QStringLiteral("</?[A-Za-z][^<>]*>"));
    text.remove(comment);
    text.remove(dropped);
    text.replace(lineBreak, QStringLiteral("\n"));
    text.replace(blockEnd, QStringLiteral("\n"));
    text.replace(cellEnd, QStringLiteral(" "));
    text.remove(tag);
    return text;
}

QString markdownToText(QString text) {
    static const QRegularExpression strong(QStringLiteral("(\\*\\*|__)(?=[^\\s*_])(.+?)(?<=[^\\s*_])\\1"));
    static const QRegularExpression starred(QStringLiteral("\\*(?=[^\\s*])(.+?)(?<=[^\\s*])\\*"));
    // An underscore pair only at word edges: "____" blanks and snake_case stay.
    static const QRegularExpression underscored(QStringLiteral("(?<![\\w_])_(?=[^\\s_])(.+?)(?<=[^\\s_])_(?![\\w_])"),
                                                QRegularExpression::UseUnicodePropertiesOption);
    static const QRegularExpression escaped(QStringLiteral("\\\\([\\\\`*_{}\\[\\]()#+\\-.!])"));
    text.replace(strong, QStringLiteral("\\2"));
    text.replace(starred, QStringLiteral("\\1"));
    text.replace(underscored, QStringLiteral("\\1"));
    text.replace(escaped, QStringLiteral("\\1"));
    return text;
}

} // namespace

QString MarkupToPlainText(const QString &text, MarkupKind kind) {
    QString lines;
    switch (kind) {
    case MarkupKind::Html:
        lines = htmlToLines(text, true);
        break;
    case MarkupKind::MoodleAuto:
        lines = htmlToLines(text, false);
        break;
    case MarkupKind::Markdown:
        lines = markdownToText(text);
        break;
    }
    lines = decodeEntities(lines);
    QStringList kept;
    for (const QString &line : lines.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() && (kept.isEmpty() || kept.last().isEmpty())) continue;
        kept << trimmed;
    }
    while (!kept.isEmpty() && kept.last().isEmpty())
        kept.removeLast();
    return kept.join(QLatin1Char('\n'));
}
