#!/usr/bin/env python3
"""Writes the element database content/ORBITA/UKLAD/DANE.TXT.

Run by hand when the data changes, not at build time:

    python3 tools/content/make_element_data.py [path/to/bodr/elements.xml]

Inputs:
  * the Blue Obelisk Data Repository (Debian package `bodr`), elements.xml:
    English names, symbols, atomic weights, electron configurations,
    Pauling electronegativities, first ionisation energies, covalent radii,
    melting and boiling points, discovery years and discoverers;
  * tools/content/element_extra.csv: Polish and Latin names, the origin of
    the name in Polish, the state of matter at 20 °C;
  * tools/content/element_density.csv: densities with their source per row;
  * tools/content/element_corrections.csv: values that replace or fill in
    bodr's, each row with its source;
  * tools/content/ciaaw_2021.csv: the standard atomic weights (CIAAW 2021),
    which replace bodr's for every element that has one;
  * tools/content/cordero_2008.csv: covalent radii (Cordero et al. 2008),
    which replace bodr's.

Group, period, block and family are worked out from the atomic number, by
IUPAC's recommendation of 2021: the f-block holds La-Yb and Ac-No (14 + 14
elements, outside the numbered groups); Lu and Lr stand in group 3 of the
d-block under Sc and Y. The names "lantanowiec" and "aktynowiec" keep their
nomenclature meaning (La-Lu, Ac-Lr, 15 each).

Atomic weights are rounded with decimal arithmetic (half up), never through a
binary float.

Numbers are written with the Polish decimal comma and no unit; the unit of a
property is its SUFFIX line. The output is UTF-8; the build converts it to
Windows-1250. No value may contain "[" (the element search takes every line
that holds one for a property header), so the brackets of a noble-gas core and
of a mass number are written as the entities &#91; and &#93;.
"""

import argparse
import csv
import decimal
import pathlib
import re
import sys
import xml.etree.ElementTree as ET

HERE = pathlib.Path(__file__).resolve().parent
REPO = HERE.parent.parent
DEFAULT_BODR = "/usr/share/bodr/elements.xml"
CML = "{http://www.xml-cml.org/schema}"
FARADAY_KJ_PER_EV = 96.485332  # 1 eV per particle in kJ/mol
ELEMENTS = 118

F_BLOCK = set(range(57, 71)) | set(range(89, 103))  # La-Yb, Ac-No
NO_GROUP = "nie należy do grup 1–18"
# Families of 113-118 follow from their place in the table; too few atoms have
# been made to confirm them.
PREDICTED_FAMILY = {113: "metal bloku p", 114: "metal bloku p", 115: "metal bloku p",
                    116: "metal bloku p", 117: "halogen", 118: "gaz szlachetny"}
PREDICTED = " (przewidywana)"
# Ground-state configurations from 104 on are calculated, never measured.
PREDICTED_CONFIGURATIONS = range(104, ELEMENTS + 1)

NOBLE_CORES = {"He": 2, "Ne": 10, "Ar": 18, "Kr": 36, "Xe": 54, "Rn": 86}
PERIOD_ENDS = [2, 10, 18, 36, 54, 86, 118]


def read_bodr(path):
    """Element number -> {dictRef name: (text, units)} from elements.xml."""
    root = ET.parse(path).getroot()
    atoms = {}
    for atom in root.iter(CML + "atom"):
        props = {}
        for child in atom:
            ref = child.get("dictRef", "")
            key = ref.split(":", 1)[-1]
            if child.tag == CML + "label":
                props[key] = (child.get("value", ""), None)
            else:
                props[key] = ((child.text or "").strip(), child.get("units"))
        number = int(props["atomicNumber"][0])
        if 1 <= number <= ELEMENTS:
            atoms[number] = props
    missing = [z for z in range(1, ELEMENTS + 1) if z not in atoms]
    if missing:
        sys.exit(f"elements.xml lacks elements {missing}")
    return atoms


def read_table(name):
    """Rows of a '|'-separated UTF-8 table beside this script; '#' lines are comments."""
    with open(HERE / name, encoding="utf-8", newline="") as f:
        lines = [line for line in f if line.strip() and not line.startswith("#")]
    return list(csv.DictReader(lines, delimiter="|", quoting=csv.QUOTE_NONE))


def comma(text):
    return text.replace(".", ",")


def decimals_of(text):
    return len(text.split(".", 1)[1]) if "." in text else 0


def kelvin_to_celsius(text):
    """Keeps the number of decimals the kelvin value was given with."""
    places = decimals_of(text)
    value = round(float(text) - 273.15, places)
    if value == 0:
        value = 0.0
    return comma(f"{value:.{places}f}")


def format_mass(text):
    """At most three decimals, fewer when the source gives fewer; rounded half
    up in decimal arithmetic (50.9415 -> 50,942)."""
    places = min(decimals_of(text), 3)
    value = decimal.Decimal(text).quantize(decimal.Decimal(1).scaleb(-places), rounding=decimal.ROUND_HALF_UP)
    return comma(str(value))


def period_of(z):
    return next(i + 1 for i, end in enumerate(PERIOD_ENDS) if z <= end)


def block_of(z):
    if z == 2:
        return "s"  # 1s2, although placed above the p-block in group 18
    if z in F_BLOCK:
        return "f"
    start = 0 if period_of(z) == 1 else PERIOD_ENDS[period_of(z) - 2]
    column = z - start  # 1-based position within the period
    length = PERIOD_ENDS[period_of(z) - 1] - start
    if column <= 2:
        return "s"
    if length - column < 6:
        return "p"
    return "d"


def group_of(z):
    """Group 1-18; the f-block (La-Yb, Ac-No) stands outside the groups and
    Lu and Lr are in group 3."""
    if z == 1:
        return 1
    if z == 2:
        return 18
    if z in F_BLOCK:
        return NO_GROUP
    if z in (71, 103):
        return 3
    period = period_of(z)
    start = PERIOD_ENDS[period - 2]
    length = PERIOD_ENDS[period - 1] - start
    column = z - start
    if length == 32:  # periods 6 and 7: skip the 14 f-block columns
        column = column if column <= 2 else column - 14
    if length == 8:  # periods 2 and 3: s and p only
        return column if column <= 2 else column + 10
    return column


def family_of(z):
    if z in (2, 10, 18, 36, 54, 86):
        return "gaz szlachetny"
    if z in PREDICTED_FAMILY:
        return PREDICTED_FAMILY[z] + " (przewidywany)"
    if z in (9, 17, 35, 53, 85):
        return "halogen"
    if z in (3, 11, 19, 37, 55, 87):
        return "metal alkaliczny"
    if z in (4, 12, 20, 38, 56, 88):
        return "metal ziem alkalicznych"
    if 57 <= z <= 71:
        return "lantanowiec"
    if 89 <= z <= 103:
        return "aktynowiec"
    if z in (1, 6, 7, 8, 15, 16, 34):
        return "niemetal"
    if z in (5, 14, 32, 33, 51, 52):
        return "półmetal"
    if block_of(z) == "d":
        return "metal przejściowy"
    if z in (13, 31, 49, 50, 81, 82, 83, 84):
        return "metal bloku p"
    sys.exit(f"no family for element {z}")


def format_configuration(text):
    """'Ar 3d6 4s2' -> '&#91;Ar&#93; 3d<sup>6</sup> 4s<sup>2</sup>'."""
    out = []
    for part in text.split():
        if part in NOBLE_CORES:
            out.append(f"&#91;{part}&#93;")
            continue
        m = re.fullmatch(r"(\d[spdf])(\d+)", part)
        if not m:
            sys.exit(f"unexpected electron configuration part {part!r} in {text!r}")
        out.append(f"{m.group(1)}<sup>{m.group(2)}</sup>")
    return " ".join(out)


def format_discoverers(text):
    names = [n.strip() for n in text.split(";") if n.strip()]
    if names and names[-1] == "et al.":
        return ", ".join(names[:-1]) + " i in."
    return ", ".join(names)


def build(bodr_path):
    atoms = read_bodr(bodr_path)
    extra = {int(r["z"]): r for r in read_table("element_extra.csv")}
    density = {int(r["z"]): r for r in read_table("element_density.csv")}
    weights = {int(r["z"]): r["weight"] for r in read_table("ciaaw_2021.csv")}
    radii = {int(r["z"]): r["pm"] for r in read_table("cordero_2008.csv")}
    fixes = {}
    for r in read_table("element_corrections.csv"):
        fixes[(int(r["z"]), r["pole"])] = r["wartosc"]
    for z in range(1, ELEMENTS + 1):
        if z not in extra or z not in density:
            sys.exit(f"element {z} is missing from the extra or density table")

    def raw(z, key):
        value = atoms[z].get(key)
        return value[0] if value else ""

    columns = {}

    def column(label, suffix, values):
        columns[label] = (suffix, values)

    def each(fn):
        return [fn(z) for z in range(1, ELEMENTS + 1)]

    def fixed(z, field, fallback):
        return fixes[(z, field)] if (z, field) in fixes else fallback()

    def mass(z):
        def mass_number():  # no standard atomic weight: the longest-lived isotope
            text = raw(z, "mass")
            if "." in text:
                sys.exit(f"element {z} has a weight in bodr but none in the CIAAW table")
            return f"[{text}]"
        value = format_mass(weights[z]) if z in weights else fixed(z, "masa", mass_number)
        return value.replace("[", "&#91;").replace("]", "&#93;")

    def temperature(z, field, key):
        return fixed(z, field, lambda: kelvin_to_celsius(raw(z, key)) if raw(z, key) else "")

    def ionisation(z):
        ev = fixed(z, "jonizacja_ev", lambda: raw(z, "ionization"))
        if not ev or float(ev.replace(",", ".")) == 0:
            return ""
        return comma(f"{float(ev.replace(',', '.')) * FARADAY_KJ_PER_EV:.1f}")

    def radius(z):
        return radii.get(z, "")

    def year(z):
        def from_bodr():
            text = raw(z, "discoveryDate")
            return "starożytność" if text == "0" else text
        return fixed(z, "rok", from_bodr)

    def discoverer(z):
        def from_bodr():
            if raw(z, "discoveryDate") == "0":
                return "nieznany"
            return format_discoverers(raw(z, "discoverers"))
        return fixed(z, "odkrywca", from_bodr)

    def density_of(z, unit):
        if (z, "gestosc") in fixes:  # every corrected density is of a solid
            return fixes[(z, "gestosc")] if unit == "g/cm3" else ""
        row = density[z]
        return row["gestosc"] if row["jednostka"] == unit else ""

    def configuration(z):
        text = fixed(z, "konfiguracja", lambda: raw(z, "electronicConfiguration"))
        if not text:
            return ""
        return format_configuration(text) + (PREDICTED if z in PREDICTED_CONFIGURATIONS else "")

    column("Nazwa polska", None, each(lambda z: extra[z]["nazwa"]))
    column("Nazwa łacińska", None, each(lambda z: extra[z]["lacina"]))
    column("Nazwa angielska", None, each(lambda z: fixed(z, "angielska", lambda: raw(z, "name"))))
    column("Symbol", None, each(lambda z: fixed(z, "symbol", lambda: raw(z, "symbol"))))
    column("Liczba atomowa", None, each(lambda z: str(int(raw(z, "atomicNumber")))))
    column("Masa atomowa", "u", each(mass))
    column("Grupa", None, each(lambda z: str(group_of(z))))
    column("Okres", None, each(lambda z: str(period_of(z))))
    column("Blok", None, each(block_of))
    column("Rodzina", None, each(family_of))
    column("Konfiguracja elektronowa", None, each(configuration))
    column("Elektroujemność (Pauling)", None, each(lambda z: comma(raw(z, "electronegativityPauling"))))
    column("Stan skupienia (20 °C)", None, each(lambda z: extra[z]["stan"]))
    column("Gęstość", "g/cm<sup>3</sup>", each(lambda z: density_of(z, "g/cm3")))
    column("Gęstość gazu (0 °C, 1013 hPa)", "g/l", each(lambda z: density_of(z, "g/l")))
    column("Temperatura topnienia", "°C", each(lambda z: temperature(z, "topnienie", "meltingpoint")))
    column("Temperatura wrzenia", "°C", each(lambda z: temperature(z, "wrzenie", "boilingpoint")))
    column("Pierwsza energia jonizacji", "kJ/mol", each(ionisation))
    column("Promień kowalencyjny", "pm", each(radius))
    column("Rok odkrycia", None, each(year))
    column("Odkrywca", None, each(discoverer))
    column("Pochodzenie nazwy", None, each(lambda z: extra[z]["pochodzenie"]))

    # Cross-check computed positions against bodr's period where bodr has one.
    for z in range(1, ELEMENTS + 1):
        if raw(z, "period") and int(raw(z, "period")) != period_of(z):
            sys.exit(f"period of element {z} disagrees with bodr")

    lines = []
    for label, (suffix, values) in columns.items():
        lines.append(f"[{label}]")
        if suffix:
            lines.append(f"SUFFIX={suffix}")
        for z, value in enumerate(values, start=1):
            if "[" in value or "\n" in value:
                sys.exit(f"{label}: value of element {z} holds a forbidden character: {value!r}")
            lines.append(f"{z}={value}")
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("bodr", nargs="?", default=DEFAULT_BODR, help="bodr's elements.xml")
    parser.add_argument("--out", default=str(REPO / "content" / "ORBITA" / "UKLAD" / "DANE.TXT"))
    args = parser.parse_args()
    if not pathlib.Path(args.bodr).is_file():
        sys.exit(f"{args.bodr} not found: install Debian's bodr package (apt-get install bodr) or name the file")
    text = build(args.bodr)
    out = pathlib.Path(args.out)
    out.parent.mkdir(parents=True, exist_ok=True)
    out.write_bytes(text.encode("utf-8"))
    print(f"wrote {out}")


if __name__ == "__main__":
    main()
