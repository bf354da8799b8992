"""The popup menu by mouse and keyboard, the colour copy, and settings kept across runs."""

import time

from lupenta_e2e import (PANEL_GREY, Session, clipboard_text, main, private_copy, settings_of,
                         tile_colour)


def view_zoom(session, shot, view, pointer):
    """The zoom at which the view shows the pattern around `pointer`, judged by its pixels."""
    left, top, right, bottom = view
    pixels = shot.load()
    width, height = right - left, bottom - top
    for zoom in (1, 2, 3, 4, 5, 6, 8):
        sl = pointer[0] - (width // zoom) // 2
        st = pointer[1] - (height // zoom) // 2
        probes = [(x, y) for x in range(5, width - 5, 37) for y in range(5, height - 5, 29)
                  if clear_of_pointer_image(x, y, width, height, 8)]
        good = sum(pixels[left + x, top + y] == tile_colour(sl + x // zoom, st + y // zoom)
                   for x, y in probes)
        if good == len(probes):
            return zoom
    return None


def clear_of_pointer_image(x, y, width, height, zoom):
    """False inside the square where the pointer image may be drawn: from the hot cell to 32
    cells right and down, with a margin."""
    cx, cy = (width // zoom) // 2 * zoom, (height // zoom) // 2 * zoom
    return not (cx - 40 <= x <= cx + 32 * zoom + 8 and cy - 40 <= y <= cy + 32 * zoom + 8)


def inverted(colour):
    return tuple(255 - c for c in colour)


def inverted_shot(shot):
    return shot.point(lambda value: 255 - value)


def check_commands(exe, pattern):
    exe = private_copy(exe)
    pointer = (300, 250)
    with Session(exe, pattern) as session:
        lupenta = session.start_lupenta()
        view, panel = session.find_window()
        session.focus_lupenta()
        session.move(*pointer)
        time.sleep(1.2)
        assert view_zoom(session, session.screenshot(), view, pointer) == 2

        # The context menu opens on a right click and its commands are reachable by keyboard:
        # Zoom Level, then the fourth zoom, "Zoom 4x".
        session.move((view[0] + view[2]) // 2, view[1] + 40)
        session.click(3)
        time.sleep(0.8)
        session.keys("Down", "Right", "Down", "Down", "Down", "Return")
        session.move(*pointer)
        time.sleep(1.2)
        assert view_zoom(session, session.screenshot(), view, pointer) == 4, "zoom 4 not applied"

        # The colour panel's menu copies the colour shown, then switches to HTML notation.
        # The location is fixed over the pattern first: with the pointer on the panel the hot
        # pixel then lies outside the capture, so the readout keeps the pattern's colour.
        colour = tile_colour(*pointer)
        session.keys("ctrl+alt+f")
        swatch = (panel[0] + 240, panel[1] + 14)
        session.move(*swatch)
        time.sleep(0.5)

        def copy_colour():
            session.click(3)
            time.sleep(0.8)
            session.keys("Down", "Return")  # "Copy Color to Clipboard"
            time.sleep(0.8)
            session.keys("Return")  # the "copied" box
            time.sleep(0.3)
            session.focus_lupenta()
            return clipboard_text()

        text = copy_colour()
        assert text == "RGB : %d,%d,%d" % colour, "clipboard holds %r" % text
        session.click(3)
        time.sleep(0.8)
        session.keys("Up", "Up", "Return")  # "HTML Code", above "Sample Size"
        time.sleep(0.5)
        text = copy_colour()
        assert text == "#%02X%02X%02X" % colour, "clipboard holds %r" % text
        session.move(*pointer)
        session.keys("ctrl+alt+f")

        # Invert, then Exit from the menu: the settings file is written at the end.
        session.move(*pointer)
        session.keys("ctrl+alt+i")
        time.sleep(1.0)
        shot = session.screenshot()
        px = shot.load()
        sample = (view[0] + 20, view[1] + 20)
        sl = pointer[0] - ((view[2] - view[0]) // 4) // 2
        st = pointer[1] - ((view[3] - view[1]) // 4) // 2
        assert px[sample] == inverted(tile_colour(sl + 20 // 4, st + 20 // 4)), "not inverted"
        session.move((view[0] + view[2]) // 2, view[1] + 40)
        session.click(3)
        time.sleep(0.8)
        session.keys("Up", "Return")  # "Exit", the last item
        session.wait_for_exit(lupenta)

    ini = settings_of(exe).decode("latin-1")
    for line in ("InvertImage1_Checked=True", "RGBValues1_Checked=False",
                 "cbxZoomLevel_ItemIndex=3", "Panel1_Visible=True", "ShowTitlebar=False"):
        assert line + "\r\n" in ini, "%s missing from the settings:\n%s" % (line, ini)
    assert ini.endswith("\r\n\r\n")

    # A second start comes back as it was left: zoom 4, inverted, panel shown.
    with Session(exe, pattern) as session:
        session.start_lupenta()
        session.move(*pointer)
        time.sleep(1.5)
        shot = session.screenshot()
        view, panel = session.find_window(shot)
        px = shot.load()
        width, height = view[2] - view[0], view[3] - view[1]
        sl = pointer[0] - (width // 4) // 2
        st = pointer[1] - (height // 4) // 2
        wrong = sum(px[view[0] + x, view[1] + y] != inverted(tile_colour(sl + x // 4, st + y // 4))
                    for x in range(4, width - 4, 23) for y in range(4, height - 4, 19)
                    if clear_of_pointer_image(x, y, width, height, 4))
        assert wrong == 0, "%d pixels differ from the inverted zoom-4 view" % wrong
        assert px[panel[0] + 2, panel[1] + 2] == PANEL_GREY

        # The wheel turned away from the user steps the zoom up: 4x to 5x.
        session.move((view[0] + view[2]) // 2, view[1] + 40)
        session.click(4)
        session.move(*pointer)
        time.sleep(1.2)
        shot = session.screenshot()
        assert view_zoom(session, inverted_shot(shot), view, pointer) == 5, "wheel did not zoom"


if __name__ == "__main__":
    main(check_commands)
