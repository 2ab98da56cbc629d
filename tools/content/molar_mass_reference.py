#!/usr/bin/env python3
"""Reference molar masses for the calculator's tests, computed apart from the
program: a recursive reader of its own over the masses of the element
database (content/ORBITA/UKLAD/DANE.TXT), sums in exact decimals.

    molar_mass_reference.py            writes tests/windows/molar/molar_mass_reference.tsv
    molar_mass_reference.py --check    exit 1 when the committed table differs

Each row: the formula, the molar mass rounded to six decimals, and the atoms
in the order the elements first appear ("Cu1 S1 O9 H10").
"""

import re
import sys
from decimal import Decimal, ROUND_HALF_UP
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
DATABASE = ROOT / "content" / "ORBITA" / "UKLAD" / "DANE.TXT"
TABLE = ROOT / "tests" / "windows" / "molar" / "molar_mass_reference.tsv"

FORMULAS = [
    "H2O", "H2", "O2", "O3", "N2", "CO2", "CO", "NH3", "CH4", "C2H5OH", "C6H12O6", "C12H22O11",
    "NaCl", "KCl", "CaCO3", "CaO", "Ca(OH)2", "NaOH", "KOH", "HCl", "HNO3", "H2SO4", "H3PO4",
    "H2CO3", "NaHCO3", "Na2CO3", "Na2SO4·10H2O", "CuSO4·5H2O", "CuSO4*5H2O", "CuSO4.5H2O",
    "CaSO4·2H2O", "(CaSO4)2·H2O", "MgSO4·7H2O", "FeSO4·7H2O", "Al2(SO4)3", "Al2(SO4)3·18H2O",
    "(NH4)2SO4", "NH4NO3", "(NH4)3PO4", "K4[Fe(CN)6]", "K3[Fe(CN)6]", "[Cu(NH3)4]SO4",
    "[Cu(H2O)4]SO4·H2O", "Fe2O3", "Fe3O4", "KMnO4", "K2Cr2O7", "Ca3(PO4)2", "Mg(NO3)2",
    "Pb(NO3)2", "AgNO3", "BaSO4", "Ca5(PO4)3OH", "CH3COOH", "(CH3COO)2Ca", "C6H5COOH",
    "CH3(CH2)16COOH", "Na2B4O7·10H2O", "KAl(SO4)2·12H2O", "UF6", "PuO2", "TcO4^-", "SO4^2-",
    "NH4+", "H₂O", "SO₄²⁻", "Og", "Fe(CO)5", "Mg3(Si4O10)(OH)2", "Ca[Mg(CO3)2]",
]


def masses():
    symbols, values, section = {}, {}, None
    for raw in DATABASE.read_bytes().decode("cp1250").splitlines():
        if raw.startswith("["):
            section = raw
            continue
        match = re.fullmatch(r"(\d+)=(.*)", raw)
        if not match:
            continue
        number, value = int(match.group(1)), match.group(2)
        if section == "[Symbol]":
            symbols[value] = number
        elif section == "[Masa atomowa]":
            value = value.replace("&#91;", "").replace("&#93;", "").replace(",", ".")
            values[number] = Decimal(value)
    return {symbol: (number, values[number]) for symbol, number in symbols.items() if number in values}


SUBSCRIPTS = str.maketrans("₀₁₂₃₄₅₆₇₈₉", "0123456789")


def read_group(text, pos, closing, table, order):
    """Atoms from pos up to the closing bracket (or the end): counts by symbol
    and the place of the closing bracket."""
    counts = {}
    while pos < len(text) and text[pos] != closing:
        char = text[pos]
        if char in "([{":
            inner, pos = read_group(text, pos + 1, {"(": ")", "[": "]", "{": "}"}[char], table, order)
            number = re.match(r"\d*", text[pos + 1:]).group(0)
            pos += 1 + len(number)
            for symbol, count in inner.items():
                counts[symbol] = counts.get(symbol, 0) + count * int(number or 1)
        else:
            match = re.match(r"([A-Z][a-z]?)(\d*)", text[pos:])
            symbol = match.group(1)
            if symbol not in table:
                raise ValueError(text)
            if symbol not in order:
                order.append(symbol)
            counts[symbol] = counts.get(symbol, 0) + int(match.group(2) or 1)
            pos += len(match.group(0))
    return counts, pos


def atoms_of(formula, table):
    text = formula.translate(SUBSCRIPTS)
    text = re.sub(r"(\^\d*[+-]|[+-]|[⁰¹²³⁴⁵⁶⁷⁸⁹]*[⁺⁻])$", "", text)
    order, total = [], {}
    for part in re.split(r"[·*.]", text):
        factor = re.match(r"\d*", part).group(0)
        counts, _ = read_group(part[len(factor):], 0, None, table, order)
        for symbol, count in counts.items():
            total[symbol] = total.get(symbol, 0) + count * int(factor or 1)
    mass = sum(table[symbol][1] * count for symbol, count in total.items())
    return mass, " ".join(f"{symbol}{total[symbol]}" for symbol in order)


def main():
    table = masses()
    rows = []
    for formula in FORMULAS:
        mass, atoms = atoms_of(formula, table)
        rows.append(f"{formula}\t{mass.quantize(Decimal('0.000001'), rounding=ROUND_HALF_UP)}\t{atoms}\n")
    text = "".join(rows)
    if sys.argv[1:] == ["--check"]:
        if TABLE.read_text(encoding="utf-8") != text:
            print("molar_mass_reference.tsv differs from the masses of the element database", file=sys.stderr)
            return 1
        return 0
    TABLE.write_text(text, encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main())
