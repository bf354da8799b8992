"""The panel's buttons never take the keyboard: after a click on the settings button or on
"Follow Caret", Space only pauses or resumes sampling; it neither opens the menu again nor
clicks the button again."""

import time

from lupenta_e2e import Session, main, private_copy, settings_of


def right_of(shot, panel):
    """The screen to the right of the magnifier, where the settings menu opens."""
    return shot.crop((panel[2], 0, shot.size[0], shot.size[1]))


def check_panel_buttons(exe, pattern):
    exe = private_copy(exe)
    with Session(exe, pattern) as session:
        lupenta = session.start_lupenta()
        view, panel = session.find_window()
        session.focus_lupenta()
        session.move(200, 200)
        time.sleep(1.0)

        # The settings button opens the menu; Escape closes it, and Space is then a key for the
        # window again: it pauses sampling and opens nothing.
        session.move(panel[2] - 43, panel[1] + 14)
        session.click(1)
        time.sleep(1.0)
        session.keys("Escape")
        time.sleep(0.8)
        before = right_of(session.screenshot(), panel)
        session.keys("space")
        time.sleep(1.0)
        assert right_of(session.screenshot(), panel) == before, "Space opened the menu again"
        assert not session.view_follows_pointer(view), "Space did not pause sampling"

        # "Follow Caret" goes down; Space resumes sampling and leaves the button down.
        session.move(panel[0] + 103, panel[1] + 14)
        session.click(1)
        time.sleep(0.8)
        session.keys("space")
        assert session.view_follows_pointer(view), "Space did not resume sampling"

        session.keys("alt+F4")
        session.wait_for_exit(lupenta)
    ini = settings_of(exe).decode("latin-1")
    assert "btnType_Down=TRUE" in ini, "Space clicked Follow Caret again"
    assert "FollowCaretPosition1_Checked=TRUE" in ini


if __name__ == "__main__":
    main(check_panel_buttons)
