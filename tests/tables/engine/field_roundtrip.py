"""ACAMPOSLEE then ACAMPOSGRABA on every record, as an outside reader sees it.

usage: field_roundtrip.py TABLES_TOOL WORK_DIR
Text made of characters that both code pages hold (n and a with accents, u with
diaeresis, c cedilla, the inverted marks, E and U with acute) comes back
unchanged. The OEM box-drawing line (0xC4) has no ANSI counterpart: it comes back
as the mapping gives it, a plain '-' (our own tables natively, the system's under
Wine, which runs with a Spanish locale so that its OEM code page is 850).
"""
import os
import shutil
import sys

import dbfread

sys.path.insert(0, os.path.dirname(__file__))
from tool_process import run  # noqa: E402


def read(table):
    # latin-1 keeps every byte as it is stored.
    return [dict(r) for r in dbfread.DBF(table, encoding="latin-1", char_decode_errors="strict")]


def main():
    tool, work = sys.argv[1], sys.argv[2]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    table = os.path.join(work, "campos.dbf")
    run(tool, "create", table)
    before = read(table)
    run(tool, "roundtrip", table)
    after = read(table)

    expected = [dict(r) for r in before]
    expected[2]["NOMBRE"] = before[2]["NOMBRE"].replace("\xc4", "-")
    expected[2]["NOTAS"] = before[2]["NOTAS"].replace("\xc4", "-")
    ok = after == expected and "\xa4" in before[0]["NOMBRE"] and "\xc4" in before[2]["NOMBRE"]
    if not ok:
        print("before  ", before)
        print("after   ", after)
        print("expected", expected)
    print("field round trip:", "ok" if ok else "FAILED")
    sys.exit(0 if ok else 1)


main()
