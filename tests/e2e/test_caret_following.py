"""With "Follow Caret" down and another program's caret in front, the magnifier centres on that
caret wherever the pointer is and follows it when it moves; with Fixed Location on, the fixed
point wins over the caret."""

import os
import re
import subprocess

from lupenta_e2e import Session, main, private_copy

CARET_WINDOW = "^Lupenta caret test at "
# The caret program's window, 400 x 200, clear of the magnifier's.
CARET_CORNER = (100, 600)


def caret_window():
    """The caret program's X window and where its caret stands, in screen pixels."""
    ids = subprocess.run(["xdotool", "search", "--name", CARET_WINDOW],
                         capture_output=True, text=True).stdout.split()
    for window in ids:
        name = subprocess.run(["xdotool", "getwindowname", window],
                              capture_output=True, text=True).stdout
        found = re.search(r"at (-?\d+),(-?\d+)", name)
        if found:
            return window, (int(found.group(1)), int(found.group(2)))
    return None


def position_readout(session):
    for child in session.child_windows():
        if child.name == "Position":
            return child.value
    return None


def expect_readout(session, point, why):
    expected = "Position: %d, %d" % point
    seen = []

    def shows_point():
        seen.append(position_readout(session))
        return seen[-1] == expected

    try:
        session.wait_for(shows_point, "%s (%s)" % (expected, why), timeout=20)
    except AssertionError as failure:
        raise AssertionError("%s; the readout last read %r" % (failure, seen[-1:])) from None


def bring_to_front(session, point):
    """Clicks a window at `point` to bring it in front with the keyboard: Wine makes the
    window it activates the foreground window, which the X input focus alone does not."""
    session.move(*point)
    session.click(1)


def check_caret_following(exe, pattern):
    exe = private_copy(exe)
    caret_exe = os.path.join(os.path.dirname(pattern), "LupentaCaret.exe")
    with Session(exe, pattern) as session:
        lupenta = session.start_lupenta()
        view, panel = session.find_window()
        session.start(caret_exe, *(str(n) for n in CARET_CORNER))
        session.wait_for(lambda: caret_window() is not None, "the caret program's window")

        # "Follow Caret" down; the caret program then takes the keyboard.
        session.move(panel[0] + 103, panel[1] + 14)
        session.click(1)
        caret_program = (CARET_CORNER[0] + 380, CARET_CORNER[1] + 180)
        bring_to_front(session, caret_program)
        _, caret = caret_window()

        for pointer in ((300, 150), (1500, 900)):
            session.move(*pointer)
            expect_readout(session, caret, "the caret with the pointer at %d, %d" % pointer)

        session.keys("n")
        session.wait_for(lambda: caret_window()[1] != caret, "the caret to move")
        moved = caret_window()[1]
        expect_readout(session, moved, "the caret after it moved")

        # Fixed Location takes the pointer's place as the fixed point; the caret no longer counts.
        bring_to_front(session, (panel[0] + 2, panel[1] + 14))
        fixed = (700, 200)
        session.move(*fixed)
        session.keys("ctrl+alt+f")
        bring_to_front(session, caret_program)
        session.move(1500, 900)
        expect_readout(session, fixed, "the fixed location with the caret in front")
        session.keys("n")
        session.wait_for(lambda: caret_window()[1] != moved, "the caret to move again")
        expect_readout(session, fixed, "the fixed location after the caret moved")

        bring_to_front(session, (panel[0] + 2, panel[1] + 14))
        session.keys("alt+F4")
        session.wait_for_exit(lupenta)


if __name__ == "__main__":
    main(check_caret_following)
