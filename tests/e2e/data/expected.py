#!/usr/bin/python3
"""Computes the expected output file of every case in cases.tsv from the product's rules, written down here
independently of the program:

- Decoding: a UTF-16 LE or BE byte-order mark means UTF-16 (up to the first zero code unit); a UTF-8 byte-order mark
  is removed; otherwise the bytes up to the first zero byte are kept when they are valid UTF-8 and are otherwise
  read in the legacy code page (936, GBK).
- Lines end at CR LF, a lone LF or a lone CR. One line end at the very end adds no entry; every other line end closes
  an entry, empty ones included.
- Each entry gives one card: N and FN hold the name (the unfiltered entry, or the custom text and the entry's
  1-based position), escaped as vCard 3.0 text; TEL holds the entry without ASCII "-" and/or " " as ticked.
- Every card ends with CR LF; no byte-order mark, no header, nothing else.

`expected.py` writes expected/<case>.vcf; `expected.py --check` fails when a kept file differs from the rules.
"""
import codecs
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def read_cases():
    cases = []
    with open(os.path.join(HERE, "cases.tsv"), encoding="utf-8") as f:
        for raw in f:
            line = raw.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            name, input_name, dashes, spaces, rule, typed, count = line.split("\t")
            assert rule in ("phone", "custom"), name
            cases.append({
                "name": name,
                "input": input_name,
                "dashes": dashes == "1",
                "spaces": spaces == "1",
                "custom": rule == "custom",
                # An untouched edit box keeps its initial text "a".
                "custom_text": "a" if typed == "-" else typed,
                "count": int(count),
            })
    return cases


def decode(data):
    if data.startswith(codecs.BOM_UTF16_LE) or data.startswith(codecs.BOM_UTF16_BE):
        encoding = "utf-16-le" if data.startswith(codecs.BOM_UTF16_LE) else "utf-16-be"
        text = data[2:].decode(encoding, errors="replace")
        return text.split("\0", 1)[0]
    if data.startswith(codecs.BOM_UTF8):
        return data[3:].split(b"\0", 1)[0].decode("utf-8", errors="replace")
    data = data.split(b"\0", 1)[0]
    try:
        return data.decode("utf-8")
    except UnicodeDecodeError:
        return data.decode("gbk", errors="replace")


def split_lines(text):
    entries = []
    current = []
    i = 0
    while i < len(text):
        c = text[i]
        if c == "\r" or c == "\n":
            entries.append("".join(current))
            current = []
            i += 2 if text[i:i + 2] == "\r\n" else 1
        else:
            current.append(c)
            i += 1
    if current:
        entries.append("".join(current))
    return entries


def entries_of(case):
    with open(os.path.join(HERE, "input", case["input"]), "rb") as f:
        return split_lines(decode(f.read()))


def escape(value):
    return value.replace("\\", "\\\\").replace(",", "\\,").replace(";", "\\;")


def name_of(case, entry, position):
    return case["custom_text"] + str(position) if case["custom"] else entry


def tel_of(case, entry):
    if case["dashes"]:
        entry = entry.replace("-", "")
    if case["spaces"]:
        entry = entry.replace(" ", "")
    return entry


def output_of(case):
    cards = []
    for position, entry in enumerate(entries_of(case), start=1):
        name = escape(name_of(case, entry, position))
        cards.append("BEGIN:VCARD\r\n"
                     "VERSION:3.0\r\n"
                     "N;CHARSET=UTF-8:" + name + "\r\n"
                     "FN;CHARSET=UTF-8:" + name + "\r\n"
                     "TEL;TYPE=CELL:" + tel_of(case, entry) + "\r\n"
                     "END:VCARD\r\n")
    return "".join(cards).encode("utf-8")


def main():
    check = "--check" in sys.argv[1:]
    folder = os.path.join(HERE, "expected")
    os.makedirs(folder, exist_ok=True)
    bad = []
    for case in read_cases():
        count = len(entries_of(case))
        if count != case["count"]:
            bad.append("%s: the rules give %d entries, cases.tsv says %d" % (case["name"], count, case["count"]))
        path = os.path.join(folder, case["name"] + ".vcf")
        data = output_of(case)
        if check:
            with open(path, "rb") as f:
                if f.read() != data:
                    bad.append("%s: %s differs from the rules" % (case["name"], path))
        else:
            with open(path, "wb") as f:
                f.write(data)
    for line in bad:
        print(line)
    if bad:
        sys.exit(1)
    print("%s %d expected files" % ("checked" if check else "wrote", len(read_cases())))


if __name__ == "__main__":
    main()
