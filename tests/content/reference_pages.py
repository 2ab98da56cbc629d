#!/usr/bin/env python3
"""Checks of the pages of the chemical tables window (content/ORBITA/TABLICE) and
of the help window (content/ORBITA/POMOC).

    reference_pages.py [help] links     every page has a title; the required pages
                                 exist; every link is a bare page name in the folder or
                                 an http(s)/mailto address; every picture is a GIF, BMP
                                 or JPEG file in the folder; every page but the list is
                                 listed in MENU.HTM.
                                 Tables: also "#name" anchors of the same page and
                                 ORB_KORESPONDENCJA; at least 14 table pages; no picture
                                 in the topic list (only the contents pane shows them).
                                 Help: no "#" in any link (the help window loads every
                                 target as a page); a page for every help topic, both
                                 those of the topic table and every topic name the
                                 windows' sources spell
    reference_pages.py [help] markup    every character packs into Windows-1250, every
                                 entity is one the page engine decodes to the character
                                 meant, no table is wider than the engine's 30 columns
    reference_pages.py [help] spelling  hunspell -d pl_PL finds no word outside the
                                 accepted list (tests/content/accepted_words.txt);
                                 preformatted text (a licence quoted in English) is left
                                 out

Without "help" the checks read the tables folder. The folder may be given after the
check. Exit status 0 when the check passes, 1 with one line per fault when it does
not; the spelling check exits 77 (skipped) when hunspell or its Polish dictionary is
missing.
"""

import html.entities
import html.parser
import pathlib
import re
import sys
import unicodedata

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import element_content  # noqa: E402  (the element symbols)
from content_checks import spelling_faults, report  # noqa: E402

ROOT = element_content.ROOT
TABLICE = ROOT / "content" / "ORBITA" / "TABLICE"
POMOC = ROOT / "content" / "ORBITA" / "POMOC"
MIN_TABLES = 14
# The pages the help window opens by name: its list and welcome page, and one
# page per topic of the windows' F1 keys and help buttons.
HELP_TOPICS = ("O_GLOWNE", "LEGENDA", "O_MENU", "O_TABLIC", "O_PIERWS", "O_SZUKAJ", "O_SLOWNK",
               "O_TEST", "O_LICZ", "O_MASA", "O_WLASC", "O_CENTRM", "O_USTAWN", "O_LOGUJ", "O_INST", "NOWOSCI",
               "O_USUN", "O_PORADA", "DZIEKI")
HELP_REQUIRED = ("MENU.HTM", "WITAMY.HTM", "LICENCJA.HTM") + tuple(t + ".HTM" for t in HELP_TOPICS)
# A help topic as the windows' sources spell it: "O_" and a name, or one of the
# topics without the prefix.
SOURCE_TOPIC = re.compile(r'"(O_[A-Z]+|LEGENDA|NOWOSCI|DZIEKI)"')
PICTURE_MAGIC = (b"GIF87a", b"GIF89a", b"BM", b"\xff\xd8\xff")  # what the page engine reads
MAX_COLUMNS = 30  # the page engine stops a wider table with "Table has too many Columns"
EXTERNAL = re.compile(r"^(https?://|mailto:)", re.I)


class Page(html.parser.HTMLParser):
    """What the checks need of one page: title, links, anchors, pictures and
    the column count of every table row."""

    def __init__(self):
        super().__init__(convert_charrefs=False)
        self.title, self.in_title = "", False
        self.links, self.anchors, self.images = [], set(), []
        self.rows = []  # column counts, innermost table
        self.text = []
        self.in_pre = False

    def handle_starttag(self, tag, attrs):
        attrs = {k: (v or "") for k, v in attrs}
        if tag == "title":
            self.in_title = True
        elif tag == "a":
            if "href" in attrs:
                self.links.append(attrs["href"])
            if "name" in attrs:
                self.anchors.add(attrs["name"].upper())
        elif tag == "img":
            self.images.append(attrs.get("src", ""))
        elif tag == "tr":
            self.rows.append(0)
        elif tag in ("td", "th") and self.rows:
            span = attrs.get("colspan", "1")
            self.rows[-1] += int(span) if span.isdigit() and int(span) > 1 else 1
        if tag in ("br", "p", "tr", "td", "th", "li", "h2", "h3"):
            self.text.append("\n")
        elif tag in ("sub", "sup"):
            self.text.append(" ")  # an index is not part of the word: R<SUB>H</SUB>
        elif tag == "pre":
            self.in_pre = True

    def handle_endtag(self, tag):
        if tag == "title":
            self.in_title = False
        elif tag == "pre":
            self.in_pre = False

    def handle_data(self, data):
        if self.in_title:
            self.title += data
        elif not self.in_pre:
            self.text.append(data)

    def handle_entityref(self, name):
        self.handle_data(html.unescape(f"&{name};"))

    def handle_charref(self, name):
        self.handle_data(html.unescape(f"&#{name};"))


def read_page(path):
    page = Page()
    page.feed(path.read_text(encoding="utf-8"))
    page.close()
    return page


def pages(folder):
    return sorted(p for p in folder.iterdir() if p.suffix.upper() in (".HTM", ".HTML"))


# --- links ----------------------------------------------------------------

def source_topics():
    """Help topics spelled in the windows' sources (windows/, app/)."""
    topics = set()
    for top in ("windows", "app"):
        for path in (ROOT / top).rglob("*"):
            if path.suffix in (".cpp", ".h"):
                topics.update(SOURCE_TOPIC.findall(path.read_text(encoding="utf-8")))
    return topics


def check_links(folder, help_pages=False):
    faults = []
    members = {p.name.upper() for p in folder.iterdir()}
    required = HELP_REQUIRED if help_pages else ("MENU.HTM", "INDEX.HTM")
    for name in required:
        if name not in members:
            faults.append(f"{name} is missing")
    if help_pages:
        for topic in sorted(source_topics()):
            if topic + ".HTM" not in members:
                faults.append(f"{topic}.HTM is missing (a window opens help topic {topic})")
    parsed = {p.name: read_page(p) for p in pages(folder)}
    listed_pages = [name for name in parsed if name.upper() not in ("MENU.HTM", "INDEX.HTM")]
    if not help_pages and len(listed_pages) < MIN_TABLES:
        faults.append(f"only {len(listed_pages)} table pages, at least {MIN_TABLES} are due")
    for name, page in parsed.items():
        if not page.title.strip():
            faults.append(f"{name}: no <TITLE> (the window caption shows it)")
        for target in page.links:
            if EXTERNAL.match(target):
                continue
            if help_pages and "#" in target:
                faults.append(f"{name}: link {target} has a \"#\" (help loads every target as a page)")
            elif not help_pages and target == "ORB_KORESPONDENCJA":
                continue
            elif target.startswith("#"):
                # The view matches anchors without regard to case.
                if target[1:].upper() not in page.anchors:
                    faults.append(f"{name}: link {target} has no <A NAME> in the page")
            elif "#" in target:
                faults.append(f"{name}: link {target} points into another page (only \"#name\" works)")
            elif "/" in target or "\\" in target or ":" in target:
                faults.append(f"{name}: link {target} names a folder or a scheme (only bare names in the "
                              "folder and http(s)/mailto addresses work)")
            elif target.upper() not in members:
                faults.append(f"{name}: link {target} names no page in {folder.name}")
        for source in page.images:
            if "/" in source or "\\" in source or source.upper() not in members:
                faults.append(f"{name}: picture {source!r} is not in {folder.name}")
            else:
                path = next(p for p in folder.iterdir() if p.name.upper() == source.upper())
                if not path.read_bytes().startswith(PICTURE_MAGIC):
                    faults.append(f"{name}: picture {source!r} is not a GIF, BMP or JPEG file")
        if not help_pages and name.upper() == "MENU.HTM" and page.images:
            faults.append("MENU.HTM: the topic list shows no pictures")
    menu = next((page for name, page in parsed.items() if name.upper() == "MENU.HTM"), None)
    if menu:
        listed = {target.upper() for target in menu.links}
        for name in listed_pages:
            if name.upper() not in listed:
                faults.append(f"{name}: not listed in MENU.HTM")
    return faults


# --- markup ---------------------------------------------------------------

ENTITY = re.compile(r"&(#\d+|[A-Za-z0-9]+);?")
ENGINE_NAMES = {"amp": "&", "lt": "<", "gt": ">", "quot": '"'}


def engine_entity(ref):
    """The character the page engine gives for an entity, or None when it
    leaves the entity as text. Latin-1 codes (named or numeric) give the same
    character where Windows-1250 has it, otherwise the letter without its
    mark; lower numeric codes give the Windows-1250 character of that byte."""
    if ref.startswith("#"):
        code = int(ref[1:])
        if code == 9:
            return " "
        if 0xA0 <= code <= 0xFF:
            return latin1_shown(code)
        if code == 10 or 32 <= code <= 255:
            return bytes([code]).decode("cp1250", errors="replace")
        return None
    if ref in ENGINE_NAMES:
        return ENGINE_NAMES[ref]
    code = html.entities.name2codepoint.get(ref)
    if code is not None and 0xA0 <= code <= 0xFF:
        return latin1_shown(code)
    return None


def latin1_shown(code):
    character = chr(code)
    try:
        character.encode("cp1250")
        return character
    except UnicodeEncodeError:
        stripped = unicodedata.normalize("NFKD", character)
        return "".join(c for c in stripped if not unicodedata.combining(c)) or "?"


def check_markup(folder, help_pages=False):
    faults = []
    for path in sorted(folder.iterdir()):
        if path.suffix.upper() not in (".HTM", ".HTML", ".TXT"):
            continue
        text = path.read_text(encoding="utf-8")
        for number, line in enumerate(text.splitlines(), 1):
            for ch in line:
                try:
                    ch.encode("cp1250")
                except UnicodeEncodeError:
                    faults.append(f"{path.name}:{number}: {ch!r} (U+{ord(ch):04X}) is not in Windows-1250")
            for m in ENTITY.finditer(line):
                meant = html.unescape(m.group(0) if m.group(0).endswith(";") else m.group(0) + ";")
                shown = engine_entity(m.group(1))
                if shown is None:
                    faults.append(f"{path.name}:{number}: {m.group(0)} is shown as written (the engine knows "
                                  "only amp, lt, gt, quot and the Latin-1 names)")
                elif shown != meant:
                    faults.append(f"{path.name}:{number}: {m.group(0)} means {meant!r} but the page shows "
                                  f"{shown!r} (Windows-1250 lacks it)")
        if path.suffix.upper() != ".TXT":
            for columns in read_page(path).rows:
                if columns > MAX_COLUMNS:
                    faults.append(f"{path.name}: a table row of {columns} columns (at most {MAX_COLUMNS})")
    return faults


# --- spelling -------------------------------------------------------------

def check_spelling(folder, help_pages=False):
    texts = {}
    for path in pages(folder):
        page = read_page(path)
        texts[path.name] = page.title + "\n" + "".join(page.text)
    return spelling_faults(texts, set(element_content.read_database()["Symbol"].values()))


CHECKS = {"links": check_links, "markup": check_markup, "spelling": check_spelling}


def main():
    args = sys.argv[1:]
    help_pages = bool(args) and args[0] == "help"
    if help_pages:
        args = args[1:]
    if len(args) not in (1, 2) or args[0] not in CHECKS:
        sys.exit(f"usage: {sys.argv[0]} [help] {'|'.join(CHECKS)} [folder]")
    folder = pathlib.Path(args[1]) if len(args) == 2 else (POMOC if help_pages else TABLICE)
    return report(args[0], CHECKS[args[0]](folder, help_pages))


if __name__ == "__main__":
    sys.exit(main())
