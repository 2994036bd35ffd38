#!/usr/bin/env python3
"""A private X display for one test, benchmark or script.

Xvfb chooses a free display number itself and reports it through a pipe
(-displayfd), once it accepts connections. Picking a number by looking for
lock files, as `xvfb-run -a` does, races with every other test doing the
same at the same moment; this cannot, so tests may run in parallel.

As a library:
    with PrivateDisplay() as display:
        subprocess.run(program, env=dict(os.environ, DISPLAY=display.name))
As a command, in place of xvfb-run:
    private_display.py [--screen WxHxD] -- COMMAND [ARGUMENT ...]
runs COMMAND with DISPLAY set to a display of its own and returns its code.
"""
import argparse
import ctypes
import os
import select
import signal
import subprocess
import sys
import time

PR_SET_PDEATHSIG = 1


def _die_with_parent():
    # An Xvfb left behind by a killed test would hold its number and its
    # memory until the machine restarts.
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


class PrivateDisplay:
    def __init__(self, screen="1280x1024x24", log=None, start_timeout=30):
        self.screen = screen
        self.log = log
        self.start_timeout = start_timeout
        self.process = None
        self.name = None

    def start(self):
        read_end, write_end = os.pipe()
        try:
            # -noreset: the server would otherwise reset as its last client
            # goes, and refuse the next program for a moment.
            self.process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.screen, "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=self.log or subprocess.DEVNULL,
                stderr=self.log or subprocess.DEVNULL, preexec_fn=_die_with_parent)
        except BaseException:
            os.close(read_end)
            raise
        finally:
            os.close(write_end)
        try:
            number = self._read_number(read_end)
        finally:
            os.close(read_end)
        if not number.isdigit():
            self.stop()
            raise RuntimeError("Xvfb did not start")
        self.name = ":" + number
        return self.name

    def _read_number(self, fd):
        text = b""
        deadline = time.monotonic() + self.start_timeout
        while not text.endswith(b"\n"):
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([fd], [], [], left)[0]:
                break
            chunk = os.read(fd, 16)
            if not chunk:  # Xvfb ended without a display
                break
            text += chunk
        return text.decode("ascii", "replace").strip()

    def stop(self):
        if self.process is None:
            return
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.process = None

    def env(self, base=None):
        return dict(os.environ if base is None else base, DISPLAY=self.name)

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()


def main():
    parser = argparse.ArgumentParser(description="Run a command on an X display of its own.")
    parser.add_argument("--screen", default="1280x1024x24")
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    command = args.command[1:] if args.command[:1] == ["--"] else args.command
    if not command:
        parser.error("no command")

    child = None

    def forward(signum, _frame):
        # A test's time-out ends this process: end the command too, then
        # the display as this function returns.
        if child is not None and child.poll() is None:
            child.send_signal(signum)
            try:
                child.wait(10)
            except subprocess.TimeoutExpired:
                child.kill()
        raise SystemExit(128 + signum)

    signal.signal(signal.SIGTERM, forward)
    signal.signal(signal.SIGINT, forward)
    with PrivateDisplay(args.screen) as display:
        child = subprocess.Popen(command, env=display.env())
        return child.wait()


if __name__ == "__main__":
    sys.exit(main())
