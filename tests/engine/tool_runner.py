"""Runs a test tool (argv[1]: table_tool, order_tool), natively or through an emulator (wine)."""
import os
import subprocess
import sys


def tool_command():
    """argv[1] is the tool; an optional TOOL_EMULATOR runs it (e.g. wine)."""
    emulator = os.environ.get("TOOL_EMULATOR", "").split()
    return emulator + [sys.argv[1]]


def run(*args, check=True):
    p = subprocess.run(tool_command() + list(args), capture_output=True)
    if check and p.returncode != 0:
        sys.stderr.write(p.stdout.decode("latin-1") + p.stderr.decode("latin-1"))
        raise SystemExit(f"{os.path.basename(sys.argv[1])} {' '.join(args)} failed with {p.returncode}")
    return p


def spawn(*args):
    return subprocess.Popen(tool_command() + list(args), stdout=subprocess.PIPE, stderr=subprocess.PIPE)
