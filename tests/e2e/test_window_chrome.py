"""The window is dragged by its body and snaps to the screen's edge; a double click on the
view shows the title bar and takes the silver frame away, a second one restores both."""

import time

from lupenta_e2e import SILVER, Session, main, private_copy, run


def framed_in_silver(shot, view):
    pixels = shot.load()
    left, top, right, _ = view
    return all(pixels[x, top] == SILVER for x in range(left, right))


def has_caption_bar(shot, window_top, left, right):
    """A title bar is one colour across, where the magnified pattern never is."""
    pixels = shot.load()
    row = [pixels[x, window_top + 4] for x in range(left + 150, right - 100, 10)]
    return len(set(row)) == 1


def check_window_chrome(exe, pattern):
    with Session(private_copy(exe), pattern) as session:
        session.start_lupenta()
        view, _ = session.find_window()

        # Dragged to within a few pixels of the top-left corner, it snaps onto it.
        start = (view[0] + 100, view[1] + 100)
        session.move(*start)
        run("xdotool", "mousedown", "1")
        for step in range(1, 11):
            session.move(start[0] - (view[0] - 7) * step // 10,
                         start[1] - (view[1] - 3) * step // 10)
            time.sleep(0.05)
        time.sleep(0.3)
        run("xdotool", "mouseup", "1")
        time.sleep(1.0)
        view, panel = session.find_window()
        assert view[:2] == (0, 0), "the window did not snap to the corner: %r" % (view,)

        # A double click shows the title bar: the view is no longer framed in silver.
        session.move(1500, 800)
        time.sleep(0.8)
        shot = session.screenshot()
        assert framed_in_silver(shot, view)
        assert not has_caption_bar(shot, 0, view[0], view[2])
        session.move(view[0] + 200, view[1] + 120)
        run("xdotool", "click", "--repeat", "2", "--delay", "80", "1")
        session.move(1500, 800)
        time.sleep(1.0)
        shot = session.screenshot()
        found = session.find_window(shot)
        assert found, "the window went missing after the double click"
        assert has_caption_bar(shot, 0, found[1][0], found[1][2]), "no title bar"
        assert not framed_in_silver(shot, found[0]), "still framed in silver"

        view = found[0]
        session.move(view[0] + 200, view[1] + 120)
        run("xdotool", "click", "--repeat", "2", "--delay", "80", "1")
        session.move(1500, 800)
        time.sleep(1.0)
        shot = session.screenshot()
        found = session.find_window(shot)
        assert found and framed_in_silver(shot, found[0]), "the silver frame did not come back"


if __name__ == "__main__":
    main(check_window_chrome)
