// DecodeQuestionText over typical stored question texts, against a floor that shares none of the
// program's code: the same stored texts read by a hexadecimal reader of its own into one reused
// buffer and deciphered there by bare EVP aes-128-ecb (one context keyed once). The ratio is what
// the GBK conversion, the Qt strings and any slack in the program's own steps cost on top of the
// work every decoder of this format has to do. The pieces of the decoding are measured alone as
// well, the program's hexadecimal step against the floor's.

#include "BankSynth.h"
#include "Gbk.h"
#include "QuestionText.h"
#include "RatioReporter.h"

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kTexts = 10000;

struct Corpus {
    std::vector<QString> stored;    // as the bank holds them
    std::vector<QByteArray> cipher; // the same texts' AES blocks, hexadecimal and length field removed
    std::vector<QByteArray> gbk;    // the same texts' deciphered GBK bytes
    qint64 cipherBytes = 0;
};

// Question texts of 50 to 300 Chinese characters (those of a synthetic bank), stored as the bank
// stores them.
const Corpus &corpus() {
    static const Corpus c = [] {
        Corpus c;
        const BankModel bank = SyntheticBank(kTexts, 1);
        for (const BankQuestion &q : bank.questions) {
            c.stored.push_back(EncodeQuestionText(q.timian));
            c.cipher.push_back(HexToBytes(c.stored.back()).mid(8));
            c.gbk.push_back(UnicodeToGbk(q.timian));
            c.cipherBytes += c.cipher.back().size();
        }
        return c;
    }();
    return c;
}

// The floor's hexadecimal reader: a table of 256 entries per digit, no check beyond the table's
// mark for a non-digit, written for this benchmark alone.
struct FloorHex {
    unsigned char value[256];
    FloorHex() {
        std::memset(value, 0xFF, sizeof value);
        for (int i = 0; i < 10; ++i)
            value['0' + i] = static_cast<unsigned char>(i);
        for (int i = 0; i < 6; ++i)
            value['A' + i] = value['a' + i] = static_cast<unsigned char>(10 + i);
    }
    // Reads the digits of `text` into `out` (room for half its length); the bytes read.
    size_t read(const QString &text, unsigned char *out) const {
        const char16_t *p = reinterpret_cast<const char16_t *>(text.constData());
        const size_t n = size_t(text.size()) / 2;
        unsigned bad = 0;
        for (size_t i = 0; i < n; ++i) {
            const char16_t a = p[2 * i], b = p[2 * i + 1];
            const unsigned hi = a < 256 ? value[a] : 0xFF, lo = b < 256 ? value[b] : 0xFF;
            bad |= hi | lo;
            out[i] = static_cast<unsigned char>(hi << 4 | lo);
        }
        return bad & 0xF0 ? 0 : n;
    }
};

void perCorpus(benchmark::State &state) {
    state.SetItemsProcessed(state.iterations() * kTexts);
    state.SetBytesProcessed(state.iterations() * corpus().cipherBytes);
}

void BM_DecodeQuestionText(benchmark::State &state) {
    const Corpus &c = corpus();
    for (auto _ : state)
        for (const QString &s : c.stored)
            benchmark::DoNotOptimize(DecodeQuestionText(s));
    perCorpus(state);
}
BENCHMARK(BM_DecodeQuestionText)->Unit(benchmark::kMillisecond);

// The floor: the floor's hexadecimal reader, then the blocks after the length field deciphered in
// place.
void BM_Floor_HexAndEvp(benchmark::State &state) {
    const Corpus &c = corpus();
    const FloorHex hex;
    const unsigned char key[16] = {'9', '0', '3', '4', '1', '7'};
    EVP_CIPHER_CTX *ctx = EVP_CIPHER_CTX_new();
    EVP_DecryptInit_ex(ctx, EVP_aes_128_ecb(), nullptr, key, nullptr);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    std::vector<unsigned char> buffer(8192);
    for (auto _ : state)
        for (const QString &s : c.stored) {
            if (buffer.size() < size_t(s.size()) / 2) buffer.resize(size_t(s.size()) / 2);
            const size_t n = hex.read(s, buffer.data());
            int len = 0;
            if (n > 8) EVP_DecryptUpdate(ctx, buffer.data() + 8, &len, buffer.data() + 8, int(n - 8));
            benchmark::DoNotOptimize(buffer.data());
            benchmark::DoNotOptimize(len);
        }
    EVP_CIPHER_CTX_free(ctx);
    perCorpus(state);
}
BENCHMARK(BM_Floor_HexAndEvp)->Unit(benchmark::kMillisecond);

// The floor's hexadecimal step alone.
void BM_Floor_Hex(benchmark::State &state) {
    const Corpus &c = corpus();
    const FloorHex hex;
    std::vector<unsigned char> buffer(8192);
    for (auto _ : state)
        for (const QString &s : c.stored) {
            if (buffer.size() < size_t(s.size()) / 2) buffer.resize(size_t(s.size()) / 2);
            benchmark::DoNotOptimize(hex.read(s, buffer.data()));
            benchmark::DoNotOptimize(buffer.data());
        }
    perCorpus(state);
}
BENCHMARK(BM_Floor_Hex)->Unit(benchmark::kMillisecond);

void BM_BareEvpDecrypt(benchmark::State &state) {
    const Corpus &c = corpus();
    const unsigned char key[16] = {'9', '0', '3', '4', '1', '7'};
    EVP_CIPHER_CTX *ctx = EVP_CIPHER_CTX_new();
    EVP_DecryptInit_ex(ctx, EVP_aes_128_ecb(), nullptr, key, nullptr);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    std::vector<unsigned char> out(4096);
    for (auto _ : state)
        for (const QByteArray &b : c.cipher) {
            if (out.size() < size_t(b.size())) out.resize(size_t(b.size()));
            int len = 0;
            EVP_DecryptUpdate(ctx, out.data(), &len, reinterpret_cast<const unsigned char *>(b.constData()),
                              int(b.size()));
            benchmark::DoNotOptimize(out.data());
            benchmark::DoNotOptimize(len);
        }
    EVP_CIPHER_CTX_free(ctx);
    perCorpus(state);
}
BENCHMARK(BM_BareEvpDecrypt)->Unit(benchmark::kMillisecond);

// The three steps of DecodeQuestionText on their own.
void BM_Step1_HexToBytes(benchmark::State &state) {
    const Corpus &c = corpus();
    for (auto _ : state)
        for (const QString &s : c.stored)
            benchmark::DoNotOptimize(HexToBytes(s));
    perCorpus(state);
}
BENCHMARK(BM_Step1_HexToBytes)->Unit(benchmark::kMillisecond);

void BM_Step2_DecryptBlocks(benchmark::State &state) {
    const Corpus &c = corpus();
    for (auto _ : state)
        for (const QByteArray &b : c.cipher)
            benchmark::DoNotOptimize(DecryptBlocks(b));
    perCorpus(state);
}
BENCHMARK(BM_Step2_DecryptBlocks)->Unit(benchmark::kMillisecond);

void BM_Step3_GbkToUnicode(benchmark::State &state) {
    const Corpus &c = corpus();
    for (auto _ : state)
        for (const QByteArray &b : c.gbk)
            benchmark::DoNotOptimize(GbkToUnicode(b));
    perCorpus(state);
}
BENCHMARK(BM_Step3_GbkToUnicode)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    // Colours only on a terminal, so that a saved report stays plain text.
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto decode = reporter.time("BM_DecodeQuestionText");
    const auto floor = reporter.time("BM_Floor_HexAndEvp");
    const auto evp = reporter.time("BM_BareEvpDecrypt");
    const Corpus &c = corpus();
    std::printf("\n%d stored texts, %.1f cipher bytes each on average\n", kTexts, double(c.cipherBytes) / kTexts);
    // CPU time is the steadier figure on a shared machine; both are shown.
    if (decode.second > 0 && floor.second > 0)
        std::printf("DecodeQuestionText / floor (own hexadecimal reader + bare EVP): %.2f by CPU time (%.3f ms "
                    "against %.3f ms per %d texts), %.2f by real time\n",
                    decode.second / floor.second, decode.second, floor.second, kTexts, decode.first / floor.first);
    if (decode.second > 0 && evp.second > 0)
        std::printf("DecodeQuestionText / bare EVP alone: %.2f by CPU time (%.3f ms against %.3f ms)\n",
                    decode.second / evp.second, decode.second, evp.second);
    const auto hex = reporter.time("BM_Step1_HexToBytes");
    const auto floorHex = reporter.time("BM_Floor_Hex");
    if (hex.second > 0 && floorHex.second > 0)
        std::printf("HexToBytes / the floor's hexadecimal reader: %.2f by CPU time (%.3f ms against %.3f ms), %.2f "
                    "by real time\n",
                    hex.second / floorHex.second, hex.second, floorHex.second, hex.first / floorHex.first);
    benchmark::Shutdown();
    return 0;
}
