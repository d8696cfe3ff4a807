"""Reads back what the builder wrote and checks the rules the loader and
the painters rely on; any breach stops the build with the reasons."""

import re

import imagefiles
from description import RESERVED
from palette import KEY

SECTION_LINE = re.compile(r"^\[[A-Z0-9_]+\]$")
KEY_LINE = re.compile(r"^[A-Z0-9_]+=\S(.*\S)?$")
BORDER_VALUE = re.compile(r"^\^(\d{4},){8}\d,\d,\d,\d$")
GLYPH_VALUE = re.compile(r"^@(\d{4},){4}\d,\d$")


def parse_description(data, problems):
    """Sections as an ordered list of (name, [(key, value)])."""
    try:
        text = data.decode("ascii")
    except UnicodeDecodeError:
        problems.append("the description is not ASCII")
        return []
    if re.search(r"\r(?!\n)|(?<!\r)\n", text) or not text.endswith("\r\n"):
        problems.append("the description's lines do not all end with CRLF")
    sections = []
    for n, line in enumerate(text.split("\r\n")[:-1], 1):
        if SECTION_LINE.match(line):
            sections.append((line[1:-1], []))
        elif KEY_LINE.match(line) and sections:
            key, value = line.split("=", 1)
            sections[-1][1].append((key, value))
        else:
            problems.append(f"line {n} is not [SECTION] or KEY=VALUE: {line!r}")
    return sections


def image_region(value):
    """(left, top, right, bottom, frames, borders, form) of an image value."""
    nums = [int(v) for v in value[1:].split(",")]
    if value[0] == "@":
        return nums[0], nums[1], nums[2], nums[3], nums[4], None, "@"
    return nums[0], nums[1], nums[2], nums[3], nums[8], tuple(nums[4:8]), "^"


def check_value(section, key, value, problems):
    """True for a well-formed image value; text values are checked here."""
    where = f"{section}/{key}"
    if value[:1] in ("^", "@"):
        if (BORDER_VALUE if value[0] == "^" else GLYPH_VALUE).match(value):
            return True
        problems.append(f"{where}: malformed image value {value}")
        return False
    if not (section == "GLOBALINFO" and key == "MASTERBITMAP"):
        for bad in RESERVED:
            if bad in value.upper():
                problems.append(f"{where}: text value contains {bad!r}")
    return False


def check_region(name, region, master, problems):
    """Masks exact greys, holes only in corner pieces of borders."""
    width, height, rows = master
    left, top, right, bottom, frames, borders, form = region
    if not (0 <= left < right <= width and 0 <= top < bottom <= height):
        problems.append(f"{name}: region lies outside the master image")
        return
    if (bottom - top) % 2 or (right - left) % frames:
        problems.append(f"{name}: region height odd or width not a whole number of frames")
        return
    fw, fh = (right - left) // frames, (bottom - top) // 2
    for y in range(fh):
        for x in range(right - left):
            pic = rows[top + y][left + x]
            mask = rows[top + fh + y][left + x]
            if mask[0] != mask[1] or mask[1] != mask[2]:
                problems.append(f"{name}: mask pixel ({x}, {y}) is not grey")
            if pic != KEY:
                continue
            if mask != (255, 255, 255):
                problems.append(f"{name}: hole ({x}, {y}) has mask {mask}")
            fx = x % fw
            in_corner = borders is not None and \
                (fx < borders[0] or fx >= fw - borders[2]) and (y < borders[1] or y >= fh - borders[3])
            if not in_corner:
                problems.append(f"{name}: key colour at ({x}, {y}) outside a corner piece")


# The check-box and radio-button glyphs the library looks up by name in
# GLOBALINFO: without one a control in that state shows no box at all.  Each
# set shares one frame size; the small set is smaller than the full one.
CHECK_GLYPH_SETS = (
    ("BOXUNCHECKED", "BOXCHECKED", "BOXGRAYED", "RADIOUNCHECKED", "RADIOCHECKED", "RADIOGRAYED"),
    ("SMALLUNCHECKED", "SMALLCHECKED", "SMALLGRAYED"),
)
CHECK_GLYPH_FRAMES = 3


def check_glyph_sets(sections, problems):
    keys = dict(next((k for name, k in sections if name == "GLOBALINFO"), []))
    sizes = []
    for names in CHECK_GLYPH_SETS:
        found = set()
        for key in names:
            value = keys.get(key)
            if value is None or not GLYPH_VALUE.match(value):
                problems.append(f"GLOBALINFO/{key}: missing or not a glyph image")
                continue
            left, top, right, bottom, frames, _, _ = image_region(value)
            if frames != CHECK_GLYPH_FRAMES:
                problems.append(f"GLOBALINFO/{key}: {frames} frames, expected {CHECK_GLYPH_FRAMES}")
                continue
            found.add(((right - left) // frames, (bottom - top) // 2))
        if len(found) > 1:
            problems.append(f"GLOBALINFO: {', '.join(names)} differ in size: {sorted(found)}")
        sizes.append(found.pop() if len(found) == 1 else None)
    if None not in sizes and not (sizes[1][0] < sizes[0][0] and sizes[1][1] < sizes[0][1]):
        problems.append(f"GLOBALINFO: small check glyphs {sizes[1]} are not smaller than {sizes[0]}")


# Sections every skinned control of a kind relies on: without one the
# control keeps the system's look.  Each names the keys it must write itself
# and, for its border, the fewest frames (a second frame is the focused look).
REQUIRED_SECTIONS = {
    "EDIT": (("COLOR", "HOTCOLOR", "FONTCOLOR", "HOTFONTCOLOR"), 2),
    "COMBOBOX": (("COLOR", "HOTCOLOR", "FONTCOLOR", "HOTFONTCOLOR"), 2),
    "PANEL": (("COLOR", "FONTCOLOR"), 1),
}


def check_required_sections(sections, problems):
    written = dict(sections)
    for section, (keys, frames) in REQUIRED_SECTIONS.items():
        if section not in written:
            problems.append(f"{section}: section missing")
            continue
        values = dict(written[section])
        for key in keys:
            if key not in values:
                problems.append(f"{section}/{key}: missing")
        border = values.get("BORDERSMASK")
        if border is None or not BORDER_VALUE.match(border):
            problems.append(f"{section}/BORDERSMASK: missing or not a border image")
        elif image_region(border)[4] < frames:
            problems.append(f"{section}/BORDERSMASK: fewer than {frames} frames")


def _luminance(tcolor):
    """Relative luminance of a Windows colour value (red in the low byte)."""
    def channel(v):
        c = v / 255
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = tcolor & 0xFF, (tcolor >> 8) & 0xFF, (tcolor >> 16) & 0xFF
    return 0.2126 * channel(r) + 0.7152 * channel(g) + 0.0722 * channel(b)


def contrast(a, b):
    """Contrast ratio of two Windows colour values, 1 to 21."""
    la, lb = sorted((_luminance(a), _luminance(b)), reverse=True)
    return (la + 0.05) / (lb + 0.05)


# Texts drawn on a band of their own section: the caption (inactive and
# active) and the tool bar's.
TEXT_ON_BAND = ("FORMTITLE", "TOOLBAR")
MIN_CONTRAST = 4.5


def check_text_contrast(sections, problems):
    """Each state's font colour against its band: the section's colour and
    both ends of its gradient."""
    for section, keys in sections:
        if section not in TEXT_ON_BAND:
            continue
        values = dict(keys)
        for prefix in ("", "HOT"):
            font = values.get(prefix + "FONTCOLOR")
            if font is None:
                continue
            band = []
            if prefix + "COLOR" in values:
                band.append(int(values[prefix + "COLOR"]))
            if values.get(prefix + "GRADIENTDATA"):
                band += [int(v) for v in values[prefix + "GRADIENTDATA"].split(";")[:2]]
            for colour in band:
                ratio = contrast(int(font), colour)
                if ratio < MIN_CONTRAST:
                    problems.append(f"{section}/{prefix}FONTCOLOR: contrast {ratio:.2f}:1 against "
                                    f"{colour}, below {MIN_CONTRAST}:1")


def check_picture(name, path, size, problems):
    with open(path, "rb") as f:
        data = f.read()
    try:
        w, h, _rows, kinds = imagefiles.decode_png_rgba(data)
    except ValueError as e:
        problems.append(f"{name}: {e}")
        return
    if (w, h) != size:
        problems.append(f"{name}: {w} x {h}, expected {size[0]} x {size[1]}")
    if b"gAMA" in kinds:
        problems.append(f"{name}: has a gAMA chunk")


def run(description_path, master_path, pictures):
    """pictures: name -> (path, (width, height)).  Returns the problems found."""
    problems = []
    with open(description_path, "rb") as f:
        sections = parse_description(f.read(), problems)
    master = imagefiles.read_bmp24(master_path)
    names = [s for s, _ in sections]
    if len(set(names)) != len(names):
        problems.append("a section is written twice")
    for section, keys in sections:
        seen = set()
        for key, value in keys:
            if key in seen:
                problems.append(f"{section}/{key} is written twice")
            seen.add(key)
            if check_value(section, key, value, problems):
                check_region(f"{section}/{key}", image_region(value), master, problems)
    check_glyph_sets(sections, problems)
    check_required_sections(sections, problems)
    check_text_contrast(sections, problems)
    for name, (path, size) in pictures.items():
        check_picture(name, path, size, problems)
    return problems
