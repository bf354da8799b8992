"""The pointer image is the system's own drawing of the cursor, whether the system drew it for
that paint or the program applied what it learnt from the system's drawings."""

import time

from lupenta_e2e import Session, main, private_copy


def pointer_pixels(shot, view):
    """How many pixels of the view are pure black or pure white: the arrow's outline and body,
    which the test pattern never shows."""
    pixels = shot.load()
    return sum(pixels[x, y] in ((0, 0, 0), (255, 255, 255))
               for x in range(view[0], view[2]) for y in range(view[1], view[3]))


def check_pointer_image(exe, pattern):
    pointer = (300, 250)
    with Session(private_copy(exe), pattern) as session:
        session.start_lupenta()
        view, _ = session.find_window()
        session.move(*pointer)
        time.sleep(1.2)

        # A new zoom puts the image in a new place, where the next few paints have the system
        # draw it.
        session.move((view[0] + view[2]) // 2, view[1] + 40)
        session.click(4)
        session.move(*pointer)
        time.sleep(1.2)
        drawn = session.screenshot().crop(view)
        assert pointer_pixels(drawn, (0, 0) + drawn.size) > 50, "no pointer image in the view"

        # The view follows the pointer and the image stays in place: after this many paints
        # the program draws it from what it learnt.
        for step in range(1, 25):
            session.move(pointer[0] + step, pointer[1] + step % 3)
            time.sleep(0.08)
        session.move(*pointer)
        time.sleep(1.2)
        applied = session.screenshot().crop(view)
        pixels_drawn, pixels_applied = drawn.load(), applied.load()
        differ = [(x, y) for x in range(drawn.size[0]) for y in range(drawn.size[1])
                  if pixels_drawn[x, y] != pixels_applied[x, y]]
        assert not differ, "%d pixels of the view differ, first at %s: %s then %s" % (
            len(differ), differ[0], pixels_drawn[differ[0]], pixels_applied[differ[0]])


if __name__ == "__main__":
    main(check_pointer_image)
