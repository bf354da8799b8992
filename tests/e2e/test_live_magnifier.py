"""The magnifier shows the screen around the pointer, enlarged twice, exact to the pixel."""

import subprocess
import time

from lupenta_e2e import SILVER, Session, main, private_copy, tile_colour


def check_live_view(exe, pattern):
    with Session(private_copy(exe), pattern) as session:
        session.start_lupenta()
        ids = session.window_ids()
        title = subprocess.run(["xdotool", "getwindowname", ids[0]], capture_output=True,
                               text=True).stdout.strip()
        assert title == "Lupenta 1.0", "the caption reads %r" % title
        pointer = (300, 250)
        session.move(*pointer)
        time.sleep(1.5)
        shot = session.screenshot()
        found = session.find_window(shot)
        assert found, "no magnifier window on screen"
        (left, top, right, bottom), panel = found
        width, height = right - left, bottom - top
        assert panel[3] - panel[1] == 29, "panel height %d" % (panel[3] - panel[1])

        zoom = 2
        screen_left = pointer[0] - (width // zoom) // 2
        screen_top = pointer[1] - (height // zoom) // 2
        pixels = shot.load()
        # Away from the frame and from the hot cell, where the pointer image is drawn.
        checked = wrong = 0
        for vy in range(2, height - 2, 3):
            for vx in range(2, width - 2, 3):
                if abs(vx - width // 2) < 70 and abs(vy - height // 2) < 70:
                    continue
                checked += 1
                expected = tile_colour(screen_left + vx // zoom, screen_top + vy // zoom)
                if pixels[left + vx, top + vy] != expected:
                    wrong += 1
        assert checked > 5000, "only %d pixels checked" % checked
        assert wrong == 0, "%d of %d magnified pixels differ from the screen" % (wrong, checked)
        assert all(pixels[left + x, top] == SILVER for x in range(width)), "no silver frame"

        # The view is live: moving the pointer moves the image.
        session.move(600, 500)
        time.sleep(1.0)
        shot = session.screenshot()
        pixels = shot.load()
        expected = tile_colour(600 - (width // zoom) // 2 + 5, 500 - (height // zoom) // 2 + 5)
        assert pixels[left + 10, top + 10] == expected, "the view did not follow the pointer"


if __name__ == "__main__":
    main(check_live_view)
