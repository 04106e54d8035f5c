#!/usr/bin/env python3
"""Checks that every program text the manual quotes is one the programs show.

The manual marks each quoted program text as `TEXT`{.msg}; an ellipsis (…)
stands where a program fills in a name, number or path. Each piece between
ellipses must occur in one string literal of the C++ sources (adjacent
literals joined, escapes undone, a line break read as a space, printf
conversions read as a filled-in place). A text that the programs no longer
show, or show in other words, is reported with its line in the manual.

usage: message_texts.py MANUAL_MD SOURCE_DIR...
"""
import pathlib
import re
import sys

PLACE = "\x00"  # where a program fills something in


def string_literals(code):
    """The string literals of a C++ file, in order; adjacent ones joined."""
    literals, i, n = [], 0, len(code)
    joinable = False  # only white space since the last literal ended
    while i < n:
        c = code[i]
        if code.startswith("//", i):
            i = code.find("\n", i)
            i = n if i < 0 else i
        elif code.startswith("/*", i):
            i = code.find("*/", i + 2)
            i = n if i < 0 else i + 2
        elif c == "'":
            j = i + 1
            while j < n and code[j] != "'":
                j += 2 if code[j] == "\\" else 1
            i, joinable = j + 1, False
        elif c == '"':
            j, text = i + 1, []
            while j < n and code[j] != '"':
                if code[j] == "\\" and j + 1 < n:
                    text.append(code[j:j + 2])
                    j += 2
                else:
                    text.append(code[j])
                    j += 1
            literal = "".join(text)
            if joinable and literals:
                literals[-1] += literal
            else:
                literals.append(literal)
            i, joinable = j + 1, True
        else:
            if not c.isspace():
                joinable = False
            i += 1
    return literals


def normalise_code_text(literal):
    text = re.sub(r"%[-+ #0-9.]*(?:l|ll|z)?[sdiuxXc]", PLACE, literal)
    text = text.replace("%%", "%")
    text = re.sub(r"\\(.)", lambda m: {"n": " ", "t": " "}.get(m.group(1), m.group(1)), text)
    return re.sub(r"\s+", " ", text)


def manual_texts(markdown):
    """(line number, text) of every program text the manual quotes."""
    for number, line in enumerate(markdown.splitlines(), 1):
        for match in re.finditer(r"`([^`]+)`\{\.msg\}", line):
            yield number, match.group(1)


def main(argv):
    if len(argv) < 3:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    manual = pathlib.Path(argv[1]).read_text(encoding="utf-8")
    corpus = []
    for folder in argv[2:]:
        for path in sorted(pathlib.Path(folder).rglob("*")):
            if path.suffix in (".cpp", ".h", ".rc") and path.is_file():
                code = path.read_text(encoding="utf-8", errors="replace")
                corpus.extend(normalise_code_text(t) for t in string_literals(code))
    checked, unknown = 0, []
    for number, text in manual_texts(manual):
        checked += 1
        pieces = [re.sub(r"\s+", " ", p).strip() for p in text.split("…")]
        missing = [p for p in pieces if len(p) >= 2 and not any(p in literal for literal in corpus)]
        if missing:
            unknown.append((number, text, missing))
    for number, text, missing in unknown:
        print(f"line {number}: the programs show no text like \"{text}\" "
              f"(not found: {'; '.join(repr(m) for m in missing)})")
    if checked == 0:
        print("the manual quotes no program text (`TEXT`{.msg}); nothing was checked")
        return 1
    print(f"{checked} quoted program texts, {len(unknown)} unknown to the programs")
    return 1 if unknown else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
