// TIcon: an icon handle, from an icon file's bytes or adopted from the system.
#include "classlib/graphics/Graphics.h"

#include <algorithm>
#include <cstring>

namespace {

#pragma pack(push, 1)
struct IconDir {
    WORD Reserved;
    WORD Type;
    WORD Count;
};
struct IconDirEntry {
    BYTE Width;
    BYTE Height;
    BYTE ColorCount;
    BYTE Reserved;
    WORD Planes;
    WORD BitCount;
    DWORD BytesInRes;
    DWORD ImageOffset;
};
#pragma pack(pop)

[[noreturn]] void InvalidIcon()
{
    throw EInvalidGraphic(L"Icon image is not valid");
}

// Checks the directory of an icon file and picks the image that suits the
// system's large-icon size best (then the deepest colour); answers its entry.
IconDirEntry PickImage(const std::vector<uint8_t>& data)
{
    if (data.size() < sizeof(IconDir))
        InvalidIcon();
    IconDir dir;
    std::memcpy(&dir, data.data(), sizeof(dir));
    if (dir.Reserved != 0 || dir.Type != 1 || dir.Count == 0 ||
        data.size() < sizeof(IconDir) + size_t(dir.Count) * sizeof(IconDirEntry))
        InvalidIcon();
    const int want = ::GetSystemMetrics(SM_CXICON);
    IconDirEntry best{};
    int bestScore = -1;
    for (int i = 0; i < dir.Count; ++i) {
        IconDirEntry e;
        std::memcpy(&e, data.data() + sizeof(IconDir) + size_t(i) * sizeof(IconDirEntry), sizeof(e));
        if (e.BytesInRes < 40 || e.ImageOffset > data.size() || e.BytesInRes > data.size() - e.ImageOffset)
            continue;
        const int w = e.Width ? e.Width : 256;
        const int closeness = 1024 - std::abs(w - want);
        const int score = closeness * 64 + e.BitCount;
        if (score > bestScore) {
            bestScore = score;
            best = e;
        }
    }
    if (bestScore < 0)
        InvalidIcon();
    return best;
}

} // namespace

void TIcon::HandleFromData()
{
    if (FHandle || FData.empty())
        return;
    IconDirEntry e = PickImage(FData);
    const int w = e.Width ? e.Width : 256, h = e.Height ? e.Height : 256;
    HICON icon = ::CreateIconFromResourceEx(FData.data() + e.ImageOffset, e.BytesInRes, TRUE, 0x00030000, w, h,
                                            LR_DEFAULTCOLOR);
    if (!icon)
        InvalidIcon();
    FHandle.Reset(icon);
    FWidth = w;
    FHeight = h;
}

HICON TIcon::Handle()
{
    HandleFromData();
    return FHandle.Get();
}

void TIcon::SetHandle(HICON Value)
{
    if (Value == FHandle.Get())
        return;
    FHandle.Reset(Value);
    FData.clear();
    FWidth = FHeight = 0;
    ICONINFO ii{};
    if (Value && ::GetIconInfo(Value, &ii)) {
        GdiObject<HBITMAP> color(ii.hbmColor), mask(ii.hbmMask);
        BITMAP bm{};
        if (color && ::GetObjectW(color.Get(), sizeof(bm), &bm)) {
            FWidth = bm.bmWidth;
            FHeight = bm.bmHeight;
        } else if (mask && ::GetObjectW(mask.Get(), sizeof(bm), &bm)) {
            // A monochrome icon keeps its AND and XOR masks in one bitmap.
            FWidth = bm.bmWidth;
            FHeight = bm.bmHeight / 2;
        }
    }
    Changed(this);
}

HICON TIcon::ReleaseHandle()
{
    HandleFromData();
    HICON h = FHandle.Release();
    FData.clear();
    FWidth = FHeight = 0;
    Changed(this);
    return h;
}

void TIcon::SetWidth(int Value)
{
    if (Value != FWidth)
        throw EInvalidGraphicOperation(L"Cannot change the size of an icon");
}

void TIcon::SetHeight(int Value)
{
    if (Value != FHeight)
        throw EInvalidGraphicOperation(L"Cannot change the size of an icon");
}

void TIcon::Draw(TCanvas* ACanvas, const TRect& Rect)
{
    HICON h = Handle();
    if (h)
        ::DrawIconEx(ACanvas->Handle(), Rect.left, Rect.top, h, Rect.Width(), Rect.Height(), 0, nullptr, DI_NORMAL);
}

void TIcon::Assign(TPersistent* Source)
{
    if (Source == this)
        return;
    if (!Source) {
        FHandle.Reset();
        FData.clear();
        FWidth = FHeight = 0;
        Changed(this);
        return;
    }
    if (auto* src = dynamic_cast<TIcon*>(Source)) {
        if (!src->FData.empty()) {
            std::vector<uint8_t> data = src->FData;
            FHandle.Reset();
            FData.swap(data);
            HandleFromData();
            Changed(this);
        } else if (src->FHandle) {
            HICON copy = ::CopyIcon(src->FHandle.Get());
            if (!copy)
                throw EOutOfResources(L"Out of system resources");
            SetHandle(copy);
        } else {
            Assign(nullptr);
        }
        return;
    }
    TGraphic::Assign(Source);
}

void TIcon::LoadFromStream(TStream* Stream)
{
    const int64_t left = Stream->Size() - Stream->Position();
    if (left < int64_t(sizeof(IconDir)) || left > 64 * 1024 * 1024)
        InvalidIcon();
    std::vector<uint8_t> data(static_cast<size_t>(left));
    Stream->ReadBuffer(data.data(), int32_t(left));
    PickImage(data); // validates before anything is replaced
    IconHandle old(FHandle.Release());
    std::vector<uint8_t> oldData;
    oldData.swap(FData);
    FData.swap(data);
    try {
        HandleFromData();
    } catch (...) {
        FData.swap(oldData);
        FHandle.Reset(old.Release());
        throw;
    }
    Changed(this);
}

void TIcon::SaveToStream(TStream* Stream)
{
    if (!FData.empty()) {
        Stream->WriteBuffer(FData.data(), int32_t(FData.size()));
        return;
    }
    if (!FHandle)
        return;
    // An adopted handle is written as one 32-bit image with its AND mask.
    ICONINFO ii{};
    if (!::GetIconInfo(FHandle.Get(), &ii))
        throw EInvalidGraphic(L"Icon image is not valid");
    GdiObject<HBITMAP> color(ii.hbmColor), mask(ii.hbmMask);
    const int w = FWidth, h = FHeight;
    if (w <= 0 || h <= 0 || w > 256 || h > 256)
        throw EInvalidGraphic(L"Icon image is not valid");
    const int colorBytes = w * h * 4;
    const int maskStride = ((w + 31) / 32) * 4;
    const int maskBytes = maskStride * h;

    struct {
        BITMAPINFOHEADER Header;
        RGBQUAD Colors[2];
    } bi{};
    bi.Header.biSize = sizeof(BITMAPINFOHEADER);
    bi.Header.biWidth = w;
    bi.Header.biHeight = h;
    bi.Header.biPlanes = 1;
    bi.Header.biBitCount = 32;
    std::vector<uint8_t> pixels(static_cast<size_t>(colorBytes)), andMask(static_cast<size_t>(maskBytes));
    ScreenDC screen;
    if (color) {
        ::GetDIBits(screen, color.Get(), 0, UINT(h), pixels.data(), reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
        bi.Header.biBitCount = 1;
        ::GetDIBits(screen, mask.Get(), 0, UINT(h), andMask.data(), reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
    } else {
        // A monochrome icon keeps its AND mask above its XOR mask in one
        // bitmap; read bottom-up, the XOR rows come first.  A XOR bit is white.
        std::vector<uint8_t> both(size_t(maskBytes) * 2);
        bi.Header.biBitCount = 1;
        bi.Header.biHeight = h * 2;
        ::GetDIBits(screen, mask.Get(), 0, UINT(h * 2), both.data(), reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
        std::copy(both.begin() + maskBytes, both.end(), andMask.begin());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if ((both[size_t(y * maskStride + x / 8)] >> (7 - x % 8)) & 1)
                    std::fill_n(pixels.begin() + ptrdiff_t(y * w + x) * 4, 3, uint8_t(255));
    }

    // Without alpha of its own, a pixel is opaque wherever the mask shows it.
    bool hasAlpha = false;
    for (int i = 0; i < w * h && !hasAlpha; ++i)
        hasAlpha = pixels[size_t(i) * 4 + 3] != 0;
    if (!hasAlpha)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (!((andMask[size_t(y * maskStride + x / 8)] >> (7 - x % 8)) & 1))
                    pixels[size_t(y * w + x) * 4 + 3] = 255;

    IconDir dir{0, 1, 1};
    IconDirEntry e{};
    e.Width = BYTE(w == 256 ? 0 : w);
    e.Height = BYTE(h == 256 ? 0 : h);
    e.Planes = 1;
    e.BitCount = 32;
    e.BytesInRes = DWORD(sizeof(BITMAPINFOHEADER) + colorBytes + maskBytes);
    e.ImageOffset = sizeof(dir) + sizeof(e);
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof(ih);
    ih.biWidth = w;
    ih.biHeight = h * 2;
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    Stream->WriteBuffer(&dir, sizeof(dir));
    Stream->WriteBuffer(&e, sizeof(e));
    Stream->WriteBuffer(&ih, sizeof(ih));
    Stream->WriteBuffer(pixels.data(), colorBytes);
    Stream->WriteBuffer(andMask.data(), maskBytes);
}
