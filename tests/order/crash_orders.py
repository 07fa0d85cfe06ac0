"""Appenders to a table with structural tags are killed (SIGKILL) at random
moments, round after round, on the same table.

usage: crash_orders.py ORDER_TOOL WORK_DIR ROUNDS
After every round the table opens, its count covers only whole records, no
record appears twice, and its tags verify. Should a kill have landed inside an
index page split, reindexing must repair the bag; the script says how often
that was needed.
"""
import os
import random
import shutil
import signal
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
import order_runner  # noqa: E402


def main():
    work, rounds = sys.argv[2], int(sys.argv[3])
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    path = os.path.join(work, "crash.dbf")
    order_runner.run("create", path)
    rng = random.Random(20261211)
    reindexed = 0
    for rnd in range(rounds):
        procs = [order_runner.spawn("append", path, str(w + 10 * rnd), "0", str(rnd * 10 + w)) for w in range(1, 4)]
        # Killing at a random moment is the point here, not a wait for a state.
        time.sleep(rng.uniform(0.05, 0.6))
        for p in procs:
            p.send_signal(signal.SIGKILL)
        for p in procs:
            p.communicate()
        size = os.path.getsize(path)
        facts = order_runner.check(path)
        with open(path, "rb") as f:
            head = f.read(12)
        count = int.from_bytes(head[4:8], "little")
        header_len = int.from_bytes(head[8:10], "little")
        record_len = int.from_bytes(head[10:12], "little")
        if header_len + count * record_len > size or facts["records"] != count:
            raise SystemExit(f"round {rnd}: count {count} does not match the file")
        if facts["duplicates"]:
            raise SystemExit(f"round {rnd}: duplicate records\n" + facts["text"])
        if facts["problems"]:
            print(f"round {rnd}: {facts['problems']} problems before reindexing:\n{facts['text']}")
            order_runner.run("reindex", path)
            reindexed += 1
            again = order_runner.check(path)
            if again["problems"]:
                raise SystemExit(f"round {rnd}: reindexing did not repair the bag\n" + again["text"])
        print(f"round {rnd}: {count} records, tags verify")
    print(f"{rounds} rounds, {reindexed} needed reindexing")


main()
