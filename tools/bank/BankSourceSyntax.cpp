#include "BankSourceSyntax.h"

#include <QList>

namespace banksource {

namespace {

Column text(const char *name) {
    return Column{QString::fromLatin1(name), ValueKind::Text, false};
}
Column integer(const char *name) {
    return Column{QString::fromLatin1(name), ValueKind::Integer, false};
}
Column number(const char *name) {
    return Column{QString::fromLatin1(name), ValueKind::Number, false};
}
Column repeated(const char *name) {
    return Column{QString::fromLatin1(name), ValueKind::Text, true};
}

std::vector<Column> progressColumns() {
    return {text("YDCS"), text("DDCS"), text("shoucang"), integer("ZQCS"), integer("ZONGCS")};
}

std::vector<Table> makeTables() {
    std::vector<Table> t;
    t.push_back({QStringLiteral("sys_option"), KeyKind::Name, {text("option_value")}});
    t.push_back({QStringLiteral("kjks_type"),
                 KeyKind::Integer,
                 {text("kjks_type_name"), text("danxuan"), integer("danxuanti"), integer("danxuanfen"), text("duoxuan"),
                  integer("duoxuanti"), integer("duoxuanfen"), text("panduan"), integer("panduanti"),
                  integer("panduanfen"), text("shicaotype"), integer("shicaoti"), integer("shicaofen")}});
    t.push_back({QStringLiteral("kjks_zhangjie"), KeyKind::ChapterCode, {text("mc")}});
    Table question{QStringLiteral("kjks_tigan"),
                   KeyKind::Integer,
                   {text("tixing"), text("timian"), repeated("option"), repeated("option_withdrawn"), text("daan"),
                    text("jiexi"), integer("zhang"), integer("jie"), text("tmimage"), text("timian2"),
                    integer("zongtimian"), text("shijuan"), integer("flag_state"), text("timian_stored"),
                    text("jiexi_stored"), repeated("option_stored"), repeated("option_withdrawn_stored")}};
    for (const Column &c : progressColumns())
        question.columns.push_back(c);
    t.push_back(question);
    Table stem{QStringLiteral("zongtigan"),
               KeyKind::Integer,
               {text("zongtimian"), text("jiexi"), text("daan"), integer("zhang"), integer("jie"), text("tmimage"),
                text("timian2"), text("shijuan"), integer("flag_state"), text("zongtimian_stored"),
                text("jiexi_stored")}};
    for (const Column &c : progressColumns())
        stem.columns.push_back(c);
    t.push_back(stem);
    t.push_back({QStringLiteral("kjks_SJML"),
                 KeyKind::Integer,
                 {text("DTKSSJ"), text("JJSJ"), number("DEFEN"), number("DanDeFen"), number("DuoDeFen"),
                  number("PanDeFen"), number("AnLiDeFen"), integer("flag_state")}});
    t.push_back({QStringLiteral("shijuan"),
                 KeyKind::Integer,
                 {integer("sjID"), integer("xth"), text("tixing"), integer("tigan_id"), text("daan"), text("KSDA"),
                  number("defen"), text("kaolv")}});
    return t;
}

// Would the plain form read back exactly this value?
bool plainReadsBack(const QString &value) {
    if (value.isEmpty()) return true;
    const QList<QStringView> lines = QStringView(value).split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringView line = lines[i];
        if (line.isEmpty() || IsBlank(line.front()) || IsBlank(line.back())) return false;
        if (i > 0 && line.front() == QLatin1Char('#')) return false;  // would be a comment
        if (i == 0 && line.front() == QLatin1Char(':')) return false; // would mark an escaped value
        if (FirstControlCharacter(line) >= 0) return false;
        for (qsizetype k = 0; k < line.size(); ++k) {
            const QChar c = line[k];
            if (c.isHighSurrogate() && k + 1 < line.size() && line[k + 1].isLowSurrogate()) {
                ++k;
                continue;
            }
            if (c.isSurrogate() || c.unicode() == 0xFEFF) return false;
        }
    }
    return true;
}

QString escaped(const QString &value) {
    QString out = QStringLiteral("\"");
    for (qsizetype k = 0; k < value.size(); ++k) {
        const QChar c = value[k];
        const bool pair = c.isHighSurrogate() && k + 1 < value.size() && value[k + 1].isLowSurrogate();
        if (pair) {
            out += c;
            out += value[++k];
        } else if (c == QLatin1Char('\\') || c == QLatin1Char('"')) {
            out += QLatin1Char('\\');
            out += c;
        } else if (c == QLatin1Char('\n')) {
            out += QStringLiteral("\\n");
        } else if (c == QLatin1Char('\r')) {
            out += QStringLiteral("\\r");
        } else if (c == QLatin1Char('\t')) {
            out += QStringLiteral("\\t");
        } else if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.isSurrogate() || c.unicode() == 0xFEFF) {
            out +=
                QStringLiteral("\\u") + QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    return out + QLatin1Char('"');
}

int hexValue(QChar c) {
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

} // namespace

const std::vector<Table> &Tables() {
    static const std::vector<Table> tables = makeTables();
    return tables;
}

const Table *FindTable(QStringView name) {
    for (const Table &t : Tables())
        if (name.compare(t.name, Qt::CaseInsensitive) == 0) return &t;
    return nullptr;
}

const Column *FindColumn(const Table &table, QStringView name) {
    for (const Column &c : table.columns)
        if (name.compare(c.name, Qt::CaseInsensitive) == 0) return &c;
    return nullptr;
}

QStringView TrimBlanks(QStringView text) {
    qsizetype b = 0, e = text.size();
    while (b < e && IsBlank(text[b]))
        ++b;
    while (e > b && IsBlank(text[e - 1]))
        --e;
    return text.mid(b, e - b);
}

bool IsControlCharacter(QChar c) {
    return c.unicode() < 0x20 || c.unicode() == 0x7F;
}

qsizetype FirstControlCharacter(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i)
        if (IsControlCharacter(text[i]) && text[i] != QLatin1Char('\t')) return i;
    return -1;
}

bool UnescapeValue(QStringView quoted, QString *value, QString *error) {
    if (quoted.size() < 2 || quoted.front() != QLatin1Char('"') || quoted.back() != QLatin1Char('"')) {
        *error = QStringLiteral("转义形式的值（“::”之后）要写在一对英文双引号之间");
        return false;
    }
    const QStringView body = quoted.mid(1, quoted.size() - 2);
    QString out = EmptyText();
    out.reserve(body.size());
    for (qsizetype i = 0; i < body.size(); ++i) {
        const QChar c = body[i];
        if (c != QLatin1Char('\\')) {
            if (IsControlCharacter(c) && c != QLatin1Char('\t')) {
                *error = QStringLiteral("值中有控制字符 U+%1：删去它")
                             .arg(QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0')));
                return false;
            }
            out += c;
            continue;
        }
        if (++i >= body.size()) {
            *error = QStringLiteral("转义形式的值以单独的反斜杠结尾：反斜杠本身写作 \\\\");
            return false;
        }
        switch (body[i].unicode()) {
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case '\\':
            out += QLatin1Char('\\');
            break;
        case '"':
            out += QLatin1Char('"');
            break;
        case 'u': {
            int code = 0;
            for (int k = 1; k <= 4; ++k) {
                const int d = i + k < body.size() ? hexValue(body[i + k]) : -1;
                if (d < 0) {
                    *error = QStringLiteral("\\u 后面要跟四个十六进制数字");
                    return false;
                }
                code = code * 16 + d;
            }
            const QChar decoded = QChar(ushort(code));
            if (IsControlCharacter(decoded)) {
                *error = QStringLiteral("\\u%1 是控制字符：换行、回车、制表符写作 \\n \\r \\t，其他控制字符不能写入")
                             .arg(body.mid(i + 1, 4));
                return false;
            }
            out += decoded;
            i += 4;
            break;
        }
        default:
            *error = QStringLiteral("未知的转义 \\%1（可用：\\n \\r \\t \\\\ \\\" \\uXXXX）").arg(body[i]);
            return false;
        }
    }
    for (qsizetype k = 0; k < out.size(); ++k) {
        if (out[k].isHighSurrogate() && k + 1 < out.size() && out[k + 1].isLowSurrogate()) {
            ++k;
            continue;
        }
        if (out[k].isSurrogate()) {
            *error =
                QStringLiteral("\\u%1 是半个代理对，不是一个字符").arg(QString::number(out[k].unicode(), 16).toUpper());
            return false;
        }
    }
    *value = out;
    return true;
}

QString FormatValue(const QString &column, const QString &value) {
    if (!plainReadsBack(value)) return column + QStringLiteral(":: ") + escaped(value) + QLatin1Char('\n');
    if (value.isEmpty()) return column + QStringLiteral(":\n");
    QString out = column + QStringLiteral(": ");
    const QList<QStringView> lines = QStringView(value).split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0) out += QStringLiteral("  ");
        out += lines[i];
        out += QLatin1Char('\n');
    }
    return out;
}

QString EmptyText() {
    return QString::fromUtf8("", 0);
}

} // namespace banksource
