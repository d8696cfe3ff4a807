// Buttons with a glyph: where the glyph stands beside the caption.
#pragma once

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
