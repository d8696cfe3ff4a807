#include "skin/paint/kvPNG.h"

#include <algorithm>
#include <climits>

bool UseKVPng = true;

namespace {

// The decoding core reads the class library's streams through this.
class TStreamSource : public TPNGSource {
    TStream* FStream;

public:
    explicit TStreamSource(TStream* Stream) : FStream(Stream) {}
    size_t Read(void* Buffer, size_t Count) override
    {
        const int32_t n = FStream->Read(Buffer, int32_t(std::min<size_t>(Count, INT32_MAX)));
        return n > 0 ? size_t(n) : 0;
    }
    uint64_t Position() override { return uint64_t(FStream->Position()); }
    void SetPosition(uint64_t Pos) override { FStream->SetPosition(int64_t(Pos)); }
    uint64_t Remaining() override
    {
        const int64_t size = FStream->Size(), pos = FStream->Position();
        return size >= pos ? uint64_t(size - pos) : 0;
    }
};

TPixelFormat FormatOfBits(int Bits)
{
    switch (Bits) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 24: return pf24bit;
    default: return pf32bit;
    }
}

TProgressStage StageOf(TPNGProgressStage Stage)
{
    return Stage == ppsStarting ? psStarting : Stage == ppsRunning ? psRunning : psEnding;
}

} // namespace

// Makes the bitmap the decoder asks for and reports its progress.
class TPNGGraphic::TImageTarget : public TPNGImageTarget {
    TPNGGraphic* FOwner;

public:
    explicit TImageTarget(TPNGGraphic* Owner) : FOwner(Owner) {}
    TBitmapRows PrepareImage(const TPNGImageLayout& Layout) override
    {
        FOwner->SetPixelFormat(FormatOfBits(Layout.BitsPerPixel));
        if (!Layout.Palette.empty())
            FOwner->SetPalette(CreatePaletteHandle(Layout.Palette));
        FOwner->SetSize(int(Layout.Width), int(Layout.Height));
        return FOwner->Rows();
    }
    void Progress(TPNGProgressStage Stage, uint8_t PercentDone, bool RedrawNow, const TPNGProgressRect& R,
                  const wchar_t* Msg) override
    {
        FOwner->Progress(FOwner, StageOf(Stage), PercentDone, RedrawNow, TRect(R.Left, R.Top, R.Right, R.Bottom),
                         Msg);
    }
};

HPALETTE CreatePaletteHandle(const TColorPalette& Entries)
{
    struct {
        WORD Version;
        WORD Count;
        PALETTEENTRY Entries[256];
    } lp{0x300, WORD(std::min<size_t>(Entries.size(), 256)), {}};
    for (WORD i = 0; i < lp.Count; ++i)
        lp.Entries[i] = PALETTEENTRY{Entries[i].Red, Entries[i].Green, Entries[i].Blue, Entries[i].Flags};
    return ::CreatePalette(reinterpret_cast<LOGPALETTE*>(&lp));
}

TPNGGraphic::TPNGGraphic() : FColorManager(new TColorManager)
{
    std::fill(std::begin(FTransparency), std::end(FTransparency), uint8_t(255));
}

TPNGGraphic::~TPNGGraphic()
{
    delete FColorManager;
}

void TPNGGraphic::Assign(TPersistent* Source)
{
    if (auto* png = dynamic_cast<TPNGGraphic*>(Source))
        FImageProperties = png->FImageProperties;
    TBitmap::Assign(Source);
}

bool TPNGGraphic::CanLoad(const UnicodeString& FileName)
{
    if (!UseKVPng)
        return false;
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    return CanLoad(&stream);
}

bool TPNGGraphic::CanLoad(TStream* Stream)
{
    if (!UseKVPng)
        return false;
    const int64_t pos = Stream->Position();
    bool result = false;
    if (Stream->Size() - pos > 8) {
        uint8_t magic[8];
        result = Stream->Read(magic, 8) == 8 && std::equal(magic, magic + 8, PNGMagic);
    }
    Stream->SetPosition(pos);
    return result;
}

bool TPNGGraphic::ReadImageProperties(TStream* Stream, uint32_t)
{
    TStreamSource source(Stream);
    TPNGDecoder decoder(*FColorManager);
    const bool result = decoder.ReadImageProperties(source);
    FImageProperties = decoder.ImageProperties();
    return result;
}

void TPNGGraphic::LoadFromStream(TStream* Stream)
{
    SetSize(0, 0);
    TStreamSource source(Stream);
    TImageTarget target(this);
    TPNGDecoder decoder(*FColorManager);
    try {
        decoder.Load(source, target);
    } catch (...) {
        // No half image is left behind.
        FImageProperties = decoder.ImageProperties();
        SetSize(0, 0);
        throw;
    }
    FImageProperties = decoder.ImageProperties();
    FTransparentColor = TColor(decoder.TransparentColor());
    FBackgroundColor = TColor(decoder.BackgroundColor());
    std::copy(decoder.Transparency(), decoder.Transparency() + 256, FTransparency);
    Changed(this);
}

void RegisterPNGFormat()
{
    TPicture::RegisterFileFormat(L"png", L"Portable network graphics (Korvex)", GraphicClass<TPNGGraphic>());
}

void UnregisterPNGFormat()
{
    TPicture::UnregisterGraphicClass(GraphicClass<TPNGGraphic>());
}

namespace {

// The format is the program's from its start to its end, as any picture
// format the library brings.
struct TPNGFormatRegistration {
    TPNGFormatRegistration() { RegisterPNGFormat(); }
    ~TPNGFormatRegistration() { UnregisterPNGFormat(); }
} PNGFormatRegistration;

} // namespace
