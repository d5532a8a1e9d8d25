#!/usr/bin/python3
"""Reads every expected output file of the end-to-end table with python3-vobject, a vCard parser that nobody here
wrote, and compares each card's FN and TEL with the lines of the case's input file (decoded, filtered and named as
the case asks). Exits 77 when vobject is missing, so that CTest reports the test as skipped."""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "data"))

try:
    import vobject
except ImportError:
    print("SKIPPED: python3-vobject is not installed (apt-get install python3-vobject)")
    sys.exit(77)

sys.dont_write_bytecode = True  # keep the source tree clean
import expected  # noqa: E402  (the case table and the input decoding)


def check_case(case):
    problems = []
    with open(os.path.join(HERE, "data", "expected", case["name"] + ".vcf"), "rb") as f:
        data = f.read()
    try:
        cards = list(vobject.readComponents(data.decode("utf-8"), validate=True))
    except Exception as error:  # vobject raises several kinds of parse errors
        return ["vobject cannot read it: %r" % error]
    entries = expected.entries_of(case)
    if len(cards) != len(entries) or len(cards) != case["count"]:
        problems.append("%d cards for %d input lines (table: %d)" % (len(cards), len(entries), case["count"]))
    for position, (card, entry) in enumerate(zip(cards, entries), start=1):
        want_name = expected.name_of(case, entry, position)
        want_tel = expected.tel_of(case, entry)
        if card.name != "VCARD" or card.version.value != "3.0":
            problems.append("card %d is not a vCard 3.0" % position)
        if card.fn.value != want_name:
            problems.append("card %d: FN %r, expected %r" % (position, card.fn.value, want_name))
        tels = card.contents.get("tel", [])
        if len(tels) != 1 or tels[0].value != want_tel:
            problems.append("card %d: TEL %r, expected %r" % (position, [t.value for t in tels], want_tel))
        elif tels[0].params.get("TYPE") != ["CELL"]:
            problems.append("card %d: TEL parameters %r" % (position, tels[0].params))
        # N is a structured value: with the escaping, a name with ";" or "," stays one family-name component.
        n = card.n.value
        if n.family != want_name or n.given or n.additional or n.prefix or n.suffix:
            problems.append("card %d: N %r, expected the family name %r alone" % (position, n, want_name))
    return problems


def main():
    failed = 0
    cases = expected.read_cases()
    for case in cases:
        problems = check_case(case)
        print("%s %s" % ("FAIL" if problems else "PASS", case["name"]))
        for problem in problems:
            print("    " + problem)
        failed += bool(problems)
    print("%d passed, %d failed" % (len(cases) - failed, failed))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
