// kvPNG: the skin library's PNG picture.  TPNGGraphic is a bitmap that
// fills itself from a PNG stream through the decoding core
// (kvPNG_Decoder.h) and the colour manager (kvPNG_ColorManager.h): RGBA,
// grey with alpha and images with transparency become 32-bit bitmaps with
// straight alpha, the others opaque 1-, 4-, 8- or 24-bit bitmaps.
#pragma once

#include "classlib/graphics/Graphics.h"
#include "skin/paint/kvPNG_ColorManager.h"
#include "skin/paint/kvPNG_Decoder.h"

// False stops CanLoad from accepting PNG data (nothing else reads it).
extern bool UseKVPng;

class TPNGGraphic : public TBitmap {
    KV_CLASS(TPNGGraphic)
    TColorManager* FColorManager;
    TImageProperties FImageProperties;
    TColor FTransparentColor = clNone;
    TColor FBackgroundColor = clWhite;
    uint8_t FTransparency[256];

    class TImageTarget;

public:
    // Read by the alpha drawing: draw a fading mirror image below the picture.
    bool Reflected = false;

    TPNGGraphic();
    ~TPNGGraphic() override;

    // Copies the image properties of another PNG picture, then the bitmap.
    void Assign(TPersistent* Source) override;
    // Decodes the PNG at the stream's position; on success the stream stands
    // after the last chunk read.  Bad data raises EInvalidGraphic (zlib
    // set-up EGraphicCompression, a short stream EReadError) and leaves the
    // picture empty.
    void LoadFromStream(TStream* Stream) override;
    // Fills ImageProperties from the signature, the header and the first
    // gAMA; False when the data is no PNG image.  ImageIndex is not used.
    bool ReadImageProperties(TStream* Stream, uint32_t ImageIndex);

    // Whether the file or stream starts with the PNG signature (the stream's
    // position is kept).
    static bool CanLoad(const UnicodeString& FileName);
    static bool CanLoad(TStream* Stream);

    const TImageProperties& ImageProperties() const { return FImageProperties; }
    TColorManager* ColorManager() const { return FColorManager; }
    // The tRNS colour as shown, clNone when there is none.
    TColor TransparentColor() const { return FTransparentColor; }
    // The bKGD colour (white when the file has none).
    TColor BackgroundColor() const { return FBackgroundColor; }
    // The tRNS alpha of each palette entry (255 where none was given).
    const uint8_t* Transparency() const { return FTransparency; }

protected:
    // A 32-bit picture is laid over the canvas by its alpha (scaled when
    // Rect has another size, mirrored below when Reflected and unscaled);
    // other formats draw as plain bitmaps.  In kvPNG_Draw.cpp.
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;

private:
    void DrawScaled(TBitmap* Work, int W, int H);
};

// A palette handle with the entries of a colour manager's palette; the
// caller owns it.
HPALETTE CreatePaletteHandle(const TColorPalette& Entries);

// The "png" picture format of the class library's registry: registered
// when the program starts and taken out when it ends; registering again is
// harmless.
void RegisterPNGFormat();
void UnregisterPNGFormat();
