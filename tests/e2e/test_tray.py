"""The tray icon: a left click hides the application and the next brings it back; the close
button hides it to the tray; Ctrl+Alt+G brings it back from anywhere; a right click opens the
menu."""

import subprocess
import time

from lupenta_e2e import Session, main, private_copy, run

# The pattern leaves the Wine desktop's task bar, with its notification area, uncovered.
PATTERN_SIZE = (1920, 1030)


def tray_icon(session):
    """Where our icon sits in the notification area: the red quarter of its lens."""
    shot = session.screenshot()
    pixels = shot.load()
    width, height = shot.size
    for y in range(height - 30, height):
        for x in range(width - 300, width):
            r, g, b = pixels[x, y]
            if r > 180 and g < 110 and b < 100:
                return x, y
    raise AssertionError("no tray icon in the notification area")


def hidden(session):
    """Off the screen: its X window unmapped, and nothing of it painted."""
    mapped = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Lupenta [0-9]"],
                            capture_output=True, text=True).stdout.split()
    return not mapped and session.find_window() is None


def shown(session):
    mapped = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Lupenta [0-9]"],
                            capture_output=True, text=True).stdout.split()
    return bool(mapped) and session.find_window() is not None


def check_tray(exe, pattern):
    with Session(private_copy(exe), pattern, pattern_size=PATTERN_SIZE) as session:
        session.start_lupenta()
        icon = tray_icon(session)

        session.move(*icon)
        session.click(1)
        session.wait_for(lambda: hidden(session), "the window to go to the tray", timeout=10)
        time.sleep(1.0)  # without a window manager, Wine takes a moment over each hide
        session.move(*icon)
        session.click(1)
        session.wait_for(lambda: shown(session), "the window to come back", timeout=10)

        # Closing while "Stay in System Tray" is checked only hides the application.
        _, panel = session.find_window()
        session.move(panel[2] - 17, panel[1] + 14)
        session.click(1)
        session.wait_for(lambda: hidden(session), "the close button to hide the window",
                         timeout=10)

        # The hot key reaches Wine while any of its windows has the keyboard: the pattern's.
        ids = subprocess.run(["xdotool", "search", "--name", "Lupenta test pattern"],
                             capture_output=True, text=True).stdout.split()
        run("xdotool", "windowfocus", "--sync", ids[0])
        session.keys("ctrl+alt+g")
        session.wait_for(lambda: shown(session), "Ctrl+Alt+G to bring the window back",
                         timeout=10)

        # A right click on the icon opens the menu above it.
        before = session.screenshot().crop((1400, 300, 1920, 1030))
        session.move(*icon)
        session.click(3)
        time.sleep(1.0)
        after = session.screenshot().crop((1400, 300, 1920, 1030))
        assert before != after, "no menu opened over the notification area"
        session.keys("Escape")


if __name__ == "__main__":
    main(check_tray)
