// Recolouring of a loaded skin: hue, saturation and brightness of the master
// image, of every image with a bitmap of its own and of the section
// colours, in place; and the replacement of one image at run time.  A skin
// is recoloured once, right after loading, so painting never recolours.
#pragma once

#include "classlib/rtl/System.h"

class TsSkinStore;

// Turns every colour of the skin by Delta degrees.  Greys and the key
// colour keep their values; with SkinData->BIKeepHUE the title-bar glyphs
// (1: all nine, other values: the two close glyphs) and their glow images
// keep theirs.
void ChangeSkinHue(TsSkinStore* sm, int Delta);
// Moves every colour toward grey (Saturation < 0) or away from it
// (Saturation > 0) by Saturation rem 101 percent.
void ChangeSkinSaturation(TsSkinStore* sm, int Saturation);
// Moves every colour toward white (Delta > 0) or black by Delta percent.
// 32-bit images keep their alpha.
void ChangeSkinBrightness(TsSkinStore* sm, int Delta);

// Replaces one image of an active skin by the file FileName: an image of
// SkinSection/PropName (both upper-cased) loads a ".BMP"; the textures
// "PATTERN" and "HOTPATTERN" also take a JPEG.  Every image keeps its index
// in ma, so indexes that controls hold stay valid; the caller repaints.
// False when the skin is not active, a name is empty, the file is missing
// or cannot be read, or there is no such image to replace.
bool ChangeImageInSkin(const UnicodeString& SkinSection, const UnicodeString& PropName,
                       const UnicodeString& FileName, TsSkinStore* sm);
