#!/usr/bin/env python3
"""Rebuilds the LHA test archives in this folder.

Dev-time only: needs Debian's jlha-utils (`jlha`, runs on Java). The tests read the committed
output files and never run this script. See README.md for what each file is for.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
STAMP = "2024-01-06 10:00:00"  # fixed mtime so header bytes do not depend on the day of the build


def records(prefix, names, width, count):
    """Fixed-length CP932 records ending in CR LF, like the record files."""
    out = bytearray()
    for i in range(count):
        name = names[i % len(names)]
        body = f"{prefix}{i + 1:05d}{name}" + "\u3000" * (8 - len(name))
        body += f"{(i * 37) % 1000:04d}{(i * 7919) % 100000:06d}ﾐﾎﾘｯﾄｳ"
        line = body.encode("cp932")
        line = line.ljust(width - 2, b" ") + b"\r\n"
        assert len(line) == width
        out += line
    return bytes(out)


def crc16(data, crc=0):
    """CRC-16 as LHA uses it (reflected polynomial 0xA001, initial value 0)."""
    for b in data:
        crc ^= b
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
    return crc


def fix_level0_sum(buf, start):
    """Recomputes the header checksum of the level-0/1 header at `start`."""
    size = buf[start]
    buf[start + 1] = sum(buf[start + 2:start + 2 + size]) & 0xFF


def fix_level2_crc(buf, start):
    """Recomputes the CRC extended header of the level-2 header at `start`."""
    size = buf[start] | (buf[start + 1] << 8)
    pos = start + 24
    crc_at = None
    while True:
        ext = buf[pos] | (buf[pos + 1] << 8)
        if ext == 0:
            break
        if buf[pos + 2] == 0x00:
            crc_at = pos + 3
        pos += ext
    assert crc_at is not None, "no header CRC extension"
    buf[crc_at:crc_at + 2] = b"\0\0"
    value = crc16(buf[start:start + size])
    buf[crc_at:crc_at + 2] = bytes([value & 0xFF, value >> 8])


def replace_once(buf, old, new):
    assert len(old) == len(new)
    at = buf.find(old)
    assert at >= 0 and buf.find(old, at + 1) < 0, old
    buf[at:at + len(old)] = new


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def main():
    if shutil.which("jlha") is None:
        sys.exit("jlha not found: apt-get install --no-install-recommends jlha-utils")
    env = dict(os.environ, TZ="UTC")
    work = tempfile.mkdtemp()

    def put(rel, data):
        path = os.path.join(work, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        subprocess.run(["touch", "-d", STAMP, path], check=True, env=env)

    def jlha(cmd, archive, *members, cwd=""):
        out = os.path.join(work, archive)
        subprocess.run(["jlha", cmd, out, *members], cwd=os.path.join(work, cwd), env=env,
                       check=True, stdout=subprocess.DEVNULL)
        with open(out, "rb") as f:
            return bytearray(f.read())

    kisi = records("K", ["山田太郎", "表川誠", "ソ野翔", "川口一馬"], 48, 12)
    umaj = records("U", ["ソラノカゼ", "表彰台", "ｸﾛﾉﾃｽﾄ"], 64, 6)
    den1 = records("D", ["東京", "中山", "阪神"], 40, 8)
    os.makedirs(os.path.join(HERE, "plain"), exist_ok=True)
    for name, data in (("JRA#KISI.DAT", kisi), ("JRA#UMAJ.DAT", umaj), ("JRA#DEN1.DAT", den1)):
        put(name, data)
        with open(os.path.join(HERE, "plain", name), "wb") as f:
            f.write(data)

    # One member per method and header level. 'y' stores names as Shift_JIS.
    write("kisi_lh5_h0.lzh", jlha("ay0", "a1.lzh", "JRA#KISI.DAT"))
    write("kisi_lh6_h1.lzh", jlha("ay1o6", "a2.lzh", "JRA#KISI.DAT"))
    write("kisi_lh7_h2.lzh", jlha("ay2o7", "a3.lzh", "JRA#KISI.DAT"))
    lh0 = jlha("ay2z", "a4.lzh", "JRA#KISI.DAT")
    write("kisi_lh0_h2.lzh", lh0)
    write("umaj_den1.lzh", jlha("ay2", "a5.lzh", "JRA#UMAJ.DAT", "JRA#DEN1.DAT"))

    # A member under a folder, and one whose name only begins with the wanted name.
    put("data/JRA#UMAJ.DAT", b"under a folder\r\n")
    put("JRA#DEN1.DAT.OLD", b"longer name\r\n")
    write("prefix.lzh", jlha("ay2", "a6.lzh", "data/JRA#UMAJ.DAT", "JRA#DEN1.DAT.OLD"))

    # Hostile paths. jlha will not store "..", so equal-length placeholders are patched in the
    # directory extension (0xFF separates the parts) and the header CRC is recomputed.
    put("esc/xx/JRA#KISI.DAT", b"parent folder\r\n")
    put("esc/JRA#KISI.DAT/yy/zz/ESCAPED.DAT", b"climbs out\r\n")
    esc = jlha("ay2", "a7.lzh", "xx/JRA#KISI.DAT", "JRA#KISI.DAT/yy/zz/ESCAPED.DAT", cwd="esc")
    second = esc.find(b"-lh", 3) - 2
    replace_once(esc, b"\x02xx\xff", b"\x02..\xff")
    replace_once(esc, b"yy\xffzz\xff", b"..\xff..\xff")
    fix_level2_crc(esc, 0)
    fix_level2_crc(esc, second)
    write("escape.lzh", esc)

    # CP932 names at header level 0, where '\' is also the folder separator: ソ (83 5C) and
    # 表 (95 5C) end in 0x5C. Java's Shift_JIS has no ①, so ○ (81 9B) stands in for it and
    # is patched to ① (87 40) with the header checksum recomputed.
    put("ソ表.DAT", b"so hyo\r\n")
    put("馬○.DAT", b"circled one\r\n")
    names = jlha("ay0", "a8.lzh", "ソ表.DAT", "馬○.DAT")
    second = names.find(b"-lh", 3) - 2
    replace_once(names, "馬○".encode("cp932"), "馬①".encode("cp932"))
    fix_level0_sum(names, 0)
    fix_level0_sum(names, second)
    write("names_cp932.lzh", names)

    # Damaged copies.
    data_at = lh0.find(b"\x00\x00K00001") + 2  # header ends with the 00 00 end-of-extensions mark
    crc = bytearray(lh0)
    crc[data_at + 10] ^= 0x01
    write("bad_crc.lzh", crc)

    lh5 = bytearray(open(os.path.join(HERE, "kisi_lh5_h0.lzh"), "rb").read())
    head0 = lh5[0] + 2
    bad = bytearray(lh5)
    bad[head0 + 2:head0 + 6] = b"\xff\xff\xff\xff"  # the code-length tables after the block size
    write("bad_huffman.lzh", bad)

    hsum = bytearray(lh5)
    hsum[1] = (hsum[1] + 1) & 0xFF
    write("bad_header_sum.lzh", hsum)

    method = bytearray(lh5)
    replace_once(method, b"-lh5-", b"-lh4-")  # a valid method name the decoder does not handle
    fix_level0_sum(method, 0)
    write("unsupported_method.lzh", method)

    lh7 = bytearray(open(os.path.join(HERE, "kisi_lh7_h2.lzh"), "rb").read())
    hcrc = bytearray(lh7)
    at = hcrc.find(b"\x05\x00\x00") + 3  # the CRC extension: size 5, type 0
    hcrc[at] ^= 0xFF
    write("bad_header_crc.lzh", hcrc)

    head2 = lh7[0] | (lh7[1] << 8)
    write("truncated_header.lzh", lh7[:30])
    write("truncated_data.lzh", lh7[:head2 + 20])

    write("not_archive.txt", "これはLHAファイルではありません。\r\n".encode("cp932"))
    with zipfile.ZipFile(os.path.join(HERE, "not_archive.zip"), "w") as z:
        info = zipfile.ZipInfo("JRA#KISI.DAT", date_time=(2024, 1, 6, 10, 0, 0))
        z.writestr(info, kisi, compress_type=zipfile.ZIP_DEFLATED)

    shutil.rmtree(work)


if __name__ == "__main__":
    main()
