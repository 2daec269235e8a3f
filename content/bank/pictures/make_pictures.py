#!/usr/bin/env python3
"""Draws the question pictures of the sample bank (tables and a T-account) as JPEG files.

Run it from any folder: python3 make_pictures.py
It needs ImageMagick's `convert` and the Noto Sans CJK SC font (fonts-noto-cjk). Each picture
is described as ImageMagick draw primitives and rendered on a white canvas; the figures are
the same as in the question texts, so change both together.
"""
import os
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))
FONT = "Noto-Sans-CJK-SC"
BOLD = "Noto-Sans-CJK-SC-Bold"


def esc(text):
    return text.replace("\\", "\\\\").replace("'", "\\'")


class Canvas:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.ops = ["viewbox 0 0 %d %d" % (width, height)]

    def text(self, x, y, s, size=18, anchor="start", bold=False, colour="black"):
        self.ops += [
            "push graphic-context",
            "font '%s'" % (BOLD if bold else FONT),
            "font-size %d" % size,
            "fill %s" % colour,
            "stroke none",
            "text-anchor %s" % anchor,
            "text %d,%d '%s'" % (x, y, esc(s)),
            "pop graphic-context",
        ]

    def line(self, x1, y1, x2, y2, width=1, colour="black"):
        self.ops += [
            "push graphic-context",
            "stroke %s" % colour,
            "stroke-width %g" % width,
            "fill none",
            "line %d,%d %d,%d" % (x1, y1, x2, y2),
            "pop graphic-context",
        ]

    def rect(self, x1, y1, x2, y2, fill):
        self.ops += [
            "push graphic-context",
            "stroke none",
            "fill %s" % fill,
            "rectangle %d,%d %d,%d" % (x1, y1, x2, y2),
            "pop graphic-context",
        ]

    def save(self, name):
        # The primitives go on the command line: the usual ImageMagick security policy
        # refuses reading them from a file ("@file").
        subprocess.run(
            ["convert", "-size", "%dx%d" % (self.width, self.height), "xc:white",
             "-draw", "\n".join(self.ops), "-strip", "-type", "TrueColor", "-quality", "92",
             os.path.join(HERE, name)],
            check=True)


def table(name, title, note, columns, rows, row_h=32):
    """columns: (header, width, align) with align 'l', 'c' or 'r'."""
    margin = 20
    width = margin * 2 + sum(c[1] for c in columns)
    top = 60 if note else 50
    height = top + row_h * (len(rows) + 1) + margin
    cv = Canvas(width, height)
    cv.text(width // 2, 30, title, size=20, anchor="middle", bold=True)
    if note:
        cv.text(width - margin, 52, note, size=14, anchor="end", colour="#333333")
    y0 = top
    cv.rect(margin, y0, width - margin, y0 + row_h, "#e8eef7")
    for r in range(len(rows) + 2):
        y = y0 + r * row_h
        cv.line(margin, y, width - margin, y, 2 if r in (0, 1, len(rows) + 1) else 1)
    x = margin
    for i, (_, w, _) in enumerate(columns):
        cv.line(x, y0, x, y0 + row_h * (len(rows) + 1), 2 if i == 0 else 1)
        x += w
    cv.line(x, y0, x, y0 + row_h * (len(rows) + 1), 2)
    baseline = row_h // 2 + 7
    x = margin
    for header, w, _ in columns:
        cv.text(x + w // 2, y0 + baseline, header, size=17, anchor="middle", bold=True)
        x += w
    for r, row in enumerate(rows):
        y = y0 + (r + 1) * row_h + baseline
        x = margin
        for (_, w, align), cell in zip(columns, row):
            if align == "l":
                cv.text(x + 10, y, cell, size=17)
            elif align == "r":
                cv.text(x + w - 12, y, cell, size=17, anchor="end")
            else:
                cv.text(x + w // 2, y, cell, size=17, anchor="middle")
            x += w
    cv.save(name)


def main():
    table("trial_balance.jpg", "甲公司科目余额表（部分）", "2025年12月31日　单位：万元",
          [("总账科目", 200, "l"), ("明细科目", 130, "l"), ("借方余额", 130, "r"), ("贷方余额", 130, "r")],
          [("库存现金", "", "2", ""),
           ("银行存款", "", "500", ""),
           ("其他货币资金", "", "48", ""),
           ("应收账款", "A公司", "320", ""),
           ("应收账款", "B公司", "", "20"),
           ("预收账款", "C公司", "40", ""),
           ("预收账款", "D公司", "", "90"),
           ("坏账准备", "", "", "16"),
           ("预付账款", "G公司", "60", ""),
           ("预付账款", "H公司", "", "5"),
           ("应付账款", "E公司", "", "150"),
           ("应付账款", "F公司", "10", ""),
           ("原材料", "", "200", ""),
           ("库存商品", "", "300", ""),
           ("生产成本", "", "80", ""),
           ("材料成本差异", "", "", "10"),
           ("存货跌价准备", "", "", "20"),
           ("固定资产", "", "1000", ""),
           ("累计折旧", "", "", "300"),
           ("固定资产减值准备", "", "", "50"),
           ("固定资产清理", "", "5", ""),
           ("长期借款", "", "", "600")],
          row_h=30)


if __name__ == "__main__":
    main()
