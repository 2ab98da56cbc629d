#!/usr/bin/env python3
"""Reference values of the unit converter, computed apart from the program.

Every ordered pair of units of every quantity, for a set of inputs, at 10, 15
and 20 significant digits, with Python's decimal module at 60 digits: the
linear units as powers of ten of one base unit each, the temperatures by their
formulas as written. Results are rounded once (half away from zero) and
written in the converter's general format with a decimal comma.

    units_reference.py            writes tests/windows/units/units_reference.tsv
    units_reference.py --check    exit 1 when the committed table differs
"""

import sys
from decimal import ROUND_HALF_UP, Decimal, localcontext, getcontext
from pathlib import Path

getcontext().prec = 60

TABLE = Path(__file__).resolve().parents[2] / "tests" / "windows" / "units" / "units_reference.tsv"

# Each linear unit as a power of ten of its quantity's base unit.
LINEAR = {
    "length": {"LengthMBox": 0, "LengthKMBox": 3, "LengthMMBox": -3, "LengthCMBox": -2},
    "mass": {"WeightGBox": 0, "WeightKGBox": 3, "WeightTBox": 6, "WeightQBox": 5,
             "WeightMGBox": -3, "WeightDAGBox": 1},
    "pressure": {"PressPABox": 0, "PressHPABox": 2, "PressMPABox": 6, "PressBARBox": 5},
    "volume": {"VolumeCMBox": 0, "VolumeMBox": 6, "VolumeLBox": 3, "VolumeMMBox": -3},
}
TEMPERATURE = ["TempCBox", "TempKBox", "TempRBox", "TempFBox"]

COMMON_INPUTS = ["0", "1", "-1", "0,3", "123456789,987654321", "0,0000001", "-0",
                 "99999999999999999999", "1234567890123456789012345678901234567890"]
# The physical limits: nothing below zero of a length, mass, pressure or
# volume (covered by "0"); absolute zero in each temperature scale.
ABSOLUTE_ZERO = {"TempKBox": "0", "TempCBox": "-273,15", "TempRBox": "-218,52", "TempFBox": "-459,67"}

PRECISIONS = [10, 15, 20]


class Term:
    """A value with the largest magnitude met while computing it."""

    def __init__(self, value, scale=None):
        self.value = value
        self.scale = abs(value) if scale is None else scale

    def _next(self, operand, result):
        return Term(result, max(self.scale, abs(operand), abs(result)))

    def __add__(self, b):
        return self._next(b, self.value + b)

    def __sub__(self, b):
        return self._next(b, self.value - b)

    def __mul__(self, b):
        return self._next(b, self.value * b)


def temperature(source, target, v):
    t = Term(v)
    d = Decimal
    five_ninths = d(5) / d(9)
    four_ninths = d(4) / d(9)
    formulas = {
        ("TempCBox", "TempKBox"): lambda: (t + d("274.15")) - d(1),
        ("TempCBox", "TempRBox"): lambda: t * d("0.8") + d("0.8") - d("0.8"),
        ("TempCBox", "TempFBox"): lambda: t * d("1.8") + d("33.8") - d("1.8"),
        ("TempKBox", "TempCBox"): lambda: (t - d("272.15")) - d(1),
        ("TempKBox", "TempRBox"): lambda: t * d("0.8") - d("218.52"),
        ("TempKBox", "TempFBox"): lambda: t * d("1.8") - d("459.67"),
        ("TempRBox", "TempKBox"): lambda: t * d("1.25") + d("273.15"),
        ("TempRBox", "TempCBox"): lambda: t * d("1.25"),
        ("TempRBox", "TempFBox"): lambda: t * d("2.25") + d(32),
        ("TempFBox", "TempKBox"): lambda: ((t - d(32)) * five_ninths + d("274.15")) - d(1),
        ("TempFBox", "TempCBox"): lambda: (t - d(32)) * five_ninths,
        ("TempFBox", "TempRBox"): lambda: (t - d(32)) * four_ninths,
    }
    r = formulas[(source, target)]()
    # Terms that cancel leave only the rounding of 5/9 and 4/9.
    return Decimal(0) if abs(r.value) < r.scale * Decimal("1e-20") else r.value


def general(value, digits):
    if value == 0:
        return "0"
    with localcontext() as ctx:
        ctx.prec = digits
        ctx.rounding = ROUND_HALF_UP
        r = +value
    exponent = r.adjusted()
    if exponent + 1 <= digits and exponent >= -5:
        text = format(r.normalize(), "f")
        if "." in text:
            text = text.rstrip("0").rstrip(".")
        return text.replace(".", ",")
    sign, ds, _ = r.as_tuple()
    ds = "".join(map(str, ds)).rstrip("0") or "0"
    mantissa = ds[0] + ("," + ds[1:] if len(ds) > 1 else "")
    return ("-" if sign else "") + mantissa + "E" + str(exponent)


def rows():
    groups = [(units, None) for units in LINEAR.values()] + [(TEMPERATURE, True)]
    for units, is_temperature in groups:
        names = list(units)
        inputs = COMMON_INPUTS
        for source in names:
            these = inputs + ([ABSOLUTE_ZERO[source]] if is_temperature else [])
            for text in these:
                v = Decimal(text.replace(",", "."))
                for target in names:
                    if target == source:
                        continue
                    if is_temperature:
                        result = temperature(source, target, v)
                    else:
                        result = v * Decimal(10) ** (units[source] - units[target])
                    for digits in PRECISIONS:
                        yield f"{source}\t{text}\t{digits}\t{target}\t{general(result, digits)}\n"


def main():
    header = "# from\tinput\tdigits\tto\texpected (written by tools/content/units_reference.py)\n"
    table = header + "".join(rows())
    if sys.argv[1:] == ["--check"]:
        if TABLE.read_text(encoding="utf-8") != table:
            print(f"{TABLE} differs from what the script computes; run it to rewrite the table")
            return 1
        return 0
    TABLE.write_text(table, encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main())
