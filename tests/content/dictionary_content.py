#!/usr/bin/env python3
"""Checks of the chemical dictionary content/ORBITA/SLOWNIK/DANE.TXT.

    dictionary_content.py format    every line is a term, one "á" and a definition; at
                                    least 300 terms, none twice (case ignored); only the
                                    tags the dictionary view shows, balanced; no pictures;
                                    links only within the page or to ORB_KORESPONDENCJA;
                                    every character has a Windows-1250 code
    dictionary_content.py spelling  hunspell -d pl_PL finds no word outside the
                                    accepted list (tests/content/accepted_words.txt)

Exit status 0 when the check passes, 1 with one line per fault when it does not;
the spelling check exits 77 (skipped) when hunspell or its Polish dictionary is
missing. A path given after the check name replaces DANE.TXT.
"""

import html
import pathlib
import re
import sys

from content_checks import spelling_faults, report
from element_content import read_database

ROOT = pathlib.Path(__file__).resolve().parents[2]
DICTIONARY = ROOT / "content" / "ORBITA" / "SLOWNIK" / "DANE.TXT"
SEPARATOR = "á"  # byte E1 in Windows-1250
MINIMUM_TERMS = 300

CONTAINERS = {"B", "I", "U", "SUB", "SUP", "P", "UL", "OL", "LI", "FONT", "A"}
VOID = {"BR"}
# Named entities the page engine decodes to the letter they name in Windows-1250;
# the rest stand for Latin-1 codes that show another letter there (&oslash; as ř).
ENTITIES = {"amp", "lt", "gt", "quot", "nbsp"}
TAG = re.compile(r"<(/?)([A-Za-z][A-Za-z0-9]*)([^<>]*)>")
HREF = re.compile(r"""\bHREF\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>]+))""", re.I)
NAME = re.compile(r"""\bNAME\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>]+))""", re.I)
# House style: en dash between words, decimal comma, "około" spelled out.
STYLE = [(re.compile(r"—"), "an em dash (the house style uses the en dash)"),
         (re.compile(r"\s-\s"), "a hyphen between words (the house style uses ' – ')"),
         (re.compile(r"\bok\.\s"), "'ok.' (write 'około')"),
         (re.compile(r"\d\.\d"), "a decimal point (the house style uses the decimal comma)"),
         (re.compile(r'"'), "a straight quotation mark in the text (use „…”)")]


def read_entries(path):
    """(line number, term, definition or None when the line has no separator)."""
    entries = []
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        term, separator, definition = line.partition(SEPARATOR)
        entries.append((number, term, definition if separator else None, line))
    return entries


def attribute(pattern, text):
    m = pattern.search(text)
    return next(group for group in m.groups() if group is not None) if m else None


def markup_faults(definition):
    faults, open_tags, names, targets = [], [], set(), []
    for m in TAG.finditer(definition):
        closing, name, rest = m.group(1), m.group(2).upper(), m.group(3)
        if name == "IMG":
            faults.append("a picture (the dictionary view shows none)")
        elif name in VOID:
            continue
        elif name not in CONTAINERS:
            if not closing:
                faults.append(f"the tag <{m.group(2)}> is not one the dictionary uses")
        elif not closing:
            open_tags.append(name)
            if name == "A":
                href, anchor = attribute(HREF, rest), attribute(NAME, rest)
                if href is not None:
                    targets.append(href)
                if anchor is not None:
                    names.add(anchor)
        elif not open_tags or open_tags[-1] != name:
            faults.append(f"</{m.group(2)}> closes {'<' + open_tags[-1] + '>' if open_tags else 'nothing'}")
            if name in open_tags:
                del open_tags[len(open_tags) - 1 - open_tags[::-1].index(name):]
        else:
            open_tags.pop()
    faults += [f"<{name}> is never closed" for name in open_tags]
    for target in targets:
        if target == "ORB_KORESPONDENCJA":
            continue
        if not target.startswith("#"):
            faults.append(f"the link {target!r} leads out of the dictionary")
        elif target[1:] not in names:
            faults.append(f"the link {target!r} names no anchor of the definition")
    text = TAG.sub("", definition)
    if "<" in text or ">" in text:
        faults.append("a bare '<' or '>' (write &lt; or &gt;)")
    for entity in re.findall(r"&([A-Za-z0-9#]+);?", text):
        if entity not in ENTITIES:
            faults.append(f"the entity &{entity}; (write the letter itself, one Windows-1250 has)")
    for pattern, why in STYLE:
        if pattern.search(text):
            faults.append(why)
    return faults


def check_format(path):
    entries = read_entries(path)
    faults, seen = [], {}
    for number, term, definition, line in entries:
        where = f"line {number} ({term[:30] or line[:30]!r})"
        if definition is None:
            faults.append(f"{where}: no separator '{SEPARATOR}'")
            continue
        if SEPARATOR in definition:
            faults.append(f"{where}: a second '{SEPARATOR}' (the first one ends the term)")
        if not term.strip():
            faults.append(f"{where}: empty term")
        elif term != term.strip() or re.search(r"[<>&]", term):
            faults.append(f"{where}: the term has markup or blanks at its ends: {term!r}")
        if not definition.strip():
            faults.append(f"{where}: empty definition")
        key = term.strip().casefold()
        if key in seen:
            faults.append(f"{where}: the term stands also on line {seen[key]}")
        seen.setdefault(key, number)
        for character in sorted(set(line)):
            try:
                character.encode("cp1250")
            except UnicodeEncodeError:
                faults.append(f"{where}: U+{ord(character):04X} {character!r} has no Windows-1250 code")
        faults += [f"{where}: {fault}" for fault in markup_faults(definition)]
    terms = sum(1 for _, term, definition, _ in entries if definition is not None and term.strip())
    if terms < MINIMUM_TERMS:
        faults.append(f"only {terms} terms, at least {MINIMUM_TERMS} are due")
    return faults


def plain_text(fragment):
    fragment = re.sub(r"</?(SUB|SUP|I|B|U)>", "", fragment, flags=re.I)
    return html.unescape(re.sub(r"<[^>]*>", " ", fragment))


def check_spelling(path):
    texts = {}
    for number, term, definition, line in read_entries(path):
        texts[f"line {number} ({term})"] = plain_text(term + "\n" + (definition or line))
    return spelling_faults(texts, set(read_database()["Symbol"].values()))


CHECKS = {"format": check_format, "spelling": check_spelling}


def main():
    if len(sys.argv) not in (2, 3) or sys.argv[1] not in CHECKS:
        sys.exit(f"usage: {sys.argv[0]} {'|'.join(CHECKS)} [DANE.TXT]")
    path = pathlib.Path(sys.argv[2]) if len(sys.argv) == 3 else DICTIONARY
    return report(sys.argv[1], CHECKS[sys.argv[1]](path))


if __name__ == "__main__":
    sys.exit(main())
