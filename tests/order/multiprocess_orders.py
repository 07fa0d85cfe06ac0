"""Several processes append to one shared table with structural tags, each also
changing random records under their locks.

usage: multiprocess_orders.py ORDER_TOOL WORK_DIR WRITERS COUNT
Afterwards the table holds exactly WRITERS x COUNT records, each writer's
sequence numbers once each, and every tag verifies against the records.
"""
import os
import shutil
import sys

sys.path.insert(0, os.path.dirname(__file__))
import order_runner  # noqa: E402


def main():
    work, writers, count = sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    path = os.path.join(work, "shared.dbf")
    order_runner.run("create", path)
    procs = [order_runner.spawn("append", path, str(w), str(count), str(1000 + w)) for w in range(1, writers + 1)]
    for p in procs:
        _, err = p.communicate()
        if p.returncode != 0:
            raise SystemExit("appender failed: " + err.decode("latin-1"))
    facts = order_runner.check(path)
    print(facts["text"].strip())
    want = {w: count for w in range(1, writers + 1)}
    ok = (facts["records"] == writers * count and facts["duplicates"] == 0 and facts["problems"] == 0
          and facts["writers"] == want)
    sys.exit(0 if ok else 1)


main()
