"""The tray menu drawn from the stored skin: the window's background and border from bg-menuback.bmp,
the selected item from bg-menuitem.bmp wherever the pointer or the keys put the selection, and the
menu's behaviour as without the skin. (Under Wine keys reach a tray menu only on its first opening
after the program starts, so each test that uses keys opens the menu first.)"""

from __future__ import annotations

from program_helpers import (
    ABOUT_CLASS,
    CHECK_CLASS,
    MENU_CLASS,
    PRODUCT_TITLE,
    choose_tray_menu_item,
    screen_pixels,
    start_ready,
    wait_posted_handled,
    wait_until,
)
from test_skin import all_near, skin_member  # noqa: F401 (skin_member is a fixture)

BACK_MARGIN = 5  # [MenuBackground]: five unstretched pixels all round
ITEM_IMAGES, HOT = 5, 1  # bg-menuitem.bmp: five images side by side; the selected item's is the second
ITEM_TOP, ITEM_BOTTOM = 9, 6  # [MenuItem]'s unstretched top and bottom rows
FROM_RIGHT = 4  # the column looked at: within the item image's right margin, clear of any text


def open_tray_menu(wine, probe, back):
    """Opens the tray menu with a right press, releases the button and waits until the menu shows
    the skin's background; returns the menu window."""
    wine.tray_right_press()
    menu = probe.wait(MENU_CLASS, "*", 10, visible=True)
    wine.screen.right_release()
    assert wait_until(lambda: background_corners_match(wine, menu, back)), "border and background"
    return menu


def background_corners_match(wine, menu, back) -> bool:
    """The window's four corners are bg-menuback.bmp's, copied unstretched."""
    left, top, right, bottom = menu["rect"]
    m = BACK_MARGIN
    corners = (
        ((left, top), (0, 0)),
        ((right - m, top), (back.width - m, 0)),
        ((left, bottom - m), (0, back.height - m)),
        ((right - m, bottom - m), (back.width - m, back.height - m)),
    )
    for (sx, sy), (bx, by) in corners:
        expected = [back.pixel(bx + x, by + y) for y in range(m) for x in range(m)]
        if not all_near(screen_pixels(wine.screen, sx, sy, m, m), expected):
            return False
    return True


def hot_items(wine, menu, items):
    """Screen rows (top, bottom) of each place where the menu shows the selected item's image.

    One column inside the image's right margin: its top rows and bottom rows are copied unstretched,
    the rows between stretched from the one row left between them."""
    left, top, right, bottom = menu["rect"]
    column = screen_pixels(wine.screen, right - BACK_MARGIN - FROM_RIGHT, top, 1, bottom - top)
    x = (HOT + 1) * items.width // ITEM_IMAGES - FROM_RIGHT
    image = [items.pixel(x, y) for y in range(items.height)]
    head, tail = image[:ITEM_TOP], image[-ITEM_BOTTOM:]
    found, k = [], 0
    while k <= len(column) - ITEM_TOP - ITEM_BOTTOM:
        if all_near(column[k : k + ITEM_TOP], head):
            ends = [j for j in range(k + ITEM_TOP, len(column) - ITEM_BOTTOM + 1)
                    if all_near(column[j : j + ITEM_BOTTOM], tail)]
            if ends:
                found.append((top + k, top + ends[0] + ITEM_BOTTOM))
                k = ends[0] + ITEM_BOTTOM
                continue
        k += 1
    return found


def hot_at(wine, menu, items, y) -> bool:
    """The one selected item is drawn from the skin at screen row y."""
    found = hot_items(wine, menu, items)
    return len(found) == 1 and found[0][0] <= y < found[0][1]


def hot_in_half(wine, menu, items, upper: bool) -> bool:
    """The one selected item is drawn from the skin in the menu's upper (About) or lower (Quit) half."""
    found = hot_items(wine, menu, items)
    middle = (menu["rect"][1] + menu["rect"][3]) // 2
    return len(found) == 1 and (found[0][1] <= middle + 1 if upper else found[0][0] >= middle - 1)


def test_pointer_selection_shows_the_skinned_item_and_clicks_choose(wine, probe, sim, skin_member):
    start_ready(wine, sim)
    back, items = skin_member("bg-menuback.bmp"), skin_member("bg-menuitem.bmp")
    menu = open_tray_menu(wine, probe, back)
    assert hot_items(wine, menu, items) == [], "nothing is selected before the pointer moves"

    left, top, right, bottom = menu["rect"]
    x = left + 30
    wine.screen.move(x, bottom - 10)
    assert wait_until(lambda: hot_at(wine, menu, items, bottom - 10)), "Quit under the pointer"
    wine.screen.move(x, top + 10)
    assert wait_until(lambda: hot_at(wine, menu, items, top + 10)), "About under the pointer, Quit normal again"
    assert background_corners_match(wine, menu, back)
    wine.screenshot("skinned-tray-menu")
    wine.screen.click(x, top + 10)
    probe.wait_hidden(menu["hwnd"])
    about = probe.wait(ABOUT_CLASS, "关于", 10, visible=True)
    probe.close(about["hwnd"])
    probe.wait_hidden(about["hwnd"])

    choose_tray_menu_item(wine, probe, last=True)
    probe.wait(CHECK_CLASS, PRODUCT_TITLE, 10, visible=True)
    assert sim.log_lines() == ["fcGetPartition 1", "fcGetProtection 1"]


def test_keys_move_the_skinned_selection_and_enter_chooses(wine, probe, sim, skin_member):
    start_ready(wine, sim)
    items = skin_member("bg-menuitem.bmp")
    menu = open_tray_menu(wine, probe, skin_member("bg-menuback.bmp"))
    wine.screen.key("Down")
    assert wait_until(lambda: hot_in_half(wine, menu, items, True)), "Down selects About"
    wine.screen.key("Down")  # over the separator
    assert wait_until(lambda: hot_in_half(wine, menu, items, False)), "then Quit"
    wine.screen.key("Up")
    assert wait_until(lambda: hot_in_half(wine, menu, items, True)), "Up goes back"
    wine.screen.key("Return")
    probe.wait_hidden(menu["hwnd"])
    probe.wait(ABOUT_CLASS, "关于", 10, visible=True)
    assert probe.find(CHECK_CLASS, "*", visible=True) is None


def test_escape_closes_the_skinned_menu_without_a_choice(wine, probe, sim, skin_member):
    start_ready(wine, sim)
    items = skin_member("bg-menuitem.bmp")
    menu = open_tray_menu(wine, probe, skin_member("bg-menuback.bmp"))
    wine.screen.key("Up")  # from no selection to the last item
    assert wait_until(lambda: hot_in_half(wine, menu, items, False)), "Up selects Quit"
    wine.screen.key("Escape")
    probe.wait_hidden(menu["hwnd"])
    wait_posted_handled(probe)
    assert probe.find(CHECK_CLASS, "*", visible=True) is None
    assert probe.find(ABOUT_CLASS, "*", visible=True) is None
    assert sim.log_lines() == ["fcGetPartition 1", "fcGetProtection 1"]
