"""The skin description ("Options.dat"): INI text, ASCII with CRLF,
upper-case names, KEY=VALUE lines without blanks around "=" and no blank
lines or comments, decimal colours.  Image values are filled in from the
atlas."""

import palette as P
from raster import tcolor

VERSION = "6.4"
AUTHOR = "Viewer team"
DESCRIPTION = "Calm blue-grey built-in skin"
MASTER = "MASTER.BMP"

# A text value must not look like an image value to the loader.
RESERVED = ("#", "!", "@", "^", "~", ".BMP", ".JPG")


def _grad(top, bottom):
    return f"{tcolor(top)};{tcolor(bottom)};100;0;0"


def _c(colour):
    return str(tcolor(colour))


# Section order is the order of the file; keys keep their order too.  An
# entry whose value is None is an image of the atlas.
SECTIONS = [
    ("GLOBALINFO", [
        ("VERSION", VERSION), ("AUTHOR", AUTHOR), ("DESCRIPTION", DESCRIPTION),
        ("MASTERBITMAP", MASTER),
        ("COLOR", _c(P.CLIENT)), ("HOTCOLOR", _c(P.WHITE)), ("FONTCOLOR", _c(P.TEXT)),
        ("TCTOP", _c(P.ACCENT)), ("TCBOTTOM", _c(P.CHECK)), ("BORDERCOLOR", _c(P.KEY)),
        ("SHADOW1COLOR", "0"), ("SHADOW1OFFSET", "0"), ("SHADOW1BLUR", "-1"),
        ("SHADOW1TRANSPARENCY", "0"),
        ("BISPACE", "2"), ("BIVALIGN", "0"), ("BIRIGHT", "2"), ("BILEFT", "4"), ("BIKEEPHUE", "0"),
        ("BICONCLOSE", None), ("BICONMAX", None), ("BICONNORM", None), ("BICONMIN", None),
        ("BICONHELP", None),
        ("SICONCLOSE", None), ("SICONMAX", None), ("SICONNORM", None), ("SICONMIN", None),
        ("SICONHELP", None),
        ("CHECK", None),
        ("BOXCHECKED", None), ("BOXUNCHECKED", None), ("BOXGRAYED", None),
        ("RADIOCHECKED", None), ("RADIOUNCHECKED", None), ("RADIOGRAYED", None),
        ("SMALLCHECKED", None), ("SMALLUNCHECKED", None), ("SMALLGRAYED", None),
        ("GRIPIMAGE", None),
    ]),
    ("FORM", [
        ("COLOR", _c(P.CLIENT)), ("HOTCOLOR", _c(P.CLIENT)),
        ("FONTCOLOR", _c(P.TEXT)), ("HOTFONTCOLOR", _c(P.TEXT)), ("GIVEOWNFONT", "TRUE"),
        ("BORDERSMASK", None),
    ]),
    ("FORMTITLE", [
        ("GRADIENTPERCENT", "100"), ("GRADIENTDATA", _grad(*P.TITLE_INACTIVE)),
        ("HOTGRADIENTPERCENT", "100"), ("HOTGRADIENTDATA", _grad(*P.TITLE_ACTIVE)),
        ("COLOR", _c(P.TITLE_INACTIVE[1])), ("HOTCOLOR", _c(P.TITLE_ACTIVE[1])),
        ("FONTCOLOR", _c(P.TEXT_MUTED)), ("HOTFONTCOLOR", _c(P.TEXT)),
        ("BORDERSMASK", None),
    ]),
    ("DIALOG", [("PARENTCLASS", "FORM")]),
    ("BUTTON", [
        ("GRADIENTPERCENT", "100"), ("GRADIENTDATA", _grad(*P.BUTTON)),
        ("HOTGRADIENTPERCENT", "100"), ("HOTGRADIENTDATA", _grad(*P.BUTTON_HOT)),
        ("COLOR", _c(P.BUTTON[1])), ("HOTCOLOR", _c(P.BUTTON_HOT[1])),
        ("FONTCOLOR", _c(P.TEXT)), ("HOTFONTCOLOR", _c(P.TEXT_HOT)), ("SHOWFOCUS", "TRUE"),
        ("BORDERSMASK", None),
    ]),
    ("SPEEDBUTTON_SMALL", [("PARENTCLASS", "BUTTON")]),
    ("MAINMENU", [
        ("COLOR", _c(P.MENU_SURFACE)), ("FONTCOLOR", _c(P.TEXT)), ("BORDERSMASK", None),
    ]),
    ("MENUITEM", [
        ("COLOR", _c(P.MENU_SURFACE)), ("TRANSPARENCY", "100"), ("HOTTRANSPARENCY", "0"),
        ("HOTCOLOR", _c(P.MENU_HOT)), ("FONTCOLOR", _c(P.TEXT)), ("HOTFONTCOLOR", _c(P.TEXT_HOT)),
        ("BORDERSMASK", None),
    ]),
    ("ICOLINE", [("COLOR", _c(P.ICON_COLUMN))]),
    ("TOOLBAR", [("COLOR", _c(P.ICON_COLUMN)), ("FONTCOLOR", _c(P.TEXT_MUTED))]),
    ("DIVIDERV", [("BORDERSMASK", None)]),
    ("SCROLLBAR1H", [("COLOR", _c(P.TRACK)), ("HOTCOLOR", _c(P.TRACK_HOT))]),
    ("SCROLLBAR2H", [("PARENTCLASS", "SCROLLBAR1H")]),
    ("SCROLLBAR1V", [("PARENTCLASS", "SCROLLBAR1H")]),
    ("SCROLLBAR2V", [("PARENTCLASS", "SCROLLBAR1H")]),
] + [
    (section, [("TRANSPARENCY", "100"), ("HOTTRANSPARENCY", "100"),
               ("BORDERSMASK", None), ("GLYPHMASK", None)])
    for section in ("SCROLLBTNLEFT", "SCROLLBTNRIGHT", "SCROLLBTNTOP", "SCROLLBTNBOTTOM")
] + [
    (section, [("TRANSPARENCY", "100"), ("HOTTRANSPARENCY", "100"), ("BORDERSMASK", None)])
    for section in ("SCROLLSLIDERH", "SCROLLSLIDERV")
] + [
    ("CHECKBOX", [
        ("TRANSPARENCY", "100"), ("HOTTRANSPARENCY", "100"),
        ("FONTCOLOR", _c(P.TEXT)), ("HOTFONTCOLOR", _c(P.TEXT)),
    ]),
    # Sections the library looks up by constant index: tabs and combo
    # buttons look like buttons, combo boxes get their arrow.
    ("TABTOP", [("PARENTCLASS", "BUTTON")]),
    ("TABBOTTOM", [("PARENTCLASS", "BUTTON")]),
    ("TABLEFT", [("PARENTCLASS", "BUTTON")]),
    ("TABRIGHT", [("PARENTCLASS", "BUTTON")]),
    ("COMBOBTN", [("PARENTCLASS", "BUTTON")]),
    ("UPDOWNBTN", [("PARENTCLASS", "BUTTON")]),
    # The library's containers and bars: page areas of tab controls, tool
    # buttons and the dividers between them, status panels, the framed
    # scroll box and the splitter.
    ("PAGECONTROL", [
        ("COLOR", _c(P.MENU_SURFACE)), ("FONTCOLOR", _c(P.TEXT)), ("HOTFONTCOLOR", _c(P.TEXT_HOT)),
        ("BORDERSMASK", None),
    ]),
    ("PAGECONTROLBOTTOM", [("PARENTCLASS", "PAGECONTROL")]),
    ("PAGECONTROLLEFT", [("PARENTCLASS", "PAGECONTROL")]),
    ("PAGECONTROLRIGHT", [("PARENTCLASS", "PAGECONTROL")]),
    ("TOOLBUTTON", [
        ("COLOR", _c(P.ICON_COLUMN)), ("TRANSPARENCY", "100"), ("HOTTRANSPARENCY", "0"),
        ("HOTCOLOR", _c(P.MENU_HOT)), ("FONTCOLOR", _c(P.TEXT)), ("HOTFONTCOLOR", _c(P.TEXT_HOT)),
        ("BORDERSMASK", None),
    ]),
    ("DIVIDER", [("BORDERSMASK", None)]),
    ("STATUSBAR", [
        ("COLOR", _c(P.ICON_COLUMN)), ("FONTCOLOR", _c(P.TEXT)), ("HOTFONTCOLOR", _c(P.TEXT_HOT)),
        ("STATUSPANELMASK", None),
    ]),
    ("PANEL_LOW", [
        ("COLOR", _c(P.CLIENT)), ("FONTCOLOR", _c(P.TEXT)), ("HOTFONTCOLOR", _c(P.TEXT)),
        ("BORDERSMASK", None),
    ]),
    # Panels: a light surface in a one-pixel outline; the drag bar is a
    # title band.
    ("PANEL", [
        ("COLOR", _c(P.MENU_SURFACE)), ("FONTCOLOR", _c(P.TEXT)), ("HOTFONTCOLOR", _c(P.TEXT)),
        ("BORDERSMASK", None),
    ]),
    ("DRAGBAR", [
        ("GRADIENTPERCENT", "100"), ("GRADIENTDATA", _grad(*P.TITLE_ACTIVE)),
        ("COLOR", _c(P.TITLE_ACTIVE[1])), ("FONTCOLOR", _c(P.TEXT)), ("HOTFONTCOLOR", _c(P.TEXT)),
    ]),
    ("SPLITTER", [
        ("COLOR", _c(P.CLIENT)), ("HOTCOLOR", _c(P.TRACK_HOT)), ("BORDERSMASK", None),
    ]),
    # Combo boxes: the edits' field and outline, with the arrow glyph.
    ("COMBOBOX", [
        ("COLOR", _c(P.WHITE)), ("HOTCOLOR", _c(P.WHITE)),
        ("FONTCOLOR", _c(P.TEXT)), ("HOTFONTCOLOR", _c(P.TEXT_HOT)), ("GLYPHMASK", None),
        ("BORDERSMASK", None),
    ]),
    # Edits, memos, list boxes, tree views, grids and the lists of combo
    # boxes: a white field in a thin outline that takes the accent colour
    # while the field has the focus.
    ("EDIT", [
        ("COLOR", _c(P.WHITE)), ("HOTCOLOR", _c(P.WHITE)),
        ("TRANSPARENCY", "0"), ("HOTTRANSPARENCY", "0"),
        ("FONTCOLOR", _c(P.TEXT)), ("HOTFONTCOLOR", _c(P.TEXT)),
        ("BORDERSMASK", None),
    ]),
]


def resolve(images):
    """The sections with every image value filled in from its atlas region."""
    out = []
    for section, keys in SECTIONS:
        filled = []
        for key, value in keys:
            if value is None:
                value = images[(section, key)].value()
            filled.append((key, value))
        out.append((section, filled))
    return out


def is_image_value(section, key, value):
    return value[:1] in ("^", "@") and not (section == "GLOBALINFO" and key == "MASTERBITMAP")


def text(sections):
    """The file's bytes: no blank lines, no comments, every line ended by CRLF."""
    lines = []
    for section, keys in sections:
        lines.append(f"[{section}]")
        lines += [f"{key}={value}" for key, value in keys]
    return "".join(line + "\r\n" for line in lines).encode("ascii")
