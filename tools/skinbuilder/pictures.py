"""The library's own pictures, linked into the program as PNG resources:
the two shadow templates of extended borders, the five button glyphs and
the gauge's light band.  Each is (width, height, rows of (r, g, b, a))."""

import math

import palette as P
from raster import Canvas, Circle, Rect, RoundRect, Stroke, Union, coverage, outline

STROKE = 1.5


def _rows(canvas):
    return [[canvas.rgba(x, y) for x in range(canvas.w)] for y in range(canvas.h)]


# --- shadow templates -----------------------------------------------------

SHADOW_SIZE = 64
SHADOW_SIGMA = 4.0
# The window's edges inside the template (left, top, right, bottom), the
# shadow itself lying 2 pixels lower.
SHADOW_EDGES = (11, 7, 11, 11)
SHADOW_DROP = 2


def _gauss_kernel(sigma):
    radius = int(math.ceil(3 * sigma))
    k = [math.exp(-(i * i) / (2 * sigma * sigma)) for i in range(-radius, radius + 1)]
    total = sum(k)
    return radius, [v / total for v in k]


def _blur(grid, sigma):
    n = len(grid)
    radius, k = _gauss_kernel(sigma)

    def line(values):
        return [sum(k[j + radius] * values[i + j] for j in range(-radius, radius + 1)
                    if 0 <= i + j < n) for i in range(n)]
    rows = [line(r) for r in grid]
    cols = [line([rows[y][x] for y in range(n)]) for x in range(n)]
    return [[cols[x][y] for x in range(n)] for y in range(n)]


def shadow(peak):
    """Black; alpha is the blurred cover of the window's rounded rectangle,
    held at its peak inside the rectangle so the frame sits on solid shade."""
    n = SHADOW_SIZE
    left, top, right, bottom = SHADOW_EDGES
    shape = RoundRect(left, top + SHADOW_DROP, n - right, n - bottom + SHADOW_DROP, 4)
    cover = [[coverage(shape, x, y) for x in range(n)] for y in range(n)]
    blurred = _blur(cover, SHADOW_SIGMA)
    rows = []
    for y in range(n):
        row = []
        for x in range(n):
            level = max(cover[y][x], min(1.0, 2 * blurred[y][x]))
            row.append((0, 0, 0, int(peak * level + 0.5)))
        rows.append(row)
    return n, n, rows


# --- button glyphs (three 16 x 16 frames: normal, hot, pressed) ------------

def _page():
    body = Stroke([(3.5, 1.75), (9.25, 1.75), (12.5, 5.0), (12.5, 14.25), (3.5, 14.25)],
                  STROKE, closed=True)
    fold = Stroke([(9.25, 1.75), (9.25, 5.0), (12.5, 5.0)], STROKE)
    return Union(body, fold)


def _folder():
    return Stroke([(1.75, 3.25), (6.0, 3.25), (7.5, 5.0), (14.25, 5.0), (14.25, 13.25),
                   (1.75, 13.25)], STROKE, closed=True)


def _calendar():
    parts = [outline(1.5, 3.0, 14.5, 14.5, 1.5, STROKE),
             Rect(1.5, 6.0, 14.5, 7.25),
             Stroke([(5.0, 1.5), (5.0, 4.0)], STROKE), Stroke([(11.0, 1.5), (11.0, 4.0)], STROKE)]
    parts += [Circle(cx, cy, 0.9) for cy in (9.5, 12.0) for cx in (5.0, 8.0, 11.0)]
    return Union(*parts)


def _dots():
    return Union(*[Circle(cx, 8.5, 1.5) for cx in (3.5, 8.0, 12.5)])


def _calculator():
    parts = [outline(2.5, 1.0, 13.5, 15.0, 1.5, STROKE),
             Rect(5.0, 3.75, 11.0, 6.25)]
    parts += [Circle(cx, cy, 0.95) for cy in (9.25, 12.25) for cx in (5.5, 8.0, 10.5)]
    return Union(*parts)


GLYPHS = {"SF": _page, "SR": _folder, "SD": _calendar, "SE": _dots, "SC": _calculator}


def button_glyph(name):
    shape = GLYPHS[name]()
    c = Canvas(48, 16)
    for i, colour in enumerate(P.GLYPH_FRAMES):
        frame = Canvas(16, 16)
        frame.fill(shape, colour)
        c.blit(frame, 16 * i, 0)
    return 48, 16, _rows(c)


# --- gauge light band -------------------------------------------------------

def light_band():
    """White; alpha = h(x) * v(y): nothing in the outer fifths, a cosine rise
    to the middle, about 140 at the top and bottom rows and 90 between."""
    w, h = 60, 20
    x0, x1 = 12, 48
    rows = []
    for y in range(h):
        t = (y + 0.5 - h / 2) / (h / 2 - 0.5)
        v = 90 + 50 * t * t
        row = []
        for x in range(w):
            hx = 0.0
            if x0 <= x < x1:
                hx = 0.5 - 0.5 * math.cos(2 * math.pi * (x + 0.5 - x0) / (x1 - x0))
            row.append((255, 255, 255, int(hx * v + 0.5)))
        rows.append(row)
    return w, h, rows


def all_pictures():
    """Resource name -> (width, height, rows)."""
    pics = {"KVSHDA": shadow(96), "KVSHDI": shadow(48)}
    for name in ("SF", "SR", "SD", "SE", "SC"):
        pics[name] = button_glyph(name)
    pics["KVGL"] = light_band()
    return pics
