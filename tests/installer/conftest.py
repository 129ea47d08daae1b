"""Fixtures of the installer suite: the packages that scripts/package made, the Wine prefix
and desktop of the run (the suites' shared Desktop, tests/suite), and a clean machine for every test: no
Korvalen product installed, no panel running, neither settings nor our Run value, and
another program's Run value in both registry views (which must survive everything)."""

import glob
import os
import re
import subprocess
import sys

import pytest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "suite"))

from desktop import ROOT, WINE64, Desktop, run, wait_until  # noqa: E402
from programs import BUILD, EXE, RUN_KEY, RUN_VALUE, end_programs  # noqa: E402
# Keeps each test's report on its item, for the fixtures below.
from report_hook import pytest_runtest_makereport  # noqa: E402,F401

DIST = os.environ.get("KORVALEN_DIST", os.path.join(ROOT, "build", "dist"))
WORK = os.path.join(ROOT, "build", "installer")
PROBE = os.path.join(BUILD, "tests", "installer", "installer-probe.exe")

PRODUCT_NAME = "Korvalen control panel"
OTHER_VALUE, OTHER_DATA = "Another Program", r"C:\Other\other.exe /tray"
UNINSTALL_KEY = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall"
DOWNGRADE_MESSAGE = ("A newer version of Korvalen control panel is already installed. "
                     "Uninstall it first to install this older version.")
ERROR_INSTALL_FAILURE = 1603


def linux_path(windows_path):
    """The prefix's file for a path on its drive C:."""
    assert windows_path[:3].upper() == "C:\\", windows_path
    return os.path.join(os.environ["WINEPREFIX"], "drive_c", windows_path[3:].replace("\\", "/"))


class Arch:
    """One package architecture and where its installed copy belongs on 64-bit Windows."""

    def __init__(self, name, program_files, view, other_view):
        self.name = name
        self.folder = rf"C:\{program_files}\Korvalen"
        self.exe = rf"{self.folder}\{EXE}"
        self.view = view              # the registry view its program and its package use
        self.other_view = other_view


ARCHES = {
    "x64": Arch("x64", "Program Files", "/reg:64", "/reg:32"),
    "x86": Arch("x86", "Program Files (x86)", "/reg:32", "/reg:64"),
}


def project_version():
    with open(os.path.join(ROOT, "CMakeLists.txt")) as f:
        m = re.search(r"project\(KorvalenControlPanel VERSION (\d+)\.(\d+)\.(\d+)", f.read())
    return tuple(int(v) for v in m.groups())


def older_than(version):
    major, minor, patch = version
    if patch:
        return major, minor, patch - 1
    if minor:
        return major, minor - 1, 0
    return major - 1, 0, 0


VERSION = ".".join(map(str, project_version()))
OLDER = ".".join(map(str, older_than(project_version())))


def package(arch, version=VERSION, folder=DIST):
    return os.path.join(folder, f"KorvalenControlPanel-{version}-{arch}.msi")


class Machine:
    """The Windows side of the prefix as an installer and its user see it."""

    def __init__(self, d):
        self.d = d

    # --- msiexec ------------------------------------------------------------------------
    def msiexec(self, *args, timeout=180):
        """Runs msiexec to its end; its exit code (Wine hands on the low byte only)."""
        return run([WINE64, "msiexec", *args], timeout=timeout).returncode

    def install(self, msi, *props, ui="/qn"):
        return self.msiexec("/i", self.d.windows_path(msi), ui, *props)

    def uninstall(self, msi):
        return self.msiexec("/x", self.d.windows_path(msi), "/qn")

    def products(self):
        """(product code, DisplayVersion) of every installed Korvalen product, from the
        uninstall entries of both registry views (a 32-bit package registers itself in the
        32-bit one), each named by its product code. Not from Wine's "uninstaller --list":
        Wine 8 prints the list on standard output, Wine 10 on standard error (measured)."""
        out = []
        for view in ("/reg:64", "/reg:32"):
            entries, code = {}, None
            listing = self.d.wine("reg", "query", UNINSTALL_KEY, "/s", view).stdout
            for line in listing.splitlines():
                if line.startswith("HKEY_"):
                    key = re.search(r"\\(\{[0-9A-F-]{36}\})\s*$", line, re.I)
                    code = key.group(1) if key else None
                    if code:
                        entries[code] = {}
                    continue
                m = re.match(r"\s+(.+?)\s+(REG_\w+)\s*(.*)$", line)
                if m and code:
                    entries[code][m.group(1)] = m.group(3).rstrip("\r")
            for c, values in entries.items():
                product = (c, values.get("DisplayVersion"))
                if values.get("DisplayName") == PRODUCT_NAME and product not in out:
                    out.append(product)
        return out

    def remove_all_products(self):
        for code, _ in self.products():
            self.msiexec("/x", code, "/qn")
        assert not self.products(), "no Korvalen product left installed"

    # --- registry (the product's own view unless another is named) -----------------------
    def reg_query(self, key, value, view="/reg:64"):
        return self.d.reg_query(key, value, view)

    def reg_add(self, key, value, data, view="/reg:64"):
        self.d.reg_add(key, value, data, view)

    def reg_delete(self, key, value=None, view="/reg:64"):
        self.d.reg_delete(key, value, view)

    def run_value(self, view):
        return self.reg_query(RUN_KEY, RUN_VALUE, view)

    # --- the probe ----------------------------------------------------------------------
    def probe(self, *args):
        r = self.d.wine(PROBE, *args)
        return r.stdout.strip() if r.returncode == 0 else None

    # --- what an install leaves on the machine -------------------------------------------
    def snapshot(self, label):
        """The export of HKEY_LOCAL_MACHINE\\SOFTWARE (both views: the 32-bit one lies under
        Wow6432Node) and the file trees an install may touch, as comparable texts."""
        os.makedirs(WORK, exist_ok=True)
        path = os.path.join(WORK, f"hklm-software-{label}.reg")
        self.d.wine("reg", "export", r"HKLM\SOFTWARE", self.d.windows_path(path), "/y",
                    check=True, timeout=120)
        with open(path, encoding="utf-16") as f:
            registry = f.read().splitlines()
        drive = os.path.join(os.environ["WINEPREFIX"], "drive_c")
        trees = ["Program Files", "Program Files (x86)", "ProgramData",
                 *glob.glob("users/*/AppData/Roaming/Microsoft/Windows/Start Menu",
                            root_dir=drive)]
        files = set()
        for tree in trees:
            for base, dirs, names in os.walk(os.path.join(drive, tree)):
                files.update(os.path.relpath(os.path.join(base, n), drive) for n in dirs + names)
        return registry, files


@pytest.fixture(scope="session")
def desktop():
    if not os.environ.get("WINEPREFIX") or not os.environ.get("DISPLAY"):
        pytest.exit("WINEPREFIX and DISPLAY are not set: run tests/installer/run", returncode=2)
    d = Desktop(BUILD, os.path.join(WORK, "shots"))
    d.shot_prefix = "installer"
    d.keep_desktop()
    yield d
    d.release_desktop()


# Tests ask for it before `machine`, so that a skip comes before the machine's reset.
@pytest.fixture(params=list(ARCHES))
def arch(request):
    a = ARCHES[request.param]
    if a.name == "x86" and os.environ.get("KORVALEN_I686_MODE", "native") != "native":
        pytest.skip("this kernel runs no 32-bit programs natively")
    return a


@pytest.fixture
def machine(desktop, request):
    """A machine without the product, as scripts/package's packages find it."""
    d = desktop
    d.shot_prefix = request.node.name.removeprefix("test_")[:40]
    m = Machine(d)

    def reset():
        end_programs(d)
        m.remove_all_products()
        if d.sim("counters", check=False).returncode != 0:
            d.sim("start")
        d.sim("reset")
        m.reg_delete(r"HKCU\Korvalen")
        for view in ("/reg:64", "/reg:32"):
            m.reg_delete(RUN_KEY, RUN_VALUE, view)
            m.reg_add(RUN_KEY, OTHER_VALUE, OTHER_DATA, view)
        wait_until(lambda: d.taskbar() is None, deadline=15, what="the taskbar to go")

    reset()
    yield m
    report = getattr(request.node, "rep_call", None)
    if report is not None and report.failed:
        try:
            d.screenshot("failure")
        except AssertionError:
            pass  # no desktop to show: the failure speaks for itself
    reset()


class Started:
    """The installed program, started from its Program Files path as a user starts it."""

    def __init__(self, d, exe):
        self.d = d
        self.process = subprocess.Popen([WINE64, exe], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)

    def ended(self):
        return self.process.poll() is not None
