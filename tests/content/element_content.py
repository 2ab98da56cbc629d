#!/usr/bin/env python3
"""Checks of the element content as a chemistry teacher reads it.

    element_content.py masses       every atomic weight in DANE.TXT is the CIAAW 2021
                                    value (tools/content/ciaaw_2021.csv) rounded as shown
    element_content.py convention   one convention for block, group and family:
                                    14 + 14 f-block elements, Lu and Lr in group 3
    element_content.py consistency  discovery years, melting and boiling points and
                                    densities named in the descriptions agree with DANE.TXT
    element_content.py spelling     hunspell -d pl_PL finds no word outside the
                                    accepted list (tests/content/accepted_words.txt)

Exit status 0 when the check passes, 1 with one line per fault when it does not;
the spelling check exits 77 (skipped) when hunspell or its Polish dictionary is
missing.
"""

import csv
import decimal
import html
import pathlib
import re
import sys

from content_checks import spelling_faults, report

ROOT = pathlib.Path(__file__).resolve().parents[2]
UKLAD = ROOT / "content" / "ORBITA" / "UKLAD"
ELEMENTS = 118


def read_database(path=UKLAD / "DANE.TXT"):
    """Property label -> {element number: value}."""
    props, current = {}, None
    for line in path.read_text(encoding="utf-8").splitlines():
        if line.startswith("["):
            current = props.setdefault(line[1:-1], {})
        elif "SUFFIX=" in line.upper() or current is None:
            continue
        elif "=" in line and line.split("=", 1)[0].isdigit():
            key, value = line.split("=", 1)
            current[int(key)] = value
    return props


def read_table(path):
    with open(path, encoding="utf-8", newline="") as f:
        lines = [line for line in f if line.strip() and not line.startswith("#")]
    return list(csv.DictReader(lines, delimiter="|", quoting=csv.QUOTE_NONE))


def description(z):
    return (UKLAD / f"{z}.HTM").read_text(encoding="utf-8")


def plain_text(page):
    """The body as text: tags dropped (SUB/SUP joined), entities decoded."""
    body = page.split("<BODY", 1)[-1].split(">", 1)[-1]
    body = re.sub(r"</?(SUB|SUP|I|B)>", "", body, flags=re.I)
    body = re.sub(r"<[^>]*>", "\n", body)
    return html.unescape(body)


def section(page, title):
    m = re.search(r"<H3>" + re.escape(title) + r"</H3>\s*<P>(.*?)</P>", page, re.S)
    return html.unescape(re.sub(r"<[^>]*>", "", m.group(1))) if m else ""


def number(text):
    for minus in "–−":
        text = text.replace(minus, "-")
    return decimal.Decimal(text.replace(" ", "").replace("\u00a0", "").replace(",", "."))


def decimals(text):
    return len(text.split(",", 1)[1]) if "," in text else 0


# --- masses ---------------------------------------------------------------

def shown_weight(reference):
    """The CIAAW value as the page shows it: at most three decimals, half up."""
    places = min(len(reference.split(".", 1)[1]) if "." in reference else 0, 3)
    value = decimal.Decimal(reference).quantize(decimal.Decimal(1).scaleb(-places), rounding=decimal.ROUND_HALF_UP)
    return str(value).replace(".", ",")


def check_masses(db):
    faults = []
    weights = {int(r["z"]): r["weight"] for r in read_table(ROOT / "tools" / "content" / "ciaaw_2021.csv")}
    if len(weights) < 80:
        faults.append(f"the CIAAW table holds only {len(weights)} elements")
    for z in range(1, ELEMENTS + 1):
        shown = db["Masa atomowa"][z]
        if z in weights:
            if shown != shown_weight(weights[z]):
                faults.append(f"{z}: mass {shown}, CIAAW 2021 gives {weights[z]} -> {shown_weight(weights[z])}")
        elif not re.fullmatch(r"&#91;\d{1,3}&#93;", shown):
            faults.append(f"{z}: no standard atomic weight, so a mass number in brackets is due, not {shown}")
    return faults


# --- convention -----------------------------------------------------------

F_BLOCK = set(range(57, 71)) | set(range(89, 103))


def check_convention(db):
    faults = []
    block, group, family = db["Blok"], db["Grupa"], db["Rodzina"]
    f = {z for z in range(1, ELEMENTS + 1) if block[z] == "f"}
    if f != F_BLOCK:
        faults.append(f"f-block holds {sorted(f ^ F_BLOCK)} wrongly (14 + 14: La-Yb, Ac-No)")
    group3 = {z for z in range(1, ELEMENTS + 1) if group[z] == "3"}
    if group3 != {21, 39, 71, 103}:
        faults.append(f"group 3 holds {sorted(group3)}, not Sc, Y, Lu, Lr")
    for z in range(1, ELEMENTS + 1):
        if z in F_BLOCK:
            if group[z].isdigit():
                faults.append(f"{z}: f-block element in group {group[z]}")
        elif not group[z].isdigit():
            faults.append(f"{z}: no group number: {group[z]!r}")
        lanthanoid, actinoid = 57 <= z <= 71, 89 <= z <= 103
        if (family[z] == "lantanowiec") != lanthanoid or (family[z] == "aktynowiec") != actinoid:
            faults.append(f"{z}: family {family[z]!r}")
        if not family[z]:
            faults.append(f"{z}: no family")
        # The description's subtitle names the same family, group and period.
        m = re.search(r"<P><I>Liczba atomowa (\d+) · ([^·]+) · ([^<]*)</I></P>", description(z))
        if not m:
            faults.append(f"{z}.HTM: no subtitle 'Liczba atomowa … · rodzina · grupa …, okres …'")
            continue
        expected = f"okres {db['Okres'][z]}, blok f" if z in F_BLOCK else f"grupa {group[z]}, okres {db['Okres'][z]}"
        if int(m.group(1)) != z or m.group(2) != family[z] or m.group(3) != expected:
            faults.append(f"{z}.HTM: subtitle '{m.group(0)}' disagrees with DANE.TXT "
                          f"({family[z]} · {expected})")
    return faults


# --- consistency ----------------------------------------------------------

TEMPERATURE = re.compile(r"(około |ok\. |blisko |niemal |prawie |ponad |powyżej |przekracza )?"
                         r"([-–−]?\d{1,2}(?: \d{3})+|[-–−]?\d+)(,\d+)? °C")
LOWER_BOUND = ("ponad ", "powyżej ", "przekracza ")
MELT = re.compile(r"topi|topni|krzep|stapia")
BOIL = re.compile(r"wrze|wrzen|skrapla|sublim|paruje|odparowuje")
DENSITY = re.compile(r"(około |ok\. )?(\d+)(,\d+)? g/cm3")
YEAR = re.compile(r"\b(?:1[5-9]\d\d|20[0-2]\d)\b")
# Points named in a description that belong to something other than the element.
NOT_THE_ELEMENT = re.compile(r"tlen|chlorek|związ|stop|amalgamat|roztw|sól|soli|wod[ay]|mieszanin|ciśnieni|"
                             r"cząsteczk|kwas|węglik|azotek|siarczek|fluorek|wodorek|szkł|nadprzewod|izotop",
                             re.I)


def close_enough(text_value, about, reference):
    """True when the description's figure is the database value rounded as
    written: to the written decimals, or for "about 2200" to the hundreds."""
    if about in LOWER_BOUND:
        return reference > number(text_value)
    digits = text_value.lstrip("-–−").split(",")[0].replace(" ", "")
    if "," in text_value:
        unit = decimal.Decimal(1).scaleb(-decimals(text_value))
    elif about:
        zeros = len(digits) - len(digits.rstrip("0")) if digits.strip("0") else 0
        unit = decimal.Decimal(10) ** zeros
    else:
        unit = decimal.Decimal(1)
    return abs(number(text_value) - reference) <= unit


def sentences(text):
    return re.split(r"(?<=[.;:!?])\s+(?=[A-ZŁŚŻŹĆ])", text)


def check_consistency(db):
    faults = []
    for z in range(1, ELEMENTS + 1):
        page = description(z)
        # The element's own points stand in its properties section; other
        # sections name those of its compounds and alloys.
        body = section(page, "Właściwości")
        for sentence in sentences(body):
            for m in TEMPERATURE.finditer(sentence):
                before = sentence[: m.start()]
                tail = before[-70:]
                kinds = [(k.end(), "Temperatura topnienia") for k in MELT.finditer(tail)]
                kinds += [(k.end(), "Temperatura wrzenia") for k in BOIL.finditer(tail)]
                if not kinds:
                    continue
                label = max(kinds)[1]
                if NOT_THE_ELEMENT.search(tail[max(kinds)[0] - 40 if max(kinds)[0] > 40 else 0:]):
                    continue
                shown = db[label][z].split(" (")[0]
                if not shown:
                    continue
                written = m.group(2) + (m.group(3) or "")
                if not close_enough(written, m.group(1), number(shown)):
                    faults.append(f"{z}.HTM: '{m.group(0)}' ({label.split()[1]}) but DANE.TXT {db[label][z]}")
            for m in DENSITY.finditer(sentence):
                if NOT_THE_ELEMENT.search(sentence[max(0, m.start() - 60): m.start()]):
                    continue
                shown = db["Gęstość"][z]
                if not shown:
                    continue
                written = m.group(2) + (m.group(3) or "")
                unit = decimal.Decimal(1).scaleb(-decimals(written))
                if abs(number(written) - number(shown)) > unit:
                    faults.append(f"{z}.HTM: density '{m.group(0)}' but DANE.TXT {shown}")
        year = db["Rok odkrycia"][z]
        history = section(page, "Historia i nazwa")
        if year.isdigit() and year not in history:
            named = ", ".join(sorted(set(YEAR.findall(history))))
            faults.append(f"{z}.HTM: the history never names the discovery year {year} of DANE.TXT "
                          f"(years named: {named})")
    return faults


# --- spelling -------------------------------------------------------------

def check_spelling(db):
    texts = {f"{z}.HTM": plain_text(description(z)) for z in range(1, ELEMENTS + 1)}
    for extra in ("Pochodzenie nazwy", "Rodzina", "Stan skupienia (20 °C)", "Nazwa polska"):
        texts[f"DANE.TXT [{extra}]"] = html.unescape("\n".join(db[extra].values()))
    legend = ROOT / "content" / "ORBITA" / "POMOC" / "LEGENDA.HTM"
    if legend.exists():
        texts["LEGENDA.HTM"] = plain_text(legend.read_text(encoding="utf-8"))
    return spelling_faults(texts, set(db["Symbol"].values()))


CHECKS = {"masses": check_masses, "convention": check_convention,
          "consistency": check_consistency, "spelling": check_spelling}


def main():
    if len(sys.argv) != 2 or sys.argv[1] not in CHECKS:
        sys.exit(f"usage: {sys.argv[0]} {'|'.join(CHECKS)}")
    return report(sys.argv[1], CHECKS[sys.argv[1]](read_database()))


if __name__ == "__main__":
    sys.exit(main())
