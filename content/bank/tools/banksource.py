"""Reads the bank's source folder (docs/bank-format.md) into plain records, for the bank's own scripts.

Only what the scripts need: table, key, columns (lists for `option`), the file and line of the record.
Escaped values (`column:: "..."`) are decoded; everything else is taken as written.
"""
import json
import pathlib
import re

HEADER = re.compile(r'^\[(\S+)\s+(\S+)\]\s*$')


def _unescape(text):
    text = text.strip()
    if not (text.startswith('"') and text.endswith('"')):
        raise ValueError('escaped value without quotes: ' + text)
    return json.loads(text)


def read_records(folder):
    folder = pathlib.Path(folder)
    files = [folder / 'bank.txt'] + sorted(p for p in folder.glob('*.txt') if p.name != 'bank.txt')
    files += sorted((folder / 'questions').glob('*.txt'))
    records = []
    for path in files:
        current = None
        last_column = None
        for number, raw in enumerate(path.read_text(encoding='utf-8-sig').splitlines(), 1):
            if not raw.strip() or raw.lstrip(' \t').startswith('#'):
                continue
            if raw[0] in ' \t':
                value = current['columns'][last_column]
                if isinstance(value, list):
                    value[-1] += '\n' + raw.strip(' \t')
                else:
                    current['columns'][last_column] = value + '\n' + raw.strip(' \t')
                continue
            match = HEADER.match(raw)
            if match:
                current = {'table': match.group(1).lower(), 'key': match.group(2), 'columns': {},
                           'file': path, 'line': number}
                records.append(current)
                continue
            column, _, value = raw.partition(':')
            if value.startswith(':'):
                value = _unescape(value[1:])
            else:
                value = value.strip(' \t')
            column = column.strip().lower()
            if column in ('option', 'option_withdrawn'):
                current['columns'].setdefault(column, []).append(value)
            else:
                current['columns'][column] = value
            last_column = column
    return records


def questions(folder):
    """Questions and stems of the bank: (questions by id, stems by id)."""
    by_id, stems = {}, {}
    for record in read_records(folder):
        if record['table'] == 'kjks_tigan':
            by_id[int(record['key'])] = record
        elif record['table'] == 'zongtigan':
            stems[int(record['key'])] = record
    return by_id, stems


def option(records, name):
    for record in records:
        if record['table'] == 'sys_option' and record['key'].upper() == name:
            return record['columns'].get('option_value', '')
    return ''
