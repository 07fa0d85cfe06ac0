"""order_tool (argv[1]) run through the engine tests' runner, and its check report."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "engine"))
from tool_runner import run, spawn  # noqa: E402,F401


def check(path):
    """The tool's check report as a dict, with the raw text and exit code."""
    p = run("check", path, check=False)
    text = p.stdout.decode("latin-1")
    facts = {"text": text, "code": p.returncode, "writers": {}}
    for line in text.splitlines():
        parts = line.split()
        if len(parts) == 2 and parts[0] in ("records", "duplicates", "problems"):
            facts[parts[0]] = int(parts[1])
        elif len(parts) == 3 and parts[0] == "writer":
            facts["writers"][int(parts[1])] = int(parts[2])
    if p.returncode == 3:
        raise SystemExit("check could not run: " + p.stderr.decode("latin-1"))
    return facts
