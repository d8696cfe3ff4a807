// TJPEGImage: a JPEG picture, decoded with libjpeg into a 24-bit bitmap.
#pragma once

#include <vector>

#include "classlib/graphics/Graphics.h"

class TJPEGImage : public TGraphic {
    KV_CLASS(TJPEGImage)
    std::vector<uint8_t> FData;   // the compressed file, kept for saving
    TBitmap* FBitmap = nullptr;   // the decoded picture
    bool FGrayscale = false;      // decode to grey levels
    bool FSourceGrayscale = false;

    void Decode(const std::vector<uint8_t>& Data, bool Gray);

protected:
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    bool GetEmpty() const override { return FData.empty(); }
    int GetWidth() const override { return FBitmap ? FBitmap->Width() : 0; }
    int GetHeight() const override { return FBitmap ? FBitmap->Height() : 0; }
    void AssignTo(TPersistent* Dest) override;

public:
    ~TJPEGImage() override;
    void Assign(TPersistent* Source) override;
    // The size comes from the picture: these raise EInvalidGraphicOperation.
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;

    // Reads the whole JPEG file from the stream's position and decodes it;
    // a damaged or truncated file raises EInvalidGraphic and leaves the
    // image as it was.
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;

    // True for a grey-level picture, or after Grayscale was asked for.
    bool Grayscale() const { return FGrayscale || FSourceGrayscale; }
    void SetGrayscale(bool Value);
    // The decoded picture (24-bit); nullptr when empty.
    TBitmap* Bitmap() const { return FBitmap; }
};
