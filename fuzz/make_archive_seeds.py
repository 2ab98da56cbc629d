#!/usr/bin/env python3
"""Writes the seed archives of fuzz_archive into fuzz/corpus/archive/.

Every seed is built here byte by byte; the older-method members wrap the
compressed streams of the project's own decoder seeds (fuzz/corpus/decoders/).
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus", "archive")


def raw_deflate(data):
    c = zlib.compressobj(6, zlib.DEFLATED, -15)
    return c.compress(data) + c.flush()


def member(name, data, method=0, flags=0, crc=None, csize=None, size=None, plain=None,
           zero_local=False, descriptor=b"", comment=b"", extra=b""):
    plain = data if plain is None else plain
    return dict(name=name, data=data, method=method, flags=flags,
                crc=zlib.crc32(plain) if crc is None else crc,
                csize=len(data) if csize is None else csize,
                size=len(plain) if size is None else size,
                zero_local=zero_local, descriptor=descriptor, comment=comment, extra=extra)


def archive(members, comment=b""):
    out = bytearray()
    offsets = []
    for m in members:
        offsets.append(len(out))
        z = m["zero_local"]
        out += struct.pack("<IHHHIIIIHH", 0x04034B50, 20, m["flags"], m["method"], 0,
                           0 if z else m["crc"], 0 if z else m["csize"], 0 if z else m["size"],
                           len(m["name"]), len(m["extra"]))
        out += m["name"] + m["extra"] + m["data"] + m["descriptor"]
    start = len(out)
    for m, off in zip(members, offsets):
        out += struct.pack("<IHHHHIIIIHHHHHII", 0x02014B50, 20, 20, m["flags"], m["method"], 0,
                           m["crc"], m["csize"], m["size"], len(m["name"]), len(m["extra"]),
                           len(m["comment"]), 0, 0, 0x20, off)
        out += m["name"] + m["extra"] + m["comment"]
    out += struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(members), len(members),
                       len(out) - start, start, len(comment))
    return bytes(out) + comment


def streamed(name, plain, signature=True):
    data = raw_deflate(plain)
    crc = zlib.crc32(plain)
    desc = (b"PK\x07\x08" if signature else b"") + struct.pack("<III", crc, len(data), len(plain))
    return member(name, data, 8, 0x0008, crc, len(data), len(plain), plain, True, desc)


TEXT = ("1;H;wod\xf3r;1,008\r\n2;He;hel;4,0026\r\n3;Li;lit;6,94\r\n" * 8).encode("latin-1")


def main():
    os.makedirs(OUT, exist_ok=True)
    seeds = {
        "stored-two-members-comment": archive(
            [member(b"UKLAD\\DANE.TXT", TEXT[:120]), member(b"POMOC\\MENU.HTM", b"<html></html>")],
            b"Orbita"),
        "deflated": archive([member(b"uklad/dane.txt", raw_deflate(TEXT), 8, plain=TEXT)]),
        "deflated-fixed-and-stored-blocks": archive(
            [member(b"A.BIN", zlib.compress(TEXT, 1)[2:-4], 8, plain=TEXT),
             member(b"B.BIN", raw_deflate(b""), 8, plain=b"")]),
        "streamed-descriptors": archive(
            [streamed(b"S1.TXT", TEXT), streamed(b"S2.TXT", TEXT[:50], signature=False)]),
        "stored-descriptor-zero-sizes": archive(
            [member(b"D.TXT", TEXT[:64], 0, 0x0008, zero_local=True,
                    descriptor=b"PK\x07\x08" + struct.pack("<III", zlib.crc32(TEXT[:64]), 64, 64))]),
        "entry-comment-extra-empty": archive(
            [member(b"E.TXT", b"", comment=b"komentarz", extra=b"UT\x05\x00\x01\x00\x00\x00\x00"),
             member(b"F.TXT", b"f")]),
        "refused-methods-encrypted": archive(
            [member(b"AES.BIN", b"x" * 20, 99, 0x0001), member(b"ENC.TXT", b"y" * 18, 0, 0x0001),
             member(b"LZMA.BIN", b"z" * 10, 14)]),
        "end-record-behind-long-comment": archive([member(b"L.TXT", b"long")], b"c" * 4100),
    }
    decoders = os.path.join(HERE, "corpus", "decoders")
    for name in sorted(os.listdir(decoders)):
        with open(os.path.join(decoders, name), "rb") as f:
            raw = f.read()
        if len(raw) < 5:
            continue
        kind = (raw[0] & 7) % 6
        method = 1 if kind == 0 else (kind + 1 if kind <= 4 else 6)
        flags = (0x0002 if raw[0] & 0x08 else 0) | (0x0004 if raw[0] & 0x10 else 0)
        size = raw[1] | (raw[2] << 8) | (raw[3] << 16)
        stream = raw[5:]
        seeds["legacy-" + name] = archive(
            [member(name.upper().encode() + b".BIN", stream, method, flags, crc=0, size=size)])
    for name, data in seeds.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
