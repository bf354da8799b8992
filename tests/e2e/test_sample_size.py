"""Sample Size, chosen from the colour panel's menu: the copied colour is the rounded mean of
the square around the hot pixel, the view outlines that square, and the choice is kept. After
the menu closes, Space still pauses sampling."""

import time

from lupenta_e2e import Session, clipboard_text, main, private_copy, settings_of, tile_colour

ZOOM = 2


def aperture_mean(hot, size):
    """Each channel's mean over the square, rounded to nearest (halves up)."""
    reach = size // 2
    colours = [tile_colour(x, y) for x in range(hot[0] - reach, hot[0] + reach + 1)
               for y in range(hot[1] - reach, hot[1] + reach + 1)]
    count = len(colours)
    return tuple((2 * sum(c[i] for c in colours) + count) // (2 * count) for i in range(3))


def inverted(colour):
    return tuple(255 - c for c in colour)


def outline_top_edge(shot, view, hot, size):
    """The view's pixels along the top edge of the outline around the hot cell, with the pattern
    pixels they show: the outline is drawn by inverting."""
    width, height = view[2] - view[0], view[3] - view[1]
    sl = hot[0] - (width // ZOOM) // 2
    st = hot[1] - (height // ZOOM) // 2
    reach = size // 2
    cx, cy = (hot[0] - sl) * ZOOM, (hot[1] - st) * ZOOM
    y = cy - reach * ZOOM - 1
    pixels = shot.load()
    return [(pixels[view[0] + x, view[1] + y], tile_colour(sl + x // ZOOM, st + y // ZOOM))
            for x in range(cx - reach * ZOOM - 1, cx + (reach + 1) * ZOOM + 1)]


def check_sample_size(exe, pattern):
    exe = private_copy(exe)
    # A tile corner: a 3x3 square around it takes pixels of four tiles in unequal shares.
    hot = (320, 256)
    assert aperture_mean(hot, 3) != tile_colour(*hot)
    with Session(exe, pattern) as session:
        lupenta = session.start_lupenta()
        view, panel = session.find_window()
        session.focus_lupenta()
        session.move(*hot)
        session.keys("ctrl+alt+f")
        swatch = (panel[0] + 240, panel[1] + 14)
        session.move(*swatch)

        def colour_menu(*keys):
            session.click(3)
            time.sleep(0.8)
            session.keys(*keys)
            time.sleep(0.5)

        def copied_colour():
            colour_menu("Down", "Return")  # "Copy Color to Clipboard"
            session.keys("Return")  # the "copied" box
            session.focus_lupenta()
            return clipboard_text()

        assert copied_colour() == "RGB : %d,%d,%d" % tile_colour(*hot)

        # "Sample Size" is the menu's last item; its second entry is 3x3. Once the menu has
        # closed the keyboard is the window's again: Space pauses sampling, and resumes it.
        colour_menu("Up", "Right", "Down", "Return")
        session.keys("ctrl+alt+f", "space")
        assert not session.view_follows_pointer(view), "Space did not pause sampling"
        session.keys("space")

        # Following the pointer, the view outlines the square around the hot cell.
        session.move(*hot)
        session.wait_for(
            lambda: all(shown == inverted(under)
                        for shown, under in outline_top_edge(session.screenshot(), view, hot, 3)),
            "the outline around the 3x3 square", timeout=10)

        # Fixed there, the readout keeps the square's mean while the pointer is on the panel.
        session.keys("ctrl+alt+f")
        session.move(*swatch)
        expected = "RGB : %d,%d,%d" % aperture_mean(hot, 3)
        assert copied_colour() == expected, "clipboard holds %r, not %r" % (clipboard_text(),
                                                                             expected)

        session.keys("alt+F4")
        session.wait_for_exit(lupenta)

    ini = settings_of(exe).decode("latin-1")
    assert "SampleSize=3\r\n" in ini, "the sample size was not kept:\n" + ini


if __name__ == "__main__":
    main(check_sample_size)
