#!/usr/bin/env python3
"""What a fixed pick earns on the bank's multiple-choice questions, per chapter and overall.

A fixed pick is one non-empty set of options, say "AB", ticked on every multiple-choice question without
reading it. Each pick is scored as the exam scores it (src/data/AnswerScore: all right options earn the
question's points; under `EXAM_SCORING` `partial` fewer right options and no wrong one earn 0.5 each; any
wrong option earns 0), and its share of the points available is printed. A one-letter pick is counted too,
though the exam window stores no answer of one option: it bounds what any guess can take.

    python3 content/bank/tools/key_shares.py [content/bank] [--limit 30]

Exits with status 1 when some fixed pick earns more than the limit (percent) in some chapter or overall.
"""
import argparse
import collections
import itertools
import pathlib
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import banksource  # noqa: E402

POINTS = 2.0  # a multiple-choice question's points in the exam profile (20 points for 10 questions)
PER_OPTION = 0.5


def points(pick, key, partial):
    if pick == key:
        return POINTS
    if not partial or any(letter not in key for letter in pick):
        return 0.0
    return min(PER_OPTION * len(pick), POINTS)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('folder', nargs='?', default=pathlib.Path(__file__).resolve().parents[1])
    parser.add_argument('--limit', type=float, default=30.0)
    args = parser.parse_args()

    records = banksource.read_records(args.folder)
    partial = banksource.option(records, 'EXAM_SCORING').strip() == 'partial'
    keys = collections.defaultdict(list)
    letters = collections.defaultdict(collections.Counter)
    rights = collections.defaultdict(collections.Counter)
    widths = collections.Counter()
    for record in records:
        columns = record['columns']
        if record['table'] != 'kjks_tigan' or columns.get('tixing') != '多选题' or not columns.get('daan'):
            continue
        chapter = int(columns['zhang'])
        keys[chapter].append(columns['daan'])
        letters[chapter].update(columns['daan'])
        rights[chapter][len(columns['daan'])] += 1
        widths[len(columns.get('option', []))] += 1

    picks = [''.join(c) for n in range(1, 5) for c in itertools.combinations('ABCD', n)]
    worst_overall = 0.0
    print('scoring:', 'partial credit' if partial else 'all or nothing',
          '| options per question:', dict(sorted(widths.items())))
    rows = sorted(keys.items()) + [('all', [k for ks in keys.values() for k in ks])]
    for chapter, chapter_keys in rows:
        shares = {p: sum(points(p, k, partial) for k in chapter_keys) / (POINTS * len(chapter_keys)) * 100
                  for p in picks}
        best = sorted(shares.items(), key=lambda item: -item[1])[:3]
        worst_overall = max(worst_overall, best[0][1])
        if chapter == 'all':
            count = collections.Counter(''.join(chapter_keys))
            right = collections.Counter(len(k) for k in chapter_keys)
        else:
            count, right = letters[chapter], rights[chapter]
        print(f'chapter {chapter!s:>3}: {len(chapter_keys):3} questions | letters in keys '
              + ' '.join(f'{l}{count[l]}' for l in 'ABCDE' if count[l] or l != 'E')
              + ' | right options ' + '/'.join(f'{n}:{right[n]}' for n in sorted(right))
              + ' | best fixed picks ' + ', '.join(f'{p} {s:.1f} %' for p, s in best))
    if worst_overall > args.limit:
        print(f'a fixed pick earns {worst_overall:.1f} %, above {args.limit:.0f} %')
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main())
