"""Started with /autostart the magnifier stays out of sight, with its tray icon; Ctrl+Alt+G
brings it out, and closing it hides it again."""

import subprocess

from lupenta_e2e import Session, main, private_copy, run
from test_tray import PATTERN_SIZE, hidden, shown, tray_icon


def check_autostart(exe, pattern):
    exe = private_copy(exe)
    with Session(exe, pattern, pattern_size=PATTERN_SIZE) as session:
        session.start(exe, "/autostart")

        def icon_shown():
            try:
                return tray_icon(session)
            except AssertionError:
                return None

        session.wait_for(icon_shown, "the tray icon")
        assert hidden(session), "the window showed although started hidden"

        ids = subprocess.run(["xdotool", "search", "--name", "Lupenta test pattern"],
                             capture_output=True, text=True).stdout.split()
        run("xdotool", "windowfocus", "--sync", ids[0])
        session.keys("ctrl+alt+g")
        session.wait_for(lambda: shown(session), "Ctrl+Alt+G to show the window", timeout=10)


if __name__ == "__main__":
    main(check_autostart)
