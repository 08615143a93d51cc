"""The test display as the user sees it: the stored pictures at their places,
the block moving at the set speed, the measured frame rate."""

import bisect
import statistics
import time

from harness import (
    DamageWatch,
    MainWindow,
    Pixels,
    XSession,
    case,
    check,
    check_pixels,
    main,
    reference_pictures,
    wait_until,
)

PRESET2_FOREGROUND = (183, 17, 29)
PRESET2_BUTTON = (672, 272, 121, 25)  # client rectangle of "Farbkombination 2"
SPEED_EDIT = (690, 44, 39, 21)  # client rectangle of the speed box
RATE_LABEL = (728, 476, 64, 20)  # client rectangle around the frame-rate caption
RATE_CAPTION_POINT = (730, 486)  # client point on the first digit of the frame rate
PRESET1_DISTANCE = (780, 252, 40, 20)  # client rectangle around "75" beside preset 1
BLOCK_ROW = 80  # area row inside the block band, where the ruler has no marks
BLOCK_WIDTH = 100  # pixels
DISTANCE = 75  # pixels, the default distance of the reference block
WRAP_LIMIT = DISTANCE + 740  # pixels: beyond it the block restarts at -100
FIRST_RATE_AFTER = 2.5  # seconds after the window shows; the first measured rate is in force
KEYS_ARRIVE = 0.25  # seconds for typed keys to reach the program
LOOK_EVERY = 0.25  # seconds between two looks at the moving block
LOOKS = 28  # over 7 s: a wrap hides the block for nearly 2 s of the 9 s it takes to cross
SPAN = 2.0  # seconds over which one speed is taken
SPEED_TOLERANCE = 0.05  # relative


def black(width, height):
    return Pixels(width, height, bytes(3 * width * height))


@case
def stored_pictures_are_shown_pixel_for_pixel():
    pictures = reference_pictures()
    scala = pictures["Scala"]
    kontrast = pictures["Kontrastbild"]
    with XSession() as s:
        win = MainWindow(s, s.start())

        def drawn():
            area = win.area_pixels()
            return area if area.crop(0, 300, 640, 180) == kontrast else None

        # The first frames may still be on their way; the picture then stands still
        # on every row the blocks do not cross.
        area = wait_until(drawn, 5, "the contrast strip to show")
        s.save_pixels(area, "area")
        # Rows 0..39 and 120..149: the ruler over the black background, where no
        # block can be (the blocks cover rows 40..119 only).
        check_pixels(s, area.crop(0, 0, 640, 10), black(640, 10), "background above the ruler")
        check_pixels(s, area.crop(0, 10, 640, 30), scala.crop(0, 0, 640, 30), "upper ruler")
        check_pixels(s, area.crop(0, 120, 640, 30), scala.crop(0, 110, 640, 30), "lower ruler")
        check_pixels(s, area.crop(0, 150, 640, 150), black(640, 150), "background without Muster")
        check_pixels(s, area.crop(0, 300, 640, 180), kontrast, "contrast strip")


def block_left(area, colour):
    """x of the block's left edge on the block row, or None while too little of
    it shows to tell (a part cut at an edge is placed by its other edge)."""
    columns = [x for x in range(area.width) if area.at(x, BLOCK_ROW) == colour]
    if not columns:
        return None
    first, last = columns[0], columns[-1]
    check(
        last - first < BLOCK_WIDTH,
        f"block colour over {first}..{last} on row {BLOCK_ROW}, wider than a block",
    )
    if first > 0:
        return first
    if last < area.width - 1:
        return last - (BLOCK_WIDTH - 1)
    return None


def block_track(win, colour, looks, every):
    """Looks at the block `looks` times, `every` seconds apart, and returns
    (time, x) of its left edge while it shows, counted on across wraps (after
    the wrap the block comes back WRAP_LIMIT + 100 further left)."""
    track = []
    offset = 0
    next_look = time.monotonic()
    for _ in range(looks):
        time.sleep(max(0.0, next_look - time.monotonic()))
        next_look += every
        area = win.area_pixels()
        x = block_left(area, colour)
        if x is None:
            continue
        if track and x + offset < track[-1][1] - 1:
            offset += WRAP_LIMIT + BLOCK_WIDTH
        track.append((area.taken, x + offset))
    return track


class FramePace:
    """What the program divides the speed by, frame by frame, worked out from
    the frames it presents and the moments its frame-rate caption changes.

    Each frame moves the block by speed / max(60, rate), the rate being the
    one measured over the previous one-second window. Without a vertical
    blank to pace them the frames come as fast as the machine allows, so the
    rate swings with the load, and with it the real speed. Counting the
    frames of each window tells which rate every frame used."""

    MIN_RATE = 60  # frames per second: lower measured rates count as this
    WINDOW = 1.05  # seconds, a measuring window with some slack

    def __init__(self, frames, caption_changes):
        self.frames = sorted(frames)
        # A caption change ends a window; windows whose rate equals the one
        # before change nothing and run together into one longer period.
        self.ends = []
        for t in sorted(caption_changes):
            if not self.ends or t - self.ends[-1] > 0.5:
                self.ends.append(t)
        self.rates = []  # frames per second of the period ending at ends[i]
        for i in range(1, len(self.ends)):
            start, end = self.ends[i - 1], self.ends[i]
            count = bisect.bisect_right(self.frames, end) - bisect.bisect_right(self.frames, start)
            self.rates.append(count / (end - start))

    def divisor(self, t):
        """The rate that the frame presented at t divided by, or None when no
        whole window before it was seen."""
        period = bisect.bisect_left(self.ends, t)  # ends[period - 1] < t <= ends[period]
        if period < 2:
            return None
        start = self.ends[period - 1]
        if period - 1 < len(self.rates) and t - start > self.WINDOW:
            # Later windows of a long period had the period's own rate.
            rate = self.rates[period - 1]
        else:
            rate = self.rates[period - 2]
        return max(self.MIN_RATE, rate)

    def advance(self, speed, t0, t1):
        """Pixels the block should move between two looks at t0 and t1."""
        first = bisect.bisect_right(self.frames, t0)
        last = bisect.bisect_right(self.frames, t1)
        total = 0.0
        for t in self.frames[first:last]:
            rate = self.divisor(t)
            if rate is None:
                return None
            total += speed / rate
        return total


def rate_caption_changes(watch, win):
    """Times at which the frame-rate caption was repainted."""
    x, y = win.point(*RATE_CAPTION_POINT)
    x -= win.geometry.x
    y -= win.geometry.y
    return [
        t
        for t, r in watch.changes(win.wid)
        if r.x <= x < r.x + r.width and r.y <= y < r.y + r.height
    ]


@case
def block_moves_at_the_set_speed():
    speed = 100  # pixels per second
    with XSession() as s:
        win = MainWindow(s, s.start())
        with DamageWatch(s, [win.area_id, win.wid]) as watch:
            # A red block on grey tells the coloured block from the white one.
            win.click_centre(*PRESET2_BUTTON)
            wait_until(
                lambda: block_left(win.area_pixels(), PRESET2_FOREGROUND) is not None,
                5,
                "the preset's red block",
            )
            win.click_centre(*SPEED_EDIT)
            s.key("ctrl+a")
            s.type(str(speed))
            # Looks from a moment later: the keys may still be on their way.
            typed = time.monotonic() + KEYS_ARRIVE
            track = [
                (t, x)
                for t, x in block_track(win, PRESET2_FOREGROUND, LOOKS, LOOK_EVERY)
                if t > typed
            ]
            watch.wait_past(track[-1][0] if track else time.monotonic())
            frames = [t for t, r in watch.changes(win.area_id) if (r.width, r.height) == (640, 480)]
            pace = FramePace(frames, rate_caption_changes(watch, win))

        ratios = []
        plain = []
        for i, (t0, x0) in enumerate(track):
            later = [(t, x) for t, x in track[i + 1 :] if t - t0 >= SPAN]
            if not later:
                break
            t1, x1 = later[0]
            expected = pace.advance(speed, t0, t1)
            if expected:
                ratios.append((x1 - x0) / expected)
                plain.append((x1 - x0) / (t1 - t0))
        check(
            len(ratios) >= 5,
            f"too few looks at the block to measure: {len(track)} looks {track}, "
            f"{len(pace.ends)} frame-rate windows",
        )
        measured = statistics.median(ratios)
        check(
            abs(measured - 1) <= SPEED_TOLERANCE,
            f"the block moved {measured:.3f} times the distance that {speed} px/s at the "
            f"measured frame rates give (median); each span: {[round(v, 3) for v in ratios]}; "
            f"px/s seen: {[round(v, 1) for v in plain]}; "
            f"frame rates: {[round(r) for r in pace.rates]}",
        )


def ink_columns(pixels):
    """Columns holding dark writing (the captions are dark on light grey)."""
    return [
        x
        for x in range(pixels.width)
        if any(sum(pixels.at(x, y)) < 3 * 128 for y in range(pixels.height))
    ]


@case
def frame_rate_is_shown():
    with XSession() as s:
        win = MainWindow(s, s.start())
        shown = time.monotonic()
        # "75" beside preset 1 is two digits in the same font: the measure of a digit.
        two_digits = ink_columns(win.client_pixels(*PRESET1_DISTANCE))
        check(two_digits, "no writing beside Farbkombination 1")
        digit = (two_digits[-1] - two_digits[0] + 2) / 2  # pixels per digit
        time.sleep(max(0.0, shown + FIRST_RATE_AFTER - time.monotonic()))
        caption = win.client_pixels(*RATE_LABEL)
        s.save_pixels(caption, "rate")
        # The start captions "Label7" and "0" are about five and one digits wide;
        # a measured rate (tens to thousands of frames per second) is 2 to 4 digits.
        ink = ink_columns(caption)
        digits = (ink[-1] - ink[0] + 2) / digit if ink else 0
        check(
            1.5 <= digits <= 4.5,
            f"the frame-rate caption is {digits:.1f} digits wide, not a rate of 2 to 4 digits",
        )


if __name__ == "__main__":
    main()
