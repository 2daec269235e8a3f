#include "ToolHelp.h"

namespace {

const char kBuild[] = "kjks-bank build [--strict] SOURCE_DIR BANK\n"
                      "  读取题库源文件夹（bank.txt、questions/*.txt、pictures/、papers.txt，格式见\n"
                      "  docs/bank-format.md），加密题目文字，写出题库 BANK。每个问题写成 文件:行: 原因，\n"
                      "  按文件和行的顺序一次列出。程序能照常使用的（没有答案的题、不在章节目录中的节、\n"
                      "  小题不足的案例……）是“警告：”，照样写出；--strict 把警告也当作错误（出题时用）。\n"
                      "  只有整个源文件夹没有错误时才替换 BANK，不会留下写了一半的题库。\n";
const char kExport[] = "kjks-bank export BANK OUT_DIR\n"
                       "  把题库 BANK 写回源文件夹（文字已解密）：bank.txt、每章一个 questions/chNN.txt、\n"
                       "  pictures/、有试卷时的 papers.txt。再 build OUT_DIR 得到同样的数据。OUT_DIR 须不存在或为空。\n"
                       "\n"
                       "kjks-bank export --csv BANK OUT.csv\n"
                       "  把题库的题目和案例写成表格（CSV，UTF-8 带 BOM，可用 Excel 打开），列与 import 相同：\n"
                       "  编号,题型,章节,案例,题干,A…F,答案,解析。导入这个文件再导出，得到同样的文件。\n"
                       "  表格装不下的内容（图片、图片下方文字、考试中隐藏的选项、练习记录、试卷、考试设置）\n"
                       "  以“提示：”列出。\n";
const char kCheck[] = "kjks-bank check [--strict] BANK\n"
                      "  检查已生成的题库：文字能解密，答案在选项之内，案例答案与小题一致，图片可读，章节目录\n"
                      "  包含每一节，练习答案行存在，考试方案 1 的每部分都有足够的题，文件每一页完好，试卷时间\n"
                      "  是日期。每个问题一行；程序能照常使用的是“警告：”，不算失败，--strict 时也算失败。\n";
const char kSynth[] = "kjks-bank synth --questions N [--seed S] BANK\n"
                      "  写出 N 道合成题目的题库（八章、五种题型、图片、练习记录、考试方案 1），用于性能测试。\n"
                      "  同一种子（默认 1）得到同样的内容。\n";
const char kImport[] =
    "kjks-bank import FILE... SOURCE_DIR\n"
    "kjks-bank import FILE... --bank BANK\n"
    "kjks-bank import FILE... --new BANK\n"
    "kjks-bank import FILE... --replace BANK\n"
    "  把老师自己的题目（Excel 工作簿、表格导出的 CSV，或 Moodle 的 GIFT、Aiken）导入。可以一次导入几个文件。\n"
    "  按文件名结尾选择读法：.xlsx 是 Excel 工作簿，.csv 是 CSV，.gift 是 GIFT，.aiken 是 Aiken；\n"
    "  .txt 有 ANSWER: 行且没有 { 的是 Aiken，否则是 GIFT。.xls、.ods 请在表格程序中另存为 .xlsx 或 CSV（UTF-8）。\n"
    "\n"
    "  SOURCE_DIR     写成题库源文件夹（须不存在或为空；之后 kjks-bank build SOURCE_DIR BANK）。\n"
    "  --bank BANK    加进已有的题库，保留学员的学习进度：有编号的题按编号、没有编号的按\n"
    "                 题型和题干找到题库中的同一道题（案例按材料，小题在它的案例中找），\n"
    "                 更新它的内容；找不到的作为新题，接着题库最大的题号编号。文件中没有的题\n"
    "                 不动。答案改了的题，答题次数和错题记录清零（收藏保留），含有它的模拟\n"
    "                 试卷删除。题库没有的章节自动添加。考试方案保持原样，只在题库抽不出\n"
    "                 完整试卷时减少题数。写入前先把题库复制到它旁边的 备份/ 文件夹，\n"
    "                 改动在一个事务中完成：失败时题库原样不动。\n"
    "  --new BANK     用这些题目新建题库；BANK 已存在时拒绝。\n"
    "  --replace BANK 用这些题目整个替换已有的题库：先复制到 备份/，并列出丢掉的学习进度\n"
    "                 （做过的题、错题、收藏、试卷）。\n"
    "  --sheet NAME   读取工作簿中名为 NAME 的工作表（默认第一个工作表）\n"
    "  --chapter NAME 没有章节的题目（GIFT 中 $CATEGORY 之前的题、Aiken 的题）放入的章节，\n"
    "                 写 章名 或 章名/节名；默认放入“导入题目”一章\n"
    "\n"
    "  CSV 和工作簿：CSV 为 UTF-8（可带 BOM）或 GBK；第一行是表头，列的顺序随意：\n"
    "    题型   单选题、多选题、判断题、实操题、案例、不定项选择题（必填）\n"
    "    章节   章名/节名（必填；案例的小题用案例的章节）\n"
    "    题干   题目文字（必填）；案例行写案例材料\n"
    "    A…Z   选项，从 A 起连续填写\n"
    "    答案   单选 A，多选 ABD，判断 √/×（或 对/错），实操题任意文字（必填；案例行不填）\n"
    "    解析   可不填\n"
    "    编号   可不填：填了就用作题号，没填的接着编；export --csv 导出的编号导回原题\n"
    "    案例   案例行和它的每道不定项小题写同一个编号\n"
    "  模板：docs/import-template.csv。工作簿的单元格按显示的样子读取（4% 仍是 4%），\n"
    "  合并的单元格每格都取它的文字；出错时写出工作表的行号。\n"
    "\n"
    "  GIFT：$CATEGORY: 章名/节名，单选 {=对 ~错}（有一个 = 就是单选），多选 {~%50%对 ~%50%对 ~%-100%错}，\n"
    "  判断 {T} {F}，反馈 # 和总反馈 #### 作为解析；[html]、[markdown] 的文字去掉标记后导入，含图片的题不能导入。\n"
    "  Aiken：题干一行或几行，选项 A. … B) …，最后一行 ANSWER: B（几个字母为多选）。\n"
    "\n"
    "  有任何一行被拒绝（写成 文件:行: 原因），就什么也不写。新建或替换的题库，按题目能出的部分组成模拟考试。\n";
const char kUpgrade[] =
    "kjks-bank upgrade OLD NEW OUT\n"
    "\n"
    "  把旧题库 OLD 中学员的学习进度（练习次数、错题、收藏、模拟试卷、程序自己的表，见 docs/progress.md）\n"
    "  按题号带到新题库 NEW 的题目上，写成 OUT。OLD 和 NEW 只读不写。\n"
    "  不能带过去的（撤下的题目、答案改了的题目的次数、含有它们的试卷）逐条列出。\n"
    "  全部成功才替换 OUT。\n";
const char kPrint[] =
    "kjks-bank print BANK OUT.pdf [--blank] [--seed S] [--papers N]\n"
    "\n"
    "  按题库的考试方案 1 像模拟考试一样抽题组卷，打印成 A4 PDF：每套是试题、答题卡和参考答案与解析，\n"
    "  各自另起一页；N 套（1 至 200，默认 1）依次写在同一个文件里，每套避开上一套的题目。\n"
    "  --blank  只印试题和空白答题卡，不印答案与解析。\n"
    "  --seed   同一题库、同一种子得到同样的试卷（第 k 套用种子 S+k-1）；不给时按时间选取，并在输出中写明。\n"
    "  题库只读不写：在临时副本中抽题，学员做过的试卷不影响抽题。PDF 中的文字可以搜索和复制。\n";
const char kTool[] = "kjks-bank：初级会计实务考试练习系统的题库工具\n"
                     "\n"
                     "用法：kjks-bank 命令 参数…\n"
                     "\n"
                     "  build [--strict] SOURCE_DIR BANK   源文件夹 → 加密题库\n"
                     "  export BANK OUT_DIR              题库 → 源文件夹\n"
                     "  export --csv BANK OUT.csv        题库 → 表格（CSV）\n"
                     "  import FILE... SOURCE_DIR        工作簿、CSV、GIFT 或 Aiken → 源文件夹\n"
                     "  import FILE... --bank BANK       同上 → 加进已有题库（保留学习进度）\n"
                     "  import FILE... --new BANK        同上 → 新题库\n"
                     "  import FILE... --replace BANK    同上 → 整个替换已有题库\n"
                     "  check [--strict] BANK           检查题库\n"
                     "  upgrade OLD NEW OUT              把旧题库的学习进度带到新题库\n"
                     "  print BANK OUT.pdf [--blank] [--seed S] [--papers N]   抽题组卷，打印成 PDF\n"
                     "  synth --questions N [--seed S] BANK   合成题库（性能测试用）\n"
                     "\n"
                     "kjks-bank 命令 --help 说明一个命令。详见 docs/kjks-bank.md。\n"
                     "\n"
                     "退出码：0 成功；1 发现问题或失败（什么也没写）；2 命令或参数写错。\n";

} // namespace

QString CommandHelp(const QString &command) {
    const char *text = nullptr;
    if (command.isEmpty())
        text = kTool;
    else if (command == QLatin1String("build"))
        text = kBuild;
    else if (command == QLatin1String("export"))
        text = kExport;
    else if (command == QLatin1String("check"))
        text = kCheck;
    else if (command == QLatin1String("synth"))
        text = kSynth;
    else if (command == QLatin1String("import"))
        text = kImport;
    else if (command == QLatin1String("upgrade"))
        text = kUpgrade;
    else if (command == QLatin1String("print"))
        text = kPrint;
    return text ? QString::fromUtf8(text) : QString();
}
