// DecodeQuestionText over typical stored question texts, against bare EVP aes-128-ecb decryption of
// the same cipher bytes with one context keyed once: the ratio is what the hexadecimal form, the
// GBK conversion and the Qt strings cost on top of the cipher itself. The pieces of the decoding
// are measured alone as well, to show where the difference goes.

#include "BankSynth.h"
#include "Gbk.h"
#include "QuestionText.h"
#include "RatioReporter.h"

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstdio>
#include <map>
#include <string>
#include <unistd.h>
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
    RatioReporter reporter(isatty(fileno(stdout)) ? benchmark::ConsoleReporter::OO_ColorTabular
                                                  : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto decode = reporter.time("BM_DecodeQuestionText");
    const auto evp = reporter.time("BM_BareEvpDecrypt");
    if (decode.first > 0 && evp.first > 0 && evp.second > 0) {
        const Corpus &c = corpus();
        std::printf("\n%d stored texts, %.1f cipher bytes each on average\n", kTexts, double(c.cipherBytes) / kTexts);
        // CPU time is the steadier figure on a shared machine; both are shown.
        std::printf(
            "DecodeQuestionText / bare EVP aes-128-ecb: %.1f by CPU time (%.3f ms against %.3f ms per %d texts), "
            "%.1f by real time\n",
            decode.second / evp.second, decode.second, evp.second, kTexts, decode.first / evp.first);
        // The floor of any decoder: the hexadecimal has to be read and the blocks deciphered.
        const auto hex = reporter.time("BM_Step1_HexToBytes");
        if (hex.second > 0)
            std::printf("DecodeQuestionText / (hexadecimal to bytes + bare EVP): %.2f by CPU time (%.3f ms against "
                        "%.3f + %.3f ms), %.2f by real time\n",
                        decode.second / (hex.second + evp.second), decode.second, hex.second, evp.second,
                        decode.first / (hex.first + evp.first));
    }
    benchmark::Shutdown();
    return 0;
}
