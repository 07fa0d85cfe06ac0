"""Every fixture table as our engine reads it equals what dbfread reads.

usage: compare_dbfread.py TABLE_TOOL FIXTURE_DIR
"""
import datetime
import glob
import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
import tool_runner  # noqa: E402
from dbfread import DBF  # noqa: E402


def ours(path):
    records = []
    for line in tool_runner.run("dump", path).stdout.decode("latin-1").splitlines():
        kind, rest = line.split(" ", 1)
        if kind == "R":
            _, deleted = rest.split(" ")
            records.append((deleted == "1", []))
        else:
            name, value = rest.split(" ", 1)
            records[-1][1].append((name, value))
    return records


def canon(field_type, value):
    if value is None:
        return None
    if field_type in "CV":
        b = value.encode("latin-1").rstrip(b"\0 ")
        return b.hex() or "-"
    if field_type in "MGPW":
        b = value if isinstance(value, bytes) else value.encode("latin-1")
        return b.hex() or "-"
    if field_type == "D":
        return value.strftime("%Y%m%d")
    if field_type == "T":
        # Ours shows the second the milliseconds round to.
        return (value + datetime.timedelta(milliseconds=500)).strftime("%Y%m%d%H%M%S")
    if field_type == "L":
        return "T" if value else "F"
    return float(value)


def same(field_type, mine, theirs, dbase4_memo=False):
    if dbase4_memo and field_type == "M" and theirs is not None and mine != "-":
        # dbfread reads a dBASE IV memo a few bytes past the length its block
        # header gives ("Fifth memo" comes back as "Fifth memoo\n", leftovers of
        # an older text); ours stops at the stored length.
        return theirs.startswith(mine) and len(theirs) - len(mine) <= 16
    if theirs is None:
        # dbfread has no value for blanks; ours prints "-", an empty memo, or zero.
        return mine in ("-", "?") or (field_type in "NFIBY" and float(mine) == 0)
    if isinstance(theirs, float):
        try:
            m = float(mine)
        except ValueError:
            return False
        return abs(m - theirs) <= 1e-9 * max(1.0, abs(theirs))
    if field_type == "L":
        mine = {"t": "T", "y": "T", "Y": "T", "f": "F", "n": "F", "N": "F"}.get(mine, mine)
    return mine == theirs


def compare(path):
    mine = ours(path)
    table = DBF(path, encoding="latin-1", recfactory=list, load=True)
    # By position: a table may repeat a field name (dbase_03 has two Point_ID).
    types = [f.type for f in table.fields if not f.name.startswith("_NullFlags")]
    dbase4 = open(path, "rb").read(1) == b"\x8b"
    live = iter(table.records)
    dead = iter(table.deleted)
    problems = 0
    for recno, (deleted, fields) in enumerate(mine, 1):
        theirs = next(dead if deleted else live)
        theirs = [(n, v) for n, v in theirs if not n.startswith("_NullFlags")]
        if [n for n, _ in theirs] != [n for n, _ in fields]:
            print(f"{path} record {recno}: field names differ")
            return 1
        for ftype, (name, m), (_, t) in zip(types, fields, theirs):
            if not same(ftype, m, canon(ftype, t), dbase4):
                problems += 1
                if problems < 10:
                    print(f"{path} record {recno} {name}: ours {m!r}, dbfread {canon(ftype, t)!r}")
    if len(mine) != len(table.records) + len(table.deleted):
        print(f"{path}: {len(mine)} records, dbfread {len(table.records) + len(table.deleted)}")
        problems += 1
    print(f"{os.path.basename(path)}: {len(mine)} records, {'equal' if not problems else 'DIFFERENT'}")
    return problems


def main():
    fixtures = sys.argv[2]
    paths = sorted(glob.glob(os.path.join(fixtures, "*.dbf")))
    bad = sum(compare(p) for p in paths)
    sys.exit(1 if bad or not paths else 0)


main()
