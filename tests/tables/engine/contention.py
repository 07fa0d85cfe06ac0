"""The retrying routines against a second process that holds a table or a record.

usage: contention.py TABLES_TOOL WORK_DIR
The holder lets go while the routine waits: the routine succeeds on its next
attempt. When the holder keeps it, the routine fails once its budget is spent,
with its message.
"""
import os
import shutil
import sys

sys.path.insert(0, os.path.dirname(__file__))
from tool_process import Tool, hexed, run  # noqa: E402

OPEN_BOX = "box " + hexed("Fichero(s) bloqueado(s). Acceso Denegado") + "|" + hexed("Atenci\xf3n")
LOCK_BOX = "box " + hexed("El registro que se intenta procesar est\xe1 bloqueado") + "|" + hexed("Acceso denegado")
failures = []


def check(what, condition, detail):
    if not condition:
        failures.append(f"{what}: {detail}")


def hold(tool, *args):
    holder = Tool(tool, *args)
    first = holder.line()
    if first != "ready":
        raise SystemExit(f"holder {args} did not start: {first}")
    return holder


def release(holder):
    holder.send("release")
    holder.until("released")


def answer_waits(user, waits, on_wait=None):
    """Answers `waits` waits; on_wait(k) runs before the k-th answer (from 1)."""
    lines = []
    for k in range(1, waits + 1):
        lines += user.until("wait")
        if on_wait:
            on_wait(k)
        user.send()
    return lines


def open_released_while_waiting(tool, table):
    holder = hold(tool, "hold-exclusive", table)
    user = Tool(tool, "netuse", table, "3")
    lines = answer_waits(user, 2, lambda k: k == 2 and release(holder))
    lines += user.until("result")
    check("open released", lines[-1] == "result true", lines)
    check("open released", sum(l.startswith("error 21 32") for l in lines) == 2, lines)
    check("open released", sum(l == "wait 1" for l in lines) == 2, lines)
    user.finish()
    holder.finish()


def open_held(tool, table):
    holder = hold(tool, "hold-exclusive", table)
    user = Tool(tool, "netuse", table, "2")
    lines = answer_waits(user, 2)
    lines += user.until("result")
    check("open held", lines[-2:] == [OPEN_BOX, "result false"], lines)
    check("open held", sum(l.startswith("error 21 32") for l in lines) == 2, lines)
    user.finish()
    release(holder)
    holder.finish()


def lock_released_while_waiting(tool, table):
    holder = hold(tool, "hold-record", table, "2")
    user = Tool(tool, "netreclock", table, "2", "1")
    lines = answer_waits(user, 1, lambda k: release(holder))
    lines += user.until("recno")
    check("lock released", lines[-2:] == ["result true", "recno 2"], lines)
    check("lock released", sum(l == "wait 0.5" for l in lines) == 1, lines)
    user.finish()
    holder.finish()


def lock_held(tool, table):
    holder = hold(tool, "hold-record", table, "2")
    user = Tool(tool, "netreclock", table, "2", "1")
    lines = answer_waits(user, 2)
    lines += user.until("recno")
    check("lock held", lines[-3:] == [LOCK_BOX, "result false", "recno 2"], lines)
    # Another record is free all the same, and appending is not held up.
    other = Tool(tool, "netreclock", table, "1", "-1")
    check("other record", other.until("recno")[-2:] == ["result true", "recno 1"], other.seen)
    other.finish()
    adder = Tool(tool, "netrecadd", table, "-1")
    check("append", adder.until("recno")[-2:] == ["result true", "recno 4"], adder.seen)
    adder.finish()
    user.finish()
    release(holder)
    holder.finish()


def main():
    tool, work = sys.argv[1], sys.argv[2]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    table = os.path.join(work, "clientes.dbf")
    run(tool, "create", table)
    for case in (open_released_while_waiting, open_held, lock_released_while_waiting, lock_held):
        case(tool, table)
    for f in failures:
        print("FAILED", f)
    print("contention:", "ok" if not failures else f"{len(failures)} failed")
    sys.exit(1 if failures else 0)


main()
