// The shadow templates that extended borders draw around skinned forms: two
// frames of the skin's EXBORDER image, or the default shadow pictures of the
// program's resources.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "classlib/graphics/Graphics.h"
#include "classlib/rtl/Streams.h"
#include "skin/core/sSkinManager_Store.h"
#include "skin/paint/kvPNG.h"
#include "skin/paint/kvPNG_Draw.h"

namespace {

struct TsShadowImages {
    std::unique_ptr<TBitmap> Active;
    std::unique_ptr<TBitmap> Inactive;
    bool Read = false;
};

TsShadowImages& Shadows()
{
    static TsShadowImages images;
    return images;
}

// A PNG picture of the program's RCDATA resources; nullptr when it is
// missing or damaged (the skin then has no default shadow).
std::unique_ptr<TBitmap> ResourcePicture(const wchar_t* Name)
{
    if (!FindResourceW(nullptr, Name, MAKEINTRESOURCEW(10)))
        return nullptr;
    try {
        TResourceStream stream(nullptr, Name);
        auto png = std::make_unique<TPNGGraphic>();
        png->LoadFromStream(&stream);
        return png;
    } catch (const Exception&) {
        return nullptr;
    }
}

TsShadowImages& ReadShadows()
{
    TsShadowImages& s = Shadows();
    if (!s.Read) {
        s.Read = true;
        s.Active = ResourcePicture(L"KVSHDA");
        s.Inactive = ResourcePicture(L"KVSHDI");
    }
    return s;
}

// A new 32-bit picture of Width x Height taken from Source at (X, Y); the
// part outside Source stays transparent black.
TBitmap* CopyFrame(TBitmap* Source, int X, int Y, int Width, int Height)
{
    auto frame = std::make_unique<TPNGGraphic>();
    frame->SetPixelFormat(pf32bit);
    frame->SetSize(Width, Height);
    TBitmap work;
    work.Assign(Source);
    work.SetPixelFormat(pf32bit);  // a 24-bit image gets opaque alpha
    const TBitmapRows from = work.Rows();
    const TBitmapRows to = frame->Rows();
    const int x0 = std::max(X, 0), y0 = std::max(Y, 0);
    const int x1 = std::min(X + Width, from.Width), y1 = std::min(Y + Height, from.Height);
    for (int y = y0; y < y1; ++y)
        if (x1 > x0)
            std::memcpy(to.Pixel(x0 - X, y - Y), from.Pixel(x0, y), size_t(x1 - x0) * 4);
    return frame.release();
}

TBitmap* CopyPicture(TBitmap* Source)
{
    auto copy = std::make_unique<TPNGGraphic>();
    copy->Assign(Source);
    return copy.release();
}

} // namespace

TBitmap* ShdaImage()
{
    return ReadShadows().Active.get();
}

TBitmap* ShdiImage()
{
    return ReadShadows().Inactive.get();
}

void SetShadowImages(TBitmap* Active, TBitmap* Inactive)
{
    TsShadowImages& s = Shadows();
    s.Read = true;
    s.Active.reset(Active);
    s.Inactive.reset(Inactive);
}

bool AeroIsEnabled()
{
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExW(&info) || info.dwMajorVersion < 6)
        return false;
    HMODULE dwm = LoadLibraryW(L"dwmapi.dll");
    if (!dwm)
        return false;
    using TIsEnabled = HRESULT(WINAPI*)(BOOL*);
    auto isEnabled = reinterpret_cast<TIsEnabled>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmIsCompositionEnabled")));
    BOOL enabled = FALSE;
    const bool on = isEnabled && SUCCEEDED(isEnabled(&enabled)) && enabled;
    FreeLibrary(dwm);
    return on;
}

void TsSkinStore::CheckShadows()
{
    if (!ShadowsWanted()) {
        FormShadowSize = TRect();
        return;
    }
    std::unique_ptr<TBitmap> active, inactive;
    TRect size;
    const int ex = ConstData.ExBorder;
    if (IsValidImgIndex(ex)) {
        const TsMaskData& m = ma[static_cast<size_t>(ex)];
        const int offs = SkinData ? SkinData->ExContentOffs : 0;
        if (SkinData && SkinData->ExDrawMode != 0)
            size = TRect(offs, offs, offs, offs);
        else
            size = TRect(m.WL - offs, m.WT - offs, m.WR - offs, m.WB - offs);
        // An EXBORDER of the master image is read from there.
        TBitmap* source = m.Bmp ? m.Bmp : MasterBitmap;
        const int fw = WidthOfImage(m), fh = HeightOfImage(m);
        if (source && fw > 0 && fh > 0) {
            const int x = m.Bmp ? 0 : m.R.left, y = m.Bmp ? 0 : m.R.top;
            inactive.reset(CopyFrame(source, x, y, fw, fh));
            active.reset(m.ImageCount == 1 ? CopyPicture(inactive.get()) : CopyFrame(source, x + fw, y, fw, fh));
        }
    } else if (ShdaImage() && ShdiImage()) {
        const int grow = AeroIsEnabled() ? 1 : 0;
        size = TRect(11 + grow, 7 + grow, 11 + grow, 11 + grow);
        active.reset(CopyPicture(ShdaImage()));
        inactive.reset(CopyPicture(ShdiImage()));
    }
    if (!active)
        active = std::make_unique<TPNGGraphic>();
    if (!inactive)
        inactive = std::make_unique<TPNGGraphic>();
    UpdateTransPixels(active.get());
    UpdateTransPixels(inactive.get());
    FreeAndNil(ShdaTemplate);
    FreeAndNil(ShdiTemplate);
    ShdaTemplate = active.release();
    ShdiTemplate = inactive.release();
    FormShadowSize = size;
}
