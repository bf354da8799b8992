"""Copy Color As, from the colour panel's menu: each entry puts the colour under the fixed
location on the clipboard in its own form."""

from lupenta_e2e import Session, main, private_copy, tile_colour

POINT = (300, 250)
# The pattern's colour there, in the order of the submenu.
EXPECTED = ["#9A75F7", "9A75F7", "RGB : 154,117,247", "rgb(154, 117, 247)", "hsl(257, 89%, 71%)",
            "hsv(257, 53%, 97%)", "cmyk(38%, 53%, 0%, 3%)", "16217498", "0.604, 0.459, 0.969"]


def check_copy_color_as(exe, pattern):
    exe = private_copy(exe)
    assert tile_colour(*POINT) == (154, 117, 247)
    with Session(exe, pattern) as session:
        lupenta = session.start_lupenta()
        view, panel = session.find_window()
        session.focus_lupenta()
        # Fixed over the pattern, the readout keeps its colour while the pointer is on the panel.
        session.move(*POINT)
        session.keys("ctrl+alt+f")
        swatch = (panel[0] + 240, panel[1] + 14)

        # "Copy Color As" is the menu's second item; Right opens it on its first entry.
        for index, expected in enumerate(EXPECTED):
            text = session.copy_colour(swatch, "Down", "Down", "Right", *["Down"] * index)
            assert text == expected, "entry %d copied %r, not %r" % (index, text, expected)

        # The colour panel's own copy still copies the readout as it reads.
        assert session.copy_colour(swatch, "Down") == "RGB : 154,117,247"

        session.keys("alt+F4")
        session.wait_for_exit(lupenta)


if __name__ == "__main__":
    main(check_copy_color_as)
