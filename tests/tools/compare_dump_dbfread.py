#!/usr/bin/env python3
"""dbfcheck dump of each sample table against what python3-dbfread reads from it,
field by field. Usage: compare_dump_dbfread.py DBFCHECK FIXTURE_DIR"""
import codecs
import csv
import datetime
import decimal
import io
import os
import shutil
import subprocess
import sys
import tempfile

from dbfread import DBF

# Bytes code page 1252 leaves undefined come out as the control character of the
# same number, as dbfcheck writes them.
codecs.register_error("same_number", lambda e: (chr(e.object[e.start]), e.start + 1))

TABLES = ["calls.dbf", "contacts.dbf", "setup.dbf", "types.dbf", "dbase_03.dbf",
          "dbase_30.dbf", "dbase_83.dbf", "dbase_8b.dbf", "dbase_f5.dbf", "FOXPRO-DB-TEST.DBC"]


def same(ours, theirs):
    """True when our CSV text stands for dbfread's value."""
    if theirs is None:
        return ours == ""
    if isinstance(theirs, bool):
        return ours == ("T" if theirs else "F")
    if isinstance(theirs, (int, float, decimal.Decimal)):
        return ours != "" and abs(float(ours) - float(theirs)) <= 1e-9 * max(1.0, abs(float(theirs)))
    if isinstance(theirs, datetime.datetime):
        if ours == "":
            return False
        got = datetime.datetime.strptime(ours, "%Y-%m-%d %H:%M:%S")
        return abs((got - theirs).total_seconds()) <= 0.5
    if isinstance(theirs, datetime.date):
        return ours == theirs.isoformat()
    if isinstance(theirs, bytes):
        return ours == ("0x" + theirs.hex() if theirs else "")
    return ours == theirs


def dbase4_memo_agrees(ours, theirs):
    """dbfread reads a dBASE IV memo up to its block's terminator, ignoring the
    length stored in front of it, so it shows what follows the text too."""
    return isinstance(theirs, str) and theirs.startswith(ours)


def compare(dbfcheck, path):
    run = subprocess.run([dbfcheck, "dump", path], capture_output=True)
    if run.returncode != 0:
        return ["dump exited with %d: %s" % (run.returncode, run.stderr.decode(errors="replace"))]
    text = run.stdout.decode("utf-8")
    rows = list(csv.reader(io.StringIO(text, newline="")))
    header, rows = rows[0], rows[1:]
    # Records as (name, value) lists: a table may name two fields alike.
    table = DBF(path, encoding="cp1252", char_decode_errors="same_number", recfactory=list)
    names = [f.name for f in table.fields if f.type != "0"]
    types = [f.type for f in table.fields if f.type != "0"]
    dbase4 = table.dbversion.lower().startswith("dbase iv")
    problems = []
    if header != ["_deleted"] + names:
        problems.append("columns %r, dbfread %r" % (header, names))
        return problems
    live = [r for r in rows if r[0] == ""]
    dead = [r for r in rows if r[0] == "*"]
    if len(live) + len(dead) != len(rows):
        problems.append("a _deleted value other than '' or '*'")
    for kind, ours, theirs in (("live", live, list(table)), ("deleted", dead, list(table.deleted))):
        if len(ours) != len(theirs):
            problems.append("%d %s records, dbfread %d" % (len(ours), kind, len(theirs)))
            continue
        for n, (mine, rec) in enumerate(zip(ours, theirs), 1):
            values = [v for (name, v) in rec]
            for name, ftype, value, theirs in zip(names, types, mine[1:], values):
                if same(value, theirs) or (dbase4 and ftype == "M" and dbase4_memo_agrees(value, theirs)):
                    continue
                problems.append("%s record %d field %s: %r, dbfread %r" % (kind, n, name, value, theirs))
    return problems


def main():
    dbfcheck, fixtures = sys.argv[1], sys.argv[2]
    failed = False
    # dbfread looks for a container's memos under .FPT, not .DCT: give it a copy.
    work = tempfile.mkdtemp()
    for name in ("FOXPRO-DB-TEST.DBC", "FOXPRO-DB-TEST.DCT", "FOXPRO-DB-TEST.DCX"):
        shutil.copy(os.path.join(fixtures, name), work)
    shutil.copy(os.path.join(fixtures, "FOXPRO-DB-TEST.DCT"), os.path.join(work, "FOXPRO-DB-TEST.FPT"))
    for t in TABLES:
        where = work if t.endswith(".DBC") else fixtures
        problems = compare(dbfcheck, os.path.join(where, t))
        for p in problems[:20]:
            print("%s: %s" % (t, p))
        failed = failed or bool(problems)
        print("%s: %s" % (t, "differs" if problems else "same as dbfread"))
    shutil.rmtree(work)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
