"""The suite's own footing, proved with the floor tray program (benchmarks/floor_tray.cpp)
and the driver stand-in: if these fail, the product cases below them mean nothing."""

from desktop import wait_until
from programs import FLOOR


def icon_pixels(image, place):
    x, y = place
    return [image.getpixel((x + dx, y + dy)) for dx in range(-8, 8) for dy in range(-8, 8)]


def blank(pixels):
    return len(set(pixels)) == 1


def test_a_tray_icon_shows_the_taskbar_and_fills_the_rightmost_slot(start_program):
    floor = start_program(FLOOR)
    d = floor.d
    bar = wait_until(d.taskbar, deadline=20, what="the taskbar")
    if d.wine_major() >= 10:
        # Wine 10 shows a named desktop's tray as a small window at the top-left (measured;
        # see Desktop.tray_icon_place).
        assert (bar.left, bar.top) == (0, 0), "Wine 10's tray window at the top-left"
    else:
        assert bar.right == 1024 and bar.bottom == 768, "the taskbar lies along the desktop's foot"
    shot = d.screenshot("floor-icon")
    assert not blank(icon_pixels(shot, d.tray_icon_place(0))), "the first icon is drawn"
    assert blank(icon_pixels(shot, d.tray_icon_place(1))), "the next slot is empty"


def test_a_second_icon_takes_the_next_slot_leftwards(start_program):
    first = start_program(FLOOR)
    d = first.d
    wait_until(d.taskbar, deadline=20, what="the taskbar")
    start_program(FLOOR)
    wait_until(lambda: not blank(icon_pixels(d.screenshot("two-floors"), d.tray_icon_place(1))),
               deadline=10, what="a second icon")


def test_a_quit_message_ends_the_floor_and_the_taskbar_goes(start_program):
    floor = start_program(FLOOR)
    d = floor.d
    wait_until(d.taskbar, deadline=20, what="the taskbar")
    window = wait_until(lambda: d.find("KorvalenFloorTray", None), what="the floor's window")
    assert not window.visible
    d.post(window.hwnd, 0x12)
    assert floor.wait_ended() == 0
    wait_until(lambda: d.taskbar() is None, deadline=10, what="the taskbar to go")


def test_the_stand_in_counts_and_takes_scenarios(clean):
    d = clean
    assert d.sim_counters()["opens"] == 0, "the fixture resets the stand-in"
    d.sim("set", "--status", "0x1,0x0", "--enable-answer", "1")
    shown = d.sim("show").stdout
    assert "status 0x1,0x0" in shown and "enable-answer 1" in shown


def test_the_text_mask_is_the_labels_bold_face(clean):
    mask, (width, height) = clean.text_mask("Enable")
    assert height == 16, "bold MS Sans Serif -13 is 16 px high"
    assert 30 < width < 60 and len(mask) > 50
