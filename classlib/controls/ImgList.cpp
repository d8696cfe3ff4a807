#include "classlib/controls/ImgList.h"

#include "classlib/graphics/GdiHandles.h"

namespace {

COLORREF ToImageListColor(TColor Color)
{
    if (Color == clNone)
        return CLR_NONE;
    if (Color == clDefault)
        return CLR_DEFAULT;
    return static_cast<COLORREF>(ColorToRGB(Color));
}

TColor FromImageListColor(COLORREF Color)
{
    if (Color == CLR_NONE)
        return clNone;
    if (Color == CLR_DEFAULT)
        return clDefault;
    return static_cast<TColor>(Color);
}

} // namespace

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::~TCustomImageList()
{
    FreeHandle();
}

void TCustomImageList::FreeHandle()
{
    if (FHandle && !FShareImages)
        ImageList_Destroy(FHandle);
    FHandle = nullptr;
}

void TCustomImageList::CreateHandle()
{
    UINT flags = ILC_COLOR32 | (FMasked ? ILC_MASK : 0);
    FHandle = ImageList_Create(FWidth, FHeight, flags, FAllocBy, FAllocBy);
    if (!FHandle)
        throw EOutOfResources(L"Unable to create an image list");
    // A shared handle was let go before; this one is ours.
    FShareImages = false;
    if (FBkColor != clNone)
        ImageList_SetBkColor(FHandle, ToImageListColor(FBkColor));
}

HIMAGELIST TCustomImageList::Handle()
{
    if (!FHandle)
        CreateHandle();
    return FHandle;
}

void TCustomImageList::SetHandle(HIMAGELIST Value)
{
    if (Value == FHandle)
        return;
    FreeHandle();
    FHandle = Value;
    if (FHandle) {
        int w = 0, h = 0;
        if (ImageList_GetIconSize(FHandle, &w, &h)) {
            FWidth = w;
            FHeight = h;
        }
        FBkColor = FromImageListColor(ImageList_GetBkColor(FHandle));
    }
    Change();
}

// A list of another size or kind cannot be converted in place: start an
// empty one.  A shared list is let go untouched, since its owner (the system)
// still uses it.
void TCustomImageList::Recreate()
{
    if (!FHandle)
        return;
    FreeHandle();
    CreateHandle();
    Change();
}

int TCustomImageList::Width() const
{
    int w = FWidth, h = FHeight;
    if (FHandle)
        ImageList_GetIconSize(FHandle, &w, &h);
    return w;
}

int TCustomImageList::Height() const
{
    int w = FWidth, h = FHeight;
    if (FHandle)
        ImageList_GetIconSize(FHandle, &w, &h);
    return h;
}

void TCustomImageList::SetWidth(int Value)
{
    if (Value <= 0)
        throw EInvalidOperation(L"Invalid image size");
    if (Value == Width())
        return;
    FWidth = Value;
    FHeight = Height();
    Recreate();
}

void TCustomImageList::SetHeight(int Value)
{
    if (Value <= 0)
        throw EInvalidOperation(L"Invalid image size");
    if (Value == Height())
        return;
    FHeight = Value;
    FWidth = Width();
    Recreate();
}

void TCustomImageList::SetMasked(bool Value)
{
    if (Value == FMasked)
        return;
    FMasked = Value;
    FWidth = Width();
    FHeight = Height();
    Recreate();
}

TColor TCustomImageList::BkColor() const
{
    return FHandle ? FromImageListColor(ImageList_GetBkColor(FHandle)) : FBkColor;
}

void TCustomImageList::SetBkColor(TColor Value)
{
    FBkColor = Value;
    if (FHandle)
        ImageList_SetBkColor(FHandle, ToImageListColor(Value));
    Change();
}

int TCustomImageList::Count() const
{
    return FHandle ? ImageList_GetImageCount(FHandle) : 0;
}

void TCustomImageList::Clear()
{
    if (FHandle)
        ImageList_Remove(FHandle, -1);
    Change();
}

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask)
{
    if (!Image || Image->Empty())
        return -1;
    // A bitmap selected into its canvas's context cannot be read by the list.
    Image->FreeContext();
    if (Mask)
        Mask->FreeContext();
    int index = ImageList_Add(Handle(), Image->Handle(), Mask && !Mask->Empty() ? Mask->Handle() : nullptr);
    if (index >= 0)
        Change();
    return index;
}

int TCustomImageList::AddIcon(TIcon* Image)
{
    if (!Image || Image->Empty())
        return -1;
    int index = ImageList_AddIcon(Handle(), Image->Handle());
    if (index >= 0)
        Change();
    return index;
}

void TCustomImageList::Change()
{
    if (FOnChange)
        FOnChange(this);
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled)
{
    if (!Canvas || !FHandle || Index < 0 || Index >= Count())
        return;
    DoDraw(Index, Canvas, X, Y, ILD_NORMAL, Enabled);
}

void TCustomImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled)
{
    HDC dc = Canvas->Handle();
    if (Enabled)
        ImageList_DrawEx(FHandle, Index, dc, X, Y, 0, 0, ToImageListColor(FBkColor), CLR_DEFAULT, Style);
    else
        DrawDisabled(Index, dc, X, Y);
}

// The image's silhouette (from its mask) in the highlight colour one pixel
// down and right, then in the shadow colour on top: the classic engraved look.
void TCustomImageList::DrawDisabled(int Index, HDC DC, int X, int Y)
{
    const int w = Width(), h = Height();
    MemoryDC monoDC(DC);
    GdiObject<HBITMAP> mono(CreateBitmap(w, h, 1, 1, nullptr));
    if (!monoDC || !mono)
        return;
    SelectedObject monoSel(monoDC, mono.Get());
    PatBlt(monoDC, 0, 0, w, h, WHITENESS);
    ImageList_DrawEx(FHandle, Index, monoDC, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_MASK);

    // Mask bits 0 (image) take the text colour, 1 (background) the back colour;
    // DSPDxax then paints the brush where the source is white and keeps the rest.
    constexpr DWORD ROP_DSPDxax = 0x00E20746;
    TextColorScope text(DC, RGB(255, 255, 255));
    BkColorScope back(DC, RGB(0, 0, 0));
    const int colours[2][3] = {{COLOR_BTNHIGHLIGHT, 1, 1}, {COLOR_BTNSHADOW, 0, 0}};
    for (const auto& c : colours) {
        GdiObject<HBRUSH> brush(CreateSolidBrush(GetSysColor(c[0])));
        SelectedObject brushSel(DC, brush.Get());
        BitBlt(DC, X + c[1], Y + c[2], w, h, monoDC, 0, 0, ROP_DSPDxax);
    }
}

KV_BEGIN_PUBLISHED(TCustomImageList, TComponent)
    B.Int(L"AllocBy", &C::AllocBy, &C::SetAllocBy, 4);
    B.Int(L"BkColor", &C::BkColor, &C::SetBkColor, clNone, L"TColor");
    B.Int(L"Height", &C::Height, &C::SetHeight, 16);
    B.Bool(L"Masked", &C::Masked, &C::SetMasked, true);
    B.Bool(L"ShareImages", &C::ShareImages, &C::SetShareImages, false);
    B.Int(L"Width", &C::Width, &C::SetWidth, 16);
    B.Event(L"OnChange", &C::OnChange, &C::SetOnChange);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TImageList, TCustomImageList)
    static_assert(sizeof(C) > 0); // all inherited
KV_END_PUBLISHED

void RegisterImgListClasses()
{
    RegisterClasses<TImageList>();
}

namespace {
// Form resources may name these classes as soon as this unit is linked in.
[[maybe_unused]] const bool kRegistered = (RegisterImgListClasses(), true);
} // namespace
