"""Shapes and a small RGBA canvas.  Every pixel is sampled 4 x 4, so edges
are soft yet the result is exact rational coverage: the same input always
gives the same bytes."""

import math

SUB = 4
SAMPLES = [(i + 0.5) / SUB for i in range(SUB)]


def rgb(hex_text):
    """'#1E2B3A' -> (0x1E, 0x2B, 0x3A)."""
    v = int(hex_text.lstrip("#"), 16)
    return ((v >> 16) & 255, (v >> 8) & 255, v & 255)


def tcolor(colour):
    """The Windows colour value of an (r, g, b) colour: red in the low byte."""
    r, g, b = colour
    return r | (g << 8) | (b << 16)


# --- shapes: inside(x, y) on real coordinates and a bounding box ---------

class Shape:
    box = (0.0, 0.0, 0.0, 0.0)

    def inside(self, x, y):
        raise NotImplementedError


class Rect(Shape):
    def __init__(self, x0, y0, x1, y1):
        self.box = (x0, y0, x1, y1)

    def inside(self, x, y):
        x0, y0, x1, y1 = self.box
        return x0 <= x < x1 and y0 <= y < y1


class RoundRect(Shape):
    """A rectangle with rounded corners; top_only leaves the bottom ones square."""

    def __init__(self, x0, y0, x1, y1, r, top_only=False):
        self.box = (x0, y0, x1, y1)
        self.r = max(0.0, min(r, (x1 - x0) / 2, (y1 - y0) / 2))
        self.top_only = top_only

    def inside(self, x, y):
        x0, y0, x1, y1 = self.box
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        r = self.r
        if r <= 0:
            return True
        cx = x0 + r if x < x0 + r else (x1 - r if x > x1 - r else x)
        if y < y0 + r:
            cy = y0 + r
        elif y > y1 - r and not self.top_only:
            cy = y1 - r
        else:
            cy = y
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


class Circle(Shape):
    def __init__(self, cx, cy, r):
        self.c = (cx, cy, r)
        self.box = (cx - r, cy - r, cx + r, cy + r)

    def inside(self, x, y):
        cx, cy, r = self.c
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def _segment_distance2(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    qx, qy = ax + t * dx - px, ay + t * dy - py
    return qx * qx + qy * qy


class Stroke(Shape):
    """A polyline drawn with a round pen of the given width."""

    def __init__(self, points, width, closed=False):
        self.points = list(points) + ([points[0]] if closed else [])
        self.half2 = (width / 2) ** 2
        h = width / 2
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        self.box = (min(xs) - h, min(ys) - h, max(xs) + h, max(ys) + h)

    def inside(self, x, y):
        pts = self.points
        for i in range(len(pts) - 1):
            if _segment_distance2(x, y, *pts[i], *pts[i + 1]) <= self.half2:
                return True
        return len(pts) == 1 and _segment_distance2(x, y, *pts[0], *pts[0]) <= self.half2


class Arc(Shape):
    """Part of a circle's outline from angle a0 to a1 (degrees, clockwise on
    screen, 0 = pointing right), with round ends."""

    def __init__(self, cx, cy, r, a0, a1, width):
        self.c = (cx, cy, r)
        self.a = (a0, a1)
        self.h = width / 2
        self.ends = [(cx + r * math.cos(math.radians(a)), cy + r * math.sin(math.radians(a)))
                     for a in (a0, a1)]
        self.box = (cx - r - self.h, cy - r - self.h, cx + r + self.h, cy + r + self.h)

    def inside(self, x, y):
        cx, cy, r = self.c
        if abs(math.hypot(x - cx, y - cy) - r) <= self.h:
            angle = math.degrees(math.atan2(y - cy, x - cx))
            a0, a1 = self.a
            while angle < a0:
                angle += 360
            if angle <= a1:
                return True
        return any((x - ex) ** 2 + (y - ey) ** 2 <= self.h ** 2 for ex, ey in self.ends)


class Union(Shape):
    def __init__(self, *shapes):
        self.shapes = shapes
        self.box = (min(s.box[0] for s in shapes), min(s.box[1] for s in shapes),
                    max(s.box[2] for s in shapes), max(s.box[3] for s in shapes))

    def inside(self, x, y):
        return any(s.inside(x, y) for s in self.shapes)


class Diff(Shape):
    def __init__(self, a, b):
        self.a, self.b = a, b
        self.box = a.box

    def inside(self, x, y):
        return self.a.inside(x, y) and not self.b.inside(x, y)


def outline(x0, y0, x1, y1, r, width=1.0, top_only=False):
    """The ring of a rounded rectangle, `width` pixels wide, inside its edge;
    top_only leaves the bottom open and its corners square."""
    outer = RoundRect(x0, y0, x1, y1, r, top_only)
    bottom = y1 + width if top_only else y1 - width
    inner = RoundRect(x0 + width, y0 + width, x1 - width, bottom, max(0.0, r - width), top_only)
    return Diff(outer, inner)


def coverage(shape, px, py):
    """Share of the pixel (px, py) inside the shape, in steps of 1/16."""
    n = 0
    for sy in SAMPLES:
        for sx in SAMPLES:
            if shape.inside(px + sx, py + sy):
                n += 1
    return n / (SUB * SUB)


# --- canvas --------------------------------------------------------------

class Canvas:
    """Premultiplied RGBA, channels 0..255 as floats, alpha 0..1."""

    def __init__(self, width, height):
        self.w, self.h = width, height
        self.px = [[(0.0, 0.0, 0.0, 0.0) for _ in range(width)] for _ in range(height)]
        self.key = [[False] * width for _ in range(height)]

    def _pixels_of(self, shape):
        x0, y0, x1, y1 = shape.box
        for py in range(max(0, int(math.floor(y0))), min(self.h, int(math.ceil(y1)) + 1)):
            for px in range(max(0, int(math.floor(x0))), min(self.w, int(math.ceil(x1)) + 1)):
                yield px, py

    def fill(self, shape, colour, opacity=1.0):
        """Lays the shape over the canvas in `colour` at `opacity`."""
        r, g, b = colour
        for px, py in self._pixels_of(shape):
            a = opacity * coverage(shape, px, py)
            if a > 0:
                dr, dg, db, da = self.px[py][px]
                k = 1 - a
                self.px[py][px] = (r * a + dr * k, g * a + dg * k, b * a + db * k, a + da * k)

    def cut_outside(self, shape, x0, y0, x1, y1):
        """Marks the pixels of (x0, y0)-(x1, y1) whose centre lies outside the
        shape as holes: they get the key colour and show what lies behind."""
        for py in range(max(0, y0), min(self.h, y1)):
            for px in range(max(0, x0), min(self.w, x1)):
                if not shape.inside(px + 0.5, py + 0.5):
                    self.key[py][px] = True
                    self.px[py][px] = (0.0, 0.0, 0.0, 0.0)

    def blit(self, other, dx, dy):
        """Copies another canvas in, holes included."""
        for y in range(other.h):
            for x in range(other.w):
                if 0 <= x + dx < self.w and 0 <= y + dy < self.h:
                    self.px[y + dy][x + dx] = other.px[y][x]
                    self.key[y + dy][x + dx] = other.key[y][x]

    def rgba(self, x, y):
        """The pixel as straight 8-bit (r, g, b, a); (0, 0, 0, 0) where nothing is."""
        r, g, b, a = self.px[y][x]
        alpha = _byte(255 * a)
        if alpha == 0:
            return (0, 0, 0, 0)
        return (_byte(r / a), _byte(g / a), _byte(b / a), alpha)


def _byte(v):
    return max(0, min(255, int(v + 0.5)))
