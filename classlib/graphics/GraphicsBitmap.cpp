// TBitmap: an image held in a DIB section (or a device-dependent bitmap
// until someone needs its pixels), with a canvas over a memory DC.
#include "classlib/graphics/Graphics.h"
#include "classlib/graphics/Jpeg.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

// A BITMAPINFO with room for a full colour table (or three channel masks).
struct BitmapInfo {
    BITMAPINFOHEADER Header{};
    RGBQUAD Colors[256]{};
};

constexpr DWORD kMask565[3] = {0xF800, 0x07E0, 0x001F};
constexpr DWORD kMask555[3] = {0x7C00, 0x03E0, 0x001F};
constexpr DWORD kMask888[3] = {0xFF0000, 0x00FF00, 0x0000FF};

bool SameMasks(const DWORD* a, const DWORD* b)
{
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

int StrideOf(int Width, int Bits)
{
    return ((Width * Bits + 31) / 32) * 4;
}

std::vector<RGBQUAD> GreyPalette()
{
    std::vector<RGBQUAD> p(256);
    for (int i = 0; i < 256; ++i)
        p[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
    return p;
}

std::vector<RGBQUAD> MonoPalette()
{
    return {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
}

// The 16 colours of the standard VGA palette.
std::vector<RGBQUAD> VgaPalette()
{
    static const COLORREF c[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080,
                                   0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    std::vector<RGBQUAD> p(16);
    for (int i = 0; i < 16; ++i)
        p[i] = RGBQUAD{GetBValue(c[i]), GetGValue(c[i]), GetRValue(c[i]), 0};
    return p;
}

std::vector<RGBQUAD> DefaultPalette(TPixelFormat f)
{
    switch (f) {
    case pf1bit: return MonoPalette();
    case pf4bit: return VgaPalette();
    case pf8bit: return GreyPalette();
    default: return {};
    }
}

TPixelFormat ScreenFormat()
{
    ScreenDC dc;
    int bits = dc ? ::GetDeviceCaps(dc, BITSPIXEL) * ::GetDeviceCaps(dc, PLANES) : 32;
    switch (bits) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 15: return pf15bit;
    case 16: return pf16bit;
    case 24: return pf24bit;
    default: return pf32bit;
    }
}

// One pixel as B, G, R, A in the bytes of a 32-bit word (A in the top byte).
using Bgra = uint32_t;

int Luma(Bgra p)
{
    int b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF;
    return (r * 77 + g * 150 + b * 29 + 128) >> 8;
}

Bgra FromQuad(const RGBQUAD& q)
{
    return q.rgbBlue | (q.rgbGreen << 8) | (q.rgbRed << 16) | 0xFF000000u;
}

// Reads pixel X of a row of the given format.  Only 32-bit pixels carry their
// own alpha; every other format reads as opaque.
Bgra ReadPixel(const uint8_t* row, int x, TPixelFormat f, const std::vector<RGBQUAD>& pal)
{
    auto fromPal = [&](unsigned i) { return i < pal.size() ? FromQuad(pal[i]) : 0xFF000000u; };
    switch (f) {
    case pf1bit: return fromPal((row[x >> 3] >> (7 - (x & 7))) & 1);
    case pf4bit: return fromPal((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF);
    case pf8bit: return fromPal(row[x]);
    case pf15bit: {
        unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
        unsigned r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
        return ((b << 3) | (b >> 2)) | (((g << 3) | (g >> 2)) << 8) | (((r << 3) | (r >> 2)) << 16) | 0xFF000000u;
    }
    case pf16bit: {
        unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
        unsigned r = (v >> 11) & 31, g = (v >> 5) & 63, b = v & 31;
        return ((b << 3) | (b >> 2)) | (((g << 2) | (g >> 4)) << 8) | (((r << 3) | (r >> 2)) << 16) | 0xFF000000u;
    }
    case pf24bit: return row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16) | 0xFF000000u;
    case pf32bit: {
        uint32_t v;
        std::memcpy(&v, row + 4 * x, 4);
        return v;
    }
    default: return 0xFF000000u;
    }
}

int NearestIndex(Bgra p, const std::vector<RGBQUAD>& pal)
{
    int best = 0, bestDist = 1 << 30;
    int b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF;
    for (int i = 0; i < int(pal.size()); ++i) {
        int db = b - pal[i].rgbBlue, dg = g - pal[i].rgbGreen, dr = r - pal[i].rgbRed;
        int d = db * db + dg * dg + dr * dr;
        if (d < bestDist) {
            bestDist = d;
            best = i;
        }
    }
    return best;
}

// Writes pixel X of a row.  Palette formats use the palette made for them by
// the conversion: 8-bit is a grey ramp (index = brightness), 1-bit is black
// below half brightness and white from there, 4-bit takes the nearest colour.
void WritePixel(uint8_t* row, int x, TPixelFormat f, Bgra p, const std::vector<RGBQUAD>& pal)
{
    unsigned b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF;
    switch (f) {
    case pf1bit: {
        uint8_t bit = uint8_t(0x80 >> (x & 7));
        if (Luma(p) >= 128)
            row[x >> 3] |= bit;
        else
            row[x >> 3] &= uint8_t(~bit);
        break;
    }
    case pf4bit: {
        unsigned i = unsigned(NearestIndex(p, pal));
        uint8_t& byte = row[x >> 1];
        byte = (x & 1) ? uint8_t((byte & 0xF0) | i) : uint8_t((byte & 0x0F) | (i << 4));
        break;
    }
    case pf8bit: row[x] = uint8_t(Luma(p)); break;
    case pf15bit: {
        unsigned v = ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
        row[2 * x] = uint8_t(v);
        row[2 * x + 1] = uint8_t(v >> 8);
        break;
    }
    case pf16bit: {
        unsigned v = ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
        row[2 * x] = uint8_t(v);
        row[2 * x + 1] = uint8_t(v >> 8);
        break;
    }
    case pf24bit:
        row[3 * x] = uint8_t(b);
        row[3 * x + 1] = uint8_t(g);
        row[3 * x + 2] = uint8_t(r);
        break;
    case pf32bit: std::memcpy(row + 4 * x, &p, 4); break;
    default: break;
    }
}

// Selects a bitmap into a fresh memory DC for the length of a copy.
struct BitmapDC {
    MemoryDC DC{nullptr};
    SelectedObject Sel;
    explicit BitmapDC(HBITMAP bmp) : Sel(DC.Get(), bmp) {}
};

// A device-dependent bitmap like the screen's.
GdiObject<HBITMAP> NewDdb(int W, int H)
{
    ScreenDC screen;
    GdiObject<HBITMAP> ddb(::CreateCompatibleBitmap(screen, W, H));
    if (!ddb)
        throw EOutOfResources(L"Out of system resources");
    return ddb;
}

// Copies the top-left W x H pixels of a context into a bitmap through the
// system, which converts between any two formats.
void CopyPixels(HDC From, HBITMAP To, int W, int H)
{
    BitmapDC dst(To);
    ::BitBlt(dst.DC.Get(), 0, 0, W, H, From, 0, 0, SRCCOPY);
}

// Makes every pixel of a 32-bit DIB opaque: the system leaves alpha 0 where
// it draws or converts, and alpha 0 would make the image invisible.
void MakeOpaque(uint8_t* Bits, int W, int H)
{
    ::GdiFlush();
    const int stride = StrideOf(W, 32);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            Bits[ptrdiff_t(y) * stride + 4 * x + 3] = 255;
}

} // namespace

int BitsPerPixel(TPixelFormat Format)
{
    static const int bits[] = {0, 1, 4, 8, 16, 16, 24, 32, 0};
    return bits[Format];
}

// ---------------------------------------------------------------------------
// The canvas of a bitmap: a memory DC holding the bitmap, made on first use
// and let go whenever the bitmap's image is replaced.
class TBitmapCanvas : public TCanvas {
    KV_CLASS(TBitmapCanvas)
    TBitmap* FBitmap;
    MemoryDC FDC;
    SelectedObject FBitmapSel;

protected:
    void CreateHandle() override
    {
        MemoryDC dc(nullptr);
        if (!dc)
            throw EOutOfResources(L"Out of system resources");
        FDC = std::move(dc);
        if (FBitmap->FHandle)
            FBitmapSel = SelectedObject(FDC.Get(), FBitmap->FHandle.Get());
        SetHandle(FDC.Get());
    }

public:
    explicit TBitmapCanvas(TBitmap* ABitmap) : FBitmap(ABitmap) {}
    ~TBitmapCanvas() override { FreeContext(); }

    // The bitmap leaves the context (so that it can be replaced, or selected
    // elsewhere for a moment); the context itself stays.
    void DeselectBitmap() { FBitmapSel.Restore(); }
    void SelectBitmap()
    {
        if (FDC && FBitmap->FHandle && !FBitmapSel.Active())
            FBitmapSel = SelectedObject(FDC.Get(), FBitmap->FHandle.Get());
    }

    void FreeContext()
    {
        if (!FDC)
            return;
        SetHandle(nullptr);
        FBitmapSel.Restore();
        FDC.Reset();
    }
};

// ---------------------------------------------------------------------------
TBitmap::TBitmap()
{
    FHandleType = bmDDB;
}

TBitmap::TBitmap(int AWidth, int AHeight, TPixelFormat Format) : TBitmap()
{
    SetPixelFormat(Format);
    SetSize(AWidth, AHeight);
}

TBitmap::~TBitmap()
{
    delete FCanvas; // selects the bitmap out before FHandle deletes it
    FCanvas = nullptr;
}

void TBitmap::FreeContext()
{
    if (FCanvas)
        static_cast<TBitmapCanvas*>(FCanvas)->FreeContext();
}

void TBitmap::DeselectImage()
{
    if (FCanvas)
        static_cast<TBitmapCanvas*>(FCanvas)->DeselectBitmap();
}

void TBitmap::SelectImage()
{
    if (FCanvas)
        static_cast<TBitmapCanvas*>(FCanvas)->SelectBitmap();
}

// While the image is selected into another context for a copy; whatever
// happens, the canvas gets its (possibly new) image back afterwards.
class TBitmap::ImageOut {
    TBitmap* FBitmap;

public:
    explicit ImageOut(TBitmap* b) : FBitmap(b) { b->DeselectImage(); }
    ~ImageOut() { FBitmap->SelectImage(); }
    ImageOut(const ImageOut&) = delete;
    ImageOut& operator=(const ImageOut&) = delete;
};

TCanvas* TBitmap::Canvas()
{
    if (!FCanvas) {
        FCanvas = new TBitmapCanvas(this);
        FCanvas->OnChange = Bind(this, &TBitmap::Changed);
    }
    return FCanvas;
}

void TBitmap::Changed(TObject* Sender)
{
    TGraphic::Changed(Sender);
}

// Whether a DIB section stores its top row first.  The system does not say
// reliably (a top-down section may report a positive height), so the first
// stored byte is changed for a moment to see whether pixel (0, 0) follows.
static bool ProbeTopDown(HBITMAP Bmp, uint8_t* Bits, int Height)
{
    if (Height < 2)
        return false;
    BitmapDC dc(Bmp);
    if (!dc.Sel.Active())
        return false;
    ::GdiFlush();
    const COLORREF before = ::GetPixel(dc.DC.Get(), 0, 0);
    const uint8_t saved = Bits[0];
    Bits[0] = uint8_t(~saved);
    const COLORREF after = ::GetPixel(dc.DC.Get(), 0, 0);
    Bits[0] = saved;
    return after != before;
}

// Takes Bmp as the image (nullptr empties the bitmap) and reads its shape.
void TBitmap::SetImage(HBITMAP Bmp, int RowOrder)
{
    DeselectImage();
    FHandle.Reset(Bmp);
    FBits = nullptr;
    FStride = 0;
    FTopDown = false;
    FColors.clear();
    std::fill(std::begin(FMasks), std::end(FMasks), 0);
    FWidth = FHeight = 0;
    FPixelFormat = pfDevice;
    if (!Bmp)
        return;

    DIBSECTION ds{};
    int got = ::GetObjectW(Bmp, sizeof(ds), &ds);
    if (got == sizeof(DIBSECTION) && ds.dsBm.bmBits) {
        FHandleType = bmDIB;
        FWidth = ds.dsBm.bmWidth;
        FHeight = std::abs(ds.dsBm.bmHeight);
        FBits = static_cast<uint8_t*>(ds.dsBm.bmBits);
        FStride = ds.dsBm.bmWidthBytes;
        FTopDown = ds.dsBmih.biHeight < 0 || (RowOrder < 0 ? ProbeTopDown(Bmp, FBits, FHeight) : RowOrder == 1);
        const bool fields = ds.dsBmih.biCompression == BI_BITFIELDS;
        if (fields)
            std::copy(ds.dsBitfields, ds.dsBitfields + 3, FMasks);
        switch (ds.dsBmih.biBitCount) {
        case 1: FPixelFormat = pf1bit; break;
        case 4: FPixelFormat = pf4bit; break;
        case 8: FPixelFormat = pf8bit; break;
        case 16:
            FPixelFormat = !fields || SameMasks(FMasks, kMask555) ? pf15bit
                           : SameMasks(FMasks, kMask565)          ? pf16bit
                                                                  : pfCustom;
            break;
        case 24: FPixelFormat = pf24bit; break;
        case 32: FPixelFormat = !fields || SameMasks(FMasks, kMask888) ? pf32bit : pfCustom; break;
        default: FPixelFormat = pfCustom;
        }
        if (ds.dsBmih.biBitCount <= 8) {
            RGBQUAD table[256];
            BitmapDC dc(Bmp);
            UINT n = dc.Sel.Active() ? ::GetDIBColorTable(dc.DC.Get(), 0, 256, table) : 0;
            if (n)
                FColors.assign(table, table + n);
            else
                FColors = DefaultPalette(FPixelFormat);
        }
    } else if (got >= int(sizeof(BITMAP))) {
        FHandleType = bmDDB;
        FWidth = ds.dsBm.bmWidth;
        FHeight = ds.dsBm.bmHeight;
    } else {
        FHandle.Release(); // not a bitmap: leave it alone
        throw EInvalidGraphic(L"Invalid bitmap handle");
    }
    FWantedFormat = FPixelFormat;
    SelectImage(); // a canvas keeps its context: handles taken from it stay good
}

HBITMAP TBitmap::NewDib(int W, int H, TPixelFormat Format, const std::vector<RGBQUAD>& Colors, void** Bits) const
{
    if (W <= 0 || H <= 0 || BitsPerPixel(Format) == 0)
        throw EInvalidGraphic(L"Invalid pixel format");
    BitmapInfo bi;
    bi.Header.biSize = sizeof(BITMAPINFOHEADER);
    bi.Header.biWidth = W;
    bi.Header.biHeight = H; // bottom-up, the usual row order
    bi.Header.biPlanes = 1;
    bi.Header.biBitCount = WORD(BitsPerPixel(Format));
    bi.Header.biCompression = BI_RGB;
    if (Format == pf16bit) {
        bi.Header.biCompression = BI_BITFIELDS;
        std::memcpy(bi.Colors, kMask565, sizeof(kMask565));
    } else if (Format <= pf8bit) {
        std::vector<RGBQUAD> pal = Colors.empty() ? DefaultPalette(Format) : Colors;
        size_t n = std::min<size_t>(pal.size(), size_t(1) << bi.Header.biBitCount);
        std::copy(pal.begin(), pal.begin() + n, bi.Colors);
        bi.Header.biClrUsed = DWORD(n);
    }
    void* bits = nullptr;
    HBITMAP h = ::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!h || !bits)
        throw EOutOfResources(L"Out of system resources");
    if (Bits)
        *Bits = bits;
    return h;
}

const uint8_t* TBitmap::Row(int Y) const
{
    return FBits + ptrdiff_t(FTopDown ? Y : FHeight - 1 - Y) * FStride;
}

TPixelFormat TBitmap::PixelFormat() const
{
    if (!FHandle)
        return pfDevice;
    return FHandleType == bmDDB ? pfDevice : FPixelFormat;
}

void TBitmap::SetPixelFormat(TPixelFormat Value)
{
    if (Value == pfCustom)
        throw EInvalidGraphic(L"Invalid pixel format");
    if (!FHandle) {
        FWantedFormat = Value;
        FHandleType = Value == pfDevice ? bmDDB : bmDIB;
        return;
    }
    if (Value == PixelFormat())
        return;
    if (Value == pfDevice)
        MakeDDB();
    else
        ConvertTo(Value);
    Changed(this);
}

// Converts the pixels of the current image to a new DIB of Format.
void TBitmap::ConvertTo(TPixelFormat Format)
{
    if (FHandleType == bmDDB)
        MakeDIB(pf32bit);
    if (FPixelFormat == Format)
        return;
    ::GdiFlush();
    FPalette.Reset();
    std::vector<RGBQUAD> pal = DefaultPalette(Format);
    uint8_t* bits = nullptr;
    GdiObject<HBITMAP> dib(NewDib(FWidth, FHeight, Format, pal, reinterpret_cast<void**>(&bits)));
    const int stride = StrideOf(FWidth, BitsPerPixel(Format));
    // A format we cannot read pixel by pixel goes through the system's own conversion.
    if (FPixelFormat == pfCustom) {
        {
            ImageOut out(this);
            BitmapDC src(FHandle.Get());
            CopyPixels(src.DC.Get(), dib.Get(), FWidth, FHeight);
        }
        if (Format == pf32bit)
            MakeOpaque(bits, FWidth, FHeight);
    } else {
        for (int y = 0; y < FHeight; ++y) {
            const uint8_t* src = Row(y);
            uint8_t* dst = bits + ptrdiff_t(FHeight - 1 - y) * stride;
            // The two conversions painting code asks for all the time go straight.
            if (FPixelFormat == pf24bit && Format == pf32bit) {
                for (int x = 0; x < FWidth; ++x, src += 3, dst += 4)
                    dst[0] = src[0], dst[1] = src[1], dst[2] = src[2], dst[3] = 255;
            } else if (FPixelFormat == pf32bit && Format == pf24bit) {
                for (int x = 0; x < FWidth; ++x, src += 4, dst += 3)
                    dst[0] = src[0], dst[1] = src[1], dst[2] = src[2];
            } else {
                for (int x = 0; x < FWidth; ++x)
                    WritePixel(dst, x, Format, ReadPixel(src, x, FPixelFormat, FColors), pal);
            }
        }
    }
    SetImage(dib.Release());
}

// Turns a device-dependent image into a DIB of Format (pfDevice: the
// screen's depth).  A 32-bit result is opaque.
void TBitmap::MakeDIB(TPixelFormat Format)
{
    if (FHandleType == bmDIB && FHandle)
        return;
    if (!FHandle) {
        FHandleType = bmDIB;
        return;
    }
    if (Format == pfDevice)
        Format = ScreenFormat();
    ImageOut out(this);
    uint8_t* bits = nullptr;
    GdiObject<HBITMAP> dib(NewDib(FWidth, FHeight, Format, {}, reinterpret_cast<void**>(&bits)));
    {
        BitmapDC src(FHandle.Get());
        CopyPixels(src.DC.Get(), dib.Get(), FWidth, FHeight);
    }
    if (Format == pf32bit)
        MakeOpaque(bits, FWidth, FHeight);
    SetImage(dib.Release());
}

void TBitmap::MakeDDB()
{
    if (!FHandle) {
        FHandleType = bmDDB;
        FWantedFormat = pfDevice;
        return;
    }
    if (FHandleType == bmDDB)
        return;
    ImageOut out(this);
    GdiObject<HBITMAP> ddb = NewDdb(FWidth, FHeight);
    {
        BitmapDC src(FHandle.Get());
        CopyPixels(src.DC.Get(), ddb.Get(), FWidth, FHeight);
    }
    SetImage(ddb.Release());
}

void TBitmap::SetHandleType(TBitmapHandleType Value)
{
    if (Value == FHandleType)
        return;
    if (Value == bmDIB)
        MakeDIB(pfDevice);
    else
        MakeDDB();
    Changed(this);
}

void TBitmap::SetSize(int AWidth, int AHeight)
{
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    if (AWidth == FWidth && AHeight == FHeight && (FHandle || AWidth == 0 || AHeight == 0)) {
        if (!FHandle) {
            FWidth = AWidth;
            FHeight = AHeight;
        }
        return;
    }
    if (AWidth == 0 || AHeight == 0) {
        // Empty: the format is remembered for the next image.
        TPixelFormat keep = FHandle ? PixelFormat() : FWantedFormat;
        TBitmapHandleType keepType = FHandleType;
        SetImage(nullptr);
        FWantedFormat = keep;
        FHandleType = keepType;
        FWidth = AWidth;
        FHeight = AHeight;
        Changed(this);
        return;
    }

    if (FHandle && FHandleType == bmDIB && FPixelFormat == pfCustom)
        ConvertTo(pf32bit); // keep such pixels in the nearest plain format

    GdiObject<HBITMAP> img;
    if (FHandleType == bmDDB) {
        img = NewDdb(AWidth, AHeight);
        if (FHandle) {
            ImageOut out(this);
            BitmapDC src(FHandle.Get());
            CopyPixels(src.DC.Get(), img.Get(), std::min(FWidth, AWidth), std::min(FHeight, AHeight));
        }
    } else {
        TPixelFormat format = FHandle ? FPixelFormat : FWantedFormat;
        if (format == pfDevice)
            format = ScreenFormat();
        std::vector<RGBQUAD> colors = FHandle ? FColors : FWantedColors.empty() ? DefaultPalette(format) : FWantedColors;
        uint8_t* bits = nullptr;
        img.Reset(NewDib(AWidth, AHeight, format, colors, reinterpret_cast<void**>(&bits)));
        if (FHandle) {
            ::GdiFlush();
            const int stride = StrideOf(AWidth, BitsPerPixel(format));
            const int bytes = (std::min(FWidth, AWidth) * BitsPerPixel(format) + 7) / 8;
            for (int y = 0; y < std::min(FHeight, AHeight); ++y)
                std::memcpy(bits + ptrdiff_t(AHeight - 1 - y) * stride, Row(y), size_t(bytes));
        }
    }
    SetImage(img.Release());
    Changed(this);
}

void* TBitmap::ScanLine(int Y)
{
    if (!FHandle || Y < 0 || Y >= FHeight)
        throw EInvalidGraphicOperation(L"Scan line index out of range");
    if (FHandleType == bmDDB) {
        MakeDIB(pfDevice);
        Changed(this);
    }
    ::GdiFlush();
    return const_cast<uint8_t*>(Row(Y));
}

TBitmapRows TBitmap::Rows()
{
    if (!FHandle)
        return {};
    if (FHandleType == bmDDB) {
        MakeDIB(pfDevice);
        Changed(this);
    }
    ::GdiFlush();
    TBitmapRows R;
    R.First = const_cast<uint8_t*>(Row(0));
    R.Step = FTopDown ? FStride : -std::ptrdiff_t(FStride);
    R.Width = FWidth;
    R.Height = FHeight;
    const int Bits = BitsPerPixel(FPixelFormat);
    R.BytesPerPixel = Bits % 8 == 0 ? Bits / 8 : 0;
    return R;
}

HBITMAP TBitmap::Handle()
{
    return FHandle.Get();
}

void TBitmap::SetHandle(HBITMAP Value)
{
    if (Value == FHandle.Get())
        return;
    FPalette.Reset();
    FWantedColors.clear();
    SetImage(Value, -1);
    Changed(this);
}

HBITMAP TBitmap::ReleaseHandle()
{
    DeselectImage();
    HBITMAP h = FHandle.Release();
    TPixelFormat keep = FPixelFormat;
    SetImage(nullptr);
    FWantedFormat = keep;
    return h;
}

std::vector<RGBQUAD> TBitmap::ColorTable() const
{
    return FColors;
}

HPALETTE TBitmap::Palette()
{
    if (!FPalette) {
        const std::vector<RGBQUAD>& table = FHandle ? FColors : FWantedColors;
        if (table.empty())
            return nullptr;
        struct {
            WORD Version;
            WORD Count;
            PALETTEENTRY Entries[256];
        } lp{0x300, WORD(std::min<size_t>(table.size(), 256)), {}};
        for (WORD i = 0; i < lp.Count; ++i)
            lp.Entries[i] = PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
        FPalette.Reset(::CreatePalette(reinterpret_cast<LOGPALETTE*>(&lp)));
    }
    return FPalette.Get();
}

void TBitmap::SetPalette(HPALETTE Value)
{
    if (Value == FPalette.Get())
        return;
    std::vector<RGBQUAD> table;
    if (Value) {
        PALETTEENTRY entries[256];
        UINT n = ::GetPaletteEntries(Value, 0, 256, entries);
        for (UINT i = 0; i < n; ++i)
            table.push_back(RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0});
    }
    FPalette.Reset(Value);
    if (!FHandle) {
        FWantedColors = table;
        return;
    }
    if (FHandleType == bmDIB && FPixelFormat <= pf8bit && FPixelFormat != pfDevice && !table.empty()) {
        table.resize(std::min<size_t>(table.size(), size_t(1) << BitsPerPixel(FPixelFormat)));
        {
            ImageOut out(this);
            BitmapDC dc(FHandle.Get());
            ::SetDIBColorTable(dc.DC.Get(), 0, UINT(table.size()), table.data());
        }
        FColors = table;
        Changed(this);
    }
}

TColor TBitmap::TransparentColor()
{
    if (FTransparentMode == tmFixed && FTransparentColor != clDefault)
        return FTransparentColor;
    if (!FHandle)
        return clDefault;
    return Canvas()->Pixels(0, FHeight - 1);
}

void TBitmap::SetTransparentColor(TColor Value)
{
    if (Value == FTransparentColor && FTransparentMode == (Value == clDefault ? tmAuto : tmFixed))
        return;
    FTransparentColor = Value;
    FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
    Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode Value)
{
    if (Value == FTransparentMode)
        return;
    if (Value == tmAuto)
        SetTransparentColor(clDefault);
    else
        SetTransparentColor(TransparentColor());
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect)
{
    if (!FHandle)
        return;
    HDC dst = ACanvas->Handle();
    if (Transparent()) {
        COLORREF key = COLORREF(ColorToRGB(TransparentColor())) & 0xFFFFFF;
        HDC src = Canvas()->Handle();
        ::TransparentBlt(dst, Rect.left, Rect.top, Rect.Width(), Rect.Height(), src, 0, 0, FWidth, FHeight, key);
        return;
    }
    HDC src = Canvas()->Handle();
    StretchModeScope mode(dst, COLORONCOLOR);
    ::StretchBlt(dst, Rect.left, Rect.top, Rect.Width(), Rect.Height(), src, 0, 0, FWidth, FHeight,
                 DWORD(ACanvas->CopyMode()));
}

void TBitmap::Assign(TPersistent* Source)
{
    if (Source == this)
        return;
    if (!Source || dynamic_cast<TBitmap*>(Source)) {
        FPalette.Reset();
        FWantedColors.clear();
    }
    if (!Source) {
        SetImage(nullptr);
        FHandleType = bmDDB;
        FWantedFormat = pfDevice;
        Changed(this);
        return;
    }
    if (auto* src = dynamic_cast<TBitmap*>(Source)) {
        FTransparentColor = src->FTransparentColor;
        FTransparentMode = src->FTransparentMode;
        TGraphic::SetTransparent(src->Transparent());
        if (!src->FHandle) {
            SetImage(nullptr);
            FHandleType = src->FHandleType;
            FWantedFormat = src->FWantedFormat;
            FWidth = src->FWidth;
            FHeight = src->FHeight;
        } else if (src->FHandleType == bmDDB) {
            GdiObject<HBITMAP> ddb = NewDdb(src->FWidth, src->FHeight);
            CopyPixels(src->Canvas()->Handle(), ddb.Get(), src->FWidth, src->FHeight);
            SetImage(ddb.Release());
        } else {
            ::GdiFlush();
            TPixelFormat format = src->FPixelFormat;
            std::vector<RGBQUAD> colors = src->FColors;
            uint8_t* bits = nullptr;
            GdiObject<HBITMAP> dib;
            if (format == pfCustom) {
                // An unusual bit-field layout: copy through the system at 32 bits.
                dib.Reset(NewDib(src->FWidth, src->FHeight, pf32bit, {}, reinterpret_cast<void**>(&bits)));
                CopyPixels(src->Canvas()->Handle(), dib.Get(), src->FWidth, src->FHeight);
                MakeOpaque(bits, src->FWidth, src->FHeight);
            } else {
                dib.Reset(NewDib(src->FWidth, src->FHeight, format, colors, reinterpret_cast<void**>(&bits)));
                const int stride = StrideOf(src->FWidth, BitsPerPixel(format));
                for (int y = 0; y < src->FHeight; ++y)
                    std::memcpy(bits + ptrdiff_t(src->FHeight - 1 - y) * stride, src->Row(y), size_t(stride));
            }
            SetImage(dib.Release());
        }
        Changed(this);
        return;
    }
    if (auto* jpeg = dynamic_cast<TJPEGImage*>(Source)) {
        Assign(jpeg->Bitmap()); // the decoded 24-bit picture, or empty
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        // Any other graphic is drawn onto a white bitmap of its size.
        if (g->Empty()) {
            Assign(nullptr);
            return;
        }
        TPixelFormat format = FHandle ? PixelFormat() : FWantedFormat;
        SetImage(nullptr);
        FWantedFormat = format == pfDevice ? pf24bit : format;
        FHandleType = bmDIB;
        SetSize(g->Width(), g->Height());
        Canvas()->Brush()->SetColor(clWhite);
        Canvas()->FillRect(Rect(0, 0, FWidth, FHeight));
        Canvas()->Draw(0, 0, g);
        if (FPixelFormat == pf32bit)
            MakeOpaque(FBits, FWidth, FHeight);
        TGraphic::SetTransparent(g->Transparent());
        Changed(this);
        return;
    }
    TGraphic::Assign(Source);
}

// ---------------------------------------------------------------------------
// BMP files.
namespace {
[[noreturn]] void InvalidBitmap()
{
    throw EInvalidGraphic(L"Bitmap image is not valid");
}

// A file cut short anywhere in its headers is a damaged picture.
void ReadHeaderPart(TStream* Stream, void* Buffer, int32_t Count)
{
    if (Stream->Read(Buffer, Count) != Count)
        InvalidBitmap();
}

// What the headers of a BMP file say about its image.
struct TBmpHeaders {
    BITMAPFILEHEADER File{};
    DWORD InfoSize = 0;      // the info header's length as stored
    BITMAPINFOHEADER Info{}; // an old core header is turned into this
    int EntrySize = 4;       // bytes of a colour table entry (3 after a core header)
    DWORD Masks[3] = {};     // channel masks of BI_BITFIELDS images
    std::vector<RGBQUAD> Colors;
};

// The info header, in any of its lengths.
void ReadInfoHeader(TStream* Stream, TBmpHeaders& H)
{
    ReadHeaderPart(Stream, &H.InfoSize, 4);
    const DWORD size = H.InfoSize;
    BITMAPINFOHEADER& ih = H.Info;
    if (size == sizeof(BITMAPCOREHEADER)) {
        BITMAPCOREHEADER ch{};
        ch.bcSize = size;
        ReadHeaderPart(Stream, reinterpret_cast<uint8_t*>(&ch) + 4, sizeof(ch) - 4);
        ih.biWidth = ch.bcWidth;
        ih.biHeight = ch.bcHeight;
        ih.biPlanes = ch.bcPlanes;
        ih.biBitCount = ch.bcBitCount;
        ih.biCompression = BI_RGB;
        H.EntrySize = 3;
    } else if (size >= sizeof(BITMAPINFOHEADER) && size <= 1024) {
        std::vector<uint8_t> raw(size);
        std::memcpy(raw.data(), &size, 4);
        ReadHeaderPart(Stream, raw.data() + 4, int32_t(size - 4));
        std::memcpy(&ih, raw.data(), sizeof(ih));
        ih.biSize = sizeof(ih);
        // Headers longer than the basic one carry the channel masks right after it.
        if (ih.biCompression == BI_BITFIELDS && size >= sizeof(BITMAPINFOHEADER) + sizeof(H.Masks))
            std::memcpy(H.Masks, raw.data() + sizeof(BITMAPINFOHEADER), sizeof(H.Masks));
    } else {
        InvalidBitmap();
    }
}

int64_t ImageHeight(const BITMAPINFOHEADER& Info)
{
    return Info.biHeight < 0 ? -int64_t(Info.biHeight) : Info.biHeight;
}

// Only sizes and pixel layouts that a DIB section can hold are taken.
void CheckImageFormat(const BITMAPINFOHEADER& Info)
{
    const int bits = Info.biBitCount;
    const bool validBits = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    const int64_t width = Info.biWidth, height = ImageHeight(Info);
    if (!validBits || width <= 0 || height <= 0 || width > 32767 || height > 32767 || Info.biPlanes > 1)
        InvalidBitmap();
    if (!(Info.biCompression == BI_RGB || (Info.biCompression == BI_BITFIELDS && (bits == 16 || bits == 32))))
        throw EInvalidGraphic(L"Unsupported bitmap format");
}

// The channel masks that follow a basic info header, and the colour table
// of a palette image (no longer than its pixels can index).
void ReadMasksAndColors(TStream* Stream, TBmpHeaders& H)
{
    const BITMAPINFOHEADER& ih = H.Info;
    if (ih.biCompression == BI_BITFIELDS && H.InfoSize == sizeof(BITMAPINFOHEADER))
        ReadHeaderPart(Stream, H.Masks, sizeof(H.Masks));
    const int bits = ih.biBitCount;
    if (bits > 8)
        return;
    int64_t n = ih.biClrUsed ? int64_t(ih.biClrUsed) : (int64_t(1) << bits);
    if (n > (int64_t(1) << bits))
        n = int64_t(1) << bits;
    const int e = H.EntrySize;
    std::vector<uint8_t> raw(static_cast<size_t>(n * e));
    ReadHeaderPart(Stream, raw.data(), int32_t(n * e));
    H.Colors.resize(size_t(n));
    for (int64_t i = 0; i < n; ++i)
        H.Colors[size_t(i)] = RGBQUAD{raw[size_t(i * e)], raw[size_t(i * e + 1)], raw[size_t(i * e + 2)], 0};
}

TBmpHeaders ReadBmpHeaders(TStream* Stream)
{
    TBmpHeaders h;
    ReadHeaderPart(Stream, &h.File, sizeof(h.File));
    if (h.File.bfType != 0x4D42)
        InvalidBitmap();
    ReadInfoHeader(Stream, h);
    CheckImageFormat(h.Info);
    ReadMasksAndColors(Stream, h);
    return h;
}

// Moves to the pixels of the file that starts at Start; they must lie
// wholly inside the stream, after the headers.
void SeekToPixels(TStream* Stream, const TBmpHeaders& H, int64_t Start, int64_t Available, int64_t DataBytes)
{
    const int64_t read = Stream->Position() - Start;
    const int64_t offset = H.File.bfOffBits ? int64_t(H.File.bfOffBits) : read;
    if (offset < read || offset + DataBytes > Available)
        InvalidBitmap();
    Stream->SetPosition(Start + offset);
}

// An empty DIB section laid out as the file's image.
GdiObject<HBITMAP> NewDibFor(const TBmpHeaders& H, void** Bits)
{
    BitmapInfo bi;
    bi.Header = H.Info;
    bi.Header.biSize = sizeof(BITMAPINFOHEADER);
    bi.Header.biPlanes = 1; // some writers leave it 0, which the system refuses
    bi.Header.biSizeImage = 0;
    if (H.Info.biCompression == BI_BITFIELDS)
        std::memcpy(bi.Colors, H.Masks, sizeof(H.Masks));
    else if (!H.Colors.empty()) {
        std::copy(H.Colors.begin(), H.Colors.end(), bi.Colors);
        bi.Header.biClrUsed = DWORD(H.Colors.size());
    }
    *Bits = nullptr;
    GdiObject<HBITMAP> dib(
        ::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, Bits, nullptr, 0));
    // The file holds every byte of the image, so its size is no strain: a
    // refusal means the header asks for what cannot be (a zero channel mask).
    if (!dib || !*Bits)
        InvalidBitmap();
    return dib;
}
} // namespace

void TBitmap::LoadFromStream(TStream* Stream)
{
    const int64_t start = Stream->Position();
    const int64_t available = Stream->Size() - start;
    const TBmpHeaders h = ReadBmpHeaders(Stream);
    const int64_t dataBytes = int64_t(StrideOf(int(h.Info.biWidth), h.Info.biBitCount)) * ImageHeight(h.Info);
    SeekToPixels(Stream, h, start, available, dataBytes);
    void* bits = nullptr;
    GdiObject<HBITMAP> dib = NewDibFor(h, &bits);
    Stream->ReadBuffer(bits, int32_t(dataBytes));
    FPalette.Reset();
    FWantedColors.clear();
    SetImage(dib.Release(), h.Info.biHeight < 0 ? 1 : 0);
    Changed(this);
}

void TBitmap::SaveToStream(TStream* Stream)
{
    if (!FHandle)
        return;
    if (FHandleType == bmDDB || FPixelFormat == pfCustom)
        ConvertTo(pf32bit);
    ::GdiFlush();
    const int bits = BitsPerPixel(FPixelFormat);
    const int stride = StrideOf(FWidth, bits);
    const DWORD tableBytes = FPixelFormat == pf16bit ? 12 : DWORD(FColors.size() * 4);
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof(ih);
    ih.biWidth = FWidth;
    ih.biHeight = FHeight;
    ih.biPlanes = 1;
    ih.biBitCount = WORD(bits);
    ih.biCompression = FPixelFormat == pf16bit ? BI_BITFIELDS : BI_RGB;
    ih.biSizeImage = DWORD(stride) * DWORD(FHeight);
    ih.biClrUsed = FPixelFormat <= pf8bit ? DWORD(FColors.size()) : 0;
    fh.bfType = 0x4D42;
    fh.bfOffBits = DWORD(sizeof(fh) + sizeof(ih) + tableBytes);
    fh.bfSize = fh.bfOffBits + ih.biSizeImage;
    Stream->WriteBuffer(&fh, sizeof(fh));
    Stream->WriteBuffer(&ih, sizeof(ih));
    if (FPixelFormat == pf16bit)
        Stream->WriteBuffer(kMask565, 12);
    else if (tableBytes)
        Stream->WriteBuffer(FColors.data(), int32_t(tableBytes));
    for (int y = FHeight - 1; y >= 0; --y)
        Stream->WriteBuffer(Row(y), stride);
}
