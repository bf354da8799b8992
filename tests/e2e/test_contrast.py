"""Contrast against a reference: Ctrl+Alt+R takes the colour under the pointer as the reference,
and a bar above the panel shows the ratio between it and the colour under the pointer with its
grade, read back through Win32 from another program, as a screen reader reads it. The panel's
controls stay where they were, and "Clear Contrast Reference" from the colour panel's menu
takes the bar away."""

import time

from lupenta_e2e import TILE, Session, main, private_copy, tile_colour

BAR_HEIGHT = 26


def luminance(colour):
    def linear(channel):
        c = channel / 255
        return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (linear(c) for c in colour)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast_text(a, b):
    """What the bar should read: the ratio to the nearest tenth, never rounded up onto a grade
    it misses, and the grade."""
    la, lb = luminance(a), luminance(b)
    ratio = (max(la, lb) + 0.05) / (min(la, lb) + 0.05)
    tenths = round(ratio * 10)
    for threshold in (30, 45, 70):
        if tenths >= threshold and ratio < threshold / 10:
            tenths = threshold - 1
    grade = ("AAA" if ratio >= 7 else "AA" if ratio >= 4.5 else "AA Large" if ratio >= 3
             else "Fail")
    number = str(tenths // 10) if tenths % 10 == 0 else "%d.%d" % (tenths // 10, tenths % 10)
    return "Contrast %s:1 %s" % (number, grade)


def tile_centre(tx, ty):
    return (tx * TILE + TILE // 2, ty * TILE + TILE // 2)


def contrast_label(session):
    """The bar's text, as its window text and as a screen reader hears it (the value of the
    object named "Contrast"), or None while the bar does not show."""
    for child in session.child_windows():
        if child.name == "Contrast" and child.visible:
            assert child.text == child.value, child
            return child.value
    return None


def check_contrast(exe, pattern):
    exe = private_copy(exe)
    reference = tile_centre(6, 4)
    pairs = [tile_centre(1, 0), tile_centre(1, 2), tile_centre(3, 2), tile_centre(6, 5)]
    expected = [contrast_text(tile_colour(*reference), tile_colour(*p)) for p in pairs]
    assert len(set(expected)) == len(expected), expected
    with Session(exe, pattern) as session:
        lupenta = session.start_lupenta()
        view, panel = session.find_window()
        before = session.screenshot()
        controls = (panel[0], panel[1], panel[0] + 120, panel[3])
        assert contrast_label(session) is None

        session.focus_lupenta()
        session.move(*reference)
        time.sleep(0.5)
        session.keys("ctrl+alt+r")
        for point, text in zip(pairs, expected):
            session.move(*point)
            session.wait_for(lambda: contrast_label(session) == text,
                             "the bar to read %r (it reads %r)" % (text, contrast_label(session)),
                             timeout=15)

        shot = session.screenshot()
        assert shot.crop(controls) == before.crop(controls), "the panel's controls moved"
        bar_row = [shot.getpixel((x, panel[1] - BAR_HEIGHT // 2))
                   for x in range(panel[0] + 2, panel[0] + 4)]
        assert all(pixel == (95, 95, 95) for pixel in bar_row), "no bar above the panel"

        # "Clear Contrast Reference" is the colour panel's menu's fifth item.
        session.move(panel[0] + 240, panel[1] + 14)
        session.click(3)
        time.sleep(0.8)
        session.keys("Down", "Down", "Down", "Down", "Down", "Return")
        session.wait_for(lambda: contrast_label(session) is None, "the bar to go")
        # Over the panel the view would show the panel's grey, enlarged.
        session.move(*reference)
        session.wait_for(lambda: session.find_window() == (view, panel),
                         "the view to take its room back", timeout=10)

        session.keys("alt+F4")
        session.wait_for_exit(lupenta)


if __name__ == "__main__":
    main(check_contrast)
