#!/usr/bin/env python3
"""Checks of the document builder: every markup kind survives the trip to RTF and back, and the
checker refuses the faults a hand-edited or badly written document could have."""

import pathlib
import tempfile
import unittest

import make_docs

SAMPLE = """% 标题
%% 副标题 **粗体**

# 一级标题
## 二级标题
正文 {花括号} 与 \\反斜杠，**加粗**部分。
- 项目 A
  - 子项目
1. 第一步
2. 第二步
> 借：原材料
> 　贷：银行存款
! 提示：注意

| 列一 | 列二 |
|---|:---:|
| 单选题 | **24** 题 |
"""


def write_source(folder, text, name="文档.md"):
    path = pathlib.Path(folder) / name
    path.write_text(text, encoding="utf-8")
    return path


class RoundTrip(unittest.TestCase):
    def test_every_markup_kind_reads_back_as_written(self):
        with tempfile.TemporaryDirectory() as d:
            src = write_source(d, SAMPLE)
            rtf = make_docs.render(src)
            got, faults = make_docs.check_rtf(rtf, src.name)
            self.assertEqual(faults, [])
            self.assertEqual(got, make_docs.expected_text(src))
            self.assertIn("●\u3000项目 A\n", got)
            self.assertIn("②\u3000第二步\n", got)
            self.assertIn("单选题\t24 题\n", got)
            self.assertIn("正文 {花括号} 与 \\反斜杠，加粗部分。\n", got)
            # Chinese text appears only as pairs of GBK escapes.
            self.assertIn(b"\\'b1\\'ea\\'cc\\'e2", rtf)  # 标题
            self.assertIn(b"\\b \\'bc\\'d3\\'b4\\'d6\\b0 ", rtf)  # **加粗**
            self.assertIn(b"\\{", rtf)


class CheckerRefusesFaults(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.good = make_docs.render(write_source(self.tmp.name, SAMPLE))

    def tearDown(self):
        self.tmp.cleanup()

    def test_faults(self):
        cases = [
            ("missing closing brace", self.good[:-3], "not balanced"),
            ("stray closing brace", self.good.replace(b"\\par", b"}\\par", 1), "after the closing brace"),
            ("half a character", self.good.replace(b"\\'b1\\'ea", b"\\'b1", 1), "character pairs"),
            ("not GBK", self.good.replace(b"\\'b1\\'ea", b"\\'ff\\'ff", 1), "not GBK"),
            ("raw 8-bit byte", self.good.replace(b"\\'b1\\'ea", "标".encode("gbk"), 1), "7-bit"),
            ("wrong code page", self.good.replace(b"ansicpg936", b"ansicpg1252", 1), "header"),
        ]
        for what, data, expected in cases:
            with self.subTest(what):
                _, faults = make_docs.check_rtf(data, "x.rtf")
                self.assertTrue(any(expected in f for f in faults), faults)


class SourceErrors(unittest.TestCase):
    def test_errors_name_the_line(self):
        cases = [
            ("unbalanced bold", "% 标题\n**粗体\n", "文档.md:2: unbalanced **"),
            ("no GBK code", "% 标题\n表情 \U0001F600\n", "文档.md:2:"),
            ("ragged table", "% 标题\n| a | b |\n|---|---|\n| c |\n", "文档.md:4: this row has 1 cells"),
            ("no title", "正文\n", "文档.md:1: a document starts"),
            ("number out of range", "% 标题\n11. 项\n", "文档.md:2: numbered items"),
        ]
        for what, text, expected in cases:
            with self.subTest(what), tempfile.TemporaryDirectory() as d:
                src = write_source(d, text)
                with self.assertRaises(make_docs.SourceError) as caught:
                    make_docs.render(src)
                self.assertIn(expected, str(caught.exception))


if __name__ == "__main__":
    unittest.main()
