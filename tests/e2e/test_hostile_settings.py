"""A hand-edited settings file with values out of range or no numbers at all: the program
reports what it cannot read, applies the rest and keeps working."""

import os
import time

from lupenta_e2e import Session, main, private_copy, settings_of, tile_colour

HOSTILE = (
    "; edited by hand\r\n"
    "[lupenta]\r\n"
    "InvertImage1_Checked=TRUE\r\n"
    "ShowTitlebar=true\r\n"
    "cbxZoomLevel_ItemIndex=99\r\n"
    "Timer1_Interval=50\r\n"
    "pixlevel=7\r\n"
    "memX=abc\r\n"
    "Panel1_Visible=yes please\r\n"
    "NormPos=1,2\r\n"
    "=======\r\n"
    "[broken\r\n"
)


def check_hostile_settings(exe, pattern):
    exe = private_copy(exe)
    with open(os.path.join(os.path.dirname(exe), "Lupenta.ini"), "wb") as f:
        f.write(HOSTILE.encode("latin-1"))
    with Session(exe, pattern) as session:
        lupenta = session.start(exe)
        time.sleep(4)
        session.keys("Return")  # "'abc' is not a valid integer value"
        session.wait_for(lambda: session.find_window() is not None, "the magnifier window")
        view, _ = session.find_window()
        pointer = (900, 600)  # the stored position puts the window at the top-left corner
        session.move(*pointer)
        time.sleep(1.2)
        shot = session.screenshot()
        pixels = shot.load()
        # Zoom 1 (the index matches no entry), not inverted ("TRUE" is not "True").
        width, height = view[2] - view[0], view[3] - view[1]
        sl, st = pointer[0] - (width // 2), pointer[1] - (height // 2)
        assert pixels[view[0] + 10, view[1] + 10] == tile_colour(sl + 10, st + 10), \
            "expected an uninverted view at zoom 1"

        # The menu opens from the keyboard too; Escape closes it; Alt+F4 ends the program.
        session.focus_lupenta()
        session.keys("shift+F10")
        time.sleep(0.6)
        assert session.screenshot() != shot, "Shift+F10 opened no menu"
        session.keys("Escape")
        session.focus_lupenta()
        session.keys("alt+F4")
        session.wait_for_exit(lupenta)

    # Keys keep the spelling of the line that first held them, so compare without case.
    ini = settings_of(exe).decode("latin-1")
    for line in ("Timer1_Interval=50", "Pixlevel=7", "memX=0", "InvertImage1_Checked=False",
                 "ShowTitlebar=False"):
        assert line.lower() + "\r\n" in ini.lower(), \
            "%s missing from the settings:\n%s" % (line, ini)


if __name__ == "__main__":
    main(check_hostile_settings)
