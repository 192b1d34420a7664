#!/usr/bin/env python3
"""Every message the sources of the programs (src/, tools/) look up with Tr (and the parts of
the --help texts) has its entry in each catalogue of po/, and every entry is still looked up."""
import codecs, glob, pathlib, re, sys

root = pathlib.Path(sys.argv[1])
literal = r'"(?:[^"\\]|\\.)*"'
def decode(run):
    return ''.join(codecs.decode(p[1:-1], 'unicode_escape') for p in re.findall(literal, run))

wanted = set()
sources = [p for folder in ('src', 'tools') for p in glob.glob(str(root / folder / '**' / '*.cpp'), recursive=True)]
for path in sources:
    text = pathlib.Path(path).read_text(encoding='utf-8')
    for run in re.findall(r'\bTr\(\s*((?:%s\s*)+)' % literal, text):
        wanted.add(decode(run))
    for usage in re.findall(r'const char\* Velor\w*Usage\(\) \{\s*return\s*((?:%s\s*)+);' % literal, text):
        wanted.add(decode(usage))

failed = False
for po in sorted((root / 'po').glob('*.po')):
    # The translations by English text; a translation's "%s" are counted in its
    # raw lines, which escapes do not change.
    translations, current, key = {}, None, None
    for line in po.read_text(encoding='utf-8').splitlines() + ['']:
        if line.startswith('msgid '):
            key, current = 'id', decode(line[6:])
        elif line.startswith('msgstr '):
            key = 'str'
            if current:
                translations[current] = line[7:]
        elif line.startswith('"') and key == 'id':
            current += decode(line)
        elif line.startswith('"') and key == 'str' and current:
            translations[current] += line
    ids = set(translations)
    # Tr fills the "%s" in order: a translation with fewer would drop a value.
    for english, translated in sorted(translations.items()):
        if english in wanted and translated.count('%s') != english.count('%s'):
            print(f'{po.name}: the translation of {english[:70]!r} has another number of %s')
            failed = True
    for missing in sorted(wanted - ids):
        print(f'{po.name}: no entry for {missing[:70]!r}')
        failed = True
    for stale in sorted(ids - wanted):
        print(f'{po.name}: entry no longer looked up: {stale[:70]!r}')
        failed = True
print(f'{len(wanted)} messages checked')
sys.exit(1 if failed else 0)
