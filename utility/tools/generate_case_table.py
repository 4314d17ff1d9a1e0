#!/usr/bin/env python3
"""Generates utility/src/CaseTable_generated.cpp, the library's case table, from the
Unicode Character Database files of Debian's unicode-data package.

    generate_case_table.py [--data DIR] [--output FILE]   write the table
    generate_case_table.py [--data DIR] --check FILE      exit 1 if FILE differs from a
                                                          fresh generation, 77 when the
                                                          data files are missing

For every key unit: lower and upper are the full mappings without conditions
(UnicodeData's simple mapping, replaced by SpecialCasing's unconditional entry), fold is
the full case folding (CaseFolding status C and F). A few keys are fixed by hand so that
all sigma forms fold alike and both Turkish i forms fold to plain i.
"""
import argparse
import os
import sys

# The units that have an entry, inclusive ranges.
KEY_RANGES = [
    (0x0041, 0x005A), (0x0061, 0x007A), (0x00B5, 0x00B5), (0x00C0, 0x00D6),
    (0x00D8, 0x00F6), (0x00F8, 0x0137), (0x0139, 0x017F), (0x0181, 0x018C),
    (0x018E, 0x0199), (0x019C, 0x019D), (0x019F, 0x01A9), (0x01AC, 0x01B9),
    (0x01BC, 0x01BD), (0x01BF, 0x01BF), (0x01C4, 0x021F), (0x0222, 0x0233),
    (0x0253, 0x0254), (0x0256, 0x0257), (0x0259, 0x0259), (0x025B, 0x025B),
    (0x0260, 0x0260), (0x0263, 0x0263), (0x0268, 0x0269), (0x026F, 0x026F),
    (0x0272, 0x0272), (0x0275, 0x0275), (0x0280, 0x0280), (0x0283, 0x0283),
    (0x0288, 0x0288), (0x028A, 0x028B), (0x0292, 0x0292), (0x0345, 0x0345),
    (0x0386, 0x0386), (0x0388, 0x038A), (0x038C, 0x038C), (0x038E, 0x03A1),
    (0x03A3, 0x03CE), (0x03D0, 0x03D1), (0x03D5, 0x03D6), (0x03DA, 0x03F2),
    (0x0400, 0x0481), (0x048C, 0x04BF), (0x04C1, 0x04C4), (0x04C7, 0x04C8),
    (0x04CB, 0x04CC), (0x04D0, 0x04F5), (0x04F8, 0x04F9), (0x0531, 0x0556),
    (0x0561, 0x0587), (0x1E00, 0x1E9B), (0x1EA0, 0x1EF9), (0x1F00, 0x1F15),
    (0x1F18, 0x1F1D), (0x1F20, 0x1F45), (0x1F48, 0x1F4D), (0x1F50, 0x1F57),
    (0x1F59, 0x1F59), (0x1F5B, 0x1F5B), (0x1F5D, 0x1F5D), (0x1F5F, 0x1F7D),
    (0x1F80, 0x1FB4), (0x1FB6, 0x1FBC), (0x1FBE, 0x1FBE), (0x1FC2, 0x1FC4),
    (0x1FC6, 0x1FCC), (0x1FD0, 0x1FD3), (0x1FD6, 0x1FDB), (0x1FE0, 0x1FEC),
    (0x1FF2, 0x1FF4), (0x1FF6, 0x1FFC), (0x2126, 0x2126), (0x212A, 0x212B),
    (0x2160, 0x217F), (0x24B6, 0x24E9), (0xFB00, 0xFB06), (0xFB13, 0xFB17),
    (0xFF21, 0xFF3A), (0xFF41, 0xFF5A),
]
KEY_COUNT = 1446

# key: (lower, upper, fold)
EXCEPTIONS = {
    0x0130: ([0x0069], [0x0130], [0x0069]),
    0x0131: ([0x0131], [0x0049], [0x0069]),
    0x03A3: ([0x03C3], [0x03A3], [0x03C2]),
    0x03C2: ([0x03C2], [0x03A3], [0x03C2]),
    0x03C3: ([0x03C3], [0x03A3], [0x03C2]),
    0x03F2: ([0x03F2], [0x03A3], [0x03C2]),
}

DATA_FILES = ("UnicodeData.txt", "SpecialCasing.txt", "CaseFolding.txt")


def units(field):
    return [int(x, 16) for x in field.split()]


def read_lines(path):
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if line:
                yield [x.strip() for x in line.split(";")]


def load(data_dir):
    simple_upper, simple_lower = {}, {}
    for fields in read_lines(os.path.join(data_dir, "UnicodeData.txt")):
        code = int(fields[0], 16)
        if fields[12]:
            simple_upper[code] = units(fields[12])
        if fields[13]:
            simple_lower[code] = units(fields[13])
    special_lower, special_upper = {}, {}
    for fields in read_lines(os.path.join(data_dir, "SpecialCasing.txt")):
        # code; lower; title; upper; [conditions;] -- only entries without conditions
        if len(fields) > 4 and fields[4]:
            continue
        code = int(fields[0], 16)
        special_lower[code] = units(fields[1])
        special_upper[code] = units(fields[3])
    fold = {}
    for fields in read_lines(os.path.join(data_dir, "CaseFolding.txt")):
        if fields[1] in ("C", "F"):
            fold[int(fields[0], 16)] = units(fields[2])
    with open(os.path.join(data_dir, "CaseFolding.txt"), encoding="utf-8") as f:
        version = f.readline().strip().lstrip("# ").replace("CaseFolding-", "").replace(".txt", "")
    return simple_lower, simple_upper, special_lower, special_upper, fold, version


def build(data_dir):
    simple_lower, simple_upper, special_lower, special_upper, fold, version = load(data_dir)
    entries = []
    for first, last in KEY_RANGES:
        for key in range(first, last + 1):
            if key in EXCEPTIONS:
                mapped = EXCEPTIONS[key]
            else:
                lower = special_lower.get(key, simple_lower.get(key, [key]))
                upper = special_upper.get(key, simple_upper.get(key, [key]))
                mapped = (lower, upper, fold.get(key, [key]))
            for m in mapped:
                if not 1 <= len(m) <= 3 or any(u > 0xFFFF or 0xD800 <= u <= 0xDFFF for u in m):
                    sys.exit("U+%04X: mapping %s does not fit the table" % (key, m))
            entries.append((key,) + tuple(mapped))
    if len(entries) != KEY_COUNT or len({e[0] for e in entries}) != KEY_COUNT:
        sys.exit("the key ranges give %d keys, not %d" % (len(entries), KEY_COUNT))
    return entries, version


def mapping(m):
    return "{%d, {%s}}" % (len(m), ", ".join("0x%04X" % u for u in m))


def render(entries, version):
    out = [
        "// Generated by utility/tools/generate_case_table.py from the Unicode Character",
        "// Database %s (UnicodeData.txt, SpecialCasing.txt, CaseFolding.txt). Do not edit;" % version,
        "// run the script again instead.",
        '#include "CaseTable.h"',
        "",
        "namespace tarncore {",
        "namespace utility {",
        "namespace casetable {",
        "",
        "// key, lower, upper, fold",
        "const CaseEntry kEntries[] = {",
    ]
    for key, lower, upper, fold in entries:
        out.append("    {0x%04X, %s, %s, %s}," % (key, mapping(lower), mapping(upper), mapping(fold)))
    out += [
        "};",
        "",
        "const std::size_t kEntryCount = sizeof(kEntries) / sizeof(kEntries[0]);",
        "",
        "}  // namespace casetable",
        "}  // namespace utility",
        "}  // namespace tarncore",
        "",
    ]
    return "\n".join(out)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--data", default="/usr/share/unicode")
    parser.add_argument("--output", default=os.path.join(here, "..", "src", "CaseTable_generated.cpp"))
    parser.add_argument("--check", metavar="FILE")
    args = parser.parse_args()
    if not all(os.path.exists(os.path.join(args.data, f)) for f in DATA_FILES):
        print("Unicode data files not found in %s" % args.data)
        return 77 if args.check else 2
    text = render(*build(args.data))
    if args.check:
        with open(args.check, encoding="utf-8") as f:
            if f.read() != text:
                print("%s differs from a fresh generation; run %s" % (args.check, __file__))
                return 1
        print("%s matches the Unicode data" % args.check)
        return 0
    with open(args.output, "w", encoding="utf-8") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
