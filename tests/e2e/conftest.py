"""Fixtures of the end-to-end suite: the desktop, and a clean start for every test (no
program running, no tray icon, the stand-in's default scenario, no settings, no Run value)."""

import os
import shutil
import subprocess
import sys
import time

import pytest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "suite"))

from desktop import ROOT, Desktop, wait_until  # noqa: E402
from programs import BUILD, RUN_KEY, RUN_VALUE, end_programs  # noqa: E402
# Keeps each test's report on its item, for the fixtures below.
from report_hook import pytest_runtest_makereport  # noqa: E402,F401

SHOTS = os.environ.get("KORVALEN_E2E_SHOTS", os.path.join(ROOT, "build", "e2e", "shots"))


@pytest.fixture(scope="session")
def desktop():
    if not os.environ.get("WINEPREFIX") or not os.environ.get("DISPLAY"):
        pytest.exit("WINEPREFIX and DISPLAY are not set: run tests/e2e/run", returncode=2)
    shutil.rmtree(SHOTS, ignore_errors=True)
    d = Desktop(BUILD, SHOTS)
    d.keep_desktop()
    yield d
    d.release_desktop()


# The click cases run at 100 % and at 150 %: @AT_BOTH_SCALES on the test.
AT_BOTH_SCALES = pytest.mark.parametrize("scale", [96, 144], indirect=True, ids=["96dpi", "144dpi"])


@pytest.fixture
def scale(request):
    """The display scale (dots per inch) the test's programs start at; 96 unless the test
    is parametrized."""
    return getattr(request, "param", 96)


@pytest.fixture
def clean(desktop, scale, request):
    """A desktop without our programs, the stand-in running its default scenario, and
    neither settings nor a Run value; programs start at the test's scale."""
    d = desktop
    name = request.node.name.removeprefix("test_")
    d.shot_prefix = name[:40] + (f"-{scale}dpi" if scale != 96 else "")

    def reset():
        end_programs(d)
        if d.sim("counters", check=False).returncode != 0:
            d.sim("start")
        d.sim("reset")
        d.reg_delete(r"HKCU\Korvalen")
        d.reg_delete(RUN_KEY, RUN_VALUE)

    reset()
    d.set_scale(scale)
    try:
        yield d
        report = getattr(request.node, "rep_call", None)
        if report is not None and report.failed and d.desktop_window():
            d.screenshot("failure")
        reset()
    finally:
        d.set_scale(96)


# One line for each program that ended with anything but 0, with the end of what it wrote
# to its standard error; tests/e2e/run prints them under the summary.
UNEXPECTED_ENDS_LOG = os.path.join(ROOT, "build", "e2e", "unexpected-ends.log")


class Program:
    """A program started in the desktop, as the user starts it."""

    def __init__(self, d, exe, *args):
        self.d = d
        self.name = " ".join([os.path.basename(exe), *args])
        self.process = d.start(exe, *args)

    def ended(self):
        return self.process.poll() is not None

    def stderr_tail(self, lines=4):
        try:
            with open(self.process.log_path, errors="replace") as f:
                return " | ".join(line.strip() for line in f.readlines()[-lines:])
        except OSError:
            return ""

    def wait_ended(self, deadline=15):
        wait_until(self.ended, deadline=deadline, what="the program to end")
        code = self.process.returncode
        if code != 0:
            with open(UNEXPECTED_ENDS_LOG, "a") as log:
                log.write(f"{time.strftime('%H:%M:%S')} {self.d.shot_prefix}: {self!r}; "
                          f"{self.d.server_note()}\n")
        return code

    def __repr__(self):
        code = self.process.poll()
        state = "running" if code is None else f"ended with {code}"
        return (f"<{self.name}: {state}; its standard error ends: "
                f"{self.stderr_tail() or '(nothing)'}>")


@pytest.fixture
def start_program(clean):
    started = []

    def start(exe, *args):
        p = Program(clean, exe, *args)
        started.append(p)
        return p

    start.desktop = clean
    yield start
    end_programs(clean)
    for p in started:
        if not p.ended():
            try:
                p.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                p.process.kill()
