#!/usr/bin/env python3
"""Applies the mechanical rules of content/STYLE.md to the element descriptions
content/ORBITA/UKLAD/N.HTM (run by hand; idempotent):

  * the dash between words is the en dash with spaces (" – "), never the em dash;
  * a year is followed by "roku" (or "r." nowhere), "ok." is written "około";
  * the group-17 elements are "halogeny" (never "fluorowce");
  * the subtitle "Liczba atomowa N · rodzina · grupa G, okres P" (for the
    f-block "okres P, blok f") is taken from DANE.TXT.
"""

import pathlib
import re

ROOT = pathlib.Path(__file__).resolve().parents[2]
UKLAD = ROOT / "content" / "ORBITA" / "UKLAD"
# Words that open a new sentence right after "… 1955 r." in the texts.
SENTENCE_STARTS = ("Nazwę", "Nazwa", "Pierwiastek", "Odkrycie", "W ", "Wcześniejsze", "Uran")
HALOGEN = {"fluorowcami": "halogenami", "fluorowcem": "halogenem", "fluorowców": "halogenów",
           "fluorowce": "halogeny", "fluorowiec": "halogen"}


def database():
    props, current = {}, None
    for line in (UKLAD / "DANE.TXT").read_text(encoding="utf-8").splitlines():
        if line.startswith("["):
            current = props.setdefault(line[1:-1], {})
        elif "=" in line and line.split("=", 1)[0].isdigit():
            key, value = line.split("=", 1)
            current[int(key)] = value
    return props


def year_word(m):
    rest = m.group(2)
    if rest.startswith("</P>") or rest.startswith(SENTENCE_STARTS):
        return f"{m.group(1)} roku. {rest}" if not rest.startswith("</P>") else f"{m.group(1)} roku.{rest}"
    return f"{m.group(1)} roku {rest}"


def restyle(text, z, db):
    text = text.replace(" — ", " – ").replace("—", "–")
    text = re.sub(r"(\d) r\.([,;)])", r"\1 roku\2", text)
    text = re.sub(r"(\d) r\. ?(</P>|\S.{0,12})", year_word, text)
    text = re.sub(r"\bok\. ", "około ", text)
    text = re.sub(r"\bOk\. ", "Około ", text)
    for old, new in HALOGEN.items():
        text = re.sub(r"\b" + old + r"\b", new, text)
    family, group, period = db["Rodzina"][z], db["Grupa"][z], db["Okres"][z]
    place = f"okres {period}, blok f" if db["Blok"][z] == "f" else f"grupa {group}, okres {period}"
    text = re.sub(r"<P><I>Liczba atomowa \d+ · [^<]*</I></P>",
                  f"<P><I>Liczba atomowa {z} · {family} · {place}</I></P>", text, count=1)
    return text


def main():
    db = database()
    for z in range(1, 119):
        path = UKLAD / f"{z}.HTM"
        old = path.read_text(encoding="utf-8")
        new = restyle(old, z, db)
        if new != old:
            path.write_text(new, encoding="utf-8")
            print(f"restyled {path.name}")


if __name__ == "__main__":
    main()
