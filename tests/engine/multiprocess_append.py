"""Several processes append to one shared table and lock random records.

usage: multiprocess_append.py TABLE_TOOL WORK_DIR WRITERS COUNT
Each record carries writer and sequence: afterwards the table holds exactly
WRITERS x COUNT distinct records, and the increments done under record locks all
survived (no two writers held one lock at once).
"""
import os
import shutil
import sys

sys.path.insert(0, os.path.dirname(__file__))
import tool_runner  # noqa: E402


def main():
    work, writers, count = sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    path = os.path.join(work, "shared.dbf")
    tool_runner.run("create", path)
    procs = [tool_runner.spawn("append", path, str(w), str(count), str(1000 + w)) for w in range(1, writers + 1)]
    touches = 0
    for p in procs:
        out, err = p.communicate()
        if p.returncode != 0:
            raise SystemExit("appender failed: " + err.decode("latin-1"))
        touches += int(out.decode().split()[-1])
    r = tool_runner.run("verify", path, str(writers), str(count), str(touches), check=False)
    print(r.stdout.decode("latin-1").strip())
    sys.exit(r.returncode)


main()
