#include "QuestionText.h"
#include "Gbk.h"
#include "SqlError.h"

#include <gtest/gtest.h>
#include <iconv.h>

namespace {

const QString kKuaiji = QStringLiteral("0400000000000000D249E9C84CE70E9497B24CB17087C80E");  // "会计"
const QString kSixteen = QStringLiteral("10000000000000003B618E7D5C3EC36A426CDE2EB53B3645"); // "0123456789abcdef"

QString decodeError(const QString &stored) {
    try {
        DecodeQuestionText(stored);
    } catch (const KjksError &e) {
        return e.message();
    }
    return QStringLiteral("<no error>");
}

TEST(QuestionText, DecodesStoredValues) {
    struct Case {
        QString stored;
        QString plain;
    } cases[] = {
        {QString(), QString()},
        {QStringLiteral("0000000000000000"), QString()},
        {kKuaiji, QStringLiteral("会计")},
        {kKuaiji.toLower(), QStringLiteral("会计")},
        {kSixteen, QStringLiteral("0123456789abcdef")},
        // Decoding stops at the first non-hex character; what follows is ignored.
        {kKuaiji + QStringLiteral("zz00"), QStringLiteral("会计")},
        // An odd trailing digit is not a byte.
        {kKuaiji + QStringLiteral("7"), QStringLiteral("会计")},
        // Plain words decode to no bytes at all.
        {QStringLiteral("会计"), QString()},
    };
    for (const Case &c : cases)
        EXPECT_EQ(DecodeQuestionText(c.stored), c.plain) << qPrintable(c.stored);
}

TEST(QuestionText, RejectsMalformedValues) {
    struct Case {
        QString stored;
        QString error;
    } cases[] = {
        {QStringLiteral("00"), QStringLiteral("Stream read error")},
        {QStringLiteral("01020304050607"), QStringLiteral("Stream read error")},
        {QStringLiteral("0400000000000000") + QString(40, QLatin1Char('0')),
         QStringLiteral("Invalid buffer size for decryption")},
        {kKuaiji.left(kKuaiji.size() - 2), QStringLiteral("Invalid buffer size for decryption")},
        {QStringLiteral("0400000000000000") + QStringLiteral("AB"),
         QStringLiteral("Invalid buffer size for decryption")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(decodeError(c.stored), c.error) << qPrintable(c.stored);
}

// The hexadecimal is read up to its first character that is no digit (of either case), and a last
// digit without its pair is dropped.
TEST(QuestionText, HexadecimalStopsAtTheFirstCharacterThatIsNoDigit) {
    struct Case {
        QString stored;
        QByteArray bytes;
    } cases[] = {
        {QStringLiteral("0aF1"), QByteArray("\x0a\xf1")},
        {QStringLiteral("0aF1b"), QByteArray("\x0a\xf1")},
        {QStringLiteral("0a G1"), QByteArray("\x0a")},
        {QStringLiteral("0aF1g1"), QByteArray("\x0a\xf1")},
        {QStringLiteral("0a1会2b"), QByteArray("\x0a")},
        {QStringLiteral("0a") + QChar(u'\x0131') + QStringLiteral("1"), QByteArray("\x0a")},
        {QStringLiteral("x0"), QByteArray()},
        {QString(), QByteArray()},
    };
    for (const Case &c : cases)
        EXPECT_EQ(HexToBytes(c.stored), c.bytes) << qPrintable(c.stored);
}

TEST(QuestionText, EncodesExactlyTheStoredForm) {
    EXPECT_EQ(EncodeQuestionText(QStringLiteral("会计")), kKuaiji);
    // A multiple of 16 gets no padding block; the empty text is the length field alone.
    EXPECT_EQ(EncodeQuestionText(QStringLiteral("0123456789abcdef")), kSixteen);
    EXPECT_EQ(EncodeQuestionText(QString()), QStringLiteral("0000000000000000"));
    // 17 bytes: length 0x11 and two blocks.
    const QString seventeen = EncodeQuestionText(QString(17, QLatin1Char('x')));
    EXPECT_EQ(seventeen.left(16), QStringLiteral("1100000000000000"));
    EXPECT_EQ(seventeen.size(), 16 + 64);

    bool ok = true;
    EncodeQuestionText(QStringLiteral("€ 😀"), &ok);
    EXPECT_FALSE(ok);
}

TEST(QuestionText, RoundTripsChineseTextOfAnyLength) {
    QString text;
    for (int n = 0; n < 70; ++n) {
        EXPECT_EQ(DecodeQuestionText(EncodeQuestionText(text)), text) << n;
        text += (n % 3 == 0) ? QStringLiteral("借") : (n % 3 == 1) ? QStringLiteral("A") : QStringLiteral("（　）");
    }
}

TEST(QuestionText, InvalidGbkBytesNeverFail) {
    // A lead byte with no trail byte and bytes GBK never uses all come out as replacement characters.
    const QByteArray bytes[] = {QByteArray("\xB0", 1), QByteArray("a\xFFz"), QByteArray("\xFF\xFF"),
                                QByteArray("\xBB\xE1\xBC")};
    for (const QByteArray &b : bytes) {
        const QString s = GbkToUnicode(b);
        EXPECT_TRUE(s.contains(QChar(0xFFFD))) << b.toHex().constData();
    }
    EXPECT_EQ(GbkToUnicode(QByteArray("\xBB\xE1\xBC\xC6")), QStringLiteral("会计"));
}

// The decoder's table against glibc's own GBK converter, code by code: every pair of bytes iconv
// converts gives the same characters, every other one starts with a replacement character.
TEST(QuestionText, GbkDecodingAgreesWithIconvOnTheWholeCodePage) {
    iconv_t cd = iconv_open("UTF-16LE", "GBK");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    int defined = 0;
    for (int lead = 0x80; lead <= 0xFF; ++lead)
        for (int trail = 0x30; trail <= 0xFF; ++trail) {
            // 0x80 and 0xFF stand alone: tried once each, with an ASCII byte after them.
            if ((lead == 0x80 || lead == 0xFF) && trail != 0x30) continue;
            char in[2] = {char(lead), char(trail)};
            char16_t out[4] = {};
            char *ip = in, *op = reinterpret_cast<char *>(out);
            size_t inLeft = 2, outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            const bool ok = iconv(cd, &ip, &inLeft, &op, &outLeft) != size_t(-1) && inLeft == 0;
            const QString decoded = GbkToUnicode(QByteArray(in, 2));
            if (ok) {
                ++defined;
                EXPECT_EQ(decoded, QString::fromUtf16(out, qsizetype(sizeof out - outLeft) / 2))
                    << std::hex << lead << ' ' << trail;
            } else {
                EXPECT_EQ(decoded.at(0), QChar(0xFFFD)) << std::hex << lead << ' ' << trail;
            }
        }
    iconv_close(cd);
    EXPECT_GT(defined, 20000);
}

TEST(QuestionText, FuzzedStoredValuesNeverCrash) {
    quint32 state = 7;
    auto rnd = [&] { return state = state * 1664525u + 1013904223u; };
    const QString alphabet = QStringLiteral("0123456789abcdefABCDEF g会\x01");
    int errors = 0;
    int texts = 0;
    for (int i = 0; i < 3000; ++i) {
        QString s;
        const int len = int(rnd() % 120);
        for (int k = 0; k < len; ++k)
            s += alphabet.at(int(rnd() % alphabet.size()));
        if (i % 3 == 0) s = QStringLiteral("0000000000000000") + s; // past the length field
        // Either a text or one of the two reading errors; the same value always gives the same outcome.
        auto outcome = [&]() -> QString {
            try {
                return QStringLiteral("text:") + DecodeQuestionText(s);
            } catch (const KjksError &e) {
                return QStringLiteral("error:") + e.message();
            }
        };
        const QString first = outcome();
        if (first.startsWith(QStringLiteral("error:"))) {
            ++errors;
            EXPECT_TRUE(first == QStringLiteral("error:Stream read error") ||
                        first == QStringLiteral("error:Invalid buffer size for decryption"))
                << s.toStdString() << " -> " << first.toStdString();
        } else {
            ++texts;
        }
        EXPECT_EQ(outcome(), first) << s.toStdString();
    }
    // The inputs reach both outcomes, so the loop checks something on each side.
    EXPECT_GT(errors, 0);
    EXPECT_GT(texts, 0);
}

TEST(Gbk, LeftBytesNeverSplitsACharacter) {
    EXPECT_EQ(LeftGbkBytes(QStringLiteral("会计ab"), 3), QStringLiteral("会"));
    EXPECT_EQ(LeftGbkBytes(QStringLiteral("会计ab"), 5), QStringLiteral("会计a"));
    EXPECT_EQ(LeftGbkBytes(QStringLiteral("ab"), 50), QStringLiteral("ab"));
    EXPECT_EQ(UnicodeToGbk(LeftGbkBytes(QString(40, QChar(0x4F1A)), 50)).size(), 50);
}

} // namespace
