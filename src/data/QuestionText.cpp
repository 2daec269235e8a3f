#include "QuestionText.h"

#include "Gbk.h"
#include "SqlError.h"

#include <cstring>
#include <memory>
#include <openssl/evp.h>
#include <vector>

namespace {

// The password "903417" copied into a zero-filled 16-byte key.
const unsigned char kKey[16] = {'9', '0', '3', '4', '1', '7', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// Fetching the cipher and expanding the key cost more than deciphering one text, so both happen
// once per direction for the process. ECB without padding carries no state between calls.
class Cipher {
public:
    explicit Cipher(bool decrypt) : m_ctx(EVP_CIPHER_CTX_new()), m_decrypt(decrypt) {
        if (!m_ctx || EVP_CipherInit_ex(m_ctx, EVP_aes_128_ecb(), nullptr, kKey, nullptr, decrypt ? 0 : 1) != 1 ||
            EVP_CIPHER_CTX_set_padding(m_ctx, 0) != 1)
            throw KjksError(QStringLiteral("AES-128 is not available"));
    }
    ~Cipher() { EVP_CIPHER_CTX_free(m_ctx); }
    Cipher(const Cipher &) = delete;
    Cipher &operator=(const Cipher &) = delete;

    QByteArray run(const QByteArray &in) {
        QByteArray out(in.size(), Qt::Uninitialized);
        out.resize(run(in.constData(), int(in.size()), out.data()));
        return out;
    }
    // Deciphers or enciphers `size` bytes into `out` (room for as many); returns the bytes written.
    int run(const char *in, int size, char *out) {
        int outLen = 0;
        if (size > 0 && EVP_CipherUpdate(m_ctx, reinterpret_cast<unsigned char *>(out), &outLen,
                                         reinterpret_cast<const unsigned char *>(in), size) != 1)
            throw TextDecodeError(m_decrypt ? QStringLiteral("decryption failed")
                                            : QStringLiteral("encryption failed"));
        return outLen;
    }

private:
    EVP_CIPHER_CTX *m_ctx;
    bool m_decrypt;
};

// Value of each ASCII hex digit; every other character has a high bit set.
constexpr unsigned char kNoDigit = 0xFF;
struct HexTable {
    unsigned char value[128];
    constexpr HexTable() : value() {
        for (int i = 0; i < 128; ++i)
            value[i] = kNoDigit;
        for (int i = 0; i < 10; ++i)
            value['0' + i] = static_cast<unsigned char>(i);
        for (int i = 0; i < 6; ++i)
            value['a' + i] = value['A' + i] = static_cast<unsigned char>(10 + i);
    }
};
constexpr HexTable kHex;

inline unsigned hexDigit(char16_t c) {
    return c < 128 ? kHex.value[c] : kNoDigit;
}

Cipher &decipher() {
    static Cipher c(true);
    return c;
}

} // namespace

namespace {

// Reads the hexadecimal pairs of `stored` into `out` (room for half its length) and returns how many
// bytes it read: every pair is read without a test of its own (a character that is no digit only
// leaves its mark), and only a marked text is read again to stop before its first such character.
qsizetype readHex(const QString &stored, char *out) {
    const qsizetype pairs = stored.size() / 2;
    const char16_t *p = reinterpret_cast<const char16_t *>(stored.constData());
    unsigned marks = 0;
    for (qsizetype n = 0; n < pairs; ++n) {
        const unsigned hi = hexDigit(p[2 * n]);
        const unsigned lo = hexDigit(p[2 * n + 1]);
        marks |= hi | lo;
        out[n] = char(hi << 4 | lo);
    }
    if (marks <= 0xF) return pairs;
    qsizetype n = 0;
    while (n < pairs && (hexDigit(p[2 * n]) | hexDigit(p[2 * n + 1])) <= 0xF)
        ++n;
    return n;
}

} // namespace

QByteArray HexToBytes(const QString &stored) {
    QByteArray bytes(stored.size() / 2, Qt::Uninitialized);
    bytes.truncate(readHex(stored, bytes.data()));
    return bytes;
}

QByteArray DecryptBlocks(const QByteArray &cipher) {
    return decipher().run(cipher);
}

QString DecodeQuestionText(const QString &stored) {
    // Read and deciphered in one buffer kept for the thread: this runs for every question and
    // option shown, and only the text it makes needs memory of its own.
    thread_local std::vector<char> buffer;
    if (buffer.size() < size_t(stored.size() / 2)) buffer.resize(size_t(stored.size() / 2));
    const qsizetype size = readHex(stored, buffer.data());
    if (size == 0) return QString();
    if (size < 8) throw TextDecodeError(QStringLiteral("Stream read error"));
    const int n = int(size) - 8;
    if (n == 0) return QString();
    if (n % 16 != 0) throw TextDecodeError(QStringLiteral("Invalid buffer size for decryption"));
    char *plain = buffer.data() + 8;
    decipher().run(plain, n, plain);
    const char *zero = static_cast<const char *>(std::memchr(plain, 0, size_t(n)));
    return GbkToUnicode(plain, zero ? qsizetype(zero - plain) : n);
}

QString EncodeQuestionText(const QString &plain, bool *ok) {
    static Cipher encipher(false);
    QByteArray gbk = UnicodeToGbk(plain, ok);
    const qint64 length = gbk.size();
    QByteArray bytes(8, '\0');
    for (int i = 0; i < 8; ++i)
        bytes[i] = char((length >> (8 * i)) & 0xFF);
    if (gbk.size() % 16 != 0) gbk.append(QByteArray(16 - gbk.size() % 16, '\0'));
    bytes += encipher.run(gbk);
    return QString::fromLatin1(bytes.toHex().toUpper());
}
