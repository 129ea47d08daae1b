"""Fixtures of the end-to-end suite: the desktop, and a clean start for every test (no
program running, no tray icon, the stand-in's default scenario, no settings, no Run value)."""

import os
import shutil
import signal
import subprocess

import pytest

from desktop import ROOT, Desktop, wait_until

BUILD = os.environ.get("KORVALEN_E2E_BUILD", os.path.join(ROOT, "build", "win64"))
SHOTS = os.environ.get("KORVALEN_E2E_SHOTS", os.path.join(ROOT, "build", "e2e", "shots"))

PRODUCT = os.path.join(BUILD, "app", "KorvalenControlPanel.exe")
FLOOR = os.path.join(BUILD, "benchmarks", "floor_tray.exe")
SETTINGS_KEY = r"HKCU\Korvalen\General"
RUN_KEY = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run"
RUN_VALUE = "Korvalen Control Panel"
PANEL_CLASS, PANEL_TITLE = "TfrmControlPanel", "Korvalen status"


def _linux_pids_of(exe_name):
    """Linux processes of this prefix that run EXE_NAME (the last resort of the clean-up)."""
    prefix = os.environ.get("WINEPREFIX", "")
    pids = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                cmd = f.read().decode(errors="replace")
            if exe_name.lower() not in cmd.lower():
                continue
            with open(f"/proc/{pid}/environ", "rb") as f:
                if f"WINEPREFIX={prefix}".encode() in f.read().split(b"\0"):
                    pids.append(int(pid))
        except OSError:
            pass
    return pids


def end_programs(d):
    """Ends every panel and floor program in the desktop and waits for the taskbar to go."""
    def ours():
        return [w for w in (d.find(PANEL_CLASS, PANEL_TITLE), d.find("KorvalenFloorTray", None))
                if w]

    for _ in range(6):
        found = ours()
        if not found:
            break
        # A message window or a system box may be up: its loop ends on the first quit.
        for w in found:
            d.post(w.hwnd, 0x12, check=False)
            d.post(w.hwnd, 0x12, check=False)
        gone = {w.hwnd for w in found}
        try:
            wait_until(lambda: not gone & {w.hwnd for w in ours()}, deadline=5,
                       what="the programs to end")
        except AssertionError:
            break
    for name in ("KorvalenControlPanel.exe", "floor_tray.exe"):
        for pid in _linux_pids_of(name):
            os.kill(pid, signal.SIGKILL)
    wait_until(lambda: d.taskbar() is None, deadline=15, what="the taskbar to go")


@pytest.fixture(scope="session")
def desktop():
    if not os.environ.get("WINEPREFIX") or not os.environ.get("DISPLAY"):
        pytest.exit("WINEPREFIX and DISPLAY are not set: run tests/e2e/run", returncode=2)
    shutil.rmtree(SHOTS, ignore_errors=True)
    d = Desktop(BUILD, SHOTS)

    return d


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


@pytest.hookimpl(hookwrapper=True, tryfirst=True)
def pytest_runtest_makereport(item, call):
    outcome = yield
    report = outcome.get_result()
    if report.when == "call":
        item.rep_call = report


class Program:
    """A program started in the desktop, as the user starts it."""

    def __init__(self, d, exe, *args):
        self.d = d
        self.process = d.start(exe, *args)

    def ended(self):
        return self.process.poll() is not None

    def wait_ended(self, deadline=15):
        wait_until(self.ended, deadline=deadline, what="the program to end")
        return self.process.returncode


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
