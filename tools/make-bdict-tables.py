#!/usr/bin/env python3
"""Writes the Baidu cell dictionary fixture with two tables.

    tools/make-bdict-tables.py           writes tests/formats/data/tables.bdict
                                         and its copy in fuzz/corpus/bdict/

The layout is written here on its own, from the format notes at the top of
import/formats/BdictReader.cpp, so that the fixture checks the reader rather
than repeating it. Numbers little-endian, texts UTF-16LE.

  0x000  "biptbdsw"
  0x040  u32 word table's offset (0x350), 0x044 u32 its length
  0x060  u32 second table's offset, 0x064 u32 its length
  0x070  u32 entries of the word table
  0x090  title (0x40 bytes), 0x0D0 author, 0x110 examples (0x40 bytes each),
  0x150  description (0x200 bytes)
  0x350  the word table, then the second table
"""

import os
import struct
import sys

HEADER_BYTES = 0x350

# Indices of an initial and a final for each syllable of the pinyin words.
N, I, H, AO = 11, 29, 5, 13


def utf16(text):
    return text.encode("utf-16-le")


def field(text, width):
    raw = utf16(text)
    assert len(raw) <= width
    return raw + b"\0" * (width - len(raw))


def pinyin_entry(syllables, word, freq):
    head = struct.pack("<HH", len(syllables), freq)
    return head + bytes(b for pair in syllables for b in pair) + utf16(word)


def english_entry(word, freq):
    return struct.pack("<HH", len(word), freq) + word.encode("ascii")


def coded_entry(code, word, freq):
    return struct.pack("<HHHH", len(code), freq, 0, len(word)) + utf16(code) + utf16(word)


def second_entry(code, word):
    return struct.pack("<IHH", 0, len(code), len(word)) + utf16(code) + utf16(word)


def build():
    words = [
        pinyin_entry([(N, I), (H, AO)], "你好", 321),
        english_entry("hello", 9),
        coded_entry("kalaok", "卡拉OK", 3),
    ]
    second = [second_entry("bai'du", "百度"), second_entry("shu'ru'fa", "输入法")]
    word_table = b"".join(words)
    second_table = b"".join(second)

    header = bytearray(HEADER_BYTES)
    header[0:8] = b"biptbdsw"
    struct.pack_into("<II", header, 0x40, HEADER_BYTES, len(word_table))
    struct.pack_into("<II", header, 0x60, HEADER_BYTES + len(word_table), len(second_table))
    struct.pack_into("<I", header, 0x70, len(words))
    header[0x90:0xD0] = field("两个表", 0x40)
    header[0xD0:0x110] = field("tabrix", 0x40)
    header[0x110:0x150] = field("你好", 0x40)
    header[0x150:0x350] = field("两个表的测试词库", 0x200)
    return bytes(header) + word_table + second_table


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    data = build()
    for leaf in ("tests/formats/data/tables.bdict", "fuzz/corpus/bdict/tables.bdict"):
        with open(os.path.join(root, leaf), "wb") as out:
            out.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
