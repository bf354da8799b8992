"""The About dialog opens from the menu and closes with Escape; "Check for New Version..."
with no server to ask ends in the one warning and leaves the magnifier working."""

import subprocess
import time

from lupenta_e2e import Session, main, private_copy


def window_named(name):
    return subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name],
                          capture_output=True, text=True).stdout.split()


def choose_from_bottom(session, view, steps):
    session.focus_lupenta()
    session.move((view[0] + view[2]) // 2, view[1] + 40)
    session.click(3)
    time.sleep(0.8)
    session.keys(*(["Up"] * steps), "Return")


def check_dialogs(exe, pattern):
    with Session(private_copy(exe), pattern) as session:
        session.start_lupenta()
        view, _ = session.find_window()

        choose_from_bottom(session, view, 2)  # "About Lupenta..."
        session.wait_for(lambda: window_named("^About Lupenta$"), "the About dialog")
        session.keys("Escape")
        session.wait_for(lambda: not window_named("^About Lupenta$"), "the About dialog to close")

        choose_from_bottom(session, view, 4)  # "Check for New Version..."
        session.wait_for(lambda: window_named("^Warning$"), "the warning", timeout=60)
        session.keys("Return")
        session.wait_for(lambda: not window_named("^Warning$"), "the warning to close")
        assert session.find_window() is not None, "the magnifier is gone"


if __name__ == "__main__":
    main(check_dialogs)
