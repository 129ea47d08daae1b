"""Photographs the control panel as a user meets it, for a newcomer and for the README:
started in the Wine desktop with the driver stand-in, opened from its tray icon with real
clicks, at each display scale asked for. Saves the desktop (1024 x 768) for the Status
page, the Settings page and the message of a refused enable, and prints each path.
Runs inside a Wine environment that scripts/lib/wine-env.sh has brought up; the tools
(the desktop helper, the stand-in's control tool) come from the x86_64 tree.
    demo_shots.py OUTDIR PROGRAM_BUILD_DIR TOOLS_BUILD_DIR DPI..."""

import os
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tests", "suite"))

from desktop import Desktop, wait_until  # noqa: E402
from panel import ENABLE, SETTINGS_TAB, STATUS_TAB, Panel  # noqa: E402
from programs import PANEL_CLASS, PANEL_TITLE, end_programs  # noqa: E402


class Started:
    """The program as the demo starts it: its process, for Panel."""

    def __init__(self, d, exe):
        self.process = d.start(exe)


def start(d, exe, *scenario):
    """Starts the panel with the stand-in in SCENARIO and waits for its hidden window and
    its tray icon."""
    end_programs(d)
    d.sim("reset")
    if scenario:
        d.sim("set", *scenario)
    panel = Panel(d, Started(d, exe))
    wait_until(lambda: d.find(PANEL_CLASS, PANEL_TITLE), deadline=30, what="the panel's window")
    wait_until(d.taskbar, deadline=30, what="the tray icon")
    return panel


def keep(d, label, out_dir, name):
    """Photographs the desktop once the screen has settled and keeps it as OUT_DIR/NAME."""
    d.screenshot(label)
    path = os.path.join(out_dir, name)
    shutil.copyfile(os.path.join(d.shots, f"{d.shot_count:03d}-{d.shot_prefix}-{label}.png"), path)
    print(f"demo: {path}")


def photograph(d, exe, dpi, out_dir):
    percent = dpi * 100 // 96
    d.set_scale(dpi)
    d.shot_prefix = f"{percent}"

    panel = start(d, exe)
    panel.show_from_tray()
    panel.click(STATUS_TAB)
    wait_until(lambda: panel.status_texts(panel.shot("status-check"), "Hypervisor enabled",
                                          ["Hypervisor works properly"]),
               what="the Status page's texts")
    keep(d, "status", out_dir, f"panel-status-{percent}.png")

    panel.click(SETTINGS_TAB)
    wait_until(lambda: panel.selected_tab(panel.shot("settings-check")) == "settings",
               what="the Settings page")
    keep(d, "settings", out_dir, f"panel-settings-{percent}.png")

    # A refused enable: nothing enabled, and the driver answers the enable with 1.
    panel = start(d, exe, "--status", "0x0,0x0,0x0,0x0", "--enable-answer", "1")
    panel.show_from_tray()
    panel.click(ENABLE)
    wait_until(lambda: (lambda b: b if b and b.visible else None)(
        d.find("TfrmMessageBox", None)), what="the message window")
    keep(d, "message", out_dir, f"message-{percent}.png")
    end_programs(d)
    d.set_scale(96)


def main():
    # The program's build folder, not its path: the clean-up ends every process whose
    # command line names the program, and this one's must not.
    out_dir, program_build, tools = sys.argv[1:4]
    exe = os.path.join(program_build, "app", "KorvalenControlPanel.exe")
    os.makedirs(out_dir, exist_ok=True)
    d = Desktop(tools, os.path.join(out_dir, "all"))
    for dpi in (int(v) for v in sys.argv[4:]):
        photograph(d, exe, dpi, out_dir)


if __name__ == "__main__":
    main()
