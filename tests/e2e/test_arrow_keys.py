"""With the magnifier focused the arrow keys place the hot pixel: the pointer moves one pixel,
ten with Shift; with Fixed Location on they move the fixed point and the pointer stays."""

import subprocess

from lupenta_e2e import Session, main, private_copy, settings_of


def pointer():
    out = subprocess.run(["xdotool", "getmouselocation", "--shell"], capture_output=True,
                         text=True).stdout
    values = dict(line.split("=") for line in out.splitlines() if "=" in line)
    return int(values["X"]), int(values["Y"])


def check_arrow_keys(exe, pattern):
    exe = private_copy(exe)
    with Session(exe, pattern) as session:
        lupenta = session.start_lupenta()
        session.move(300, 250)
        session.focus_lupenta()
        session.keys("Right", "Right", "Right", "shift+Down", "Up")
        session.wait_for(lambda: pointer() == (303, 259), "the pointer at 303, 259", timeout=10)

        # Fixed Location takes the pointer's place as the fixed point; the arrows then move it.
        session.keys("ctrl+alt+f", "Left", "shift+Left", "shift+Up")
        assert pointer() == (303, 259), "the pointer moved with Fixed Location on"
        session.keys("alt+F4")
        session.wait_for_exit(lupenta)

    ini = settings_of(exe).decode("latin-1")
    for line in ("memX=292", "memY=249"):
        assert line + "\r\n" in ini, "%s missing from the settings:\n%s" % (line, ini)


if __name__ == "__main__":
    main(check_arrow_keys)
