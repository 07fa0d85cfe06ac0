"""The product's artwork, drawn from a few shapes so any size can be rendered.

Coordinates are in units of the image side, x to the right and y downwards.
"""
import math

PAGES = (244, 241, 232)
PAGE_EDGE = (196, 190, 176)
COVER_TOP = (66, 133, 222)
COVER_BOTTOM = (26, 74, 150)
SPINE = (20, 58, 120)
RIBBON = (242, 182, 50)
MARK = (255, 255, 255)


def _in_round_rect(x, y, x0, y0, x1, y1, r):
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def _near_segment(x, y, ax, ay, bx, by, radius):
    dx, dy = bx - ax, by - ay
    t = ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)
    t = min(max(t, 0.0), 1.0)
    px, py = ax + t * dx, ay + t * dy
    return (x - px) ** 2 + (y - py) ** 2 <= radius * radius


class Question:
    """A question mark: an arc over the top, a stem and a dot."""

    def __init__(self, cx, cy, r, stroke):
        self.cx, self.cy, self.r, self.half = cx, cy, r, stroke / 2
        self.start, self.end = math.radians(200), math.radians(-55)
        self.ex = cx + r * math.cos(self.end)
        self.ey = cy - r * math.sin(self.end)
        self.sx = cx + r * math.cos(self.start)
        self.sy = cy - r * math.sin(self.start)
        self.stem_end = (cx, cy + r * 1.55)
        self.dot = (cx, cy + r * 2.25, stroke * 0.72)

    def contains(self, x, y):
        dx, dy = x - self.cx, self.cy - y
        d = math.hypot(dx, dy)
        if abs(d - self.r) <= self.half:
            a = math.atan2(dy, dx)
            if a < self.end:
                a += 2 * math.pi
            if self.end <= a <= self.start:
                return True
        h2 = self.half * self.half
        if (x - self.sx) ** 2 + (y - self.sy) ** 2 <= h2:
            return True
        if _near_segment(x, y, self.ex, self.ey, *self.stem_end, self.half):
            return True
        dx0, dy0, dr = self.dot
        return (x - dx0) ** 2 + (y - dy0) ** 2 <= dr * dr


def colour_at(x, y, stroke):
    """The artwork's colour at a point, or None where it is background."""
    cover = (0.08, 0.05, 0.84, 0.88, 0.07)
    if _in_round_rect(x, y, *cover):
        # Ribbon hanging from the top edge, with a notch at its end.
        if 0.66 <= x <= 0.76 and y <= 0.34 - (0.05 - abs(x - 0.71)):
            return RIBBON
        if Question(0.47, 0.33, 0.15, stroke).contains(x, y):
            return MARK
        if x <= 0.19:
            return SPINE
        t = (y - 0.05) / 0.83
        return tuple(round(a + (b - a) * t) for a, b in zip(COVER_TOP, COVER_BOTTOM))
    if _in_round_rect(x, y, 0.16, 0.10, 0.92, 0.94, 0.06):
        # The pages' edges show as fine lines along the right and the bottom.
        edge = (x > 0.84 and int(x * 60) % 2 == 0) or (y > 0.88 and int(y * 60) % 2 == 0)
        return PAGE_EDGE if edge else PAGES
    return None


def render(size, samples=4, stroke=None):
    """RGBA rows (top-down) of the artwork at `size` pixels, supersampled."""
    if stroke is None:
        stroke = 0.075 if size >= 32 else 0.11
    rows = []
    n = samples * samples
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = hits = 0
            for sy in range(samples):
                for sx in range(samples):
                    c = colour_at((px + (sx + 0.5) / samples) / size,
                                  (py + (sy + 0.5) / samples) / size, stroke)
                    if c is not None:
                        r += c[0]
                        g += c[1]
                        b += c[2]
                        hits += 1
            if hits:
                row.append((round(r / hits), round(g / hits), round(b / hits),
                            round(255 * hits / n)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows
