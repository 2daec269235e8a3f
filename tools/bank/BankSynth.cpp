#include "BankSynth.h"

#include "BankRules.h"

#include <QStringList>
#include <algorithm>
#include <memory>
#include <random>
#include <vector>

namespace {

// A 40x20 JPEG, so that some questions carry a picture without an image writer at hand.
const char kPicture[] =
    "\xff\xd8\xff\xe0\x00\x10\x4a\x46\x49\x46\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00\xff\xdb\x00\x43"
    "\x00\x0d\x09\x0a\x0b\x0a\x08\x0d\x0b\x0a\x0b\x0e\x0e\x0d\x0f\x13\x20\x15\x13\x12\x12\x13\x27\x1c"
    "\x1e\x17\x20\x2e\x29\x31\x30\x2e\x29\x2d\x2c\x33\x3a\x4a\x3e\x33\x36\x46\x37\x2c\x2d\x40\x57\x41"
    "\x46\x4c\x4e\x52\x53\x52\x32\x3e\x5a\x61\x5a\x50\x60\x4a\x51\x52\x4f\xff\xdb\x00\x43\x01\x0e\x0e"
    "\x0e\x13\x11\x13\x26\x15\x15\x26\x4f\x35\x2d\x35\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f"
    "\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f"
    "\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f\x4f\xff\xc0\x00\x11\x08\x00\x14\x00\x28\x03"
    "\x01\x22\x00\x02\x11\x01\x03\x11\x01\xff\xc4\x00\x15\x00\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x05\xff\xc4\x00\x14\x10\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\xff\xc4\x00\x16\x01\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x05\x06\xff\xc4\x00\x14\x11\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\xff\xda\x00\x0c\x03\x01\x00\x02\x11\x03\x11\x00\x3f\x00\x9a\x03\x44\x98\x00\x00"
    "\x00\x00\x00\x00\x00\x0f\xff\xd9";

const char *const kWords[] = {
    "企业",       "会计",         "资产",         "负债",     "所有者权益",   "收入",           "费用",
    "利润",       "银行存款",     "库存现金",     "应收账款", "预付账款",     "存货",           "原材料",
    "库存商品",   "固定资产",     "无形资产",     "累计折旧", "长期股权投资", "交易性金融资产", "短期借款",
    "应付账款",   "应付职工薪酬", "应交税费",     "增值税",   "实收资本",     "资本公积",       "盈余公积",
    "未分配利润", "主营业务收入", "主营业务成本", "管理费用", "销售费用",     "财务费用",       "营业外收入",
    "营业外支出", "所得税费用",   "资产负债表",   "利润表",   "现金流量表",   "会计分录",       "借方",
    "贷方",       "账户",         "原始凭证",     "记账凭证", "会计账簿",     "财产清查",       "权责发生制",
    "历史成本",   "公允价值",     "可变现净值",   "计提",     "摊销",         "确认",           "计量",
    "结转",       "核算",         "甲公司",       "乙公司",   "2025年",       "12月31日",       "10万元",
    "下列各项中", "关于",         "不正确的是",   "正确的是", "应当",         "按照",           "期末",
    "本月",       "发生",         "取得",         "支付",
};
constexpr int kWordCount = int(sizeof kWords / sizeof kWords[0]);

// mt19937 is fixed by the standard, and only its raw output is used: the same seed gives the same
// bank with every standard library.
class Random {
public:
    explicit Random(quint32 seed) : m_engine(seed) {}
    int below(int n) { return n <= 1 ? 0 : int(m_engine() % quint32(n)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool chance(int percent) { return below(100) < percent; }

    // Chinese text of about `length` characters made of accounting words.
    QString text(int length) {
        QString out;
        while (out.size() < length) {
            out += word(below(kWordCount));
            const int r = below(8);
            if (r == 0)
                out += QStringLiteral("，");
            else if (r == 1)
                out += QStringLiteral("的");
        }
        out.truncate(length);
        return out;
    }

    static const QString &word(int i) {
        static const std::vector<QString> words = [] {
            std::vector<QString> w;
            for (const char *k : kWords)
                w.push_back(QString::fromUtf8(k));
            return w;
        }();
        return words[size_t(i)];
    }

private:
    std::mt19937 m_engine;
};

enum class Kind { Single, Multiple, Judgement, Operation, Sub };

// Forty rows: one of each kind first (so that small banks hold all five), then the common mix.
Kind kindAt(int i) {
    static const Kind head[] = {Kind::Single, Kind::Multiple, Kind::Judgement, Kind::Operation, Kind::Sub,
                                Kind::Sub,    Kind::Sub,      Kind::Sub,       Kind::Sub};
    const int p = i % 40;
    if (p < 9) return head[p];
    if (p < 24) return Kind::Single;
    if (p < 33) return Kind::Multiple;
    return Kind::Judgement;
}

QString letters(Random &r, int options, int low, int high) {
    std::vector<int> all(static_cast<size_t>(options));
    for (int i = 0; i < options; ++i)
        all[size_t(i)] = i;
    const int take = std::min(options, r.between(low, high));
    for (int i = 0; i < take; ++i)
        std::swap(all[size_t(i)], all[size_t(i + r.below(options - i))]);
    std::sort(all.begin(), all.begin() + take);
    QString out;
    for (int i = 0; i < take; ++i)
        out += QChar(u'A' + all[size_t(i)]);
    return out;
}

const int kChapters = 8;
int sectionsOf(int chapter) {
    return 4 + chapter % 3;
}

} // namespace

BankModel SyntheticBankRows(int questions, quint32 seed, BankRowVisitor &visitor) {
    BankModel m;
    Random r(seed);
    const QByteArray picture(kPicture, int(sizeof kPicture) - 1);

    m.options[QStringLiteral("APP_TITLE")] = QStringLiteral("初级会计实务 无纸化考试练习系统（合成题库）");
    m.options[QStringLiteral("APP_XINXI")] = QStringLiteral("合成题库，供性能测试使用");
    m.options[QStringLiteral("APP_LXFS")] = QStringLiteral("技术支持：support@example.com");
    m.options[QStringLiteral("APP_LJURL")] = QStringLiteral("https://www.example.com/kjks");
    m.options[QStringLiteral("AGADA_DOC")] = QStringLiteral("考试大纲.rtf");

    m.chapters.push_back({QStringLiteral("01"), QStringLiteral("初级会计实务")});
    std::vector<std::pair<int, int>> sections;
    for (int c = 1; c <= kChapters; ++c) {
        m.chapters.push_back({SectionCode(c, 0).left(4), QStringLiteral("第%1章 %2").arg(c).arg(r.text(6))});
        for (int s = 1; s <= sectionsOf(c); ++s) {
            m.chapters.push_back({SectionCode(c, s), QStringLiteral("第%1节 %2").arg(s).arg(r.text(8))});
            sections.emplace_back(c, s);
        }
    }
    visitor.head(m);

    const QString pool = banktypes::randomPool();
    int eligible[3] = {0, 0, 0}, stems = 0;
    // The case being filled: handed over, its answer from its sub-questions, once they are all there.
    std::unique_ptr<BankStem> stem;
    std::vector<SubQuestionFacts> subs;
    auto closeCase = [&] {
        if (!stem) return;
        stem->daan = StemAnswerOf(subs);
        visitor.stem(std::move(*stem));
        stem.reset();
        subs.clear();
    };
    for (int i = 0; i < questions; ++i) {
        Kind kind = kindAt(i);
        const bool caseStart = kind == Kind::Sub && i % 40 == 4;
        // A case needs all five sub-questions: a case cut short by the end of the bank becomes singles.
        if (kind == Kind::Sub && i - i % 40 + 9 > questions) kind = Kind::Single;
        if (kind != Kind::Sub || caseStart) closeCase();

        const auto [zhang, jie] = sections[size_t(i / 7 % int(sections.size()))];
        BankQuestion q;
        q.id = i + 1;
        q.zhang = zhang;
        q.jie = jie;
        q.timian = r.text(r.between(50, 300)) + QStringLiteral("（　）。");
        q.jiexi = r.text(r.between(40, 200)) + QStringLiteral("。");
        q.shijuan = i % 20 == 19 ? QStringLiteral("模拟一") : pool;
        q.flag_state = i % 50 == 49 ? 1 : 0;
        if (i % 97 == 0) q.tmimage = picture;
        auto addOptions = [&](int n) {
            for (int k = 0; k < n; ++k)
                q.options.push_back(BankOption{r.text(r.between(4, 30)), false});
        };
        switch (kind) {
        case Kind::Single:
            q.tixing = banktypes::single();
            addOptions(4);
            q.daan = letters(r, 4, 1, 1);
            break;
        case Kind::Multiple:
            q.tixing = banktypes::multiple();
            addOptions(r.between(4, 5));
            q.daan = letters(r, int(q.options.size()), 2, 4);
            break;
        case Kind::Judgement:
            q.tixing = banktypes::judgement();
            q.daan = r.chance(50) ? QStringLiteral("√") : QStringLiteral("×");
            break;
        case Kind::Operation:
            q.tixing = banktypes::operation();
            q.daan = QStringLiteral("借：%1 %2 贷：%3 %2")
                         .arg(Random::word(r.below(20)))
                         .arg(r.between(1, 999) * 100)
                         .arg(Random::word(r.below(20)));
            break;
        case Kind::Sub:
            if (!stem) {
                stem = std::make_unique<BankStem>();
                stem->id = ++stems;
                stem->zhang = zhang;
                stem->jie = jie;
                stem->zongtimian = r.text(r.between(150, 400)) + QStringLiteral("。");
                stem->jiexi = r.text(r.between(40, 120)) + QStringLiteral("。");
                stem->shijuan = pool;
            }
            q.tixing = banktypes::caseQuestion();
            q.zongtimian = QString::number(stem->id);
            q.zhang = stem->zhang;
            q.jie = stem->jie;
            q.shijuan = pool;
            q.flag_state = 0;
            addOptions(4);
            q.daan = letters(r, 4, 1, 3);
            subs.push_back(SubQuestionFacts{q.id, 4, q.daan, false});
            break;
        }
        if (kind != Kind::Sub && r.chance(30)) {
            q.progress.YDCS = QStringLiteral("1");
            q.progress.ZONGCS = r.between(1, 5);
            q.progress.ZQCS = r.between(0, q.progress.ZONGCS);
            q.progress.DDCS = r.chance(30) ? QStringLiteral("1") : QStringLiteral("0");
        }
        if (kind != Kind::Sub && r.chance(5)) q.progress.shoucang = QStringLiteral("1");
        const bool inPool = q.flag_state != 1 && q.shijuan == pool && !q.daan.isEmpty();
        if (inPool && kind <= Kind::Judgement) ++eligible[int(kind)];
        visitor.question(std::move(q));
    }
    closeCase();

    // Profile 1 as in the real examination, cut down to what a small bank can draw; a section it
    // cannot draw at all is left off the paper, points and all.
    auto drawable = [](int wanted, int rows) { return std::max(0, std::min(wanted, rows - 1)); };
    auto pointsFor = [](int count, const char *points) {
        return count > 0 ? QString::fromLatin1(points) : QStringLiteral("0");
    };
    const int singles = drawable(24, eligible[0]);
    const int multiples = drawable(12, eligible[1]);
    const int judgements = drawable(10, eligible[2]);
    const int cases = drawable(3, stems);
    BankProfile p;
    p.id = 1;
    p.columns = {{QStringLiteral("kjks_type_name"), QStringLiteral("初级会计实务")},
                 {QStringLiteral("danxuan"), banktypes::single()},
                 {QStringLiteral("danxuanti"), QString::number(singles)},
                 {QStringLiteral("danxuanfen"), pointsFor(singles, "48")},
                 {QStringLiteral("duoxuan"), banktypes::multiple()},
                 {QStringLiteral("duoxuanti"), QString::number(multiples)},
                 {QStringLiteral("duoxuanfen"), pointsFor(multiples, "24")},
                 {QStringLiteral("panduan"), banktypes::judgement()},
                 {QStringLiteral("panduanti"), QString::number(judgements)},
                 {QStringLiteral("panduanfen"), pointsFor(judgements, "10")},
                 {QStringLiteral("shicaotype"), banktypes::caseQuestion()},
                 {QStringLiteral("shicaoti"), QString::number(cases * 5)},
                 {QStringLiteral("shicaofen"), pointsFor(cases, "18")}};
    m.profiles.push_back(p);
    return m;
}

BankModel SyntheticBank(int questions, quint32 seed) {
    struct Collect : BankRowVisitor {
        BankModel rows;
        void question(BankQuestion &&q) override { rows.questions.push_back(std::move(q)); }
        void stem(BankStem &&s) override { rows.stems.push_back(std::move(s)); }
    } collect;
    collect.rows.questions.reserve(size_t(std::max(0, questions)));
    BankModel m = SyntheticBankRows(questions, seed, collect);
    m.questions = std::move(collect.rows.questions);
    m.stems = std::move(collect.rows.stems);
    return m;
}
