"""Controls of the test panel seen on the screen: a colour preset and the
switch between scale mode and free mode."""

from harness import (
    MainWindow,
    Pixels,
    Timeout,
    XSession,
    case,
    check,
    check_equal,
    check_pixels,
    main,
    reference_pictures,
    wait_until,
)

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
RIM = (1, 1, 1)  # the marquee's outline
PRESET2_BACKGROUND = (67, 69, 68)
PRESET2_FOREGROUND = (183, 17, 29)
PRESET2_BUTTON = (672, 272, 121, 25)  # client rectangle of "Farbkombination 2"
SCALE_CHECK_BOX = (688, 168, 81, 17)  # client rectangle of "Pixel-Scala"
BLOCK_ROW = 80  # area row inside the block band, where the ruler has no marks
BLOCK_TOP = 40  # area row
BLOCK_HEIGHT = 80  # pixels
DISTANCE = 75  # pixels, the default distance of the reference block
MARQUEE_TOP = 430  # area row
MARQUEE_BELOW_BLOCKS = 440  # area row: even a block overshooting its floor stays above


def runs(row, colour):
    """(first, last) column of each run of colour in a list of pixels."""
    found = []
    start = None
    for x, pixel in enumerate(row + [None]):
        if pixel == colour and start is None:
            start = x
        elif pixel != colour and start is not None:
            found.append((start, x - 1))
            start = None
    return found


def red_caption(pixels):
    """Whether a button shows red writing (anti-aliased edges aside)."""
    return any(
        r >= 200 and g <= 60 and b <= 60
        for y in range(pixels.height)
        for r, g, b in (pixels.at(x, y) for x in range(pixels.width))
    )


@case
def colour_preset_2_colours_the_display():
    with XSession() as s:
        win = MainWindow(s, s.start())
        check(not red_caption(win.client_pixels(*PRESET2_BUTTON)), "a red caption before the click")
        win.click_centre(*PRESET2_BUTTON)

        def both_blocks_on_row():
            area = win.area_pixels()
            row = area.row(BLOCK_ROW)
            coloured = runs(row, PRESET2_FOREGROUND)
            white = runs(row, WHITE)
            if len(coloured) == 1 and len(white) == 1 and white[0][1] < coloured[0][0] > 0:
                return area, coloured[0], white[0]
            return None

        # The blocks run across the area; wait for a frame that shows the gap.
        area, coloured, white = wait_until(both_blocks_on_row, 5, "both blocks side by side")
        s.save_pixels(area, "area")
        row = area.row(BLOCK_ROW)
        others = {p for p in row if p not in (PRESET2_BACKGROUND, PRESET2_FOREGROUND, WHITE)}
        check(not others, f"row {BLOCK_ROW} holds colours besides background and blocks: {others}")
        check_equal(coloured[0] - white[1] - 1, DISTANCE, "background columns between the blocks")
        left = coloured[0]
        column = [area.at(left, y) for y in range(area.height)]
        check_equal(
            [y for y, p in enumerate(column) if p == PRESET2_FOREGROUND],
            list(range(BLOCK_TOP, BLOCK_TOP + BLOCK_HEIGHT)),
            f"rows of the coloured block at x {left}",
        )
        check_pixels(
            s,
            area.crop(0, 150, 640, 150),
            Pixels(640, 150, bytes(PRESET2_BACKGROUND) * 640 * 150),
            "background between ruler and contrast strip",
        )
        wait_until(
            lambda: red_caption(win.client_pixels(*PRESET2_BUTTON)),
            5,
            "a red caption on the button",
        )


def without_ruler(area):
    """Fails when the upper ruler shows: on its rows (with the labels and the
    baseline) white may only be the block, one run of at most 100 columns."""
    for y in range(13, 29):
        white = runs(area.row(y), WHITE)
        check(
            len(white) <= 1 and all(last - first < 100 for first, last in white),
            f"white marks on area row {y} in free mode: {white}",
        )


def marquee_at(area, marquee):
    """x at which the marquee is drawn in the area, from its first or last
    visible column, or None when none of it shows."""
    top = MARQUEE_BELOW_BLOCKS - MARQUEE_TOP
    strip = area.crop(0, MARQUEE_BELOW_BLOCKS, area.width, area.height - MARQUEE_BELOW_BLOCKS)
    columns = [
        x for x in range(strip.width) if any(strip.at(x, y) != BLACK for y in range(strip.height))
    ]
    if not columns:
        return None
    ink = [
        x
        for x in range(marquee.width)
        if any(marquee.at(x, y) != BLACK for y in range(top, marquee.height))
    ]
    if columns[0] > 0:
        return columns[0] - ink[0]
    return columns[-1] - ink[-1]


def expected_marquee(marquee, x, width):
    """The marquee strip drawn at x over black, cut to the area's width."""
    rows = []
    for y in range(marquee.height):
        row = bytearray(3 * width)
        for mx in range(max(0, -x), min(marquee.width, width - x)):
            row[3 * (x + mx) : 3 * (x + mx) + 3] = bytes(marquee.at(mx, y))
        rows.append(bytes(row))
    return Pixels(width, marquee.height, b"".join(rows))


@case
def pixel_scale_switches_to_free_mode_and_back():
    pictures = reference_pictures()
    scala = pictures["Scala"]
    marquee = pictures["Laufschrift"]
    with XSession() as s:
        win = MainWindow(s, s.start())
        wait_until(
            lambda: win.area_pixels().crop(0, 10, 640, 30) == scala.crop(0, 0, 640, 30),
            5,
            "the ruler in scale mode",
        )
        win.click_centre(*SCALE_CHECK_BOX)

        def marquee_shown():
            area = win.area_pixels()
            x = marquee_at(area, marquee)
            if x is None or not (0 <= x and x + marquee.width <= area.width):
                return None  # only a marquee wholly inside tells its place for sure
            strip = area.crop(0, MARQUEE_BELOW_BLOCKS, 640, 480 - MARQUEE_BELOW_BLOCKS)
            expected = expected_marquee(marquee, x, 640).crop(
                0, MARQUEE_BELOW_BLOCKS - MARQUEE_TOP, 640, 480 - MARQUEE_BELOW_BLOCKS
            )
            return (area, x) if strip == expected else None

        # From its start at x = 500 the marquee needs about 0.3 s at 600 px/s to
        # show whole; it is whole on screen for 0.6 s of every 1.6 s.
        try:
            area, x = wait_until(marquee_shown, 5, "the marquee along the bottom, pixel for pixel")
        except Timeout:
            last = win.area_pixels()
            s.save_pixels(last, "free-mode")
            raise
        s.save_pixels(area, "free-mode")
        without_ruler(area)
        colours = {area.at(x_, y) for y in range(0, MARQUEE_TOP) for x_ in range(area.width)}
        check(
            colours <= {BLACK, WHITE},
            f"free mode above the marquee shows {colours - {BLACK, WHITE}}",
        )
        check(
            any(area.at(x_, y) == RIM for y in range(MARQUEE_TOP, 480) for x_ in range(640)),
            "the marquee has no near-black rim",
        )
        first = win.area_pixels()
        wait_until(lambda: win.area_pixels() != first, 3, "the free-mode picture to move")
        without_ruler(win.area_pixels())

        win.click_centre(*SCALE_CHECK_BOX)
        wait_until(
            lambda: win.area_pixels().crop(0, 10, 640, 30) == scala.crop(0, 0, 640, 30),
            5,
            "the ruler to come back",
        )


if __name__ == "__main__":
    main()
