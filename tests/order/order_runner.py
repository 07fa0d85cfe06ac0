"""Runs order_tool (argv[1]) natively, or through TOOL_EMULATOR (e.g. wine)."""
import os
import subprocess
import sys


def command(*args):
    return os.environ.get("TOOL_EMULATOR", "").split() + [sys.argv[1]] + list(args)


def run(*args, check=True):
    p = subprocess.run(command(*args), capture_output=True)
    if check and p.returncode != 0:
        sys.stderr.write(p.stdout.decode("latin-1") + p.stderr.decode("latin-1"))
        raise SystemExit(f"order_tool {' '.join(args)} failed with {p.returncode}")
    return p


def spawn(*args):
    return subprocess.Popen(command(*args), stdout=subprocess.PIPE, stderr=subprocess.PIPE)


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
