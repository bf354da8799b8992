"""Every way out of the program keeps what the user set: Exit from the tray menu while hidden,
Exit after "/autostart" without ever being shown, the close box with "/notray" or
"/allowclose", and the end of the session while hidden. Each time the next start comes back
inverted, mirrored, with the grid and the title bar, and the file says so."""

import os
import subprocess
import time

from PIL import ImageChops

from lupenta_e2e import Session, main, private_copy, run, settings_of, tile_colour
from test_commands import clear_of_pointer_image, inverted
from test_tray import PATTERN_SIZE, hidden, tray_icon

POINTER = (300, 250)
KEPT = ("InvertImage1_Checked=True", "FlipHorizontally1_Checked=TRUE", "Pixlevel=5",
        "ShowTitlebar=True")


def set_everything(session):
    """Invert and mirror by their shortcuts, 5-pixel grid spacing from the menu, and the title
    bar by a double click on the view."""
    view, _ = session.find_window()
    session.focus_lupenta()
    session.keys("ctrl+alt+i", "ctrl+alt+h")
    session.move((view[0] + view[2]) // 2, view[1] + 40)
    session.click(3)
    time.sleep(0.8)
    # Draw Grid is the eighth item; its first item, Grid Spacing, opens on "5 pixels" two down.
    session.keys(*(["Down"] * 8), "Right", "Right", "Down", "Down", "Return")
    time.sleep(0.5)
    session.move((view[0] + view[2]) // 2, view[1] + 40)
    session.click(1)
    session.click(1)
    session.wait_for(lambda: titled(session), "the title bar to show", timeout=10)


def titled_view(session, shot=None):
    """The view's box when the window has a title bar, else None. The window finder goes by
    the view's silver frame, which an inverted view does not have, so the view is found here
    from the panel up: its rows vary along the row, the caption's rows do not."""
    shot = shot or session.screenshot()
    found = session.find_window(shot)
    if not found:
        return None
    _, panel = found
    px = shot.load()
    # Clear of the caption's icon and text on the left and of its buttons on the right.
    columns = [panel[0] + (panel[2] - panel[0]) * tenths // 10 for tenths in (3, 4, 5, 6)]

    def uniform(y):
        return len({px[x, y] for x in columns}) == 1

    y = panel[1] - 1
    while y > 3 and not (uniform(y) and uniform(y - 1) and uniform(y - 2)):
        y -= 1
    view = (panel[0], y + 1, panel[2], panel[1])
    band = 0
    while y > 0 and uniform(y):
        band, y = band + 1, y - 1
    # The caption is a band of one colour at least ten rows high.
    return view if band >= 10 else None


def titled(session):
    return titled_view(session) is not None


def hide_with_hot_key(session):
    session.focus_lupenta()
    session.keys("ctrl+alt+g")
    session.wait_for(lambda: hidden(session), "Ctrl+Alt+G to hide the window", timeout=10)
    time.sleep(1.0)


def exit_from_tray(session):
    """Exit from the tray icon's menu, clicked: the keyboard does not reach a menu opened from
    the notification area under Wine. Exit is the last item, at the menu's bottom."""
    icon = tray_icon(session)
    # The menu opens by the icon, in the right half of the screen; the task bar's buttons on
    # the left change as the focus moves.
    half = (960, 0, 1920, 1080)
    before = session.screenshot().crop(half)
    session.move(*icon)
    session.click(3)
    boxes = []

    def menu_drawn():
        boxes.append(ImageChops.difference(before, session.screenshot().crop(half)).getbbox())
        return len(boxes) > 1 and boxes[-1] and boxes[-1] == boxes[-2]

    session.wait_for(menu_drawn, "the tray menu to open", timeout=15)
    menu = boxes[-1]
    session.move(half[0] + menu[0] + 40, menu[3] - 10)
    time.sleep(0.5)
    session.click(1)


def click_close_box(session):
    _, panel = session.find_window()
    session.move(panel[2] - 17, panel[1] + 14)
    session.click(1)


def end_session():
    subprocess.run(["wine", "wineboot", "--end-session", "--kill"],
                   capture_output=True, timeout=60)


def running(exe):
    """Whether a process runs from the program's own folder (the launcher returns at once)."""
    folder = os.path.basename(os.path.dirname(exe)).encode()
    for pid in os.listdir("/proc"):
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                if folder in f.read():
                    return True
        except OSError:
            pass
    return False


def leave_by(exe, action, attempts=3):
    """Takes the way out; on a machine under load a click can be lost, so a way out that left
    the program running is taken again, a few times at most."""
    for _ in range(attempts):
        action()
        try:
            Session.wait_for(lambda: not running(exe), "the program to end", timeout=15)
            return
        except AssertionError:
            run("xdotool", "key", "Escape")
    raise AssertionError("the program did not end")


def hidden_then_tray_exit(session, exe):
    session.start_lupenta()
    set_everything(session)
    hide_with_hot_key(session)
    leave_by(exe, lambda: exit_from_tray(session))


def autostart_then_tray_exit(session, exe):
    # What an earlier run left, in the form storage's own texts for the keys it shares.
    with open(os.path.join(os.path.dirname(exe), "Lupenta.ini"), "wb") as f:
        f.write(b"[Lupenta]\r\nInvertImage1_Checked=True\r\nShowTitlebar=True\r\nPixlevel=5\r\n"
                b"FlipHorizontally1_Checked=TRUE\r\n\r\n")
    session.start(exe, "/autostart")
    time.sleep(4)
    assert hidden(session), "the window showed although started hidden"
    leave_by(exe, lambda: exit_from_tray(session))


def close_box_with(switch):
    def leave(session, exe):
        session.start_lupenta(switch)
        set_everything(session)
        leave_by(exe, lambda: click_close_box(session))
    return leave


def session_end_while_hidden(session, exe):
    session.start_lupenta()
    set_everything(session)
    hide_with_hot_key(session)
    leave_by(exe, end_session)


WAYS_OUT = [
    ("Exit from the tray menu while hidden", hidden_then_tray_exit),
    ("Exit from the tray menu after /autostart, never shown", autostart_then_tray_exit),
    ("the close box with /notray", close_box_with("/notray")),
    ("the close box with /allowclose", close_box_with("/allowclose")),
    ("the end of the session while hidden", session_end_while_hidden),
]


def view_faults(shot, view):
    """What differs from the pattern at zoom 2, inverted and mirrored left to right, under a
    grid of white lines every 5 source pixels (every tenth row and column); empty when the view
    is right."""
    px = shot.load()
    width, height = view[2] - view[0], view[3] - view[1]
    sl = POINTER[0] - (width // 2) // 2
    st = POINTER[1] - (height // 2) // 2
    wrong = grid = probes = 0
    for x in range(3, width - 3, 7):
        for y in range(3, height - 3, 5):
            # Mirrored, output column x shows what column width-1-x showed.
            mx = width - 1 - x
            if not clear_of_pointer_image(mx, y, width, height, 2):
                continue
            probes += 1
            shown = px[view[0] + x, view[1] + y]
            if shown == (255, 255, 255):
                grid += 1
            elif shown != inverted(tile_colour(sl + mx // 2, st + y // 2)):
                wrong += 1
    if probes < 100:
        return ["no view to judge at %r" % (view,)]
    faults = []
    if wrong:
        faults.append("%d of %d pixels differ from the inverted mirrored view" % (wrong, probes))
    # One row and one column in ten: about a fifth of the view.
    if not 0.1 < grid / probes < 0.3:
        faults.append("%d of %d pixels on grid lines" % (grid, probes))
    return faults


def next_start_faults(session):
    """What the next start shows wrong; it is given a while to paint its first frames."""
    session.start_lupenta()
    session.move(*POINTER)
    faults = []

    def right():
        shot = session.screenshot()
        view = titled_view(session, shot)
        faults[:] = view_faults(shot, view) if view else ["no title bar"]
        return not faults

    try:
        session.wait_for(right, "the view", timeout=15)
    except AssertionError:
        pass
    return faults


def check_every_way_out(exe, pattern):
    failures = []
    for name, leave in WAYS_OUT:
        copy = private_copy(exe)
        with Session(copy, pattern, pattern_size=PATTERN_SIZE) as session:
            leave(session, copy)
        ini = settings_of(copy).decode("latin-1")
        faults = ["%s missing from the file" % line for line in KEPT if line + "\r\n" not in ini]
        if not faults:
            with Session(copy, pattern, pattern_size=PATTERN_SIZE) as session:
                faults = next_start_faults(session)
        print(name + ":", "; ".join(faults) or "kept")
        failures += [name + ": " + fault for fault in faults]
    assert not failures, "\n".join(failures)


if __name__ == "__main__":
    main(check_every_way_out)
