"""Recent Colors, in the colour panel's menu: every colour copied, by Copy Color or Copy Color
As, newest first with a swatch of its colour; the list survives a restart and a click copies a
colour again."""

from lupenta_e2e import Session, main, private_copy, settings_of, tile_colour

# Pattern points of three clearly different colours, well away from the magnifier.
POINTS = [(300, 250), (300, 800), (1500, 200)]
COPY_COLOR = ("Down",)
COPY_COLOR_AS_HTML = ("Down", "Down", "Right")
RECENT_COLORS = ("Down", "Down", "Down")


def rgb_text(colour):
    return "RGB : %d,%d,%d" % colour


def inverted(colour):
    return tuple(255 - c for c in colour)


def swatches(before, after, colours, outside, near):
    """For each colour, the rows of the pixels that the submenu brought in that colour: what
    changed between the two screenshots near the menu, outside the magnifier's own window.
    Wine draws the highlighted item's bitmap inverted, so its inverse counts too."""
    rows = {colour: [] for colour in colours}
    shades = {shade: colour for colour in colours for shade in (colour, inverted(colour))}
    width, height = after.size
    old, new = before.load(), after.load()
    for y in range(max(near[1] - 400, 0), min(near[1] + 400, height)):
        for x in range(max(near[0] - 50, 0), min(near[0] + 800, width)):
            if outside[0] <= x < outside[2] and outside[1] <= y < outside[3]:
                continue
            pixel = new[x, y]
            if pixel in shades and pixel != old[x, y]:
                rows[shades[pixel]].append(y)
    return rows


def check_swatches(session, swatch, window, newest_first):
    """Opens Recent Colors and finds a swatch of each colour, top to bottom in the given order."""
    session.open_menu_at(swatch)
    session.keys(*RECENT_COLORS)
    before = session.screenshot()
    session.keys("Right")
    found = {}

    def drawn():
        found.update(swatches(before, session.screenshot(), newest_first, window, swatch))
        return all(len(found[colour]) >= 60 for colour in newest_first)

    session.wait_for(drawn, "a swatch of each recent colour", timeout=15)
    centres = [sum(found[colour]) / len(found[colour]) for colour in newest_first]
    assert centres == sorted(centres), "swatches out of order: %r" % centres
    session.keys("Escape", "Escape")
    session.focus_lupenta()


def start_in_front(session):
    """Starts the magnifier in front; returns its process, its window and the colour swatch."""
    lupenta = session.start_lupenta()
    view, panel = session.find_window()
    window = (view[0], view[1], panel[2], panel[3])
    swatch = (panel[0] + 240, panel[1] + 14)
    session.focus_lupenta()
    return lupenta, window, swatch


def check_recent_colors(exe, pattern):
    exe = private_copy(exe)
    colours = [tile_colour(*point) for point in POINTS]
    newest_first = colours[::-1]
    with Session(exe, pattern) as session:
        lupenta, window, swatch = start_in_front(session)
        for point, colour, keys in zip(POINTS, colours,
                                       [COPY_COLOR, COPY_COLOR, COPY_COLOR_AS_HTML]):
            # Fixed over the pattern, the readout keeps the colour while the menu is used.
            session.move(*point)
            session.keys("ctrl+alt+f")
            session.copy_colour(swatch, *keys)
            session.keys("ctrl+alt+f")
        check_swatches(session, swatch, window, newest_first)
        session.keys("alt+F4")
        session.wait_for_exit(lupenta)

    ini = settings_of(exe).decode("latin-1")
    stored = ",".join("%02X%02X%02X" % colour for colour in newest_first)
    assert "RecentColors=" + stored + "\r\n" in ini, "the list was not kept:\n" + ini

    with Session(exe, pattern) as session:
        lupenta, window, swatch = start_in_front(session)
        check_swatches(session, swatch, window, newest_first)
        # The oldest, chosen again, is copied as the readout notation reads and moves up.
        text = session.copy_colour(swatch, *RECENT_COLORS, "Right", "Down", "Down")
        assert text == rgb_text(colours[0]), "the recent colour copied %r" % text
        check_swatches(session, swatch, window, [colours[0], colours[2], colours[1]])
        session.keys("alt+F4")
        session.wait_for_exit(lupenta)


if __name__ == "__main__":
    main(check_recent_colors)
