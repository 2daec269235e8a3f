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


def t_account_raw_material():
    cv = Canvas(640, 330)
    mid, left, right = 320, 60, 580
    cv.text(mid, 40, "原材料", size=24, anchor="middle", bold=True)
    cv.line(left, 56, right, 56, 3)
    cv.line(mid, 56, mid, 300, 3)
    cv.text(left, 84, "借方", size=16, colour="#555555")
    cv.text(right, 84, "贷方", size=16, anchor="end", colour="#555555")
    debit = [("期初余额", "50000"), ("①购入入库", "80000"), ("②购入入库", "40000")]
    credit = [("③生产领用", "60000"), ("④车间领用", "35000")]
    for i, (label, amount) in enumerate(debit):
        cv.text(left, 118 + 34 * i, label, size=18)
        cv.text(mid - 20, 118 + 34 * i, amount, size=18, anchor="end")
    for i, (label, amount) in enumerate(credit):
        cv.text(mid + 20, 152 + 34 * i, label, size=18)
        cv.text(right, 152 + 34 * i, amount, size=18, anchor="end")
    cv.line(left, 226, right, 226, 1)
    cv.text(left, 256, "本期发生额", size=18)
    cv.text(mid - 20, 256, "120000", size=18, anchor="end")
    cv.text(mid + 20, 256, "本期发生额", size=18)
    cv.text(right, 256, "95000", size=18, anchor="end")
    cv.text(left, 290, "期末余额", size=18, bold=True)
    cv.text(mid - 20, 290, "？", size=18, anchor="end", bold=True)
    cv.save("t_account_raw_material.jpg")


def main():
    t_account_raw_material()
    table("bank_items.jpg", "甲公司2025年12月末银行存款未达账项",
          "银行存款日记账余额300000元，银行对账单余额320000元",
          [("序号", 70, "c"), ("未达账项", 380, "l"), ("金额（元）", 150, "r")],
          [("1", "银行已收、企业未收的货款", "30000"),
           ("2", "银行已付、企业未付的借款利息", "5000"),
           ("3", "企业已收、银行未收的转账支票", "25000"),
           ("4", "企业已付、银行未付的转账支票", "20000")])
    table("material_ledger.jpg", "A材料2025年12月收发明细", "先进先出法计价",
          [("日期", 120, "c"), ("摘要", 160, "l"), ("数量（千克）", 150, "r"), ("单价（元）", 130, "r")],
          [("12月1日", "期初结存", "200", "10"),
           ("12月5日", "购入", "300", "12"),
           ("12月10日", "发出", "400", "—"),
           ("12月20日", "购入", "200", "13"),
           ("12月25日", "发出", "150", "—")])
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
