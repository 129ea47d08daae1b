"""The control panel as a user meets it: started in the Wine desktop with the driver
stand-in, driven only with real pointer and key input, and checked from outside."""

from conftest import AT_BOTH_SCALES
from desktop import DESKTOP_SIZE, Rect, wait_until
from panel import (AUTOSTART_BOX, AUTOSTART_LABEL, BACKGROUND, CAPTION_STRIP, CHECK_BOXES, CLOSE,
                   DISABLE, DISABLE_BOX, ENABLE, MESSAGE_OK, MESSAGE_SIZE, MESSAGE_TEXT,
                   SETTINGS_TAB, STATUS_TAB, crop, scaled, start_panel)
from programs import PRODUCT, RUN_KEY, RUN_VALUE, SETTINGS_KEY

ALL_ENABLED = ("Hypervisor enabled", ["Hypervisor works properly"])
NOT_ENABLED = ("Hypervisor not enabled", ["Hypervisor disabled manually"])
REFUSED = "Hypervisor can not be enabled. Shutdown all Virtual Machines."


def balloon_texts(d):
    return [text for _, text in d.balloons()]


def test_first_start_adds_the_icon_shows_the_balloon_and_keeps_the_panel_hidden(start_program):
    panel = start_panel(start_program)
    d = panel.d
    wait_until(lambda: "Korvalen is started and works properly" in balloon_texts(d),
               deadline=10, what="the start-up balloon")
    d.screenshot("first-start-balloon")
    window = panel.info()
    assert not window.visible, "start-up never shows the panel"
    assert d.reg_query(SETTINGS_KEY, "Messages") == "1", "the first balloon is remembered"
    assert d.sim_counters()["reads"] >= 2, "the first refresh read the status stream"


@AT_BOTH_SCALES
def test_left_press_shows_the_panel_centred_on_the_status_tab(start_program):
    panel = start_panel(start_program)
    shown = panel.show_from_tray()
    assert shown.rect == panel.centred()
    shot = panel.shot("shown")
    assert panel.selected_tab(shot) == "status"
    assert panel.status_texts(shot, *ALL_ENABLED)
    assert panel.labels(shot) == ("off", "on"), "all enabled: only Disable is offered"


@AT_BOTH_SCALES
def test_the_menus_show_items_select_their_tabs(start_program):
    panel = start_panel(start_program)
    panel.menu("settings")
    panel.wait_visible(True)
    assert panel.selected_tab(panel.shot("menu-settings")) == "settings"
    panel.click(CLOSE)
    panel.wait_visible(False)
    panel.menu("status")
    panel.wait_visible(True)
    assert panel.selected_tab(panel.shot("menu-status")) == "status"


def test_exit_removes_the_icon_and_ends_the_program(start_program):
    panel = start_panel(start_program)
    panel.show_from_tray()
    panel.menu("exit")
    assert panel.program.wait_ended() == 0
    wait_until(lambda: panel.d.taskbar() is None, what="the tray icon to go")
    assert panel.info() is None


@AT_BOTH_SCALES
def test_tabs_switch_pages_and_the_other_tab_lights_up_under_the_pointer(start_program):
    panel = start_panel(start_program)
    panel.show_from_tray()
    d = panel.d
    first = panel.shot("tabs-start")
    r = first[1]

    def tab_rect(place):
        left, top = panel.scaled((14, place[1] - 17))
        right, bottom = panel.scaled((14 + 95, place[1] + 17))
        return Rect(r.left + left, r.top + top, r.left + right, r.top + bottom)

    settings_plain = crop(first[0], tab_rect(SETTINGS_TAB))
    status_selected = crop(first[0], tab_rect(STATUS_TAB))
    # Hover over the tab that is not selected shows its lit picture, and leaving restores it.
    d.move(*panel.at(SETTINGS_TAB))
    wait_until(lambda: crop(d.screenshot("hover-settings"), tab_rect(SETTINGS_TAB))
               != settings_plain, what="the lit Settings tab")
    d.move(*panel.at(STATUS_TAB))
    wait_until(lambda: crop(d.screenshot("hover-left"), tab_rect(SETTINGS_TAB))
               == settings_plain, what="the Settings tab unlit after the pointer left")
    assert crop(d.screenshot("hover-selected"), tab_rect(STATUS_TAB)) == status_selected, \
        "the selected tab keeps its picture under the pointer"
    # A click selects the page: caption strip, the check-box rows, the tab's open side.
    panel.click(SETTINGS_TAB)
    wait_until(lambda: panel.selected_tab(panel.shot("settings-page")) == "settings",
               what="the Settings tab selected")
    shot = panel.shot("settings-page")
    left, top = panel.scaled((CAPTION_STRIP.left, CAPTION_STRIP.top))
    right, bottom = panel.scaled((CAPTION_STRIP.right, CAPTION_STRIP.bottom))
    strip = Rect(r.left + left, r.top + top, r.left + right, r.top + bottom)
    assert crop(shot[0], strip) != crop(first[0], strip), "the caption names the page"
    assert not panel.status_texts(shot, *ALL_ENABLED), "the status texts are hidden"
    panel.click(STATUS_TAB)
    wait_until(lambda: panel.selected_tab(panel.shot("status-again")) == "status",
               what="the Status tab selected again")
    assert panel.status_texts(panel.shot("status-page"), *ALL_ENABLED)


@AT_BOTH_SCALES
def test_a_drag_moves_the_window_and_it_reappears_where_it_was_left(start_program):
    panel = start_panel(start_program)
    before = panel.show_from_tray().rect
    d = panel.d
    start = panel.at(BACKGROUND)
    # To the right where the window stays on the desktop (its close label with it), else left.
    dx = 120 if before.right + 120 <= DESKTOP_SIZE[0] else -40
    d.drag(start, (start[0] + dx, start[1] - 90))
    moved = wait_until(lambda: (lambda i: i.rect if i.rect != before else None)(panel.info()),
                       what="the window to move")
    assert (moved.left - before.left, moved.top - before.top) == (dx, -90)
    panel.click(CLOSE)
    panel.wait_visible(False)
    assert panel.show_from_tray().rect == moved, "shown again where it was left"
    d.screenshot("moved")


@AT_BOTH_SCALES
def test_the_check_boxes_lie_at_their_scaled_places_on_the_settings_page_only(start_program):
    panel = start_panel(start_program)
    # Start-up makes only what the tray icon needs: the boxes' windows come with the first
    # show. They are the system's own boxes: the common controls library, which would stay
    # loaded with its bitmaps all day, is never loaded.
    assert panel.check_boxes() == [], "no child window before the first show"
    assert "comctl32.dll" not in panel.loaded_dlls()
    panel.show_from_tray()
    assert panel.check_boxes(), "the boxes' windows made at the first show"
    assert "comctl32.dll" not in panel.loaded_dlls(), "the boxes need no common controls"
    boxes = panel.check_boxes()
    expected = sorted((scaled(b.left, panel.dpi), scaled(b.top, panel.dpi),
                       scaled(b.right, panel.dpi), scaled(b.bottom, panel.dpi))
                      for b in CHECK_BOXES)
    assert sorted((r.left, r.top, r.right, r.bottom) for _, r in boxes) == expected
    assert not any(visible for visible, _ in boxes), "hidden on the Status page"
    panel.click(SETTINGS_TAB)
    wait_until(lambda: all(visible for visible, _ in panel.check_boxes()),
               what="the check boxes shown on the Settings page")
    panel.shot("check-boxes")


@AT_BOTH_SCALES
def test_disable_and_enable_switch_the_stand_in_and_the_labels(start_program):
    panel = start_panel(start_program)
    d = panel.d
    panel.show_from_tray()
    panel.click(DISABLE)
    wait_until(lambda: d.sim_counters()["disables"] == 1, what="the disable command")
    assert "status 0x0,0x0,0x0,0x0" in d.sim("show").stdout
    wait_until(lambda: panel.status_texts(panel.shot("disabled"), *NOT_ENABLED),
               what="the not-enabled texts")
    assert panel.labels(panel.shot("disabled-labels")) == ("on", "off")
    panel.click(ENABLE)
    wait_until(lambda: d.sim_counters()["enables"] == 1, what="the enable command")
    wait_until(lambda: panel.status_texts(panel.shot("enabled"), *ALL_ENABLED),
               what="the enabled texts")
    assert panel.labels(panel.shot("enabled-labels")) == ("off", "on")
    assert d.find("TfrmMessageBox", None) is None, "accepted commands bring no message"


def refused_enable(start_program):
    panel = start_panel_with(start_program, "--status", "0x0,0x0,0x0,0x0", "--enable-answer", "1")
    panel.show_from_tray()
    assert panel.labels(panel.shot("not-enabled")) == ("on", "off")
    panel.click(ENABLE)
    box = wait_until(lambda: (lambda b: b if b and b.visible else None)(
        panel.d.find("TfrmMessageBox", None)), what="the message window")
    return panel, box


def start_panel_with(start_program, *scenario):
    """Starts the panel after setting the stand-in's scenario, which the first refresh sees."""
    start_program.desktop.sim("set", *scenario)
    return start_panel(start_program)


@AT_BOTH_SCALES
def test_a_refused_enable_shows_the_message_centred_and_ok_closes_it(start_program):
    panel, box = refused_enable(start_program)
    d = panel.d
    assert box.rect == panel.centred(MESSAGE_SIZE)
    image = d.screenshot("refused")
    text_x, text_y = panel.scaled(MESSAGE_TEXT)
    assert d.text_at(image, REFUSED, box.rect.left + text_x, box.rect.top + text_y)
    assert not panel.info().enabled, "the panel takes no input while the message is up"
    ok_x, ok_y = panel.scaled(MESSAGE_OK)
    d.click(box.rect.left + ok_x, box.rect.top + ok_y)
    wait_until(lambda: d.find("TfrmMessageBox", None) is None, what="the message to close")
    wait_until(lambda: panel.info().enabled, what="the panel enabled again")
    assert d.sim_counters()["enables"] == 1
    shot = panel.shot("after-refusal")
    assert panel.status_texts(shot, *NOT_ENABLED)
    assert panel.labels(shot) == ("on", "off"), "a refused enable leaves the labels"


def test_exit_from_the_tray_while_the_message_is_up_ends_the_program(start_program):
    panel, _ = refused_enable(start_program)
    panel.menu("exit")
    assert panel.program.wait_ended() == 0
    wait_until(lambda: panel.d.taskbar() is None, what="the tray icon to go")


@AT_BOTH_SCALES
def test_the_setting_boxes_write_the_registry(start_program):
    panel = start_panel(start_program)
    d = panel.d
    panel.show_from_tray()
    panel.click(SETTINGS_TAB)
    wait_until(lambda: panel.selected_tab(panel.shot("settings")) == "settings",
               what="the Settings tab")
    assert d.reg_query(SETTINGS_KEY, "Settings") == "0"
    panel.click(DISABLE_BOX)  # unavailable while autostart is off
    panel.click(AUTOSTART_BOX)
    path = wait_until(lambda: d.reg_query(RUN_KEY, RUN_VALUE), what="the Run value")
    assert path.lower().endswith("korvalencontrolpanel.exe") and '"' not in path
    assert d.reg_query(SETTINGS_KEY, "Settings") == "0", "the disabled box took no click"
    panel.click(DISABLE_BOX)
    wait_until(lambda: d.reg_query(SETTINGS_KEY, "Settings") == "1", what="Settings bit 0")
    panel.click(AUTOSTART_BOX)
    wait_until(lambda: d.reg_query(RUN_KEY, RUN_VALUE) is None, what="the Run value removed")
    panel.click(DISABLE_BOX)  # unavailable again
    panel.click(AUTOSTART_BOX)
    wait_until(lambda: d.reg_query(RUN_KEY, RUN_VALUE), what="the Run value again")
    assert d.reg_query(SETTINGS_KEY, "Settings") == "1", "the box kept its mark and the bit"
    d.screenshot("settings-boxes")


def test_a_changed_scenario_shows_at_the_next_show_and_a_stopped_driver_fails(start_program):
    panel = start_panel(start_program)
    d = panel.d
    panel.show_from_tray()
    panel.click(CLOSE)
    panel.wait_visible(False)
    d.sim("set", "--status", "0x1,0x1,0x0,0x0")
    panel.show_from_tray()
    assert panel.status_texts(panel.shot("partly"), "Hypervisor enabled partly",
                              ["Korvalen works with errors"])
    panel.click(CLOSE)
    panel.wait_visible(False)
    d.sim("stop")
    panel.show_from_tray()
    assert panel.status_texts(panel.shot("no-driver"), "General error",
                              ["Failed connect to Korvalen driver"])


def test_a_taskbar_created_broadcast_leaves_one_working_icon(start_program):
    panel = start_panel(start_program)
    d = panel.d
    d.helper("broadcast", "TaskbarCreated", check=True)
    panel.show_from_tray()  # the icon works, and the broadcast has been handled before it
    image = d.screenshot("after-taskbar-created")
    x, y = d.tray_icon_place(1)
    second = {image.getpixel((x + dx, y + dy)) for dx in range(-8, 8) for dy in range(-8, 8)}
    assert len(second) == 1, "no second icon beside the first"
    x, y = d.tray_icon_place(0)
    first = {image.getpixel((x + dx, y + dy)) for dx in range(-8, 8) for dy in range(-8, 8)}
    assert len(first) > 1, "the icon is drawn"


def test_a_second_start_is_refused_and_quit_ends_the_running_one(start_program):
    panel = start_panel(start_program)
    d = panel.d
    second = start_program(PRODUCT)
    text, ok = wait_until(lambda: d.message_box("Error"), what="the refusal box")
    assert text == "Control panel is already started."
    d.screenshot("second-start")
    d.click(*ok.centre)
    assert second.wait_ended() == 0
    assert not panel.program.ended(), "the running program is untouched"
    quitter = start_program(PRODUCT, "-Q")
    assert quitter.wait_ended() == 0
    assert panel.program.wait_ended() == 0
    wait_until(lambda: d.taskbar() is None, what="the tray icon to go")


@AT_BOTH_SCALES
def test_double_clicks_show_the_panel_once_and_toggle_a_setting_twice(start_program):
    panel = start_panel(start_program)
    d = panel.d
    d.click(*d.tray_icon_place(0), repeat=2)
    assert panel.wait_visible(True).rect == panel.centred()
    panel.click(SETTINGS_TAB)
    wait_until(lambda: panel.selected_tab(panel.shot("settings")) == "settings",
               what="the Settings tab")
    panel.click(AUTOSTART_LABEL, repeat=2)
    panel.click(DISABLE_BOX)  # still unavailable: autostart ended as it began, off
    panel.click(AUTOSTART_BOX)  # a single click after the double click turns it on
    wait_until(lambda: d.reg_query(RUN_KEY, RUN_VALUE), what="the Run value")
    assert d.reg_query(SETTINGS_KEY, "Settings") == "0"
