"""Appending processes killed at random moments leave a table that opens and
whose record count covers only whole records.

usage: crash_append.py TABLE_TOOL WORK_DIR ROUNDS
"""
import os
import random
import shutil
import signal
import sys

sys.path.insert(0, os.path.dirname(__file__))
import tool_runner  # noqa: E402


def main():
    work, rounds = sys.argv[2], int(sys.argv[3])
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    path = os.path.join(work, "crash.dbf")
    tool_runner.run("create", path)
    rng = random.Random(20261211)
    for round_no in range(rounds):
        procs = [tool_runner.spawn("crash-append", path, str(w)) for w in range(1, 4)]
        for p in procs:
            p.stdout.readline()  # "ready": the table is open, appends begin
        # Kill each appender after a random number of its own appends' worth of
        # CPU time has passed: read its progress through the table's size.
        size0 = os.path.getsize(path)
        target = size0 + rng.randint(1, 4000) * 60
        while os.path.getsize(path) < target and all(p.poll() is None for p in procs):
            pass
        for p in procs:
            p.send_signal(signal.SIGKILL)
            p.wait()
        r = tool_runner.run("crash-verify", path, check=False)
        if r.returncode != 0:
            print(r.stdout.decode("latin-1"))
            sys.exit(1)
        last = r.stdout.decode().strip()  # new appenders start their sequences at 1
        tool_runner.run("create", path)
        print(f"round {round_no + 1}: {last}")


main()
