"""The skin's images and the one master image that holds them.

Each image is a region of the master image: its state frames side by side,
and below them a mask of the same size (mask type 1).  A mask byte m lets
m/256 of what lies behind show through, so a drawn pixel of opacity a gets
the picture colour and the mask 255 - a; an empty pixel is white with mask
255, which leaves the background exactly as it was.  Holes (the key colour)
are used only outside the arcs of rounded corners, where the window region
and the parent background take over."""

from raster import Canvas
from palette import KEY, WHITE


class SkinImage:
    """One image of a section: `form` is '^' (nine-piece border) or '@' (glyph)."""

    def __init__(self, section, key, form, frames, fw, fh, borders=(0, 0, 0, 0),
                 draw_mode=0, border_width=0):
        self.section, self.key, self.form = section, key, form
        self.frames, self.fw, self.fh = frames, fw, fh
        self.borders = borders
        self.draw_mode, self.border_width = draw_mode, border_width
        self.canvas = Canvas(frames * fw, fh)
        self.x = self.y = None

    @property
    def name(self):
        return f"{self.section}.{self.key}"

    @property
    def width(self):
        return self.frames * self.fw

    @property
    def height(self):
        return 2 * self.fh

    def draw(self, paint):
        """paint(canvas, frame) draws one frame on a canvas of the frame's size."""
        for i in range(self.frames):
            c = Canvas(self.fw, self.fh)
            paint(c, i)
            self.canvas.blit(c, i * self.fw, 0)
        return self

    def picture_and_mask(self, x, y):
        """The master image's two pixels for pixel (x, y) of the picture."""
        if self.canvas.key[y][x]:
            return KEY, WHITE
        r, g, b, a = self.canvas.rgba(x, y)
        if a == 0:
            return WHITE, WHITE
        m = 255 - a
        return (r, g, b), (m, m, m)

    def value(self):
        """The description value, columns zero-padded as the loader reads them."""
        rect = f"{self.x:04d},{self.y:04d},{self.x + self.width:04d},{self.y + self.height:04d}"
        if self.form == "@":
            return f"@{rect},{self.frames},1"
        wl, wt, wr, wb = self.borders
        return (f"^{rect},{wl:04d},{wt:04d},{wr:04d},{wb:04d},"
                f"{self.frames},1,{self.draw_mode},{self.border_width}")


class Atlas:
    """Shelf packing of the images into one master image of a fixed width."""

    def __init__(self, images, width=256, gap=1):
        self.images, self.width, self.gap = images, width, gap
        self.height = self._place()

    def _place(self):
        order = sorted(self.images, key=lambda im: (-im.height, -im.width, im.name))
        x = y = shelf = 0
        for im in order:
            if im.width > self.width:
                raise ValueError(f"{im.name} is wider than the master image")
            if x + im.width > self.width:
                x, y, shelf = 0, y + shelf + self.gap, 0
            im.x, im.y = x, y
            x += im.width + self.gap
            shelf = max(shelf, im.height)
        height = y + shelf
        return height + (height & 1)

    def rows(self):
        """The master image, top row first; unused pixels are the key colour."""
        rows = [[KEY] * self.width for _ in range(self.height)]
        for im in self.images:
            for y in range(im.fh):
                for x in range(im.width):
                    pic, mask = im.picture_and_mask(x, y)
                    rows[im.y + y][im.x + x] = pic
                    rows[im.y + im.fh + y][im.x + x] = mask
        return rows
