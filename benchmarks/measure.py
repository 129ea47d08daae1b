"""The measurements of benchmarks/run (which sets up the Wine desktop and pins it to CPU 0).
Each figure is taken for the control panel and for the floor tray program in the same run;
one line per figure: product, floor, ratio."""

import argparse
import glob
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
WIN64_BUILD = os.path.join(ROOT, "build", "win64")
# The 64-bit loader started as the suites start it (scripts/lib/wine64 says why).
WINE64 = os.path.join(ROOT, "scripts", "lib", "wine64")
WINE32 = "/usr/lib/wine/wine"
# The probe and the stand-in's tool are the x86_64 ones whatever is measured: the probe
# counts the objects of a 32-bit process as well.
PROBE = os.path.join(WIN64_BUILD, "benchmarks", "bench-probe.exe")
SIM = os.path.join(WIN64_BUILD, "simulator", "korvalen-sim.exe")
OBJDUMP = "x86_64-w64-mingw32-objdump"
# Targets: the product's figure at most this many times the floor's.
TARGET_STARTUP = 1.10
TARGET_INSTRUCTIONS = 1.15
TARGET_ANON = 1.25
TARGET_EXE_BYTES = 600 * 1024
# Show latency targets, in milliseconds (not ratios): a later show within one frame at
# 60 Hz, a first show within 50 ms.
TARGET_LATER_SHOW_MS = 16.0
TARGET_FIRST_SHOW_MS = 50.0


class Subject:
    def __init__(self, name, exe, window_class, quits):
        self.name, self.exe, self.window_class, self.quits = name, exe, window_class, quits

    @property
    def windows_exe(self):
        return "Z:" + self.exe.replace("/", "\\")


PRODUCT = FLOOR = None
LOADER = WINE64  # the Wine loader of the measured architecture


def subjects(build):
    global PRODUCT, FLOOR
    PRODUCT = Subject("product", os.path.join(build, "app", "KorvalenControlPanel.exe"),
                      "TfrmControlPanel", 2)
    FLOOR = Subject("floor", os.path.join(build, "benchmarks", "floor_tray.exe"),
                    "KorvalenFloorTray", 1)


def pinned(*args):
    # The probe is always x86_64; the measured programs start under their own loader.
    loader = WINE64 if args and args[0] == PROBE else LOADER
    return ["taskset", "-c", "0", loader, *args]


def probe(*args, timeout=600):
    return subprocess.run(pinned(PROBE, *args), capture_output=True, text=True, timeout=timeout)


def fresh_state():
    """The stand-in's default scenario and no settings: every program starts alike."""
    subprocess.run([WINE64, SIM, "reset"], capture_output=True)
    subprocess.run([WINE64, "reg", "delete", r"HKCU\Korvalen", "/f"], capture_output=True)


def line(figure, product, floor, ratio=None, target=None):
    """One figure: product, floor, ratio, and with a target ratio whether it is met."""
    if ratio is None:
        try:
            ratio = f"{float(product) / float(floor):.2f}" if float(floor) else \
                ("1.00" if float(product) == 0 else "-")
        except (TypeError, ValueError):
            ratio = "-"
    verdict = ""
    if target is not None:
        try:
            verdict = "  met" if float(ratio) <= target else "  MISSED"
        except ValueError:
            verdict = "  n/a"
    print(f"{figure:<76} {product!s:>12} {floor!s:>12} {ratio:>7}{verdict}", flush=True)


# --- start-up --------------------------------------------------------------------------
def startup_ms(subject, runs):
    fresh_state()
    r = probe("startup", str(runs), subject.window_class, str(subject.quits),
              subject.windows_exe)
    times = [float(v) for v in r.stdout.split()]
    if r.returncode != 0 or len(times) < runs:
        return None, r.stderr.strip()
    return statistics.median(times), ""


def first_shows(subject, runs):
    """Milliseconds from the tray press to the first whole paint, the first show of a fresh
    process each time."""
    fresh_state()
    r = probe("first-show", str(runs), subject.window_class, str(subject.quits),
              subject.windows_exe)
    times = [float(v) for v in r.stdout.split()]
    if r.returncode != 0 or len(times) < runs:
        return None, r.stderr.strip()
    return times, ""


def later_shows(subject, count):
    r = probe("shows", subject.window_class, str(count))
    times = [float(v) for v in r.stdout.split()]
    if r.returncode != 0 or len(times) < count:
        return None, r.stderr.strip()
    return times, ""


def show_lines(what, times, target_ms):
    """Median and worst of a set of show times, against a target in milliseconds."""
    fmt = lambda v: f"{v:.1f}" if v is not None else "n/a"  # noqa: E731
    for kind, pick in (("median", statistics.median), ("worst", max)):
        p = pick(times["product"]) if times["product"] else None
        f = pick(times["floor"]) if times["floor"] else None
        ratio = f"{p / f:.2f}" if p is not None and f else "-"
        verdict = ""
        if p is not None:
            verdict = "  met" if p <= target_ms else "  MISSED"
        label = f"{what}, {kind} of {len(times['product'] or [])}, ms (target <= {target_ms:g})"
        print(f"{label:<76} {fmt(p):>12} {fmt(f):>12} {ratio:>7}{verdict}", flush=True)


def instructions(subject):
    """Instructions of the program's process under valgrind, from launch until it has
    added its icon and then ended on its quit message: (largest process, all processes).
    Cachegrind without its cache model counts the same instructions as callgrind, which
    trips an assertion of its own on Wine's signal use in the product's device reads."""
    fresh_state()
    with tempfile.TemporaryDirectory() as out:
        # The waiting probe keeps the desktop up, so that the program does not start it.
        waiter = subprocess.Popen(pinned(PROBE, "wait-tray", "300"))
        wait_desktop()
        vg = subprocess.Popen(["valgrind", "--tool=cachegrind", "--cache-sim=no",
                               "--trace-children=yes", f"--cachegrind-out-file={out}/cg.%p",
                               *pinned(subject.exe)],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        ok = waiter.wait(timeout=320) == 0
        probe("quit", subject.window_class, str(subject.quits))
        try:
            vg.wait(timeout=300)
        except subprocess.TimeoutExpired:
            vg.kill()
            return None, []
        if not ok:
            return None, []
        counts = []
        for path in glob.glob(f"{out}/cg.*"):
            with open(path, errors="replace") as f:
                text = f.read()
            m = re.search(r"^summary:\s+(\d+)", text, re.M)
            cmd = re.search(r"^cmd:(.*)$", text, re.M)
            if m and cmd and os.path.basename(subject.exe) in cmd.group(1):
                counts.append(int(m.group(1)))
        counts.sort(reverse=True)
        return (counts[0] if counts else None), counts


def wait_desktop(deadline=30):
    end = time.monotonic() + deadline
    while time.monotonic() < end:
        tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True)
        # Wine 8 names the desktop "NAME - Wine desktop", Wine 10 "NAME - Wine Desktop"
        # (measured).
        if "wine desktop" in tree.stdout.lower():
            return True
        time.sleep(0.1)
    return False


# --- a running program -----------------------------------------------------------------
def linux_pid(exe):
    name = os.path.basename(exe).lower()
    prefix = os.environ["WINEPREFIX"].encode()
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                cmd = f.read().decode(errors="replace").lower()
            with open(f"/proc/{pid}/environ", "rb") as f:
                env = f.read().split(b"\0")
        except OSError:
            continue
        if name in cmd and b"WINEPREFIX=" + prefix in env and "valgrind" not in cmd:
            return int(pid)
    return None


class Running:
    def __init__(self, subject):
        self.subject = subject
        self.process = subprocess.Popen(pinned(subject.exe), stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        self.ok = probe("wait-tray", "30").returncode == 0
        # The taskbar may already show for the other program's icon: wait for this one's
        # window as well.
        self.windows_pid = None
        end = time.monotonic() + 30
        while self.windows_pid is None and time.monotonic() < end:
            r = probe("pid", subject.window_class)
            if r.returncode == 0:
                self.windows_pid = int(r.stdout)
            else:
                time.sleep(0.1)
        self.pid = linux_pid(subject.exe)

    def status_kb(self, field):
        with open(f"/proc/{self.pid}/status") as f:
            m = re.search(rf"^{field}:\s+(\d+) kB", f.read(), re.M)
        return int(m.group(1)) if m else None

    def cpu_ns(self):
        total = 0
        for path in glob.glob(f"/proc/{self.pid}/task/*/schedstat"):
            try:
                with open(path) as f:
                    total += int(f.read().split()[0])
            except (OSError, ValueError, IndexError):
                pass
        return total

    def counts(self):
        """Object counts; a count the probe cannot take (-1) is left out."""
        r = probe("counts", str(self.windows_pid))
        out = {}
        for row in r.stdout.splitlines():
            k, v = row.split()
            if int(v) >= 0:
                out[k] = int(v)
        return out

    def end(self):
        probe("quit", self.subject.window_class, str(self.subject.quits))
        try:
            self.process.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.process.kill()


def sim_reads():
    r = subprocess.run([WINE64, SIM, "counters"], capture_output=True, text=True)
    m = re.search(r"^reads (\d+)", r.stdout, re.M)
    return int(m.group(1)) if m else 0


def imports(exe):
    r = subprocess.run([OBJDUMP, "-p", exe], capture_output=True, text=True)
    return sorted({m.upper() for m in re.findall(r"DLL Name: (\S+)", r.stdout)})


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--runs", type=int, default=11)
    ap.add_argument("--idle", type=int, default=60)
    ap.add_argument("--refreshes", type=int, default=10000)
    ap.add_argument("--cycles", type=int, default=1000)
    ap.add_argument("--scale-rounds", type=int, default=50)
    ap.add_argument("--shows", type=int, default=21)
    ap.add_argument("--no-instructions", action="store_true",
                    help="leave out the instruction counts (valgrind takes minutes)")
    ap.add_argument("--after-hide", type=int, default=60)
    ap.add_argument("--arch", choices=("x86_64", "i686"), default="x86_64")
    ap.add_argument("--dpi", type=int, default=96)
    a = ap.parse_args()
    global LOADER
    LOADER = WINE64 if a.arch == "x86_64" else WINE32
    subjects(WIN64_BUILD if a.arch == "x86_64" else os.path.join(ROOT, "build", "win32"))

    wine = subprocess.run([WINE64, "--version"], capture_output=True, text=True).stdout.strip()
    print(f"# {wine}, {a.arch}, {a.dpi} DPI (LogPixels), virtual desktop 1024x768, "
          "Xvfb + wineserver + runs on CPU 0")
    line("figure", "product", "floor", "ratio")

    # Start-up: launch to the taskbar being visible, seen from a probe in the desktop.
    medians = {}
    for s in (FLOOR, PRODUCT):
        medians[s.name], why = startup_ms(s, a.runs)
        if medians[s.name] is None:
            print(f"# {s.name}: start-up not measurable: {why}")
    fmt = lambda v: f"{v:.1f}" if v is not None else "n/a"  # noqa: E731
    line(f"start-up to tray icon, ms (median of {a.runs}, target ratio <= {TARGET_STARTUP})",
         fmt(medians["product"]), fmt(medians["floor"]), target=TARGET_STARTUP)
    # The first show of a fresh process: pictures decoded, child windows made.
    firsts = {}
    for s in (FLOOR, PRODUCT):
        firsts[s.name], why = first_shows(s, a.shows) if medians[s.name] is not None else (None, "")
        if firsts[s.name] is None:
            print(f"# {s.name}: first show not measurable: {why}")
    show_lines("first show, tray press to whole paint", firsts, TARGET_FIRST_SHOW_MS)
    counts = {s.name: instructions(s) if medians[s.name] is not None and not a.no_instructions
              else (None, []) for s in (FLOOR, PRODUCT)}
    line(f"instructions, launch to icon to quit (valgrind, target ratio <= {TARGET_INSTRUCTIONS})",
         counts["product"][0] or "n/a", counts["floor"][0] or "n/a", target=TARGET_INSTRUCTIONS)
    for name, (_, every) in counts.items():
        if len(every) > 1:
            print(f"#   {name}: processes with its command line: {', '.join(map(str, every))}")

    # Both running side by side in the same desktop, after start-up (and first refresh).
    fresh_state()
    floor = Running(FLOOR)
    product = Running(PRODUCT)
    try:
        if not (product.ok and product.pid and product.windows_pid):
            print("# product: did not come up with a tray icon; the rest is not measurable")
            return 1
        time.sleep(2)  # let the first refresh and its balloon settle
        line("resident memory after start-up, kB", product.status_kb("VmRSS"),
             floor.status_kb("VmRSS"))
        line(f"anonymous memory (RssAnon) before any show, kB (target ratio <= {TARGET_ANON})",
             product.status_kb("RssAnon"), floor.status_kb("RssAnon"), target=TARGET_ANON)
        first = {s.subject.name: s.counts() for s in (product, floor)}

        before = {s.subject.name: s.cpu_ns() for s in (product, floor)}
        time.sleep(a.idle)
        used = {s.subject.name: (s.cpu_ns() - before[s.subject.name]) / 1e6
                for s in (product, floor)}
        line(f"CPU over {a.idle} s idle, ms (schedstat)", f"{used['product']:.3f}",
             f"{used['floor']:.3f}")

        # The first show makes what every later show reuses (the paint buffer, the pictures
        # of the tabs): growth is counted from after one whole cycle.
        probe("cycles", PRODUCT.window_class, "0", "1")
        time.sleep(1)
        line("anonymous memory after one show/tab/tab/hide cycle, kB",
             product.status_kb("RssAnon"), floor.status_kb("RssAnon"))
        line("resident memory after one show/tab/tab/hide cycle, kB",
             product.status_kb("VmRSS"), floor.status_kb("VmRSS"))
        # Later shows, then the memory a while after the last hide.
        laters = {}
        for s in (product, floor):
            laters[s.subject.name], why = later_shows(s.subject, a.shows)
            if laters[s.subject.name] is None:
                print(f"# {s.subject.name}: later shows not measurable: {why}")
        show_lines("later show, tray press to whole paint", laters, TARGET_LATER_SHOW_MS)
        time.sleep(a.after_hide)
        line(f"anonymous memory {a.after_hide} s after a hide, kB (target ratio <= {TARGET_ANON})",
             product.status_kb("RssAnon"), floor.status_kb("RssAnon"), target=TARGET_ANON)
        # One show after that wait: a panel that gave its pictures back decodes them again.
        again = {s.subject.name: later_shows(s.subject, 1)[0] for s in (product, floor)}
        fmt = lambda v: f"{v[0]:.1f}" if v else "n/a"  # noqa: E731
        line(f"show after {a.after_hide} s hidden, tray press to whole paint, ms (one)",
             fmt(again["product"]), fmt(again["floor"]))
        warm = product.counts()
        shows = a.refreshes // 2
        reads0 = sim_reads()
        t0 = time.monotonic()
        r = probe("cycles", PRODUCT.window_class, str(shows), str(a.cycles), timeout=3600)
        took = time.monotonic() - t0
        refreshes = (sim_reads() - reads0) // 2
        if r.returncode != 0:
            print(f"# product: cycles failed: {r.stderr.strip()}")
        print(f"# {shows} tray shows (two refreshes each) and {a.cycles} show/tab/tab/hide "
              f"cycles in {took:.0f} s; the stand-in saw {refreshes} refreshes")
        after = product.counts()
        # Scale changes while shown: one round first (the pictures at the other scale are
        # made then), growth counted over the rest.
        other = "144" if a.dpi != 144 else "96"
        scaled_ok = probe("scale", PRODUCT.window_class, "1", other, str(a.dpi)).returncode == 0
        scaled_warm = product.counts()
        if scaled_ok:
            scaled_ok = probe("scale", PRODUCT.window_class, str(a.scale_rounds), other,
                              str(a.dpi), timeout=1800).returncode == 0
        scaled = product.counts()
        if not scaled_ok:
            print("# product: the scale changes did not complete")
        names = {"handles": "kernel handles (NtQuerySystemInformation class 16)",
                 "gdi": "GDI objects (used entries of the PEB's GDI handle table)",
                 "user": "USER objects (top-level windows, EnumWindows)"}
        for key, label in names.items():
            if key not in first["product"]:
                print(f"# {label}: not countable in an {a.arch} process")
                continue
            line(f"{label}, after first refresh", first["product"].get(key),
                 first["floor"].get(key))
            line("  same after the first show/tab/tab/hide cycle", warm.get(key),
                 first["floor"].get(key))
            growth = after.get(key, 0) - warm.get(key, 0)
            line(f"  same after {refreshes} refreshes + {a.cycles} cycles more (growth {growth:+d})",
                 after.get(key), first["floor"].get(key))
            growth = scaled.get(key, 0) - scaled_warm.get(key, 0)
            line(f"  same after {a.scale_rounds} more {a.dpi}->{other}->{a.dpi} DPI changes "
                 f"(growth {growth:+d})", scaled.get(key), first["floor"].get(key))
    finally:
        product.end()
        floor.end()

    size = os.path.getsize(PRODUCT.exe)
    line(f"exe size, bytes (target <= {TARGET_EXE_BYTES}: "
         f"{'met' if size <= TARGET_EXE_BYTES else 'MISSED'})", size, os.path.getsize(FLOOR.exe))
    pi, fi = imports(PRODUCT.exe), imports(FLOOR.exe)
    line("imported DLLs", len(pi), len(fi))
    print(f"#   product: {' '.join(pi)}\n#   floor:   {' '.join(fi)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
