"""What the end-to-end and installer suites share of the product and its processes: the
names the program is found by, the build they test, and ending programs in the desktop."""

import os
import signal

from desktop import ROOT, linux_pids_of, wait_until

BUILD = os.environ.get("KORVALEN_E2E_BUILD", os.path.join(ROOT, "build", "win64"))
EXE = "KorvalenControlPanel.exe"
PRODUCT = os.path.join(BUILD, "app", EXE)
FLOOR = os.path.join(BUILD, "benchmarks", "floor_tray.exe")
PANEL_CLASS, PANEL_TITLE = "TfrmControlPanel", "Korvalen status"
FLOOR_CLASS = "KorvalenFloorTray"
SETTINGS_KEY = r"HKCU\Korvalen\General"
RUN_KEY = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run"
RUN_VALUE = "Korvalen Control Panel"


def end_programs(d):
    """Ends every panel and floor program in the desktop (posted quits first, killed last)
    and waits for the taskbar to go with their icons."""
    def ours():
        return [w for w in (d.find(PANEL_CLASS, PANEL_TITLE), d.find(FLOOR_CLASS, None)) if w]

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
    for name in (EXE, os.path.basename(FLOOR)):
        for pid in linux_pids_of(name):
            os.kill(pid, signal.SIGKILL)
    wait_until(lambda: d.taskbar() is None, deadline=15, what="the taskbar to go")
