#!/usr/bin/env python3
"""Draws the nine hazard pictograms of the tables window (GHS01 ... GHS09).

    draw_ghs_pictograms.py [folder]    (default: content/ORBITA/TABLICE)

Each pictogram is a white square standing on its corner with a red border and a
black symbol, drawn here from simple shapes (circles, polygons, lines) with
ImageMagick's `convert` at four times the size and scaled down, then written as
a 72 x 72 GIF named GHS01.GIF ... GHS09.GIF. Nothing is copied from elsewhere;
run it again after changing a shape and commit the pictures.
"""

import pathlib
import subprocess
import sys

SIZE = 288  # drawing size; the GIF is a quarter of it
FINAL = 72

FRAME = ("fill white stroke '#E00000' stroke-width 22 "
         "polygon 144,14 274,144 144,274 14,144")

# Symbols in the drawing's coordinates (centre 144,144), black on white.
BLACK = "fill black stroke black stroke-width 1 "
SYMBOLS = {
    # exploding bomb: a ball with flying fragments
    "GHS01": BLACK + "circle 144,168 144,128 "
             "stroke-width 8 line 144,112 144,78 line 112,120 92,96 line 176,120 196,96 "
             "line 104,150 78,144 line 184,150 210,144 "
             "stroke-width 1 polygon 150,66 160,86 140,86 polygon 92,84 104,96 88,100 "
             "polygon 198,84 196,102 184,96",
    # flame on a line
    "GHS02": BLACK + "path 'M 144,80 C 180,120 196,150 184,184 C 178,200 160,206 144,206 "
             "C 122,206 104,196 102,176 C 100,150 120,140 126,112 C 136,130 140,140 146,146 "
             "C 156,128 152,104 144,80 Z' rectangle 98,212 190,222",
    # flame over a circle (oxidiser)
    "GHS03": BLACK + "path 'M 144,70 C 170,100 180,124 170,146 C 164,156 154,158 144,158 "
             "C 130,158 118,152 118,138 C 118,122 130,114 134,96 C 140,110 142,118 146,122 "
             "C 152,110 150,92 144,70 Z' "
             "fill none stroke-width 14 circle 144,180 144,152 "
             "fill black stroke-width 1 rectangle 98,212 190,222",
    # gas cylinder lying down
    "GHS04": BLACK + "roundrectangle 86,128 196,172 22,22 rectangle 196,138 214,162 "
             "rectangle 214,132 222,168",
    # corrosion: two tubes pouring onto a bar and a hand
    "GHS05": BLACK + "polygon 84,88 120,76 126,92 90,104 polygon 162,76 198,88 192,104 156,92 "
             "circle 110,120 110,112 circle 110,142 110,136 circle 174,120 174,112 "
             "circle 174,142 174,136 "
             "polygon 88,168 132,160 132,176 88,184 rectangle 150,162 204,184 "
             "stroke-width 6 line 96,196 200,196",
    # skull and crossbones
    "GHS06": BLACK + "circle 144,118 144,82 roundrectangle 122,130 166,158 8,8 "
             "fill white stroke white circle 130,114 130,104 circle 158,114 158,104 "
             "polygon 144,122 138,136 150,136 "
             "fill black stroke black stroke-width 14 line 98,170 190,214 line 190,170 98,214",
    # exclamation mark
    "GHS07": BLACK + "polygon 132,82 156,82 150,176 138,176 circle 144,200 144,188",
    # health hazard: a bust with a star on the chest
    "GHS08": BLACK + "circle 144,98 144,76 "
             "path 'M 100,210 C 100,150 116,128 144,128 C 172,128 188,150 188,210 Z' "
             "fill white stroke white polygon 144,146 151,164 170,164 155,176 161,194 "
             "144,183 127,194 133,176 118,164 137,164",
    # environment: a dead tree and a fish
    "GHS09": BLACK + "stroke-width 6 line 112,196 112,92 line 112,128 92,104 line 112,116 134,96 "
             "line 112,150 88,134 stroke-width 1 "
             "ellipse 170,182 30,12 0,360 polygon 196,182 214,170 214,194 "
             "stroke-width 4 line 80,204 216,204",
}


def draw(name, folder):
    out = folder / f"{name}.GIF"
    subprocess.run(["convert", "-size", f"{SIZE}x{SIZE}", "xc:white",
                    "-draw", FRAME, "-draw", SYMBOLS[name],
                    "-resize", f"{FINAL}x{FINAL}", "-colors", "32", "+dither",
                    "-strip", f"GIF:{out}"], check=True)
    return out


def main():
    folder = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "content/ORBITA/TABLICE")
    folder.mkdir(parents=True, exist_ok=True)
    for name in SYMBOLS:
        print(draw(name, folder))


if __name__ == "__main__":
    main()
