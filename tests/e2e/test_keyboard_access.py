"""The keyboard and a screen reader from outside: real key presses (xdotool) on the shown
panel and on the message window, and the panel's client area asked for its accessibility
object by another process in the same desktop."""

from desktop import wait_until
from panel import CLOSE, ENABLE, start_panel
from programs import PANEL_CLASS, PANEL_TITLE, RUN_KEY, RUN_VALUE


def test_keys_run_the_commands_switch_pages_toggle_a_box_and_hide_the_panel(start_program):
    panel = start_panel(start_program)
    d = panel.d
    panel.show_from_tray()
    # All enabled: Disable is the one command offered, and Tab reaches it.
    d.key("Tab")
    d.key("Return")
    wait_until(lambda: d.sim_counters()["disables"] == 1, what="Disable from the keyboard")
    wait_until(lambda: panel.labels(panel.shot("keys-disabled")) == ("on", "off"),
               what="only Enable offered")
    d.key("Tab")
    d.key("space")
    wait_until(lambda: d.sim_counters()["enables"] == 1, what="Enable from the keyboard")
    d.key("ctrl+Tab")
    wait_until(lambda: panel.selected_tab(panel.shot("keys-settings")) == "settings",
               what="the Settings page")
    d.key("Tab")  # the autostart box: the other one is unavailable while autostart is off
    d.key("space")
    wait_until(lambda: d.reg_query(RUN_KEY, RUN_VALUE), what="the Run value from Space")
    d.key("ctrl+Prior")
    wait_until(lambda: panel.selected_tab(panel.shot("keys-status")) == "status",
               what="the Status page again")
    d.key("Escape")
    panel.wait_visible(False)
    assert d.sim_counters()["disables"] == 1 and d.sim_counters()["enables"] == 1


def test_enter_closes_the_message_window(start_program):
    start_program.desktop.sim("set", "--status", "0x0,0x0,0x0,0x0", "--enable-answer", "1")
    panel = start_panel(start_program)
    d = panel.d
    panel.show_from_tray()
    panel.click(ENABLE)
    wait_until(lambda: (lambda b: b if b and b.visible else None)(d.find("TfrmMessageBox", None)),
               what="the message window")
    d.key("Return")
    wait_until(lambda: d.find("TfrmMessageBox", None) is None, what="the message to close")
    wait_until(lambda: panel.info().enabled, what="the panel enabled again")


def test_another_process_gets_an_answer_for_the_client_area(start_program):
    panel = start_panel(start_program)
    d = panel.d
    panel.show_from_tray()
    out = d.helper("access", PANEL_CLASS, PANEL_TITLE, check=True).stdout.splitlines()
    assert out[0] == "answered 1", out
    # The object crosses over, and a screen reader there reads the panel's children:
    # role, state and name of each.
    assert out[1] == "object 0x00000000", out
    children = [line.split(" ", 2) for line in out[2:]]
    assert [c[2] for c in children[:3]] == ["Status", "Settings", "Hypervisor enabled"], out
    assert children[0][:2] == ["0x25", "0x200002"], "a page tab, selected"
    assert children[4][2] == "Enable" and children[4][1] == "0x1", "unavailable when all enabled"
    assert children[-1][2] == "Close" and children[-1][0] == "0x2b", out


def access_names(d):
    """Each child's name as a screen reader in another process reads it; breaks in a name
    come back as the escapes \\n and \\r."""
    out = d.helper("access", PANEL_CLASS, PANEL_TITLE, check=True).stdout.splitlines()
    assert out[1] == "object 0x00000000", out
    return [line.split(" ", 2)[2] if line.count(" ") >= 2 else "" for line in out[2:]]


def test_names_are_the_shown_lines_with_one_break_between_and_none_at_the_end(start_program):
    # The four situations: all enabled (one line), enabled partly with two problems, not
    # enabled with two problems, and no driver.
    situations = [
        (None, "Hypervisor enabled", ["Hypervisor works properly"]),
        (("set", "--status", "0x1,0x10000000,0x40000000,0x1"), "Hypervisor enabled partly",
         ["Not every processor is supported", "Error while allocating resources"]),
        (("set", "--status", "0x20000000,0x30000000"), "Hypervisor not enabled",
         ["Your processor does not support Virtualization Technoligy",
          "Virtualization Technoligy is not allowed in BIOS"]),
        (("stop",), "General error", ["Failed connect to Korvalen driver"]),
    ]
    panel = start_panel(start_program)
    d = panel.d
    for change, caption, lines in situations:
        if change:
            d.sim(*change)
        panel.show_from_tray()  # each show reads the status anew
        names = access_names(d)
        assert names[:4] == ["Status", "Settings", caption, "\\n".join(lines)], names
        for name in names:
            assert name and not name.endswith("\\n") and "\\r" not in name, names
        assert "Enable" in names and "Disable" in names and names[-1] == "Close", names
        panel.click(CLOSE)
        panel.wait_visible(False)
