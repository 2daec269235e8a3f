#!/usr/bin/env python3
"""How many questions consecutive mock papers share, drawn from the bank's source as the exam draws them.

Each section takes its profile's count of distinct rows, uniformly, from the rows the exam may draw
(an answer, `flag_state` not 1, `shijuan` 随机, the section's type); the fourth section takes
`shicaoti` / 5 distinct case stems of the same kind, each with its sub-questions. As the exam engine
does, every section draws the rows and cases the paper before did not have first. A paper has
20 + 10 + 10 + 15 = 55 items in the sample profile; the share is the items two consecutive papers
have in common over the items of a paper.

    python3 content/bank/tools/paper_overlap.py [content/bank] [--papers 40] [--seed 1] [--runs 1]
"""
import argparse
import pathlib
import random
import statistics
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import banksource  # noqa: E402


def drawable(columns):
    return columns.get('flag_state', '0') != '1' and columns.get('shijuan') == '随机'


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('folder', nargs='?', default=pathlib.Path(__file__).resolve().parents[1])
    parser.add_argument('--papers', type=int, default=40)
    parser.add_argument('--seed', type=int, default=1)
    parser.add_argument('--runs', type=int, default=1, help='independent series of papers')
    args = parser.parse_args()

    records = banksource.read_records(args.folder)
    profile = next(r['columns'] for r in records if r['table'] == 'kjks_type' and r['key'] == '1')
    by_id, stems = banksource.questions(args.folder)
    sections = []
    for type_key, count_key in (('danxuan', 'danxuanti'), ('duoxuan', 'duoxuanti'), ('panduan', 'panduanti')):
        pool = [i for i, r in by_id.items() if r['columns'].get('tixing') == profile[type_key]
                and r['columns'].get('daan') and drawable(r['columns'])]
        sections.append((sorted(pool), int(profile[count_key])))
    subs = {}
    for i, r in sorted(by_id.items()):
        stem = r['columns'].get('zongtimian')
        if stem and r['columns'].get('daan') and r['columns'].get('flag_state', '0') != '1':
            subs.setdefault(int(stem), []).append(i)
    per_case = 5
    case_pool = sorted(s for s, r in stems.items() if drawable(r['columns']) and len(subs.get(s, [])) >= per_case)
    cases = int(profile['shicaoti']) // per_case
    size = sum(n for _, n in sections) + cases * per_case
    print(f'pools: single {len(sections[0][0])}, multiple {len(sections[1][0])}, '
          f'true/false {len(sections[2][0])}, cases {len(case_pool)}; {size} items a paper')

    generator = random.Random(args.seed)
    means, maxima = [], []
    for run in range(args.runs):
        papers = []
        previous_cases, previous = set(), set()
        for _ in range(args.papers):
            items = set()
            for pool, count in sections:
                order = generator.sample(pool, len(pool))
                items.update(([i for i in order if i not in previous] + [i for i in order if i in previous])[:count])
            order = generator.sample(case_pool, len(case_pool))
            chosen = ([s for s in order if s not in previous_cases] + [s for s in order if s in previous_cases])[:cases]
            for stem in chosen:
                items.update(subs[stem][:per_case])
            previous_cases = set(chosen)
            previous = items
            papers.append(items)
        shares = [len(a & b) / size * 100 for a, b in zip(papers, papers[1:])]
        means.append(statistics.mean(shares))
        maxima.append(max(shares))
        if run == 0:
            worst = max(range(len(shares)), key=shares.__getitem__)
            print(f'{args.papers} papers: consecutive papers share {statistics.mean(shares):.1f} % on average, '
                  f'at most {shares[worst]:.1f} % ({len(papers[worst] & papers[worst + 1])} items, '
                  f'papers {worst + 1} and {worst + 2})')
    if args.runs > 1:
        print(f'{args.runs} series: average share {statistics.mean(means):.1f} %, '
              f'largest share per series median {statistics.median(maxima):.1f} %, '
              f'{sum(m <= 15 for m in maxima) / args.runs * 100:.0f} % of series stay at or below 15 %')
    return 0


if __name__ == '__main__':
    sys.exit(main())
