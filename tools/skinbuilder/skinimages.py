"""The drawings of every image in the master image.  Fills come from the
sections' colours and gradients; the images carry outlines, highlights,
glyphs and the pressed shade only."""

import glyphs
import palette as P
from atlas import SkinImage
from raster import Circle, Rect, RoundRect, outline

GLYPH_STROKE = 1.25


def form_border():
    # Square corners: the title's border rounds the top ones.
    def paint(c, i):
        c.fill(outline(0, 0, 9, 9, 0), P.FRAME_OUTLINES[i])
    return SkinImage("FORM", "BORDERSMASK", "^", 2, 9, 9, (4, 4, 4, 4), 0, 4).draw(paint)


def title_border():
    def paint(c, i):
        c.fill(outline(0, 0, 13, 8, 4, top_only=True), P.FRAME_OUTLINES[i])
        c.fill(Rect(1, 7, 12, 8), P.TITLE_SEPARATORS[i])
        c.cut_outside(RoundRect(0, 0, 13, 8, 4, top_only=True), 0, 0, 13, 6)
    return SkinImage("FORMTITLE", "BORDERSMASK", "^", 2, 13, 8, (6, 6, 6, 1), 0, 0).draw(paint)


def button_border():
    def paint(c, i):
        if i == 2:
            c.fill(RoundRect(1, 1, 8, 8, 2), P.PRESSED_SHADE, 0.10)
        c.fill(outline(0, 0, 9, 9, 3), P.BUTTON_OUTLINES[i])
        if i == 1:
            c.fill(outline(1, 1, 8, 8, 2), P.WHITE, 0.60)
        c.cut_outside(RoundRect(0, 0, 9, 9, 3), 0, 0, 9, 9)
    return SkinImage("BUTTON", "BORDERSMASK", "^", 3, 9, 9, (4, 4, 4, 4), 4, 4).draw(paint)


def menu_border():
    def paint(c, i):
        c.fill(outline(0, 0, 7, 7, 0), P.MENU_OUTLINE)
    return SkinImage("MAINMENU", "BORDERSMASK", "^", 1, 7, 7, (3, 3, 3, 3), 0, 3).draw(paint)


def menu_item_border():
    # Frame 0 is never drawn (draw mode 2): a plain item shows the menu.
    def paint(c, i):
        if i == 1:
            c.fill(outline(0, 0, 7, 7, 3), P.MENU_ITEM_OUTLINE)
            c.cut_outside(RoundRect(0, 0, 7, 7, 3), 0, 0, 7, 7)
    return SkinImage("MENUITEM", "BORDERSMASK", "^", 2, 7, 7, (3, 3, 3, 3), 2, 3).draw(paint)


def divider():
    def paint(c, i):
        c.fill(Rect(0, 0, 3, 1), P.DIVIDER[0])
        c.fill(Rect(0, 1, 3, 2), P.DIVIDER[1])
    return SkinImage("DIVIDERV", "BORDERSMASK", "^", 1, 3, 2, (1, 1, 1, 1), 0, 1).draw(paint)


def scroll_button(section):
    # Nothing in state 0 (draw mode 2); a soft square behind the arrow when
    # hot or pressed.
    def paint(c, i):
        if i == 1:
            c.fill(RoundRect(2, 2, 15, 15, 3), P.WHITE, 0.55)
        elif i == 2:
            c.fill(RoundRect(2, 2, 15, 15, 3), P.SCROLL_PRESSED, 0.80)
    return SkinImage(section, "BORDERSMASK", "^", 3, 17, 17, (8, 8, 8, 8), 6, 8).draw(paint)


def arrow(section, direction):
    def paint(c, i):
        c.fill(glyphs.chevron(direction), P.ARROWS[i])
    return SkinImage(section, "GLYPHMASK", "@", 3, 8, 8).draw(paint)


def slider(section, horizontal):
    # A pill 3 pixels in from the bar's edges, radius-5 ends.
    def paint(c, i):
        shape = RoundRect(1, 3, 12, 14, 5) if horizontal else RoundRect(3, 1, 14, 12, 5)
        c.fill(shape, P.THUMBS[i])
    if horizontal:
        return SkinImage(section, "BORDERSMASK", "^", 3, 13, 17, (6, 8, 6, 8), 4, 0).draw(paint)
    return SkinImage(section, "BORDERSMASK", "^", 3, 17, 13, (8, 6, 8, 6), 4, 0).draw(paint)


def title_button(prefix, face, fw, fh, box):
    """BICON (26 x 18, glyph box 10) and SICON (20 x 16, glyph box 8) faces."""
    bx, by = (fw - box) // 2, (fh - box) // 2
    glyph = glyphs.TITLE_FACES[face](bx, by, box, GLYPH_STROKE)
    plate = RoundRect(1, 1, fw - 1, fh - 1, 3)

    def paint(c, i):
        if face == "CLOSE" and i > 0:
            c.fill(plate, P.CLOSE_HOT if i == 1 else P.CLOSE_PRESSED)
            c.fill(glyph, P.WHITE)
            return
        if i == 1:
            c.fill(plate, P.WHITE, 0.55)
        elif i == 2:
            c.fill(plate, P.TITLE_PRESSED, 0.70)
        c.fill(glyph, P.TITLE_GLYPH)
    return SkinImage("GLOBALINFO", prefix + face, "@", 3, fw, fh).draw(paint)


def _check_frame(c, i, frame):
    """The box or ring of a check box or radio button in state i: the plain
    outline, a light tint inside it while hot (focused), a shade while
    pressed.  frame is (outline, inside)."""
    edge, inside = frame
    if i == 1:
        c.fill(inside, P.MENU_HOT, 0.85)
    elif i == 2:
        c.fill(inside, P.PRESSED_SHADE, 0.12)
    c.fill(edge, P.ACCENT if i == 1 else P.CHECK)


def _box(size):
    # One pixel in from every edge, a one-pixel outline.
    r = 2 if size >= 12 else 1.5
    return outline(1, 1, size - 1, size - 1, r), RoundRect(2, 2, size - 2, size - 2, r - 1)


def _circle(size):
    c, r = size / 2, size / 2 - 1
    return glyphs.ring(c, c, r, 1.25), Circle(c, c, r - 1)


def _check_set(keys, size, frame, checked, grayed):
    """Unchecked, checked and grayed images of one kind, three frames each."""
    unchecked_key, checked_key, grayed_key = keys

    def unchecked(c, i):
        _check_frame(c, i, frame)

    def with_mark(mark):
        def paint(c, i):
            _check_frame(c, i, frame)
            c.fill(mark, P.CHECK)
        return paint
    return [SkinImage("GLOBALINFO", unchecked_key, "@", 3, size, size).draw(unchecked),
            SkinImage("GLOBALINFO", checked_key, "@", 3, size, size).draw(with_mark(checked)),
            SkinImage("GLOBALINFO", grayed_key, "@", 3, size, size).draw(with_mark(grayed))]


# Check boxes and radio buttons are 12 x 12, small check boxes 10 x 10.
CHECK_SIZE = 12
SMALL_CHECK_SIZE = 10


def check_images():
    def check(c, i):
        c.fill(glyphs.check_mark(), P.CHECK)

    s, t = CHECK_SIZE, SMALL_CHECK_SIZE
    images = [SkinImage("GLOBALINFO", "CHECK", "@", 3, 12, 12).draw(check)]
    images += _check_set(("BOXUNCHECKED", "BOXCHECKED", "BOXGRAYED"), s, _box(s),
                         glyphs.check_mark(1.3, 1.0, 0.8, 1.25), glyphs.indeterminate(s, 4))
    images += _check_set(("RADIOUNCHECKED", "RADIOCHECKED", "RADIOGRAYED"), s, _circle(s),
                         Circle(s / 2, s / 2, 2.75), glyphs.dash(s, 4, 2))
    images += _check_set(("SMALLUNCHECKED", "SMALLCHECKED", "SMALLGRAYED"), t, _box(t),
                         glyphs.check_mark(1.5, 1.3, 0.6, 1.4), glyphs.indeterminate(t, 4))
    return images


def grip():
    def paint(c, i):
        for gx, gy in ((9, 1), (5, 5), (9, 5), (1, 9), (5, 9), (9, 9)):
            c.fill(Rect(gx, gy, gx + 2, gy + 2), P.GRIP)
    return SkinImage("GLOBALINFO", "GRIPIMAGE", "@", 1, 12, 12).draw(paint)


def page_border():
    def paint(c, i):
        c.fill(outline(0, 0, 7, 7, 0), P.MENU_OUTLINE)
    return SkinImage("PAGECONTROL", "BORDERSMASK", "^", 1, 7, 7, (3, 3, 3, 3), 0, 1).draw(paint)


def tool_button_border():
    # Nothing in state 0 (draw mode 2): a plain tool button shows its bar.
    def paint(c, i):
        if i == 2:
            c.fill(RoundRect(1, 1, 8, 8, 1), P.PRESSED_SHADE, 0.12)
        if i > 0:
            c.fill(outline(0, 0, 9, 9, 2), P.TOOL_OUTLINES[i - 1])
            c.cut_outside(RoundRect(0, 0, 9, 9, 2), 0, 0, 9, 9)
    return SkinImage("TOOLBUTTON", "BORDERSMASK", "^", 3, 9, 9, (4, 4, 4, 4), 2, 4).draw(paint)


def divider_vertical():
    # A dark and a light column; the third is empty, so a strip two pixels
    # wide shows the dark line alone.
    def paint(c, i):
        c.fill(Rect(0, 0, 1, 3), P.DIVIDER_V[0])
        c.fill(Rect(1, 0, 2, 3), P.DIVIDER_V[1])
    return SkinImage("DIVIDER", "BORDERSMASK", "^", 1, 3, 3, (1, 1, 1, 1), 0, 1).draw(paint)


def status_panel():
    def paint(c, i):
        c.fill(outline(0, 0, 5, 5, 0), P.DIVIDER_V[0])
    return SkinImage("STATUSBAR", "STATUSPANELMASK", "^", 1, 5, 5, (2, 2, 2, 2), 0, 1).draw(paint)


def lowered_panel():
    # Two pixels: the outline and a lighter line inside it.
    def paint(c, i):
        c.fill(outline(0, 0, 5, 5, 0), P.FRAME_OUTLINES[0])
        c.fill(outline(1, 1, 4, 4, 0), P.DIVIDER_V[0])
    return SkinImage("PANEL_LOW", "BORDERSMASK", "^", 1, 5, 5, (2, 2, 2, 2), 0, 2).draw(paint)


def panel_border():
    def paint(c, i):
        c.fill(outline(0, 0, 5, 5, 0), P.FRAME_OUTLINES[0])
    return SkinImage("PANEL", "BORDERSMASK", "^", 1, 5, 5, (2, 2, 2, 2), 0, 1).draw(paint)


def splitter_border():
    # Nothing in state 0; an outline when hot, a shaded one while dragged.
    def paint(c, i):
        if i == 2:
            c.fill(Rect(1, 1, 4, 4), P.PRESSED_SHADE, 0.15)
        if i > 0:
            c.fill(outline(0, 0, 5, 5, 0), P.TOOL_OUTLINES[i - 1])
    return SkinImage("SPLITTER", "BORDERSMASK", "^", 3, 5, 5, (2, 2, 2, 2), 2, 1).draw(paint)


def field_border(section):
    # One outline pixel round the field, square corners; the field's colour
    # shows inside it.  Frame 1 is the focused field.  Edits and combo boxes
    # share it.
    def paint(c, i):
        c.fill(outline(0, 0, 5, 5, 0), P.EDIT_OUTLINES[i])
    return SkinImage(section, "BORDERSMASK", "^", 2, 5, 5, (2, 2, 2, 2), 0, 1).draw(paint)


SCROLL_BUTTONS = (("SCROLLBTNLEFT", "left"), ("SCROLLBTNRIGHT", "right"),
                  ("SCROLLBTNTOP", "up"), ("SCROLLBTNBOTTOM", "down"))


def all_images():
    """Every image of the skin, keyed by (section, key)."""
    images = []
    for face in ("CLOSE", "MAX", "NORM", "MIN", "HELP"):
        images.append(title_button("BICON", face, 26, 18, 10))
    for face in ("CLOSE", "MAX", "NORM", "MIN", "HELP"):
        images.append(title_button("SICON", face, 20, 16, 8))
    images += check_images()
    images.append(grip())
    images += [form_border(), title_border(), button_border(), menu_border(),
               menu_item_border(), divider()]
    for section, direction in SCROLL_BUTTONS:
        images.append(scroll_button(section))
        images.append(arrow(section, direction))
    images.append(slider("SCROLLSLIDERH", True))
    images.append(slider("SCROLLSLIDERV", False))
    images.append(arrow("COMBOBOX", "down"))
    images += [page_border(), tool_button_border(), divider_vertical(), status_panel(),
               lowered_panel(), panel_border(), splitter_border(), field_border("EDIT"),
               field_border("COMBOBOX")]
    return {(im.section, im.key): im for im in images}
