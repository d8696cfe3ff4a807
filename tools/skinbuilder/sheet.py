"""The skin sheet: one PNG that shows the skin without running the viewer.
At the top two sample windows (active and inactive) painted from the
description and the atlas the way the painters combine them: section fill,
then the border's nine pieces through their masks, holes showing what lies
behind.  Below, every image of the atlas by name (its frames over the
section's fill, then the raw region, picture above mask), and the library's
pictures over a checkerboard."""

import font
import imagefiles
import palette as P
from raster import rgb

BACKGROUND = rgb("#FFFFFF")
DESKTOP = rgb("#3E4852")
LABEL = rgb("#1E2B3A")
FAINT_LABEL = rgb("#7A8794")
CHECKER = (rgb("#D2D7DD"), rgb("#B9C1CA"))
# White pictures (the light band) are seen over a dark checkerboard.
DARK_CHECKER = (rgb("#4A5560"), rgb("#3E4852"))
SYS_BORDER = 4
# The glyphs of check boxes and radio buttons, seen over a form.
CHECK_GLYPHS = ("BOXUNCHECKED", "BOXCHECKED", "BOXGRAYED", "RADIOUNCHECKED", "RADIOCHECKED",
                "RADIOGRAYED", "SMALLUNCHECKED", "SMALLCHECKED", "SMALLGRAYED")
CAPTION = 19


class Pixels:
    def __init__(self, w, h, colour):
        self.w, self.h = w, h
        self.rows = [[colour] * w for _ in range(h)]

    def get(self, x, y):
        return self.rows[y][x]

    def put(self, x, y, colour):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.rows[y][x] = colour

    def fill(self, x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                self.rows[y][x] = colour

    def copy(self, x0, y0, x1, y1):
        return [row[x0:x1] for row in self.rows[y0:y1]]

    def blit(self, other, x, y, zoom=1):
        for sy in range(other.h * zoom):
            for sx in range(other.w * zoom):
                self.put(x + sx, y + sy, other.rows[sy // zoom][sx // zoom])

    def text(self, x, y, s, colour, scale=1):
        font.draw(lambda px, py: self.put(px, py, colour), x, y, s, scale)


def colour_of(value):
    v = int(value)
    return (v & 255, (v >> 8) & 255, (v >> 16) & 255)


class Skin:
    """The written description and the drawn images, read back the way the
    painters read them."""

    def __init__(self, sections, images):
        self.sections = {name: dict(keys) for name, keys in sections}
        self.images = images

    def value(self, section, key, default=None):
        seen = set()
        while section in self.sections and section not in seen:
            seen.add(section)
            keys = self.sections[section]
            if key in keys:
                return keys[key]
            section = keys.get("PARENTCLASS")
        return default

    def image(self, section, key):
        seen = set()
        while section in self.sections and section not in seen:
            seen.add(section)
            if (section, key) in self.images:
                return self.images[(section, key)]
            section = self.sections[section].get("PARENTCLASS")
        return None


def blend(d, s, m):
    """The painters' mask formula for one channel."""
    return ((d - s) * m + s * 256) >> 8


def lay(px, x, y, pic, mask):
    d = px.get(x, y)
    px.put(x, y, tuple(blend(d[c], pic[c], mask[c]) for c in range(3)))


def fill_section(px, rect, skin, section, state):
    x0, y0, x1, y1 = rect
    hot = "HOT" if state else ""
    if int(skin.value(section, hot + "TRANSPARENCY", "0")) == 100:
        return
    grad = skin.value(section, hot + "GRADIENTDATA")
    if grad and int(skin.value(section, hot + "GRADIENTPERCENT", "0")) >= 100:
        top, bottom = (colour_of(v) for v in grad.split(";")[:2])
        n = max(1, y1 - y0 - 1)
        for y in range(y0, y1):
            t = (y - y0) / n
            c = tuple(round(top[i] + (bottom[i] - top[i]) * t) for i in range(3))
            px.fill(x0, y, x1, y + 1, c)
        return
    px.fill(x0, y0, x1, y1, colour_of(skin.value(section, hot + "COLOR", "16777215")))


def _piece(pos, size, near, far, middle):
    """Source column (or row) for a destination offset along one axis."""
    if pos < near:
        return pos
    if size - pos <= far:
        return near + middle + far - (size - pos)
    return None if middle == 0 else near + (pos - near) % middle


def nine_piece(px, rect, im, state, filling, behind):
    """A border image over rect: corners, tiled sides, the centre when asked."""
    if state == 0 and im.draw_mode & 2:
        return
    x0, y0, x1, y1 = rect
    w, h = x1 - x0, y1 - y0
    wl, wt, wr, wb = im.borders
    if w < wl + wr:
        d = (wl + wr - w) // 2
        wl, wr = max(0, wl - d), max(0, wr - d - (w & 1))
    if h < wt + wb:
        d = (wt + wb - h) // 2
        wt, wb = max(0, wt - d), max(0, wb - d - (h & 1))
    mw, mh = max(0, im.fw - wl - wr), max(0, im.fh - wt - wb)
    frame = min(state, im.frames - 1) * im.fw
    for y in range(h):
        sy = _piece(y, h, wt, wb, mh)
        for x in range(w):
            sx = _piece(x, w, wl, wr, mw)
            if sx is None or sy is None:
                continue
            centre = wl <= sx < wl + mw and wt <= sy < wt + mh
            if centre and not (filling and im.draw_mode & 4):
                continue
            pic, mask = im.picture_and_mask(frame + sx, sy)
            if pic == P.KEY:
                px.put(x0 + x, y0 + y, behind[y][x])
            else:
                lay(px, x0 + x, y0 + y, pic, mask)


def paint_item(px, rect, skin, section, state, filling=True):
    behind = px.copy(*rect)
    fill_section(px, rect, skin, section, state)
    im = skin.image(section, "BORDERSMASK")
    if im:
        nine_piece(px, rect, im, state, filling, behind)


def glyph(px, x, y, im, state, faint=False):
    """One frame of a glyph image; faint raises every mask byte by 100."""
    frame = min(state, im.frames - 1) * im.fw
    for gy in range(im.fh):
        for gx in range(im.fw):
            pic, mask = im.picture_and_mask(frame + gx, gy)
            if pic == P.KEY:
                continue
            if faint:
                mask = tuple(255 if m > 154 else m + 100 for m in mask)
            lay(px, x + gx, y + gy, pic, mask)


def centred_glyph(px, rect, im, state):
    x0, y0, x1, y1 = rect
    glyph(px, x0 + (x1 - x0 - im.fw) // 2, y0 + (y1 - y0 - im.fh) // 2, im, state)


# --- sample windows ----------------------------------------------------------

def title_bar(px, skin, w, active, caption):
    state = 1 if active else 0
    bottom = SYS_BORDER + CAPTION
    paint_item(px, (0, 0, w, bottom), skin, "FORMTITLE", state)
    colour = colour_of(skin.value("FORMTITLE", "HOTFONTCOLOR" if active else "FONTCOLOR"))
    left = SYS_BORDER + int(skin.value("GLOBALINFO", "BILEFT")) + 4
    px.text(left, (bottom - font.HEIGHT) // 2 + 1, caption, colour)
    x = w - int(skin.value("GLOBALINFO", "BIRIGHT")) - SYS_BORDER
    for face, hot in (("BICONCLOSE", active), ("BICONMAX", False), ("BICONMIN", False)):
        im = skin.images[("GLOBALINFO", face)]
        x -= im.fw
        top = (bottom - im.fh) // 2
        glyph(px, x, top, im, 1 if hot else 0, faint=not active)
        x -= int(skin.value("GLOBALINFO", "BISPACE"))


def push_buttons(px, skin, y):
    for i, label in enumerate(("OPEN", "SAVE", "CANCEL")):
        rect = (16 + i * 84, y, 16 + i * 84 + 75, y + 25)
        paint_item(px, rect, skin, "BUTTON", i)
        colour = colour_of(skin.value("BUTTON", "HOTFONTCOLOR" if i else "FONTCOLOR"))
        px.text(rect[0] + (75 - font.width(label)) // 2, y + 9 + (1 if i == 2 else 0), label, colour)


def scroll_bars(px, skin, client):
    x0, y0, x1, y1 = client
    size = 17
    # horizontal: left button normal, thumb hot, right button hot
    hy = y1 - size
    paint_item(px, (x0, hy, (x0 + x1 - size) // 2, y1), skin, "SCROLLBAR1H", 0)
    paint_item(px, ((x0 + x1 - size) // 2, hy, x1 - size, y1), skin, "SCROLLBAR2H", 0)
    for rect, section, state in (((x0, hy, x0 + size, y1), "SCROLLBTNLEFT", 0),
                                 ((x1 - 2 * size, hy, x1 - size, y1), "SCROLLBTNRIGHT", 1)):
        paint_item(px, rect, skin, section, state)
        centred_glyph(px, rect, skin.image(section, "GLYPHMASK"), state)
    paint_item(px, (x0 + 60, hy, x0 + 120, y1), skin, "SCROLLSLIDERH", 1)
    # vertical: top button pressed, thumb pressed, bottom button normal
    vx = x1 - size
    paint_item(px, (vx, y0, x1, hy), skin, "SCROLLBAR1V", 0)
    for rect, section, state in (((vx, y0, x1, y0 + size), "SCROLLBTNTOP", 2),
                                 ((vx, hy - size, x1, hy), "SCROLLBTNBOTTOM", 0)):
        paint_item(px, rect, skin, section, state)
        centred_glyph(px, rect, skin.image(section, "GLYPHMASK"), state)
    paint_item(px, (vx, y0 + 30, x1, y0 + 70), skin, "SCROLLSLIDERV", 2)
    px.fill(vx, hy, x1, y1, colour_of(skin.value("FORM", "COLOR")))
    grip = skin.images[("GLOBALINFO", "GRIPIMAGE")]
    glyph(px, x1 - grip.fw, y1 - grip.fh, grip, 0)


def check_boxes(px, skin, x, y, active):
    """A column of check boxes and radio buttons in their states; in the
    active window the first one has the focus."""
    colour = colour_of(skin.value("CHECKBOX", "FONTCOLOR"))
    rows = (("BOXCHECKED", "WRAP LINES"), ("BOXUNCHECKED", "TWO PAGES"), ("BOXGRAYED", "MIXED"),
            ("RADIOCHECKED", "BY WIDTH"), ("RADIOUNCHECKED", "BY HEIGHT"), ("RADIOGRAYED", "UNSET"))
    for n, (key, label) in enumerate(rows):
        im = skin.images[("GLOBALINFO", key)]
        top = y + n * 17
        glyph(px, x, top, im, 1 if active and n == 0 else 0)
        px.text(x + im.fw + 4, top + (im.fh - font.HEIGHT) // 2, label, colour)


def edit_field(px, skin, x, y, focused):
    """An edit field with text, focused in the active window."""
    rect = (x, y, x + 130, y + 21)
    paint_item(px, rect, skin, "EDIT", 1 if focused else 0)
    colour = colour_of(skin.value("EDIT", "HOTFONTCOLOR"))
    px.text(x + 5, y + (21 - font.HEIGHT) // 2, "CHAPTER 12", colour)
    if focused:
        caret = x + 5 + font.width("CHAPTER 12") + 1
        px.fill(caret, y + 4, caret + 1, y + 17, colour)


def popup_menu(px, skin, x, y):
    w, item = 118, 19
    rect = (x, y, x + w, y + 3 * item + 6 + 6)
    behind = px.copy(*rect)
    fill_section(px, rect, skin, "MAINMENU", 0)
    px.fill(x + 3, y + 3, x + 25, rect[3] - 3, colour_of(skin.value("ICOLINE", "COLOR")))
    nine_piece(px, rect, skin.image("MAINMENU", "BORDERSMASK"), 0, False, behind)
    top = y + 3
    for label, state in (("OPEN BOOK", 0), ("SAVE COPY", 1), ("-", 0), ("WORD WRAP", 0)):
        if label == "-":
            line = (x + 28, top + 2, x + w - 5, top + 4)
            nine_piece(px, line, skin.image("DIVIDERV", "BORDERSMASK"), 0, True, px.copy(*line))
            top += 6
            continue
        r = (x + 3, top, x + w - 3, top + item)
        paint_item(px, r, skin, "MENUITEM", state)
        if label == "WORD WRAP":
            centred_glyph(px, (x + 3, top, x + 25, top + item), skin.images[("GLOBALINFO", "CHECK")], 0)
        colour = colour_of(skin.value("MENUITEM", "HOTFONTCOLOR" if state else "FONTCOLOR"))
        px.text(x + 31, top + 6, label, colour)
        top += item


def cut_corners(px, im):
    """The window region: holes in the top corners of the title's border
    (first frame) are cut out, so the desktop shows there."""
    wl, wt, wr, _ = im.borders
    for y in range(wt):
        for x in list(range(wl)) + list(range(im.fw - wr, im.fw)):
            if im.canvas.key[y][x]:
                px.put(x if x < wl else px.w - (im.fw - x), y, DESKTOP)


def sample_window(skin, active):
    w, h = 300, 230
    px = Pixels(w, h, DESKTOP)
    paint_item(px, (0, 0, w, h), skin, "FORM", 1 if active else 0, filling=False)
    title_bar(px, skin, w, active, "BOOK VIEWER" if active else "INACTIVE WINDOW")
    client = (SYS_BORDER, SYS_BORDER + CAPTION, w - SYS_BORDER, h - SYS_BORDER)
    push_buttons(px, skin, client[1] + 14)
    check_boxes(px, skin, client[0] + 12, client[1] + 50, active)
    edit_field(px, skin, client[0] + 12, client[1] + 158, active)
    scroll_bars(px, skin, client)
    if active:
        popup_menu(px, skin, 150, client[1] + 48)
    cut_corners(px, skin.image("FORMTITLE", "BORDERSMASK"))
    return px


# --- tiles of the atlas and of the pictures -------------------------------

def backdrop(skin, im, state):
    """What an image is seen over on the sheet: its section's fill, or the
    surface it is drawn on when the section itself is transparent."""
    host = {"GLOBALINFO": "FORMTITLE", "SCROLLBTNLEFT": "SCROLLBAR1H",
            "SCROLLBTNRIGHT": "SCROLLBAR1H", "SCROLLBTNTOP": "SCROLLBAR1H",
            "SCROLLBTNBOTTOM": "SCROLLBAR1H", "SCROLLSLIDERH": "SCROLLBAR1H",
            "SCROLLSLIDERV": "SCROLLBAR1H", "DIVIDERV": "MAINMENU", "FORM": "FORM"}
    section = host.get(im.section, im.section)
    if im.key == "CHECK":
        section = "MAINMENU"
    if im.key == "GRIPIMAGE" or im.key in CHECK_GLYPHS:
        section = "FORM"
    return section, (0 if section == "SCROLLBAR1H" else state)


def image_tile(skin, im):
    gap = 2
    fw, fh = im.fw, im.fh
    px = Pixels(im.frames * (fw + gap) - gap, fh, BACKGROUND)
    for f in range(im.frames):
        section, state = backdrop(skin, im, f)
        frame = Pixels(fw, fh, P.WHITE)
        fill_section(frame, (0, 0, fw, fh), skin, section, state)
        if im.form == "^":
            behind = frame.copy(0, 0, fw, fh)
            fill_section(frame, (0, 0, fw, fh), skin, im.section, f)
            nine_piece(frame, (0, 0, fw, fh), im, f, True, behind)
        else:
            glyph(frame, 0, 0, im, f)
        px.blit(frame, f * (fw + gap), 0)
    raw = Pixels(im.width, im.height, BACKGROUND)
    for y in range(im.fh):
        for x in range(im.width):
            pic, mask = im.picture_and_mask(x, y)
            raw.put(x, y, pic)
            raw.put(x, im.fh + y, mask)
    return px, raw


def checker_over(w, h, rows, zoom):
    white = all(p[:3] == (255, 255, 255) for row in rows for p in row)
    checker = DARK_CHECKER if white else CHECKER
    px = Pixels(w * zoom, h * zoom, BACKGROUND)
    for y in range(h * zoom):
        for x in range(w * zoom):
            d = checker[((x // 8) + (y // 8)) & 1]
            r, g, b, a = rows[y // zoom][x // zoom]
            px.put(x, y, tuple((c * a + dc * (255 - a) + 127) // 255 for c, dc in zip((r, g, b), d)))
    return px


# --- layout ---------------------------------------------------------------------

class Layout:
    """Places boxes left to right in rows of a fixed width, then draws them."""

    def __init__(self, width, margin):
        self.width, self.margin = width, margin
        self.x = self.y = margin
        self.row_h = 0
        self.blocks = []  # (x, y, Pixels, zoom) or (x, y, text, colour, scale)

    def place(self, w, h):
        if self.x + w > self.width - self.margin and self.x > self.margin:
            self.newline()
        pos = (self.x, self.y)
        self.x += w + self.margin
        self.row_h = max(self.row_h, h)
        return pos

    def newline(self):
        self.x = self.margin
        self.y += self.row_h + self.margin
        self.row_h = 0

    def heading(self, text):
        if self.x > self.margin:
            self.newline()
        self.blocks.append((self.margin, self.y, text, LABEL, 2))
        self.y += 2 * font.HEIGHT + 12

    def render(self):
        self.newline()
        out = Pixels(self.width, self.y, BACKGROUND)
        for block in self.blocks:
            x, y, what = block[:3]
            if isinstance(what, str):
                out.text(x, y, what, block[3], block[4])
            else:
                out.blit(what, x, y, block[3])
        return out


def add_windows(page, skin):
    for active in (True, False):
        win = sample_window(skin, active)
        x, y = page.place(win.w * 2, win.h * 2 + 14)
        page.blocks.append((x, y, win, 2))
        page.blocks.append((x, y + win.h * 2 + 4, "ACTIVE" if active else "INACTIVE", FAINT_LABEL, 1))


def add_images(page, skin):
    for im in sorted(skin.images.values(), key=lambda i: (i.section != "GLOBALINFO", i.section, i.key)):
        # Small pieces are shown larger so their pixels can be told apart.
        zoom = 8 if im.fw <= 13 and im.fh <= 13 else 4
        frames, raw = image_tile(skin, im)
        w = max(frames.w * zoom, raw.w * zoom // 2, font.width(im.name))
        x, y = page.place(w, 14 + frames.h * zoom + raw.h * zoom // 2)
        page.blocks.append((x, y, im.name, LABEL, 1))
        page.blocks.append((x, y + 10, frames, zoom))
        page.blocks.append((x, y + 14 + frames.h * zoom, raw, zoom // 2))


def add_pictures(page, pictures):
    for name, (w, h, rows) in pictures.items():
        pic = checker_over(w, h, rows, 4 if w <= 64 else 3)
        label = f"{name}  {w}X{h}"
        x, y = page.place(max(pic.w, font.width(label)), pic.h + 10)
        page.blocks.append((x, y, label, LABEL, 1))
        page.blocks.append((x, y + 10, pic, 1))


def write(path, images, sections, pictures):
    skin = Skin(sections, images)
    page = Layout(1264, 16)
    page.heading(skin.value("GLOBALINFO", "DESCRIPTION").upper() + "  -  VERSION "
                 + skin.value("GLOBALINFO", "VERSION"))
    add_windows(page, skin)
    page.heading("IMAGES OF " + skin.value("GLOBALINFO", "MASTERBITMAP"))
    add_images(page, skin)
    page.heading("PICTURES (RESOURCES)")
    add_pictures(page, pictures)
    out = page.render()
    imagefiles.write_png_rgb(path, out.w, out.h, out.rows)
