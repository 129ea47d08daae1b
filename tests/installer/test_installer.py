"""The packages of scripts/package installed, upgraded and removed under Wine, in both
architectures: silently with and without the logon-start feature, the installed program
run from Program Files with the driver stand-in, an upgrade from an older package, a
refused downgrade, removal while the panel runs, and a package source broken on purpose."""

import os
import re
import subprocess

import pytest

from conftest import (DOWNGRADE_MESSAGE, ERROR_INSTALL_FAILURE, OLDER, OTHER_DATA, OTHER_VALUE,
                      VERSION, WORK, Started, linux_path, package)
from desktop import ROOT, WINE64, wait_until
from panel import AUTOSTART_BOX, ENABLE, SETTINGS_TAB, Panel
from programs import RUN_KEY, RUN_VALUE, SETTINGS_KEY


@pytest.fixture(scope="session")
def older_packages():
    """Packages of a lower version number, made from the same build by scripts/package."""
    folder = os.path.join(WORK, "older")
    r = subprocess.run([os.path.join(ROOT, "scripts", "package"), "--version", OLDER,
                        "--out", folder], capture_output=True, text=True, timeout=900)
    assert r.returncode == 0, r.stderr
    return folder


def quoted(path):
    return f'"{path}"'


def shortcut_of(m):
    """The Start-menu shortcut's path, and the folders it may lie in. A per-machine install
    puts it among all users' programs; Wine 8's installer resolves ProgramMenuFolder to the
    user's programs even then, so either counts, never both."""
    name = "Korvalen control panel.lnk"
    found = [os.path.join(folder, name) for folder in
             (m.probe("folder", "common-programs"), m.probe("folder", "programs"))]
    return [p for p in found if os.path.exists(linux_path(p))]


def assert_installed(m, arch, run_value):
    exe = linux_path(arch.exe)
    assert os.path.isfile(exe), f"{arch.exe} installed"
    assert m.probe("version", arch.exe) == VERSION + ".0", "the exe's version is the package's"
    links = shortcut_of(m)
    assert len(links) == 1, f"one Start-menu shortcut, found {links}"
    assert m.probe("shortcut", links[0]) == arch.exe
    assert m.run_value(arch.view) == run_value
    assert m.run_value(arch.other_view) is None, "nothing in the other registry view"
    assert [v for _, v in m.products()] == [VERSION]


def assert_removed(m, arch):
    assert not os.path.exists(linux_path(arch.folder)), f"{arch.folder} removed"
    assert shortcut_of(m) == [], "the shortcut removed"
    assert m.run_value(arch.view) is None, "the Run value removed"
    assert m.products() == []
    for view in (arch.view, arch.other_view):
        assert m.reg_query(RUN_KEY, OTHER_VALUE, view) == OTHER_DATA, "another program's value"


# The installer engine's own bookkeeping trees: the first install on a machine makes their
# keys, which stay, empty, once the last product is gone.
ENGINE_KEYS = (r"HKEY_LOCAL_MACHINE\SOFTWARE\Classes\Installer",
               r"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Installer")


def registry_keys(lines):
    """An export's keys, each with its value lines."""
    keys, current = {}, None
    for line in lines:
        if line.startswith("[") and line.endswith("]"):
            current = keys.setdefault(line[1:-1], [])
        elif line and current is not None:
            current.append(line)
    return keys


def assert_same(before, after):
    """Nothing the package put there is left, and nothing that was there is gone."""
    (reg_before, files_before), (reg_after, files_after) = before, after
    assert files_after == files_before, (
        f"files left: {sorted(files_after - files_before)}, "
        f"files gone: {sorted(files_before - files_after)}")
    old, new = registry_keys(reg_before), registry_keys(reg_after)
    gone = sorted(set(old) - set(new))
    changed = sorted(k for k in set(old) & set(new) if old[k] != new[k])
    left = sorted(k for k in set(new) - set(old)
                  if new[k] or not k.upper().startswith(tuple(e.upper() for e in ENGINE_KEYS))
                  or re.search(r"[0-9A-F]{32}|\{[0-9A-F-]{36}\}", k, re.I))  # a product's own
    details = [f"left: [{k}] {new[k]}" for k in left] + [f"gone: [{k}]" for k in gone] + [
        f"changed: [{k}] {sorted(set(old[k]) ^ set(new[k]))}" for k in changed]
    assert not details, "HKEY_LOCAL_MACHINE\\SOFTWARE differs:\n" + "\n".join(details[:40])


def start_installed(m, arch):
    """The installed copy started from its Program Files path: its icon and hidden panel."""
    program = Started(m.d, arch.exe)
    wait_until(m.d.taskbar, deadline=30, what="the tray icon")
    panel = Panel(m.d, program)
    wait_until(panel.info, what="the panel window")
    return panel


def autostart_box(m):
    return wait_until(lambda: m.probe("autostart-box"), what="the autostart box")


def open_settings(panel):
    panel.show_from_tray()
    panel.click(SETTINGS_TAB)
    wait_until(lambda: panel.selected_tab(panel.shot("settings")) == "settings",
               what="the Settings tab")


def uninstall_while_running(m, arch, msi, panel):
    assert not panel.program.ended()
    assert m.uninstall(msi) == 0
    # The removal ran the installed korvalenctl quit-panel, which returns once the panel
    # has ended.
    assert panel.program.ended() or panel.program.process.wait(timeout=5) is not None
    assert panel.info() is None, "the panel's window is gone"
    wait_until(lambda: m.d.taskbar() is None, what="the tray icon to go")


def test_without_the_feature_no_run_value_and_the_box_value_goes_at_removal(arch, machine):
    m = machine
    msi = package(arch.name)
    before = m.snapshot(f"{arch.name}-plain-before")
    assert m.install(msi) == 0
    assert_installed(m, arch, run_value=None)

    panel = start_installed(m, arch)
    # The box's window is made when the panel is first shown.
    open_settings(panel)
    assert autostart_box(m) == "unchecked"
    panel.click(AUTOSTART_BOX)
    # The program registers its own path, quoted: Program Files has a blank.
    assert wait_until(lambda: m.run_value(arch.view), what="the Run value") == quoted(arch.exe)
    assert autostart_box(m) == "checked"

    uninstall_while_running(m, arch, msi, panel)
    assert_removed(m, arch)
    assert_same(before, m.snapshot(f"{arch.name}-plain-after"))


def test_with_the_feature_the_run_value_is_the_one_the_box_writes(arch, machine):
    m = machine
    msi = package(arch.name)
    before = m.snapshot(f"{arch.name}-all-before")
    assert m.install(msi, "ADDLOCAL=ALL") == 0
    assert_installed(m, arch, run_value=quoted(arch.exe))
    written = m.run_value(arch.view)

    panel = start_installed(m, arch)
    open_settings(panel)
    assert autostart_box(m) == "checked"
    panel.click(AUTOSTART_BOX)
    wait_until(lambda: m.run_value(arch.view) is None, what="the Run value removed")
    assert autostart_box(m) == "unchecked"
    panel.click(AUTOSTART_BOX)
    assert wait_until(lambda: m.run_value(arch.view), what="the Run value again") == written
    assert m.run_value(arch.other_view) is None

    uninstall_while_running(m, arch, msi, panel)
    assert_removed(m, arch)
    assert_same(before, m.snapshot(f"{arch.name}-all-after"))


def test_an_upgrade_keeps_settings_and_logon_start_and_a_downgrade_is_refused(
        arch, machine, older_packages):
    m = machine
    d = m.d
    old, new = package(arch.name, OLDER, older_packages), package(arch.name)
    settings = {"Messages": "1", "Settings": "1"}

    # The logon start chosen as the feature of the older package.
    assert m.install(old, "ADDLOCAL=ALL") == 0
    assert [v for _, v in m.products()] == [OLDER]
    for name, value in settings.items():
        m.reg_add(SETTINGS_KEY, name, value)
    assert m.install(new) == 0
    assert_installed(m, arch, run_value=quoted(arch.exe))
    for name, value in settings.items():
        assert d.reg_query(SETTINGS_KEY, name) == value, f"the setting {name} kept"

    # The older package over the newer: refused with the message, nothing changed. The
    # message shows in the installer's basic interface (a silent run only logs it).
    run = subprocess.Popen([WINE64, "msiexec", "/i", d.windows_path(old), "/qb"],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        text, ok = wait_until(lambda: d.message_box("Install Failed"), deadline=60,
                              what="the installer's message")
        d.screenshot("downgrade-refused")
        assert text == DOWNGRADE_MESSAGE
        d.click(*ok.centre)
        assert run.wait(timeout=60) == ERROR_INSTALL_FAILURE & 0xFF
    finally:
        if run.poll() is None:
            run.kill()
    assert_installed(m, arch, run_value=quoted(arch.exe))

    # The logon start registered by the program's box, not by the feature, is kept too.
    m.remove_all_products()
    assert m.install(old) == 0
    m.reg_add(RUN_KEY, "Korvalen Control Panel", quoted(arch.exe), arch.view)
    assert m.install(new) == 0
    assert_installed(m, arch, run_value=quoted(arch.exe))


@pytest.mark.parametrize("message", ["start-time-disable", "refused-enable"])
def test_a_silent_removal_with_the_panels_message_up_needs_no_person(arch, machine, message):
    """A management tool removes the package with /qn while a message of the panel is up:
    the start-time disable's (the panel still starting, no panel window yet: "-Q" would
    show a box there) or a refused enable's. No box may wait for a press, the removal ends
    in time and the program's files are gone."""
    m = machine
    msi = package(arch.name)
    assert m.install(msi) == 0
    assert os.path.isfile(linux_path(arch.folder + "\\korvalenctl.exe")), "the tool installed"
    if message == "start-time-disable":
        m.d.sim("set", "--disable-answer", "255")
        m.reg_add(SETTINGS_KEY, "Settings", "1")
        m.reg_add(RUN_KEY, RUN_VALUE, quoted(arch.exe), arch.view)
        program = Started(m.d, arch.exe)
    else:
        m.d.sim("set", "--status", "0x0,0x0,0x0,0x0", "--enable-answer", "1")
        panel = start_installed(m, arch)
        program = panel.program
        panel.show_from_tray()
        panel.click(ENABLE)
    wait_until(lambda: (lambda b: b if b and b.visible else None)(
        m.d.find("TfrmMessageBox", None)), deadline=30, what="the message window")
    assert m.msiexec("/x", m.d.windows_path(msi), "/qn", timeout=30) == 0
    assert program.ended() or program.process.wait(timeout=5) is not None
    assert m.d.find("#32770", None) is None, "no box waits for a press"
    assert not os.path.exists(linux_path(arch.exe)), "the program removed"
    assert_removed(m, arch)


def msi_table(msi, table):
    """A table as msiinfo exports it: its rows as dictionaries by column name."""
    r = subprocess.run(["msiinfo", "export", msi, table], capture_output=True, text=True,
                       timeout=60)
    assert r.returncode == 0, r.stderr
    lines = r.stdout.splitlines()
    columns = lines[0].split("\t")
    return [dict(zip(columns, line.split("\t"))) for line in lines[3:]]


@pytest.mark.parametrize("arch_name", ["x64", "x86"])
def test_the_package_tables_as_windows_installer_expects_them(arch_name):
    """Both exes versioned in the File table (and so without a hash row), the policy
    templates in the program's folder, Programs and Features with the product icon and
    without the Modify and Repair that have nothing to do."""
    msi = package(arch_name)
    files = {row["File"]: row for row in msi_table(msi, "File")}
    for exe in ("KorvalenControlPanel.exe", "korvalenctl.exe"):
        assert files[exe]["Version"] == VERSION + ".0", f"{exe} versioned"
    hashed = {row["File_"] for row in msi_table(msi, "MsiFileHash")}
    assert not hashed & {"KorvalenControlPanel.exe", "korvalenctl.exe"}
    assert {"Korvalen.admx", "Korvalen.adml"} <= set(files)
    properties = {row["Property"]: row["Value"] for row in msi_table(msi, "Property")}
    assert properties.get("ARPNOMODIFY") == "1"
    assert properties.get("ARPNOREPAIR") == "1"
    icons = {row["Name"] for row in msi_table(msi, "Icon")}
    assert properties.get("ARPPRODUCTICON") in icons, "the product icon is in the Icon table"


def test_a_source_with_a_missing_file_makes_no_package(tmp_path):
    wxs = os.path.join(ROOT, "installer", "korvalen.wxs")
    with open(wxs) as f:
        text = f.read()
    missing = "installer/left-out-on-purpose.txt"
    broken, n = re.subn(r'(<File Id="KorvalenControlPanel.exe"[^>]*/>)',
                        r'\1<File Id="LeftOut" Name="left-out.txt" Source="' + missing + '"/>',
                        text)
    assert n == 1
    broken_wxs = tmp_path / "broken.wxs"
    broken_wxs.write_text(broken)
    out = tmp_path / "dist"
    out.mkdir()
    stale = out / f"KorvalenControlPanel-{VERSION}-x64.msi"
    stale.write_text("a package of an earlier run")  # must not pass for this run's
    r = subprocess.run([os.path.join(ROOT, "scripts", "package"), "x64", "--wxs", str(broken_wxs),
                        "--out", str(out)], capture_output=True, text=True, timeout=900)
    assert r.returncode != 0
    assert f"package: wixl could not build KorvalenControlPanel-{VERSION}-x64.msi" in r.stderr
    assert missing in r.stderr, "the message names the missing file"
    assert os.listdir(out) == [], "no package, whole, partial or stale"
