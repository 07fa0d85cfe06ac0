"""Appenders to a table with structural tags are killed (SIGKILL) at random
moments, round after round, on the same table.

usage: crash_orders.py ORDER_TOOL WORK_DIR ROUNDS
After every round the table opens, its count covers only whole records and no
record appears twice. First the appenders write whole records: no tag may hold
an entry for an uncounted record or lack a counted one, as the next append
takes out the keys a killed one left.
A kill inside the several page writes of one key's insertion can still leave a
damaged page. Then they append as a program does, a blank record and then its
fields one by one: a kill between a field's write and its keys leaves that
record's keys stale. In both cases reindexing must repair the bag; the script
says how often that was needed.
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
    reindexed = {"whole": 0, "append": 0}
    for rnd in range(rounds):
        whole = rnd < rounds // 2
        mode = "whole" if whole else "append"
        procs = [order_runner.spawn(mode, path, str(w + 10 * rnd), "0", str(rnd * 10 + w)) for w in range(1, 4)]
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
        # Whole-record appends never leave an entry for a record that was not
        # counted, nor a counted record without its keys: only a kill inside the
        # several page writes of one key's insertion can leave a damaged page.
        if whole and any(("does not have" in line or "missing" in line or "differs from the key" in line)
                         for line in facts["text"].splitlines()):
            raise SystemExit(f"round {rnd}: killed whole-record appends left wrong entries\n" + facts["text"])
        if facts["problems"]:
            print(f"round {rnd}: {facts['problems']} problems before reindexing:\n{facts['text']}")
            order_runner.run("reindex", path)
            reindexed[mode] += 1
            again = order_runner.check(path)
            if again["problems"]:
                raise SystemExit(f"round {rnd}: reindexing did not repair the bag\n" + again["text"])
        print(f"round {rnd} ({mode}): {count} records, tags verify")
    print(f"{rounds} rounds; reindexing needed after {reindexed['whole']} of {rounds // 2} with whole-record "
          f"appends (damaged page), {reindexed['append']} of {rounds - rounds // 2} with field writes")


main()
