#!/usr/bin/env python3
"""Every message the sources look up with Tr (and the parts of the --help text) has its
entry in each catalogue of po/, and every entry is still looked up."""
import codecs, glob, pathlib, re, sys

root = pathlib.Path(sys.argv[1])
literal = r'"(?:[^"\\]|\\.)*"'
def decode(run):
    return ''.join(codecs.decode(p[1:-1], 'unicode_escape') for p in re.findall(literal, run))

wanted = set()
for path in glob.glob(str(root / 'src' / '**' / '*.cpp'), recursive=True) + \
        glob.glob(str(root / 'tools' / 'velor-host' / '**' / '*.cpp'), recursive=True):
    text = pathlib.Path(path).read_text(encoding='utf-8')
    for run in re.findall(r'\bTr\(\s*((?:%s\s*)+)' % literal, text):
        wanted.add(decode(run))
    for usage in re.findall(r'const char\* Velor\w*Usage\(\) \{\s*return\s*((?:%s\s*)+);' % literal, text):
        wanted.add(decode(usage))

failed = False
for po in sorted((root / 'po').glob('*.po')):
    ids, current, key = set(), None, None
    for line in po.read_text(encoding='utf-8').splitlines() + ['']:
        if line.startswith('msgid '):
            key, current = 'id', decode(line[6:])
        elif line.startswith('msgstr '):
            if current:
                ids.add(current)
            key = 'str'
        elif line.startswith('"') and key == 'id':
            current += decode(line)
    for missing in sorted(wanted - ids):
        print(f'{po.name}: no entry for {missing[:70]!r}')
        failed = True
    for stale in sorted(ids - wanted):
        print(f'{po.name}: entry no longer looked up: {stale[:70]!r}')
        failed = True
print(f'{len(wanted)} messages checked')
sys.exit(1 if failed else 0)
