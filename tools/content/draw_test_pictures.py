#!/usr/bin/env python3
"""Draws the pictures of the test packages (content/TESTY/<Name>/*.GIF).

    draw_test_pictures.py [folder]    (default: content/TESTY)

One picture a package, drawn here from circles, lines and DejaVu Sans text with
ImageMagick's `convert` and written as a small GIF beside the package's TEST.TXT:

    Budowa_atomu/ATOM.GIF       shell model of a neutral atom with 2, 8 and 1 electrons
    Wiazania/NH3.GIF            electron (line) formula of ammonia, lone pair as a bar
    Stechiometria/CZASTKI.GIF   a vessel with 4 molecules of H2 and 3 of O2
    Kwasy_zasady_sole/SKALA_PH.GIF  the pH scale 0-14 with the arrow X at pH 12
    Chemia_organiczna/WZOR.GIF  condensed structural formula of 2-methylbutane

The questions that show them (and their answers) depend on these shapes: change
a picture only together with its question, then run the script and commit both.
"""

import math
import pathlib
import subprocess
import sys

FONT = "DejaVu-Sans"


def text(x, y, words, size=20, colour="black"):
    """A -draw primitive list writing `words` with its baseline at y."""
    return f"fill {colour} stroke none font-size {size} text {x},{y} '{words}' "


def formula(x, y, parts, size=20):
    """Writes a formula given as (text, is_subscript) parts from x; returns
    the primitives and the x after the last part (DejaVu Sans advance widths
    approximated as 0.68 of the size)."""
    out = ""
    for part, sub in parts:
        s = int(size * 0.7) if sub else size
        out += text(x, y + (int(size * 0.3) if sub else 0), part, s)
        x += int(len(part) * s * 0.68)
    return out, x


def atom():
    """Neutral atom: nucleus and three shells holding 2, 8, 1 electrons."""
    cx = cy = 110
    draw = "fill '#D04040' stroke '#802020' stroke-width 2 circle 110,110 110,96 "
    draw += "fill none stroke '#808080' stroke-width 2 "
    radii = (34, 62, 92)
    for r in radii:
        draw += f"circle {cx},{cy} {cx + r},{cy} "
    draw += "fill '#2050D0' stroke '#102060' stroke-width 1 "
    for r, count, start in zip(radii, (2, 8, 1), (90, 90, 0)):
        for i in range(count):
            a = math.radians(start + 360 * i / count)
            x, y = cx + r * math.cos(a), cy - r * math.sin(a)
            draw += f"circle {x:.0f},{y:.0f} {x + 6:.0f},{y:.0f} "
    return 220, 220, draw


def ammonia():
    """N in the middle, three H on bonds, the lone pair as a bar above N."""
    draw = "stroke black stroke-width 3 fill none "
    draw += "line 84,104 40,104 line 116,104 160,104 line 100,118 100,158 "
    draw += "line 90,68 110,68 "
    draw += text(90, 112, "N", 24) + text(20, 112, "H", 24) + text(164, 112, "H", 24)
    draw += text(92, 184, "H", 24)
    return 200, 200, draw


def particles():
    """A vessel with four H2 (small white pairs) and three O2 (red pairs), a key below."""
    draw = "fill none stroke black stroke-width 3 roundrectangle 10,10 300,190 12,12 "
    small = "fill white stroke black stroke-width 2 "
    big = "fill '#E03030' stroke '#701010' stroke-width 2 "
    for x, y in ((50, 50), (170, 40), (90, 150), (230, 140)):
        draw += small + f"circle {x},{y} {x + 10},{y} circle {x + 18},{y} {x + 28},{y} "
    for x, y in ((130, 100), (40, 110), (220, 80)):
        draw += big + f"circle {x},{y} {x + 14},{y} circle {x + 24},{y} {x + 38},{y} "
    draw += small + "circle 30,220 40,220 " + text(48, 227, "atom wodoru", 16)
    draw += big + "circle 196,220 210,220 " + text(218, 227, "atom tlenu", 16)
    return 320, 240, draw


def ph_scale():
    """Coloured bar 0-14 with ticks, labels and the arrow X above pH 12."""
    colours = ["#E00000", "#E83000", "#F06000", "#F09000", "#F0C000", "#E0E000", "#A0D000",
               "#40B040", "#20A080", "#2080C0", "#2060D0", "#3040C0", "#4020A0", "#501890"]
    left, width, top = 20, 28, 60
    draw = "stroke none "
    for i, colour in enumerate(colours):
        draw += f"fill '{colour}' rectangle {left + i * width},{top} {left + (i + 1) * width},{top + 30} "
    draw += f"fill none stroke black stroke-width 2 rectangle {left},{top} {left + 14 * width},{top + 30} "
    for i in range(15):
        x = left + i * width
        draw += f"stroke black stroke-width 1 line {x},{top + 30} {x},{top + 38} "
        draw += text(x - (5 if i < 10 else 10), top + 56, str(i), 14)
    x = left + 12 * width
    draw += f"stroke black stroke-width 3 line {x},{top - 30} {x},{top - 8} "
    draw += f"fill black stroke none polygon {x - 7},{top - 14} {x + 7},{top - 14} {x},{top - 2} "
    draw += text(x + 8, top - 22, "X", 20)
    draw += text(left, top + 84, "pH", 16)
    return left * 2 + 14 * width, 150, draw


def methylbutane():
    """CH3-CH(CH3)-CH2-CH3 with the methyl group above the second carbon."""
    y = 82
    draw, x = formula(10, y, [("CH", False), ("3", True)])
    draw += f"stroke black stroke-width 2 line {x + 2},{y - 7} {x + 22},{y - 7} "
    part, x2 = formula(x + 26, y, [("CH", False)])
    draw += part
    middle = x + 26 + 14
    draw += f"stroke black stroke-width 2 line {x2 + 2},{y - 7} {x2 + 22},{y - 7} "
    part, x3 = formula(x2 + 26, y, [("CH", False), ("2", True)])
    draw += part
    draw += f"stroke black stroke-width 2 line {x3 + 2},{y - 7} {x3 + 22},{y - 7} "
    part, x4 = formula(x3 + 26, y, [("CH", False), ("3", True)])
    draw += part
    draw += f"stroke black stroke-width 2 line {middle},{y - 24} {middle},{y - 46} "
    part, _ = formula(middle - 14, y - 54, [("CH", False), ("3", True)])
    draw += part
    return x4 + 14, 100, draw


PICTURES = {
    "Budowa_atomu/ATOM.GIF": atom,
    "Wiazania/NH3.GIF": ammonia,
    "Stechiometria/CZASTKI.GIF": particles,
    "Kwasy_zasady_sole/SKALA_PH.GIF": ph_scale,
    "Chemia_organiczna/WZOR.GIF": methylbutane,
}


def draw(name, folder):
    width, height, primitives = PICTURES[name]()
    out = folder / name
    out.parent.mkdir(parents=True, exist_ok=True)
    subprocess.run(["convert", "-size", f"{width}x{height}", "xc:white", "-font", FONT,
                    "-draw", primitives, "-colors", "64", "+dither", "-strip", f"GIF:{out}"],
                   check=True)
    return out


def main():
    folder = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "content/TESTY")
    for name in PICTURES:
        print(draw(name, folder))


if __name__ == "__main__":
    main()
