"""Line glyphs drawn inside a square box: title-button faces, arrows and
check marks.  Coordinates are pixel edges: (bx, by) is the box's top-left
corner and s its side."""

from raster import Arc, Circle, Diff, Rect, Stroke, Union, outline


def close(bx, by, s, w):
    a = w / 2 + 0.25
    return Union(Stroke([(bx + a, by + a), (bx + s - a, by + s - a)], w),
                 Stroke([(bx + s - a, by + a), (bx + a, by + s - a)], w))


def maximize(bx, by, s, w):
    return outline(bx, by, bx + s, by + s, 0, w)


def restore(bx, by, s, w):
    k = round(s * 0.3)
    front = outline(bx, by + k, bx + s - k, by + s, 0, w)
    back = outline(bx + k, by, bx + s, by + s - k, 0, w)
    return Union(front, Diff(back, Rect(bx, by + k, bx + s - k, by + s)))


def minimize(bx, by, s, w):
    # One full row and a fraction above the box's bottom, like the edges
    # of the square.
    return Rect(bx + 1, by + s - 2, bx + s - 1, by + s - 2 + w)


def help_mark(bx, by, s, w):
    cx, cy, r = bx + s / 2, by + s * 0.3, s * 0.24
    end = (cx + r * 0.7071, cy + r * 0.7071)
    stem = Stroke([end, (cx, by + s * 0.6), (cx, by + s * 0.68)], w)
    dot = Circle(cx, by + s - w * 0.7, w * 0.7)
    return Union(Arc(cx, cy, r, 180, 405, w), stem, dot)


TITLE_FACES = {"CLOSE": close, "MAX": maximize, "NORM": restore, "MIN": minimize, "HELP": help_mark}


def chevron(direction, size=8, w=1.5):
    """An open arrow head pointing left, right, up or down, centred in the box."""
    c, d = size / 2, size * 0.3125
    left = [(c + d / 2 + 0.5, c - d), (c - d / 2 + 0.5, c), (c + d / 2 + 0.5, c + d)]
    if direction == "left":
        pts = left
    elif direction == "right":
        pts = [(size - x, y) for x, y in left]
    elif direction == "up":
        pts = [(y, x) for x, y in left]
    else:
        pts = [(y, size - x) for x, y in left]
    return Stroke(pts, w)


def check_mark(x0=0.0, y0=0.0, k=1.0, w=1.5):
    pts = [(2.5, 6.3), (5.0, 8.8), (9.5, 3.6)]
    return Stroke([(x0 + k * x, y0 + k * y) for x, y in pts], w)


def ring(cx, cy, r, w=1.0):
    """A circle's outline, w wide, inside radius r."""
    return Diff(Circle(cx, cy, r), Circle(cx, cy, r - w))


def indeterminate(size, side):
    """The filled square of a grayed (indeterminate) box, centred."""
    a = (size - side) / 2
    return Rect(a, a, a + side, a + side)


def dash(size, length, height):
    """The bar of a grayed radio button, centred."""
    x, y = (size - length) / 2, (size - height) / 2
    return Rect(x, y, x + length, y + height)
