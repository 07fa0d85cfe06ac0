"""Runs tables_tool processes, natively or through an emulator (TOOL_EMULATOR=wine),
and talks to them line by line."""
import os
import subprocess
import sys


def command(tool, *args):
    return os.environ.get("TOOL_EMULATOR", "").split() + [tool] + list(args)


def run(tool, *args):
    p = subprocess.run(command(tool, *args), capture_output=True, timeout=120)
    if p.returncode != 0:
        sys.stderr.write(p.stdout.decode("latin-1") + p.stderr.decode("latin-1"))
        raise SystemExit(f"tables_tool {' '.join(args)} failed with {p.returncode}")
    return p.stdout.decode("latin-1")


class Tool:
    """A running tables_tool: read its lines, answer its waits."""

    def __init__(self, tool, *args):
        self.args = args
        self.p = subprocess.Popen(command(tool, *args), stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.seen = []

    def line(self):
        raw = self.p.stdout.readline()
        if not raw:
            raise SystemExit(f"tables_tool {' '.join(self.args)} ended early after {self.seen}")
        text = raw.decode("latin-1").strip()
        self.seen.append(text)
        return text

    def until(self, prefix):
        """Lines up to and including the first that starts with prefix."""
        lines = []
        while True:
            text = self.line()
            lines.append(text)
            if text.startswith(prefix):
                return lines

    def send(self, text="go"):
        self.p.stdin.write((text + "\n").encode())
        self.p.stdin.flush()

    def finish(self):
        self.p.stdin.close()
        rest = self.p.stdout.read().decode("latin-1").split()
        if self.p.wait(timeout=60) != 0:
            raise SystemExit(f"tables_tool {' '.join(self.args)} ended with {self.p.returncode}: {self.seen}")
        return rest


def hexed(text):
    return text.encode("latin-1").hex()
