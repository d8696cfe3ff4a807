// sGlyphUtils: the library's own list of button glyphs, built from five PNG
// pictures of the program's resources (three 16 x 16 frames each).
#pragma once

class TsAlphaImageList;

// Resource names of the built-in glyphs, in image-index order.
constexpr int kvGlyphsCount = 5;
extern const wchar_t* const kvGlyphsResNames[kvGlyphsCount];

// The built-in glyph list (48 x 16 images), made on first use; a picture
// that cannot be read is left out.
TsAlphaImageList* kvResImgList();
// Frees the list at shut-down (a later kvResImgList makes it again).
void FreeResImgList();
