"""The control panel as the user meets it: its places, how to reach it through the tray,
and what its pixels say (texts, the selected tab, the Enable and Disable labels)."""

import os

from desktop import DESKTOP_SIZE, Rect, wait_until
from programs import EXE, PANEL_CLASS, PANEL_TITLE, PRODUCT, linux_pids_of

PANEL_SIZE = (595, 239)
MESSAGE_SIZE = (493, 154)
COLOR_3DSHADOW = 16
# The check boxes' boxes at 100 %: left, top, right, bottom.
CHECK_BOXES = (Rect(120, 56, 133, 69), Rect(120, 72, 133, 85))

# Client places (centres unless said otherwise) of the components the user touches, at
# 100 %; at another scale each coordinate is scaled as the program scales its edges.
STATUS_TAB = (14 + 47, 52 + 17)
SETTINGS_TAB = (14 + 47, 90 + 17)
ENABLE = (120 + 43, 203 + 8)
DISABLE = (224 + 43, 203 + 8)
CLOSE = (560 + 12, 12 + 11)
AUTOSTART_BOX = (120 + 6, 56 + 6)
DISABLE_BOX = (120 + 6, 72 + 6)
AUTOSTART_LABEL = (140 + 60, 55 + 8)
BACKGROUND = (50, 200)  # the photograph column, below the tabs
CONTENT = (400, 150)    # the content area, under the description label
CAPTION_STRIP = Rect(160, 8, 160 + 389, 8 + 31)
STATUS_TEXT = (120, 48)
DESCRIPTION = (120, 88)
MESSAGE_TEXT = (28, 69)
MESSAGE_OK = (206 + 41, 125 + 8)


def scaled(value, dpi):
    """A coordinate at 96 DPI in pixels at DPI, rounded as the program rounds (halves up)."""
    return (value * dpi + 48) // 96


def scaled_point(point, dpi):
    return tuple(scaled(v, dpi) for v in point)


def centred(size, dpi=96):
    size = scaled_point(size, dpi)
    return Rect((DESKTOP_SIZE[0] - size[0]) // 2, (DESKTOP_SIZE[1] - size[1]) // 2,
                (DESKTOP_SIZE[0] - size[0]) // 2 + size[0],
                (DESKTOP_SIZE[1] - size[1]) // 2 + size[1])


def crop(image, rect):
    return image.crop((rect.left, rect.top, rect.right, rect.bottom)).tobytes()


def near(pixel, colour, tolerance=24):
    return all(abs(a - b) <= tolerance for a, b in zip(pixel, colour))


class Panel:
    def __init__(self, d, program):
        self.d = d
        self.program = program
        self.dpi = d.dpi  # the scale the program started at

    def centred(self, size=PANEL_SIZE):
        """The window's rectangle when centred at the program's scale."""
        return centred(size, self.dpi)

    def scaled(self, point):
        return scaled_point(point, self.dpi)

    # --- the window ---------------------------------------------------------------------
    def info(self):
        return self.d.find(PANEL_CLASS, PANEL_TITLE)

    def wait_visible(self, visible=True, deadline=10):
        return wait_until(lambda: (lambda i: i if i and i.visible == visible else None)(
            self.info()), deadline=deadline, what=f"the panel {'shown' if visible else 'hidden'}")

    def at(self, place):
        r = self.info().rect
        x, y = self.scaled(place)
        return r.left + x, r.top + y

    def check_boxes(self):
        """The check boxes' child windows, in client places: [(visible, Rect)]."""
        info = wait_until(self.info, what="the panel window")
        r = info.rect
        return [(c.visible, Rect(c.rect.left - r.left, c.rect.top - r.top,
                                 c.rect.right - r.left, c.rect.bottom - r.top))
                for c in self.d.children(info.hwnd)]

    def loaded_dlls(self):
        """The DLL files mapped into the program's process, in lower case (Wine maps its
        DLLs from files, so /proc/PID/maps names every one loaded)."""
        pids = linux_pids_of(EXE)
        assert pids, "the program's process"
        names = set()
        for pid in pids:
            with open(f"/proc/{pid}/maps") as f:
                names |= {os.path.basename(line.split()[-1]).lower() for line in f
                          if line.rstrip().lower().endswith(".dll")}
        return names

    def click(self, place, button=1, repeat=1):
        self.d.click(*self.at(place), button=button, repeat=repeat)

    # --- the tray -----------------------------------------------------------------------
    def tray(self, button=1):
        self.d.click(*self.d.tray_icon_place(0), button=button)

    def show_from_tray(self):
        self.tray(1)
        return self.wait_visible(True)

    def menu(self, item):
        """Opens the tray menu with a right press and clicks ITEM: "status", "settings" or
        "exit". The items are menu-font rows below a 3-px border, the separator between
        the second and the last; the row height comes from the menu's own height."""
        self.tray(3)
        m = wait_until(lambda: (lambda m: m if m and m.visible else None)(
            self.d.find("#32768", None)), what="the tray menu")
        r = m.rect
        row = (r.height - 6 - 9) // 3  # three rows and a separator of about 9 px
        y = {"status": r.top + 3 + row // 2, "settings": r.top + 3 + row + row // 2,
             "exit": r.bottom - 3 - row // 2}[item]
        self.d.click((r.left + r.right) // 2, y)
        wait_until(lambda: not (lambda m: m and m.visible)(self.d.find("#32768", None)),
                   what="the tray menu to close")

    # --- pixels ---------------------------------------------------------------------------
    def shot(self, label):
        return self.d.screenshot(label), self.info().rect

    def shows_text(self, shot, place, text, ink=None, slack=(0, 0)):
        image, r = shot
        kw = {"slack": self.scaled(slack)}
        if ink:
            kw["ink"] = ink
        x, y = self.scaled(place)
        return self.d.text_at(image, text, r.left + x, r.top + y, **kw)

    def status_texts(self, shot, caption, lines):
        """The caption, and the description's lines one line height (the font's cell
        height at the program's scale) below each other."""
        line_height = self.d.text_mask(lines[0] if lines else caption)[1][1]
        top = self.scaled(DESCRIPTION)
        return self.shows_text(shot, STATUS_TEXT, caption) and all(
            self.shows_text_at(shot, (top[0], top[1] + line_height * i), line)
            for i, line in enumerate(lines))

    def shows_text_at(self, shot, pixel_place, text):
        """Whether TEXT is drawn with its cell's top-left at this client pixel."""
        image, r = shot
        return self.d.text_at(image, text, r.left + pixel_place[0], r.top + pixel_place[1])

    def selected_tab(self, shot):
        """The tab whose open right side shows the face colour over the separator: the
        middle of the tab's last three columns, on its middle row, each edge scaled as the
        program scales it (the pictures are made for their scaled boxes)."""
        image, r = shot
        face = (0xC7, 0xE3, 0xF1)
        x = (scaled(14 + 92, self.dpi) + scaled(14 + 95, self.dpi)) // 2

        def is_open(tab):
            return near(image.getpixel((r.left + x, r.top + scaled(tab[1], self.dpi))), face, 40)

        status, settings = is_open(STATUS_TAB), is_open(SETTINGS_TAB)
        return "status" if status and not settings else \
            "settings" if settings and not status else None

    def label_state(self, shot, place, word):
        """'on' when the label's word is drawn in black, 'off' when it is drawn etched."""
        shadow = self.d.syscolor(COLOR_3DSHADOW)  # etched text: its shadow lies in place
        left = (place[0] - 43, place[1] - 8)
        if self.shows_text(shot, left, word, slack=(45, 0)):
            return "on"
        # A scalable face's smoothed text is blended with the highlight below it.
        etched = (lambda p: p == shadow) if self.dpi == 96 else (lambda p: near(p, shadow, 40))
        if self.shows_text(shot, left, word, ink=etched, slack=(45, 0)):
            return "off"
        return None

    def labels(self, shot):
        return self.label_state(shot, ENABLE, "Enable"), self.label_state(shot, DISABLE, "Disable")


def start_panel(start_program, *args):
    """Starts the control panel and waits for its tray icon and its hidden window."""
    program = start_program(PRODUCT, *args)
    d = program.d
    wait_until(d.taskbar, deadline=30, what="the tray icon")
    panel = Panel(d, program)
    wait_until(panel.info, what="the panel window")
    return panel
