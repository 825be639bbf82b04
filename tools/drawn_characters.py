#!/usr/bin/python3
"""Prints every character the programs can draw, for cutting a font down to them.

They are: printable ASCII (shown as typed after ^), the ideographic space and the full-width
forms (typed keys and numbers are shown in them), the characters the start-up font check asks
for (runtime/needed_characters.inc, which holds the marks drawn by their JIS codes), and every
character inside a string or character literal of the programs' sources. Comments are skipped:
a character that appears only in a comment is never drawn.

Usage: drawn_characters.py REPO
"""
import pathlib, sys

SOURCE_DIRS = ['runtime', 'shell', 'halvard', 'morvane', 'quillon', 'brenwick']


def literal_characters(code):
    """The characters inside string and character literals of C++ source `code`."""
    out = []
    i, n = 0, len(code)
    while i < n:
        c = code[i]
        if code.startswith('//', i):
            i = code.find('\n', i)
            i = n if i < 0 else i
        elif code.startswith('/*', i):
            i = code.find('*/', i + 2)
            i = n if i < 0 else i + 2
        elif c in '"\'':
            j = i + 1
            while j < n and code[j] != c:
                j += 2 if code[j] == '\\' else 1
            out.append(code[i + 1:j])
            i = j + 1
        elif c.isdigit():
            # A number, so that the ' of a digit separator (1'000) starts no literal.
            j = i
            while j < n and (code[j].isascii() and code[j].isalnum() or code[j] in "_.'"):
                j += 1
            i = j
        elif c.isascii() and (c.isalpha() or c == '_'):
            j = i
            while j < n and code[j].isascii() and (code[j].isalnum() or code[j] == '_'):
                j += 1
            if code[j - 1] == 'R' and code.startswith('"', j):
                # A raw string (R, u8R, UR...): R"delim( ... )delim".
                open_paren = code.find('(', j + 1)
                close = ')' + code[j + 1:open_paren] + '"'
                end = code.find(close, open_paren + 1)
                end = n if end < 0 else end
                out.append(code[open_paren + 1:end])
                j = end + len(close)
            i = j
        else:
            i += 1
    return set(''.join(out))


def drawn_characters(repo):
    chars = set(map(chr, range(0x20, 0x7F)))
    chars |= set(map(chr, range(0xFF01, 0xFF5F))) | {'\u3000'}
    chars |= literal_characters((repo / 'runtime' / 'needed_characters.inc').read_text(encoding='utf-8'))
    for d in SOURCE_DIRS:
        for f in sorted((repo / d).glob('*.cpp')) + sorted((repo / d).glob('*.h')):
            if not f.stem.endswith('_test'):
                chars |= literal_characters(f.read_text(encoding='utf-8'))
    # Control characters and escapes' letters are either ASCII (already there) or not drawn.
    return ''.join(sorted(ch for ch in chars if ch.isprintable() or ch == '\u3000'))


if __name__ == '__main__':
    sys.stdout.write(drawn_characters(pathlib.Path(sys.argv[1])))
