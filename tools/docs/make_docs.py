#!/usr/bin/env python3
"""Build the study documents of the documents page.

Each source tools/docs/src/NAME.md (a small markup, see README.md beside this file) becomes
content/doc/NAME.rtf, written the way a rich-text editor on a Chinese desktop writes it: code page
936, every Chinese character as two \\'hh escapes of its GBK bytes, 7-bit ASCII only.

    make_docs.py           rebuild every document, then check the results
    make_docs.py --check   check only: the committed documents are valid RTF, decode as GBK,
                           carry the text of their sources and are up to date

Python 3 standard library only.
"""

import argparse
import pathlib
import re
import sys

HERE = pathlib.Path(__file__).resolve().parent
SRC_DIR = HERE / "src"
OUT_DIR = HERE.parent.parent / "content" / "doc"

# Text width of an A4 page with 3.17 cm side margins, in twips.
TEXT_WIDTH = 8306
# One Chinese character at the body size (10.5 pt) is 210 twips wide.
CHAR = 210
# Space between a cell's border and its text, on each side (\trgaph).
GAP = 108

BULLETS = {1: "●", 2: "·"}
CIRCLED = "①②③④⑤⑥⑦⑧⑨⑩"
FULL_SPACE = "\u3000"

FONTS = ["宋体", "黑体", "楷体"]  # f0 body, f1 headings, f2 entries and formulas
COLOURS = [
    (31, 73, 125),   # cf1 headings
    (192, 0, 0),     # cf2 notes
    (100, 100, 100),  # cf3 subtitle
    (219, 229, 241),  # cf4 table header shading
]

BODY = r"\f0\fs21\cf0"
TITLE = r"\f1\fs36\cf1\b"
SUBTITLE = r"\f0\fs18\cf3"
H1 = r"\f1\fs28\cf1\b"
H2 = r"\f1\fs24\cf1\b"
ENTRY = r"\f2\fs21\cf0"
NOTE = r"\f0\fs21\cf2"
SPACER = r"\f0\fs10\cf0"
LINE = r"\sl360\slmult1"


class SourceError(Exception):
    pass


# ---------------------------------------------------------------- parsing

class Block:
    """One paragraph-level element of a source: kind, text, line number, extras."""

    def __init__(self, kind, text, line, **extra):
        self.kind = kind
        self.text = text
        self.line = line
        self.extra = extra


def parse(path):
    blocks = []
    table = None
    lines = path.read_text(encoding="utf-8").splitlines()

    def where(n):
        return "%s:%d" % (path.name, n)

    def flush_table():
        nonlocal table
        if table is not None:
            blocks.append(table)
            table = None

    for n, raw in enumerate(lines, 1):
        line = raw.rstrip()
        stripped = line.strip()
        if stripped.startswith("|"):
            if not stripped.endswith("|") or len(stripped) < 2:
                raise SourceError(where(n) + ": a table row must start and end with |")
            cells = [c.strip() for c in stripped[1:-1].split("|")]
            if table is None:
                table = Block("table", None, n, rows=[], align=None)
            rows = table.extra["rows"]
            if all(re.fullmatch(r":?-{3,}:?", c) for c in cells):
                if len(rows) != 1 or table.extra["align"] is not None:
                    raise SourceError(where(n) + ": the separator row must follow the header row")
                table.extra["align"] = [
                    "c" if c.startswith(":") and c.endswith(":") else "r" if c.endswith(":") else "l"
                    for c in cells]
            else:
                rows.append((n, cells))
            if len(cells) != len(rows[0][1]):
                raise SourceError(where(n) + ": this row has %d cells, the header %d"
                                  % (len(cells), len(rows[0][1])))
            continue
        flush_table()
        if not stripped:
            blocks.append(Block("blank", None, n))
        elif line.startswith("%% "):
            blocks.append(Block("subtitle", line[3:].strip(), n))
        elif line.startswith("% "):
            blocks.append(Block("title", line[2:].strip(), n))
        elif line.startswith("## "):
            blocks.append(Block("h2", line[3:].strip(), n))
        elif line.startswith("# "):
            blocks.append(Block("h1", line[2:].strip(), n))
        elif line.startswith("  - "):
            blocks.append(Block("item", line[4:].strip(), n, level=2))
        elif line.startswith("- "):
            blocks.append(Block("item", line[2:].strip(), n, level=1))
        elif re.match(r"\d+\. ", line):
            num, text = line.split(". ", 1)
            if not 1 <= int(num) <= len(CIRCLED):
                raise SourceError(where(n) + ": numbered items run from 1 to %d" % len(CIRCLED))
            blocks.append(Block("number", text.strip(), n, num=int(num)))
        elif line.startswith(">"):
            # Entry and formula lines keep their leading full-width spaces for the debit/credit indent.
            blocks.append(Block("entry", line[1:].lstrip(" "), n))
        elif line.startswith("! "):
            blocks.append(Block("note", line[2:].strip(), n))
        elif line.startswith(" ") or line.startswith("\t"):
            raise SourceError(where(n) + ": unexpected indent (only '  - ' nests a list item)")
        else:
            blocks.append(Block("para", stripped, n))
    flush_table()

    for b in blocks:
        texts = [b.text] if b.kind != "table" else [c for _, row in b.extra["rows"] for c in row]
        for t in texts:
            if t is not None and t.count("**") % 2:
                raise SourceError(where(b.line) + ": unbalanced **")
    if not blocks or blocks[0].kind != "title":
        raise SourceError(path.name + ":1: a document starts with its title line '% ...'")
    return blocks


# ---------------------------------------------------------------- writing

def esc(text, where):
    out = []
    for ch in text:
        o = ord(ch)
        if ch in "\\{}":
            out.append("\\" + ch)
        elif ch == "\t":
            out.append("\\tab ")
        elif 32 <= o < 127:
            out.append(ch)
        else:
            try:
                raw = ch.encode("gbk")
            except UnicodeEncodeError:
                raise SourceError("%s: %r (U+%04X) has no GBK code" % (where, ch, o))
            if len(raw) != 2:
                raise SourceError("%s: %r is not a double-byte GBK character" % (where, ch))
            out.append("".join("\\'%02x" % b for b in raw))
    return "".join(out)


def runs(text, where, bold_ok=True):
    """Inline markup: **bold** toggles bold; in bold contexts the markers are dropped."""
    parts = text.split("**")
    out = []
    for i, part in enumerate(parts):
        if not part:
            continue
        if i % 2 and bold_ok:
            out.append("\\b " + esc(part, where) + "\\b0 ")
        else:
            out.append(esc(part, where))
    return "".join(out)


def plain(text):
    return text.replace("**", "")


def display_width(text):
    return sum(1 if ord(c) < 128 else 2 for c in plain(text))


def paragraph(props, chars, body):
    # Every paragraph states its whole character formatting, so nothing leaks from the one before.
    return "\\pard%s%s %s\\par\r\n" % (props, chars, body)


def column_widths(units):
    """Cell widths in twips for columns whose longest texts are `units` half-characters wide.

    Short columns get room for their longest text on one line; the long ones share what is left
    equally (a water level), so a wide text column wraps instead of squeezing the figures next to
    it. The table always spans the text width."""
    half = CHAR // 2
    natural = [(u + 1) * half + 2 * GAP for u in units]  # +1: bold header glyphs run a little wider
    if sum(natural) <= TEXT_WIDTH:
        spare = TEXT_WIDTH - sum(natural)
        widths = [n + spare * n // sum(natural) for n in natural]
    else:
        level = TEXT_WIDTH / len(natural)
        for _ in range(len(natural)):
            short = [n for n in natural if n < level]
            tall = len(natural) - len(short)
            level = (TEXT_WIDTH - sum(short)) / tall
        widths = [int(min(n, level)) for n in natural]
    widths[-1] += TEXT_WIDTH - sum(widths)
    return widths


def table_rtf(block, where):
    rows = block.extra["rows"]
    ncols = len(rows[0][1])
    align = block.extra["align"] or ["l"] * ncols
    twips = column_widths([max(display_width(cells[c]) for _, cells in rows) for c in range(ncols)])

    border = "".join("\\clbrdr%s\\brdrs\\brdrw10 " % s for s in "tlbr")
    out = []
    for r, (n, cells) in enumerate(rows):
        row = ["\\trowd\\trgaph%d\\trleft0\\trqc" % GAP]
        edge = 0
        for c in range(ncols):
            edge += twips[c]
            shade = "\\clcbpat4" if r == 0 else ""
            row.append("\\clvertalc%s%s\\cellx%d" % (border, shade, edge))
        row.append("\r\n")
        for c, cell in enumerate(cells):
            a = "c" if r == 0 else align[c]
            props = {"l": "\\ql", "c": "\\qc", "r": "\\qr"}[a]
            chars = BODY + ("\\b" if r == 0 else "")
            text = runs(cell, "%s:%d" % (where, n), bold_ok=r != 0)
            row.append("\\pard\\intbl%s%s %s%s\\cell " % (props, chars, text, "\\b0 " if r == 0 else ""))
        row.append("\\row\r\n")
        out.append("".join(row))
    return "".join(out)


def render(path):
    blocks = parse(path)
    name = path.name
    out = []
    out.append("{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl")
    for i, font in enumerate(FONTS):
        out.append("{\\f%d\\fnil\\fcharset134 %s;}" % (i, esc(font, name)))
    out.append("}\r\n{\\colortbl ;")
    for r, g, b in COLOURS:
        out.append("\\red%d\\green%d\\blue%d;" % (r, g, b))
    out.append("}\r\n{\\*\\generator make_docs.py;}")
    out.append("\\paperw11906\\paperh16838\\margl1800\\margr1800\\margt1440\\margb1440")
    out.append("\\viewkind4\\uc1\r\n")

    for i, b in enumerate(blocks):
        where = "%s:%d" % (name, b.line)
        nxt = blocks[i + 1] if i + 1 < len(blocks) else None
        k = b.kind
        if k == "blank":
            continue
        # The last item of a list leaves a paragraph's space before what follows.
        list_gap = 60 if nxt is not None and nxt.kind in ("item", "number") else 120
        if k == "title":
            out.append(paragraph("\\qc\\sb120\\sa120", TITLE, esc(plain(b.text), where) + "\\b0 "))
        elif k == "subtitle":
            out.append(paragraph("\\qc\\sa240", SUBTITLE, runs(b.text, where)))
        elif k == "h1":
            out.append(paragraph("\\keepn\\sb240\\sa120", H1, esc(plain(b.text), where) + "\\b0 "))
        elif k == "h2":
            out.append(paragraph("\\keepn\\sb120\\sa60", H2, esc(plain(b.text), where) + "\\b0 "))
        elif k == "para":
            out.append(paragraph("\\fi%d\\sa120%s" % (2 * CHAR, LINE), BODY, runs(b.text, where)))
        elif k == "item":
            level = b.extra["level"]
            left = (level + 1) * 2 * CHAR
            mark = BULLETS[level] + FULL_SPACE
            out.append(paragraph("\\li%d\\fi-%d\\sa%d%s" % (left, 2 * CHAR, list_gap, LINE), BODY,
                                 esc(mark, where) + runs(b.text, where)))
        elif k == "number":
            mark = CIRCLED[b.extra["num"] - 1] + FULL_SPACE
            out.append(paragraph("\\li%d\\fi-%d\\sa%d%s" % (4 * CHAR, 2 * CHAR, list_gap, LINE), BODY,
                                 esc(mark, where) + runs(b.text, where)))
        elif k == "entry":
            last = nxt is None or nxt.kind != "entry"
            out.append(paragraph("\\li%d\\sa%d%s" % (4 * CHAR, 120 if last else 0, LINE), ENTRY,
                                 runs(b.text, where)))
        elif k == "note":
            out.append(paragraph("\\li%d\\ri%d\\sa120%s" % (2 * CHAR, 2 * CHAR, LINE), NOTE,
                                 runs(b.text, where)))
        elif k == "table":
            out.append(table_rtf(b, name))
            # A table is followed by a little air before the next paragraph.
            out.append(paragraph("\\sa60", SPACER, ""))
        else:
            raise AssertionError(k)
    out.append("}\r\n")
    rtf = "".join(out)
    return rtf.encode("ascii")


def expected_text(path):
    """The document's text as a reader should get it back: one line per paragraph or table row."""
    lines = []
    for b in parse(path):
        k = b.kind
        if k == "blank":
            continue
        if k == "table":
            lines.extend("\t".join(plain(c) for c in cells) for _, cells in b.extra["rows"])
            lines.append("")
        elif k == "item":
            lines.append(BULLETS[b.extra["level"]] + FULL_SPACE + plain(b.text))
        elif k == "number":
            lines.append(CIRCLED[b.extra["num"] - 1] + FULL_SPACE + plain(b.text))
        else:
            lines.append(plain(b.text))
    return "\n".join(lines) + "\n"


# ---------------------------------------------------------------- checking

TOKEN = re.compile(rb"\\'([0-9a-fA-F]{2})|\\([a-z]+)(-?\d+)? ?|\\([^a-z])|([{}])|(\r|\n)|([^\\{}\r\n]+)")
SKIPPED = {b"fonttbl", b"colortbl", b"stylesheet", b"info", b"pict"}


def check_rtf(data, name):
    """Structural check of one RTF file; returns its text (as a reader gets it) and a list of faults."""
    faults = []
    if not data.startswith(b"{\\rtf1\\ansi\\ansicpg936\\deff0"):
        faults.append("does not start with the code page 936 RTF header")
    if any(b >= 0x80 for b in data):
        faults.append("holds bytes outside 7-bit ASCII")

    text = []
    pending = bytearray()  # consecutive \'hh bytes, decoded together
    depth = 0
    skip_depth = None  # depth of the group being skipped (font table, destinations)
    group_start = False
    pos = 0

    def flush():
        if not pending:
            return
        if len(pending) % 2:
            faults.append("a run of %d escaped bytes at offset %d is not made of character pairs"
                          % (len(pending), pos))
        try:
            decoded = bytes(pending).decode("gbk")
            if len(decoded) * 2 != len(pending):
                faults.append("escaped bytes at offset %d mix single- and double-byte codes" % pos)
            if skip_depth is None:
                text.append(decoded)
        except UnicodeDecodeError as e:
            faults.append("escaped bytes at offset %d are not GBK: %s" % (pos, e))
        pending.clear()

    while pos < len(data):
        m = TOKEN.match(data, pos)
        if not m:
            faults.append("cannot read at offset %d" % pos)
            break
        hexa, word, _num, sym, brace, newline, chars = m.groups()
        if hexa is None:
            flush()
        was_group_start, group_start = group_start, False
        if hexa is not None:
            pending.append(int(hexa, 16))
        elif brace == b"{":
            depth += 1
            group_start = True
        elif brace == b"}":
            depth -= 1
            if depth < 0:
                faults.append("a closing brace at offset %d has no opening brace" % pos)
                depth = 0
            if skip_depth is not None and depth < skip_depth:
                skip_depth = None
            if depth == 0 and data[m.end():].strip():
                faults.append("text after the closing brace of the document")
        elif sym is not None:
            if sym == b"*" and was_group_start and skip_depth is None:
                skip_depth = depth
            elif sym in (b"\\", b"{", b"}") and skip_depth is None:
                text.append(sym.decode())
        elif word is not None:
            if word in SKIPPED and skip_depth is None:
                skip_depth = depth
            elif skip_depth is None:
                if word in (b"par", b"row"):
                    text.append("\n")
                elif word in (b"cell", b"tab"):
                    text.append("\t")
        elif chars is not None and skip_depth is None:
            text.append(chars.decode("ascii", "replace"))
        pos = m.end()
    flush()
    if depth != 0:
        faults.append("braces are not balanced (%d open at the end)" % depth)

    # A table row reads "a\tb\t\n": the cell mark before the row end is not text.
    got = "".join(text).replace("\t\n", "\n")
    return got, faults


def main():
    ap = argparse.ArgumentParser(description="Build and check the study documents.")
    ap.add_argument("--check", action="store_true", help="only check the committed documents")
    args = ap.parse_args()

    sources = sorted(SRC_DIR.glob("*.md"))
    if not sources:
        print("no sources in %s" % SRC_DIR, file=sys.stderr)
        return 1
    bad = 0
    for src in sources:
        target = OUT_DIR / (src.stem + ".rtf")
        try:
            rtf = render(src)
            want = expected_text(src)
        except SourceError as e:
            print("error: %s" % e, file=sys.stderr)
            bad += 1
            continue
        if not args.check:
            OUT_DIR.mkdir(parents=True, exist_ok=True)
            target.write_bytes(rtf)
        if not target.exists():
            print("%s: missing" % target.name, file=sys.stderr)
            bad += 1
            continue
        data = target.read_bytes()
        faults = []
        if data != rtf:
            faults.append("out of date with its source (run make_docs.py)")
        got, more = check_rtf(data, target.name)
        faults += more
        if got != want:
            g, w = got.splitlines(), want.splitlines()
            i = next((i for i, (a, b) in enumerate(zip(g, w)) if a != b), min(len(g), len(w)))
            faults.append("text read back differs from the source at line %d: %r / %r"
                          % (i + 1, g[i] if i < len(g) else None, w[i] if i < len(w) else None))
        for f in faults:
            print("%s: %s" % (target.name, f), file=sys.stderr)
        bad += bool(faults)
        if not faults:
            print("%s: ok, %d bytes, %d characters of text" % (target.name, len(data), len(got)))
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
