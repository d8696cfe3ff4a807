"""The colours of the built-in skin: blue-grey surfaces, one slate-blue
accent.  Section colours are written into the description as Windows
colour values (tcolor); image colours are drawn into the atlas."""

from raster import rgb

# Text
TEXT = rgb("#1E2B3A")
TEXT_HOT = rgb("#10263D")
# Inactive captions and tool-bar texts: at least 4.5:1 against their bands.
TEXT_MUTED = rgb("#56626F")

# Surfaces
CLIENT = rgb("#EEF1F4")
MENU_SURFACE = rgb("#FAFBFC")
ICON_COLUMN = rgb("#EDF1F5")
MENU_HOT = rgb("#DCE6F1")
TRACK = rgb("#E6EAEE")
TRACK_HOT = rgb("#D6DCE3")
WHITE = rgb("#FFFFFF")

# Title bar gradients (top, bottom)
TITLE_ACTIVE = (rgb("#DCE5EE"), rgb("#CCD8E5"))
TITLE_INACTIVE = (rgb("#EBEEF1"), rgb("#E2E6EA"))

# Push buttons (top, bottom) and their outlines by state
BUTTON = (rgb("#FBFCFD"), rgb("#E8ECF1"))
BUTTON_HOT = (rgb("#FFFFFF"), rgb("#E1EAF4"))
BUTTON_OUTLINES = (rgb("#9AA7B5"), rgb("#5A7EA3"), rgb("#4F7091"))
PRESSED_SHADE = TEXT

# Window frame: inactive, active
FRAME_OUTLINES = (rgb("#A9B3BD"), rgb("#5A7896"))
TITLE_SEPARATORS = (rgb("#D5DADF"), rgb("#B9C6D4"))
MENU_OUTLINE = rgb("#A9B3BD")
MENU_ITEM_OUTLINE = rgb("#9DB5CF")
DIVIDER = (rgb("#D3D9E0"), rgb("#FFFFFF"))
DIVIDER_V = (rgb("#B4BEC9"), rgb("#FFFFFF"))
# Tool buttons and splitters: hot and pressed outlines
TOOL_OUTLINES = (rgb("#9DB5CF"), rgb("#4F7091"))

# Scroll bars: thumb and arrow by state, pressed highlight of the buttons
THUMBS = (rgb("#BAC4CE"), rgb("#9EABB9"), rgb("#8797A8"))
ARROWS = (rgb("#5E6C7A"), rgb("#2F4F6F"), rgb("#1E2B3A"))
SCROLL_PRESSED = rgb("#C5CFDA")

# Title buttons
TITLE_GLYPH = rgb("#3A4A5C")
TITLE_PRESSED = rgb("#B8C6D6")
CLOSE_HOT = rgb("#C85A54")
CLOSE_PRESSED = rgb("#A9443F")

# Small pictures
GRIP = rgb("#A7B2BE")
CHECK = rgb("#3F6185")
ACCENT = rgb("#2F6FAE")
GLYPH_FRAMES = (rgb("#4A5B6D"), rgb("#2F6FAE"), rgb("#24507E"))

# Edit fields and lists: the outline of a plain and of a focused field
EDIT_OUTLINES = (rgb("#9AA7B5"), ACCENT)

KEY = (255, 0, 255)
