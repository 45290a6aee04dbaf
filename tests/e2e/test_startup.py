"""Start-up under Wine: single instance, markers, the hidden main window and what it read."""

from __future__ import annotations

from harness import SimState
from program_helpers import (
    APP_CLASS,
    APP_TITLE,
    MAIN_CLASS,
    MESSAGE_CLASS,
    PRODUCT_TITLE,
    click_control,
    control,
    list_rows,
    main_window,
    open_main_window,
    radio_states,
    pass_gate,
    screen_pixels,
    start_ready,
    visible_windows_of,
    wait_until,
)

EDGE_TABLE = SimState(
    protection=0,
    slots={
        0: ("A", 1, 7, 10),
        1: ("C", 2, 6, 4294967295),
        2: (0, 1, 7, 20),
        3: ("Z", 1, 12, 512),
        5: ("D", 0, 11, 102400),
    },
)


def test_starts_hidden_and_lists_what_the_driver_holds_when_shown(wine, probe, sim, figures):
    program = start_ready(wine, sim, EDGE_TABLE, figures)
    window = main_window(probe)
    assert window["caption"] == PRODUCT_TITLE
    assert not window["visible"]
    assert visible_windows_of(probe, window["pid"]) == []
    assert probe.children(window["hwnd"]) == [], "no controls while the window has never shown"
    assert sim.log_lines() == ["fcGetPartition 1", "fcGetProtection 0"]

    window = open_main_window(wine, probe, sim)
    assert sim.log_lines()[2:] == ["fcCheckPassword 1 admin", "fcGetPartition 1", "fcGetProtection 0"]
    rows, view = list_rows(probe, window["hwnd"])
    assert rows == [
        (["C:\\", "Unknow", "4294967295"], False),
        (["Z:\\", "FAT32", "512"], True),
        (["D:\\", "FAT32", "102400"], False),
    ]
    columns = probe.listview(view["hwnd"])["columns"]
    assert [c["text"] for c in columns] == ["分区", "类型", "大小(Mb.)"]
    assert [c["width"] for c in columns[:2]] == [100, 150]
    assert radio_states(probe, window["hwnd"]) == {"保护模式": False, "非保护模式": True}
    assert program.running


def test_protected_mode_ticks_the_protection_radio(wine, probe, sim):
    start_ready(wine, sim, SimState(protection=1))
    window = open_main_window(wine, probe, sim)
    assert radio_states(probe, window["hwnd"]) == {"保护模式": True, "非保护模式": False}
    rows, _ = list_rows(probe, window["hwnd"])
    assert rows == [(["C:\\", "NTFS", "40960"], True), (["D:\\", "NTFS", "102400"], False)]


def test_second_copy_exits_at_once_and_the_first_is_unaffected(wine, probe, sim, figures):
    first = start_ready(wine, sim)
    instance = probe.mutex_dacl("QDN_RUNNING")
    assert instance.startswith("D:(A;"), instance
    markers = [probe.mutex_dacl("QDN_RUNNINGRADIX"), probe.mutex_dacl("Global\\QDN_RUNNINGRADIX")]
    assert markers == [instance, instance], "the presence markers have the instance mutex's access list"
    before = probe.list()

    second = wine.start_program(sim=sim)
    assert second.wait(20) == 0
    figures.record("second copy start to exit", second.elapsed_ms())
    assert first.running
    assert sim.log_lines() == ["fcGetPartition 1", "fcGetProtection 1"], "the second copy made no call"
    assert len([w for w in probe.list() if w["class"] == MAIN_CLASS]) == 1
    assert [w["hwnd"] for w in probe.list() if w["class"] == MAIN_CLASS] == [
        w["hwnd"] for w in before if w["class"] == MAIN_CLASS
    ]
    assert not main_window(probe)["visible"], "the first copy is not brought to the front"


def test_twenty_copies_started_at_once_leave_one_resident_and_the_state_unchanged(wine, probe, sim, figures):
    state = sim.write(SimState())
    before = state.read_bytes()
    copies = [wine.start_program(sim=sim) for _ in range(20)]
    # Twenty Wine processes starting on a loaded machine: give the losers time to end.
    assert wait_until(lambda: sum(c.running for c in copies) <= 1, timeout=120)
    resident = [c for c in copies if c.running]
    assert len(resident) == 1, [c.exit_code for c in copies]
    assert [c.exit_code for c in copies if c is not resident[0]] == [0] * 19
    sim.wait_for_log("fcGetProtection", program=resident[0])
    figures.record("twenty copies at once to one resident", resident[0].elapsed_ms())

    assert sim.log_lines() == ["fcGetPartition 1", "fcGetProtection 1"], "only the resident read the driver"
    assert len([w for w in probe.list() if w["class"] == MAIN_CLASS]) == 1
    assert state.read_bytes() == before
    assert resident[0].running


def test_a_new_copy_starts_after_the_first_has_ended(wine, probe, sim):
    first = start_ready(wine, sim)
    window = main_window(probe)
    probe.post(window["hwnd"], "WM_CLOSE")  # closing the main window ends the program, as Quit does
    assert pass_gate(wine, probe, sim, "admin", double_click=False) == "fcCheckPassword 1 admin"
    assert first.wait(20) == 0
    assert wait_until(lambda: not probe.mutex_exists("QDN_RUNNING"))

    second = wine.start_program(sim=sim)
    sim.wait_for_log("fcGetProtection", after=3, program=second)
    assert second.running
    assert sim.log_lines()[3:] == ["fcGetPartition 1", "fcGetProtection 1"]


def test_unreachable_driver_shows_the_message_once_and_ends_after_ok(wine, probe, sim):
    sim.write(SimState(reachable=False))
    program = wine.start_program(sim=sim)
    box = probe.wait(MESSAGE_CLASS, APP_TITLE, 30, visible=True)
    assert sim.log_lines() == ["fcGetPartition 0"], "the mode is read only after the message"
    children = probe.children(box["hwnd"])
    assert [c["text"] for c in children if c["id"] == 0xFFFF] == ["无法和驱动正确连接！"]
    buttons = [c for c in children if c["class"].lower() == "button"]
    assert [(b["text"], b["id"]) for b in buttons] == [("OK", 1)]
    assert not [c for c in children if c["class"].lower() == "static" and c["id"] != 0xFFFF], "no icon"
    screen_w, screen_h = probe.sysmetrics()["screen"]
    left, top, right, bottom = box["rect"]
    assert abs((left + right) / 2 - screen_w / 2) <= 2 and abs((top + bottom) / 2 - screen_h / 2) <= 2
    shown = sorted(w["class"] for w in visible_windows_of(probe, box["pid"]))
    assert shown == sorted([MESSAGE_CLASS, APP_CLASS]), "the message and its taskbar entry"

    probe.click(children[[c["id"] for c in children].index(1)]["hwnd"])
    assert program.wait(20) == 0
    assert sim.log_lines() == ["fcGetPartition 0", "fcGetProtection 1"]


def test_main_window_layout(wine, probe, sim):
    start_ready(wine, sim)
    window = open_main_window(wine, probe, sim)
    wine.screenshot("main-window")

    left, top, right, bottom = window["rect"]
    children = {(c["class"].lower(), c["text"]): c for c in probe.children(window["hwnd"])}
    client_left = children[("button", "确定")]["rect"][0] - 424 - 0  # btnOk sits at 424 in plBottom
    expected = {
        ("button", "关于"): (232, 12, 89, 28),
        ("button", "修改密码"): (328, 12, 89, 28),
        ("button", "确定"): (424, 12, 88, 28),
        ("button", "取消"): (520, 12, 85, 28),
        ("button", "保护分区"): (16, 8, 569, 169),
        ("button", "工作状态"): (16, 184, 569, 94),
        ("button", "保护模式"): (11, 29, 531, 17),
        ("button", "非保护模式"): (11, 61, 531, 17),
    }
    for key, (x, y, w, h) in expected.items():
        assert key in children, key
        cl, ct, cr, cb = children[key]["client_rect"]
        assert (cl, ct, cr - cl, cb - ct) == (x, y, w, h), key
    list_view = next(c for c in children.values() if c["class"] == "SysListView32")
    cl, ct, cr, cb = list_view["client_rect"]
    assert (cl, ct, cr - cl, cb - ct) == (12, 24, 545, 131)
    assert client_left > left
    focus = probe.focus()
    assert focus["focus_class"].lower() == "button"
    assert probe.gettext(focus["focus"]) == "确定", "OK has the focus when first shown"


def test_list_frame_thickens_under_the_pointer_and_with_the_focus(wine, probe, sim):
    start_ready(wine, sim)
    window = open_main_window(wine, probe, sim)
    _, view = list_rows(probe, window["hwnd"])
    left, top, right, bottom = view["rect"]

    def frame_width():
        outer, inner = screen_pixels(wine.screen, left, top + 50, 2, 1)
        assert outer != (255, 255, 255), "the frame is drawn"
        return 2 if inner == outer else 1

    wine.screen.move(10, 10)
    assert wait_until(lambda: frame_width() == 1)
    wine.screen.move(left + 200, top + 80)
    assert wait_until(lambda: frame_width() == 2), "under the pointer"
    # Away to the first radio button, which takes the focus: thin again. Then back to the list by
    # keyboard alone (it comes just before the radio buttons in tab order): thick with the focus.
    click_control(wine, control(probe, window["hwnd"], "Button", "保护模式"))
    assert wait_until(lambda: frame_width() == 1), "neither under the pointer nor focused"
    wine.screen.key("shift+Tab")
    assert wait_until(lambda: probe.focus()["focus"] == view["hwnd"])
    assert wait_until(lambda: frame_width() == 2), "while it has the focus"
