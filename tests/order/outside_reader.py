"""A table with structural tags written by our engine (appends and changes that
split and merge index pages), read back by programs no one here wrote: the CDX
reader of libdbd-xbase-perl (index_dump) lists each tag's keys and record
numbers, python3-dbfread reads the records, and the listing must equal the
records sorted by the tag's expression.

usage: outside_reader.py ORDER_TOOL INDEX_DUMP WORK_DIR
"""
import os
import shutil
import subprocess
import sys

import dbfread

sys.path.insert(0, os.path.dirname(__file__))
import order_runner  # noqa: E402


def dump(index_dump, bag, kind, tag):
    out = subprocess.run([index_dump, "-type", kind, "-tag", tag, bag], capture_output=True, check=True)
    rows = []
    for line in out.stdout.decode("latin-1").splitlines():
        key, recno = line.rsplit(" ", 1)
        rows.append((key, int(recno)))
    return rows


def main():
    index_dump, work = sys.argv[2], sys.argv[3]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    path = os.path.join(work, "people.dbf")
    order_runner.run("create", path)
    order_runner.run("fill", path, "3000")
    records = list(dbfread.DBF(path, char_decode_errors="replace"))
    bag = os.path.join(work, "people.cdx")

    tags = subprocess.run([index_dump, "-type", "char", bag], capture_output=True, check=True)
    tag_list = tags.stdout.decode("latin-1").split()
    failures = []
    if tag_list != ["AMOUNT", "NAME", "WSEQ"]:  # the directory lists them by name
        failures.append(f"tag list {tag_list}")

    by_name = sorted((r["NAME"].upper().ljust(20), n) for n, r in enumerate(records, 1))
    want = [(k.rstrip(" "), n) for k, n in by_name]
    if dump(index_dump, bag, "char", "NAME") != want:
        failures.append("NAME: keys or order differ")

    def seq_key(r):
        return f"{int(r['WRITER']):3d}{int(r['SEQ']):8d}"
    want = sorted((seq_key(r), n) for n, r in enumerate(records, 1))
    if dump(index_dump, bag, "char", "WSEQ") != [(k.rstrip(" "), n) for k, n in want]:
        failures.append("WSEQ: keys or order differ")

    positive = sorted((r["AMOUNT"], n) for n, r in enumerate(records, 1) if r["AMOUNT"] > 0)
    got = [(float(k), n) for k, n in dump(index_dump, bag, "num", "AMOUNT")]
    if got != [(float(a), n) for a, n in positive]:
        failures.append("AMOUNT: keys, order or FOR condition differ")

    for f in failures:
        print(f)
    print(f"{len(records)} records; " + ("tags differ" if failures else "every tag read back equal"))
    sys.exit(1 if failures else 0)


main()
