"""The Wine virtual desktop as the end-to-end suite sees it from outside: X windows,
real pointer input through xdotool, screenshots, the registry, the driver stand-in, and
a helper program that looks at the desktop from inside (tests/e2e/e2e_helper.cpp)."""

import os
import re
import select
import subprocess
import time
from dataclasses import dataclass

from PIL import Image

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
# What each program started in the desktop wrote to its standard error (Wine's own "err:"
# lines among it), one file per start, so that an unexpected end can be told apart.
PROGRAM_LOGS = os.path.join(ROOT, "build", "e2e", "programs")
# Wine's 64-bit loader, started so that its heap stays off the Windows shared page
# (scripts/lib/wine64 says why).
WINE64 = os.path.join(ROOT, "scripts", "lib", "wine64")
# Wine's own error lines only: they tell why a start failed.
WINE_ERRORS = "-all,err+all"
# One of Wine's debug lines: "0024:err:channel:function ...", or without the thread's
# number before the first thread exists ("err:virtual:virtual_alloc_first_teb ...").
WINE_DEBUG_LINE = re.compile(r"^(?:[0-9a-f]{4}:)?(?:err|warn|fixme|trace):")
DESKTOP_NAME = "Korvalen"
DESKTOP_SIZE = (1024, 768)
# Two presses of one button within this time and 4 px make a double click (Windows' and
# Wine's default of 500 ms, with a margin).
DOUBLE_CLICK_SECONDS = 0.6
IMPORT = "/usr/bin/import"


def linux_pids_of(exe_name):
    """Linux processes of this prefix that run EXE_NAME."""
    prefix = os.environ.get("WINEPREFIX", "")
    pids = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                if exe_name.lower().encode() not in f.read().lower():
                    continue
            with open(f"/proc/{pid}/environ", "rb") as f:
                if f"WINEPREFIX={prefix}".encode() in f.read().split(b"\0"):
                    pids.append(int(pid))
        except OSError:
            pass
    return pids


class Timeout(AssertionError):
    pass


def wait_until(condition, deadline=10.0, interval=0.05, what="condition"):
    """Polls CONDITION until it gives a true value, which is returned, or fails after
    DEADLINE seconds."""
    end = time.monotonic() + deadline
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > end:
            raise Timeout(f"timed out after {deadline} s waiting for {what}")
        time.sleep(interval)


def run(args, timeout=60, check=False, **kw):
    result = subprocess.run(args, capture_output=True, text=True, timeout=timeout, **kw)
    if check and result.returncode != 0:
        raise AssertionError(f"{args} failed ({result.returncode}): {result.stderr.strip()}")
    return result


@dataclass
class Rect:
    left: int
    top: int
    right: int
    bottom: int

    @property
    def width(self):
        return self.right - self.left

    @property
    def height(self):
        return self.bottom - self.top

    @property
    def centre(self):
        return ((self.left + self.right) // 2, (self.top + self.bottom) // 2)


@dataclass
class WindowInfo:
    hwnd: int
    visible: bool
    enabled: bool
    rect: Rect
    pid: int


class Desktop:
    """One Wine prefix with its virtual desktop on an X display (set up by
    scripts/lib/wine-env.sh: WINEPREFIX and DISPLAY come from the environment)."""

    def __init__(self, build_dir, shots_dir):
        self.build = build_dir
        self.shots = shots_dir
        os.makedirs(self.shots, exist_ok=True)
        self.helper_exe = os.path.join(build_dir, "tests", "e2e", "e2e-helper.exe")
        self.sim_exe = os.path.join(build_dir, "simulator", "korvalen-sim.exe")
        self.shot_count = 0
        self.started_count = 0
        self.shot_prefix = "suite"
        self._masks = {}
        self.dpi = 96  # the scale the programs started now take (set_scale)
        self._colours = {}
        self._clicks = []  # (button, root x, root y, time) of the recent clicks
        self._keeper = None  # the helper's "keep" process while it holds the desktop
        # A server other than this one later means that it shut down (and ended its
        # programs) in between.
        self.servers_at_start = sorted(linux_pids_of("wineserver"))

    def server_note(self):
        return (f"wineserver {sorted(linux_pids_of('wineserver'))} "
                f"(at the start {self.servers_at_start})")

    # --- Windows side -------------------------------------------------------------
    def wine(self, *args, timeout=60, check=False):
        """Runs a short Wine program (ours or Wine's reg) to its end. Its standard error
        holds the program's own words; Wine's error lines, which say why a start failed
        before the program ran, are kept apart in wine_errors and told with a failure."""
        result = run([WINE64, *args], timeout=timeout, env=dict(os.environ, WINEDEBUG=WINE_ERRORS))
        wine_lines, own_lines = [], []
        for line in result.stderr.splitlines():
            (wine_lines if WINE_DEBUG_LINE.match(line) else own_lines).append(line)
        result.stderr = "\n".join(own_lines)
        result.wine_errors = "\n".join(wine_lines)
        if check and result.returncode != 0:
            said = " | ".join(x for x in (result.stderr.strip(), result.wine_errors) if x)
            raise AssertionError(f"{' '.join(os.path.basename(a) for a in args[:2])} failed "
                                 f"({result.returncode}): {said or 'nothing said'}")
        return result

    def helper(self, *args, check=False):
        return self.wine(self.helper_exe, *args, check=check)

    def start(self, exe, *args):
        """Starts a program in the desktop (the prefix's Desktop value puts it there), which
        is held open first."""
        self.keep_desktop()
        os.makedirs(PROGRAM_LOGS, exist_ok=True)
        self.started_count += 1
        log_path = os.path.join(PROGRAM_LOGS, f"{self.started_count:03d}-{self.shot_prefix}-"
                                              f"{os.path.basename(exe)}.log")
        # Wine's errors, and exceptions: an end with 1 after an exception is the program's own.
        env = dict(os.environ, WINEDEBUG=WINE_ERRORS + ",+seh")
        with open(log_path, "wb") as log:
            process = subprocess.Popen([WINE64, exe, *args], stdout=subprocess.DEVNULL,
                                       stderr=log, env=env)
        process.log_path = log_path
        return process

    def windows_path(self, path):
        return "Z:" + os.path.abspath(path).replace("/", "\\")

    def find(self, window_class, title):
        r = self.helper("find", window_class or "-", title or "-")
        if r.returncode != 0:
            return None
        f = r.stdout.split()
        return WindowInfo(int(f[0], 16), f[1] == "1", f[2] == "1",
                          Rect(*(int(v) for v in f[3:7])), int(f[7]))

    def children(self, hwnd):
        """WindowInfo of each direct child window of HWND (screen places)."""
        out = []
        for line in self.helper("children", hex(hwnd)).stdout.splitlines():
            f = line.split()
            if len(f) == 8:
                out.append(WindowInfo(int(f[0], 16), f[1] == "1", f[2] == "1",
                                      Rect(*(int(v) for v in f[3:7])), int(f[7])))
        return out

    def post(self, hwnd, msg, wparam=0, lparam=0, check=True):
        self.helper("post", hex(hwnd), hex(msg), hex(wparam), hex(lparam), check=check)

    def balloons(self):
        """(rect, text) of each balloon on the desktop."""
        out = []
        for line in self.helper("balloons").stdout.splitlines():
            f = line.split(" ", 4)
            if len(f) >= 4:
                out.append((Rect(*(int(v) for v in f[:4])), f[4] if len(f) > 4 else ""))
        return out

    def message_box(self, caption):
        """(text, Rect of the OK button) of the system message box with CAPTION, or None."""
        r = self.helper("msgbox", caption)
        if r.returncode != 0:
            return None
        text, place = r.stdout.rstrip("\r\n").rsplit("\n", 1)
        return text.rstrip("\r"), Rect(*(int(v) for v in place.split()))

    def text_mask(self, text, height=13):
        """The ink pixels of TEXT as the program's bold labels draw it at the current scale:
        a set of (x, y). The helper runs at that scale too, so it gets the program's fonts."""
        core, _, size = self.text_shades(text, height)
        return core, size

    def text_shades(self, text, height=13):
        """TEXT's full-ink pixels, its smoothed edge pixels (none in a bitmap face) and the
        cell's size."""
        key = (text, height, self.dpi)
        if key not in self._masks:
            self._masks[key] = self.helper("text-mask", str(height), text, str(self.dpi),
                                           check=True).stdout
        lines = self._masks[key].split()
        width, rows = int(lines[0]), lines[2:]
        core = {(x, y) for y, row in enumerate(rows) for x in range(width) if row[x] == "#"}
        edge = {(x, y) for y, row in enumerate(rows) for x in range(width) if row[x] == "+"}
        return core, edge, (width, len(rows))

    # --- registry -------------------------------------------------------------------
    def reg_query(self, key, value, view=None):
        """The data of a registry value as reg shows it, or None when it is missing. VIEW
        ("/reg:64" or "/reg:32") picks a registry view; None leaves reg's own."""
        r = self.wine("reg", "query", key, "/v", value, *([view] if view else []))
        if r.returncode != 0:
            return None
        for line in r.stdout.splitlines():
            m = re.match(r"\s+(.+?)\s+(REG_\w+)\s*(.*)$", line)
            if m and m.group(1).lower() == value.lower():
                return m.group(3).strip()
        return None

    def reg_add(self, key, value, data, view=None):
        self.wine("reg", "add", key, "/v", value, "/t", "REG_SZ", "/d", data, "/f",
                  *([view] if view else []), check=True)

    def reg_delete(self, key, value=None, view=None):
        args = ["/v", value] if value is not None else []
        self.wine("reg", "delete", key, *args, "/f", *([view] if view else []))

    def set_scale(self, dpi):
        """The display scale every program started from now on takes: Wine reads
        HKCU\\Control Panel\\Desktop LogPixels when a program starts. 96 removes the value
        (the prefix's default)."""
        key = r"HKCU\Control Panel\Desktop"
        if dpi == 96:
            self.reg_delete(key, "LogPixels")
        else:
            self.wine("reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi),
                      "/f", check=True)
        if dpi != self.dpi:
            self._end_desktop()
            self.keep_desktop()
        self.dpi = dpi

    def keep_desktop(self):
        """Holds the desktop open with a process that stays in it until release_desktop.
        Wine closes a desktop a second after its last program leaves it, and a program that
        starts as it closes comes up in a desktop being torn down (measured under Wine 10:
        the panel centred on the whole X screen, outside the virtual desktop). So the holder
        starts only once no desktop is left to close, and checks the desktop's size."""
        if self._keeper is not None and self._keeper.poll() is None:
            return
        self.release_desktop()
        self._wait_desktop_ended("the desktop to end before it is held open")
        self._keeper = subprocess.Popen([WINE64, self.helper_exe, "keep"], text=True,
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL)
        ready, _, _ = select.select([self._keeper.stdout], [], [], 30)
        size = tuple(int(v) for v in self._keeper.stdout.readline().split()) if ready else ()
        if size != DESKTOP_SIZE:
            self.release_desktop()
            raise AssertionError(f"the desktop held open is {size or 'not up in 30 s'}, "
                                 f"not {DESKTOP_SIZE}")

    def release_desktop(self):
        """Lets the desktop close once its programs have left (the holder ends)."""
        keeper, self._keeper = self._keeper, None
        if keeper is None:
            return
        keeper.stdin.close()
        try:
            keeper.wait(timeout=10)
        except subprocess.TimeoutExpired:
            keeper.kill()
            keeper.wait()
        keeper.stdout.close()

    def _wait_desktop_ended(self, what):
        # Polling /proc starts no Wine process that would keep the desktop.
        wait_until(lambda: not linux_pids_of("explorer.exe"), deadline=30, what=what)

    def _end_desktop(self):
        """Waits, with no program in it, for the desktop's explorer to end, so that the next
        program starts a desktop, its tray with it, at the scale now set. On Windows a new
        scale takes a new logon, which starts the shell at it too. Wine 10 lays out the tray
        at the scale its explorer started at and gives a program of another scale that
        window's rectangle scaled (measured: a tray of 166x52 from a desktop started at
        96 DPI is 249x78 to a 144-DPI program, so clicks aimed by it miss the icon); Wine 8
        scales nothing. Wine ends a desktop about a second after its last program leaves
        it, the holder included; the next program started holds a new one."""
        self.release_desktop()
        self._wait_desktop_ended("the desktop to end before the scale changes")

    # --- driver stand-in --------------------------------------------------------------
    def sim(self, *args, check=True):
        return self.wine(self.sim_exe, *args, check=check)

    def sim_counters(self):
        out = {}
        for line in self.sim("counters").stdout.splitlines():
            f = line.split()
            if len(f) == 2 and f[1].isdigit():
                out[f[0]] = int(f[1])
        return out

    # --- X side ---------------------------------------------------------------------
    def x_tree(self):
        """(id, name, Rect in root coordinates, class) of every X window under the root;
        the class is the first WM_CLASS string, or "" when there is none."""
        # xwininfo lists the windows, then asks about each: one destroyed in between (a
        # program ending, a balloon going) ends it with BadWindow or BadDrawable, and the
        # tree is asked for again.
        for _ in range(5):
            r = run(["xwininfo", "-root", "-tree"])
            if r.returncode == 0 or not re.search(r"Bad (Window|Drawable)", r.stderr):
                break
        if r.returncode != 0:
            raise AssertionError(f"xwininfo -root -tree failed ({r.returncode}): "
                                 f"{r.stderr.strip()}")
        out = []
        for line in r.stdout.splitlines():
            m = re.match(r'\s*(0x[0-9a-f]+) (?:"(.*)"|\(has no name\)):\s*(?:\("([^"]*)"[^)]*\))?.*?'
                         r'(\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+)', line)
            if m:
                w, h, x, y = (int(m.group(i)) for i in range(4, 8))
                out.append((int(m.group(1), 16), m.group(2) or "", Rect(x, y, x + w, y + h),
                            m.group(3) or ""))
        return out

    def x_window(self, name):
        for wid, wname, rect, _ in self.x_tree():
            if wname == name:
                return wid, rect
        return None

    def desktop_window(self):
        """(X window id, Rect in root coordinates) of the virtual desktop, or None. Wine 8
        names it "NAME - Wine desktop", Wine 10 "NAME - Wine Desktop", and Wine 10 leaves
        it unnamed for its first seconds (measured): then it is the explorer.exe window of
        the desktop's size."""
        tree = self.x_tree()
        for wid, wname, rect, _ in tree:
            if wname.lower() == f"{DESKTOP_NAME} - Wine desktop".lower():
                return wid, rect
        for wid, wname, rect, wclass in tree:
            if (not wname and wclass == "explorer.exe"
                    and (rect.width, rect.height) == DESKTOP_SIZE):
                return wid, rect
        return None

    def origin(self):
        """The desktop's top-left corner in root coordinates."""
        found = wait_until(self.desktop_window, deadline=20, what="the Wine desktop window")
        return found[1].left, found[1].top

    def wine_major(self):
        """The major version of the Wine that runs the desktop (8 on Debian 12, 10 on 13)."""
        out = run([WINE64, "--version"], check=True).stdout
        return int(re.match(r"wine-(\d+)", out.strip()).group(1))

    def taskbar(self):
        """The taskbar's rectangle in desktop coordinates while it is visible, else None."""
        info = self.find("Shell_TrayWnd", None)
        return info.rect if info and info.visible else None

    def tray_icon_place(self, slot=0):
        """Desktop coordinates of the centre of the tray icon SLOT (0 is the first added).
        Icons are painted into the tray window in 20-px slots: Wine 8's taskbar lies along
        the desktop's foot, the first icon rightmost. Wine 10 shows a named desktop's tray
        as a small captioned window at the top-left instead, the first icon leftmost, its
        client area 3 px in from the frame's left and bottom (measured; only with the
        desktop's shell enabled does it show a taskbar, and then no balloons at all)."""
        bar = wait_until(self.taskbar, deadline=20, what="the taskbar")
        if bar.bottom != DESKTOP_SIZE[1]:
            return bar.left + 3 + 10 + 20 * slot, bar.bottom - 3 - 10
        return bar.right - 10 - 20 * slot, (bar.top + bar.bottom) // 2

    # --- real input -------------------------------------------------------------------
    def _xdo(self, *args):
        run(["xdotool", *args], check=True)

    def to_root(self, x, y):
        ox, oy = self.origin()
        return ox + x, oy + y

    def move(self, x, y):
        """Moves the pointer to desktop coordinates."""
        rx, ry = self.to_root(x, y)
        # Not --sync: it waits seconds for a motion event when the pointer is there already.
        self._xdo("mousemove", str(rx), str(ry))
        wait_until(lambda: self.pointer() == (rx, ry), deadline=3, interval=0.01,
                   what="the pointer to arrive")

    def pointer(self):
        out = run(["xdotool", "getmouselocation"], check=True).stdout
        m = re.match(r"x:(-?\d+) y:(-?\d+)", out)
        return (int(m.group(1)), int(m.group(2))) if m else None

    def click(self, x, y, button=1, repeat=1):
        self.move(x, y)
        self._apart_from_earlier_clicks(button, x, y)
        if repeat > 1:
            self._xdo("click", "--repeat", str(repeat), "--delay", "80", str(button))
        else:
            self._xdo("click", str(button))
        now = time.monotonic()
        self._clicks = [c for c in self._clicks if now - c[3] < DOUBLE_CLICK_SECONDS]
        self._clicks.append((button, *self.to_root(x, y), now))

    def _apart_from_earlier_clicks(self, button, x, y):
        """A click where an earlier one of the same button was, within the double-click
        time, reaches the window there as a double click, even with clicks on other windows
        in between (each window's thread keeps its own last click): the tray icon, say,
        shows the panel on a single press only. As a person's second click would, it comes
        after that time."""
        rx, ry = self.to_root(x, y)
        for b, cx, cy, t in self._clicks:
            if b == button and abs(cx - rx) <= 4 and abs(cy - ry) <= 4:
                wait = DOUBLE_CLICK_SECONDS - (time.monotonic() - t)
                if wait > 0:
                    time.sleep(wait)

    def drag(self, start, end, button=1, steps=8):
        self.move(*start)
        self._xdo("mousedown", str(button))
        for i in range(1, steps + 1):
            x = start[0] + (end[0] - start[0]) * i // steps
            y = start[1] + (end[1] - start[1]) * i // steps
            self.move(x, y)
            time.sleep(0.02)
        self._xdo("mouseup", str(button))

    def key(self, name):
        self._xdo("key", name)

    # --- screenshots ------------------------------------------------------------------
    def screenshot(self, label):
        """The desktop as an image in desktop coordinates; kept under the shots folder."""
        wid = wait_until(self.desktop_window, deadline=20, what="the Wine desktop window")[0]
        self.shot_count += 1
        path = os.path.join(self.shots, f"{self.shot_count:03d}-{self.shot_prefix}-{label}.png")
        run([IMPORT, "-window", hex(wid), path], check=True)
        return Image.open(path).convert("RGB")

    def syscolor(self, index):
        if index not in self._colours:
            self._colours[index] = self.helper("syscolor", str(index), check=True).stdout
        v = self._colours[index].strip()
        return tuple(int(v[i:i + 2], 16) for i in (0, 2, 4))

    def text_at(self, image, text, left, top, height=13, ink=lambda p: max(p) < 70, slack=(0, 0)):
        """Whether TEXT is drawn in INK with its cell's top-left at (LEFT, TOP) of the image
        (desktop coordinates), give or take SLACK pixels across and down, with nothing else
        of that ink in the text's cell. Smoothed edges may count as ink or not; every
        full-ink pixel must."""
        mask, edge, (w, h) = self.text_shades(text, height)
        for dy in range(-slack[1], slack[1] + 1):
            for dx in range(-slack[0], slack[0] + 1):
                x0, y0 = left + dx, top + dy
                seen = {(x, y) for y in range(h) for x in range(w)
                        if ink(image.getpixel((x0 + x, y0 + y)))}
                if mask <= seen and seen - mask <= edge:
                    return True
        return False
