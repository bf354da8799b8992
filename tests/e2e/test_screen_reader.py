"""What a screen reader in another process hears of the magnifier: the view, the colour and
position readouts with their texts as values, and the panel's buttons, each by name and role;
and a colour copied from the colour panel's menu is announced through the panel."""

import time

from lupenta_e2e import Session, main, private_copy, tile_colour

# MSAA's role numbers.
GRAPHIC, STATIC_TEXT, PUSH_BUTTON, STATUS_BAR = 40, 41, 43, 23


def heard(session):
    """Name -> (role, value) of the magnifier's windows whose objects have a name, the last
    of each name winning (the hidden settings button comes before the shown one)."""
    return {child.name: (child.role, child.value) for child in session.child_windows()
            if child.name}


def check_screen_reader(exe, pattern):
    exe = private_copy(exe)
    point = (200, 120)
    colour = "RGB : %d,%d,%d" % tile_colour(*point)
    with Session(exe, pattern) as session:
        lupenta = session.start_lupenta()
        view, panel = session.find_window()
        session.move(*point)
        session.wait_for(lambda: heard(session).get("Color") == (STATIC_TEXT, colour),
                         "the colour readout to read %s" % colour)
        objects = heard(session)
        expected = {
            "Magnified view": (GRAPHIC, ""),
            "Position": (STATIC_TEXT, "Position: %d, %d" % point),
            "Follow Caret Position": (PUSH_BUTTON, ""),
            "Settings": (PUSH_BUTTON, ""),
            "Close": (PUSH_BUTTON, ""),
        }
        for name, answer in expected.items():
            assert objects.get(name) == answer, "%s: %r, not %r" % (name, objects.get(name),
                                                                    answer)

        # Fixed where it is, the readout keeps the colour while the pointer is on the panel.
        session.focus_lupenta()
        session.keys("ctrl+alt+f")
        session.move(panel[0] + 240, panel[1] + 14)
        session.click(3)
        time.sleep(0.8)
        session.keys("Down", "Return")  # "Copy Color to Clipboard"
        session.keys("Return")  # the "copied" box
        announced = "Copied " + colour
        session.wait_for(lambda: heard(session).get(announced) == (STATUS_BAR, ""),
                         "the panel to announce %r" % announced)

        session.focus_lupenta()
        session.keys("alt+F4")
        session.wait_for_exit(lupenta)


if __name__ == "__main__":
    main(check_screen_reader)
