#!/usr/bin/python3
"""tools/drawn_characters.py: which characters count as drawn, and the list it makes for the repo.

Usage: drawn_characters_test.py REPO
"""
import importlib.util, pathlib, sys

repo = pathlib.Path(sys.argv[1])
found = importlib.util.spec_from_file_location('drawn_characters', repo / 'tools' / 'drawn_characters.py')
dc = importlib.util.module_from_spec(found)
found.loader.exec_module(dc)
failures = []


def check(ok, what):
    print(f'drawn characters: {"ok" if ok else "FAIL"}: {what}')
    if not ok:
        failures.append(what)


# Literals count, comments do not; escapes, raw strings and digit separators do not confuse it.
code = '''
// 注 in a line comment
/* 釈 in a block comment, with a "quote" */
int n = 1'000;  // a digit separator, then 'な' in a comment
auto a = U"答え\\"は";  /* 無 */ auto b = U'χ';
auto r = R"x(根")x";
const char* s = "a // 線 not a comment";
'''
got = dc.literal_characters(code)
check({'答', 'え', 'は', 'χ', '根', '線'} <= got, 'characters of string, character and raw literals count')
check(not ({'注', '釈', 'な', '無'} & got), 'characters of comments do not')

listed = set(dc.drawn_characters(repo))
needed = dc.literal_characters((repo / 'runtime' / 'needed_characters.inc').read_text(encoding='utf-8'))
check(len(needed) > 20 and needed <= listed, "the start-up font check's characters are all listed")
check({'１', 'ｘ', '＝', '\u3000', '~', 'A'} <= listed, 'ASCII and the full-width forms are listed')
check({'次', '方', '程', '式', '解'} <= listed, 'a problem\'s heading is listed')
check(all(ord(c) >= 0x20 and c != '\x7f' for c in listed), 'no control characters')
print(f'drawn characters: {len(failures)} failed')
sys.exit(1 if failures else 0)
