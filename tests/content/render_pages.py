#!/usr/bin/env python3
"""Every help and table page of the built content archive, laid out by the
program's own page engine at 600 px (orbita-tool render --text), shows its
content and not one of the error texts the engine paints instead of a broken
page ("Open Comment at End of HTML File", ...), and every page has a title.

Usage: render_pages.py ORBITA-TOOL ORBITA.DAT HTMLVIEW-FOLDER
Exits 77 (skipped) when the tool or the archive is not built.
"""

import pathlib
import re
import subprocess
import sys

SKIP = 77
WIDTH = "600"
FOLDERS = ("POMOC", "TABLICE")
# The engine's error texts are string constants of htmlview named k...Error
# or k...Message; reading them from the sources keeps this list whole.
ERROR_CONSTANT = re.compile(
    r'constexpr\s+std::string_view\s+k\w*(?:Error|Message)\w*\s*=\s*"([^"]+)"')
TITLE = re.compile(rb"<title[^>]*>(.*?)</title\s*>", re.IGNORECASE | re.DOTALL)
TAG = re.compile(r"<[^>]*>")


def error_texts(htmlview):
    texts = set()
    for header in sorted(pathlib.Path(htmlview).glob("*.h")):
        texts.update(ERROR_CONSTANT.findall(header.read_text(encoding="utf-8")))
    return sorted(texts)


def run(tool, *args):
    return subprocess.run([tool, *args], capture_output=True, timeout=60, check=False)


def page_members(tool, archive):
    listing = run(tool, "archive", "list", archive)
    if listing.returncode != 0:
        raise SystemExit(f"orbita-tool archive list failed: {listing.stderr.decode(errors='replace')}")
    members = []
    for line in listing.stdout.decode("cp1250").splitlines():
        name = line.split(" ", 4)[-1]
        folder, _, page = name.partition("\\")
        if folder.upper() in FOLDERS and page.upper().endswith(".HTM") and "\\" not in page:
            members.append(name)
    return members


def title_of(page_bytes):
    found = TITLE.search(page_bytes)
    if not found:
        return ""
    return TAG.sub("", found.group(1).decode("cp1250")).strip()


def main():
    if len(sys.argv) != 4:
        print(__doc__)
        return 2
    tool, archive, htmlview = sys.argv[1:]
    if not pathlib.Path(tool).is_file() or not pathlib.Path(archive).is_file():
        print(f"skipped: the content is not built ({tool}, {archive})")
        return SKIP
    errors = error_texts(htmlview)
    if not errors:
        print(f"no error texts found in {htmlview}/*.h: nothing to check against")
        return 1
    members = page_members(tool, archive)
    faults = []
    for folder in FOLDERS:
        if not any(m.upper().startswith(folder + "\\") for m in members):
            faults.append(f"{archive}: no {folder}\\*.HTM page")
    for member in members:
        shown = run(tool, "render", f"{archive}:{member}", "--width", WIDTH, "--text")
        text = shown.stdout.decode("utf-8", errors="replace")
        if shown.returncode != 0:
            faults.append(f"{member}: render failed: {shown.stderr.decode(errors='replace').strip()}")
            continue
        for error in errors:
            if error in text:
                faults.append(f"{member}: the page engine shows \"{error}\" instead of the page")
        if not text.strip():
            faults.append(f"{member}: shows no text at {WIDTH} px")
        raw = run(tool, "archive", "cat", archive, member)
        if raw.returncode != 0 or not title_of(raw.stdout):
            faults.append(f"{member}: no title")
    for fault in faults:
        print(fault)
    print(f"{len(members)} pages rendered at {WIDTH} px against {len(errors)} error texts, "
          f"{len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
