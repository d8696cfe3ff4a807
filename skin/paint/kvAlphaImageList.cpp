#include "skin/paint/kvAlphaImageList.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "classlib/graphics/GdiHandles.h"
#include "classlib/rtl/SysUtils.h"
#include "skin/core/kvntUtils.h"
#include "skin/paint/kvPNG.h"
#include "skin/paint/kvPNG_Draw.h"
#include "skin/paint/sGraphUtils.h"

namespace {

const uint8_t PNGSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
const uint8_t ICOStart[2] = {0, 0};

bool HasAlpha(TBitmap* Bmp)
{
    const TBitmapRows rows = Bmp->Rows();
    for (int y = 0; y < rows.Height; ++y) {
        const uint8_t* p = rows.Row(y);
        for (int x = 0; x < rows.Width; ++x, p += 4)
            if (p[3] != 0)
                return true;
    }
    return false;
}

// The alpha of an image that has none: the colour of the bottom-left pixel
// is the background (alpha 0), every other colour is opaque.
void MakeUpAlpha(TBitmap* Bmp)
{
    if (Bmp->Empty() || HasAlpha(Bmp))
        return;
    const TBitmapRows rows = Bmp->Rows();
    uint8_t key[3];
    std::copy_n(rows.Pixel(0, rows.Height - 1), 3, key);
    for (int y = 0; y < rows.Height; ++y) {
        uint8_t* p = rows.Row(y);
        for (int x = 0; x < rows.Width; ++x, p += 4)
            p[3] = std::equal(p, p + 3, key) ? 0 : 255;
    }
}

// Dst (its own size, 32-bit) from the 32-bit Src by the nearest pixel: for
// pictures too small for the filtered resampler.
void NearestStretch(TBitmap* Src, TBitmap* Dst)
{
    const TBitmapRows s = Src->Rows(), d = Dst->Rows();
    for (int y = 0; y < d.Height; ++y)
        for (int x = 0; x < d.Width; ++x)
            std::copy_n(s.Pixel(x * s.Width / d.Width, y * s.Height / d.Height), 4, d.Pixel(x, y));
}

// The colour bitmap of an icon as a 32-bit DIB with its alpha bytes as the
// system keeps them (nullptr when unreadable).  The bits are read by the
// system itself: a pixel-format conversion would make them opaque.
TBitmap* IconColorBitmap(HICON Icon, GdiObject<HBITMAP>* Mask = nullptr)
{
    ICONINFO ii{};
    if (!Icon || !::GetIconInfo(Icon, &ii))
        return nullptr;
    GdiObject<HBITMAP> color(ii.hbmColor), mask(ii.hbmMask);
    BITMAP bm{};
    if (!color || !::GetObjectW(color.Get(), sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return nullptr;
    TOwned<TBitmap> bmp(CreateBmp32(bm.bmWidth, bm.bmHeight));
    bmp->FreeContext();
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = bm.bmWidth;
    bi.bmiHeader.biHeight = -bm.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    std::vector<uint8_t> bits(size_t(bm.bmWidth) * bm.bmHeight * 4);
    ScreenDC dc;
    if (!::GetDIBits(dc, color.Get(), 0, UINT(bm.bmHeight), bits.data(), &bi, DIB_RGB_COLORS))
        return nullptr;
    const TBitmapRows rows = bmp->Rows();
    for (int y = 0; y < rows.Height; ++y)
        std::copy_n(&bits[size_t(y) * bm.bmWidth * 4], size_t(bm.bmWidth) * 4, rows.Row(y));
    if (Mask)
        *Mask = std::move(mask);
    return bmp.release();
}

// Where the 1-bit Mask of a W x H image hides the image (one flag a pixel,
// rows top-down); empty when the mask cannot be read.
std::vector<uint8_t> MaskedPixels(HBITMAP Mask, int W, int H)
{
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = W;
    bi.bmiHeader.biHeight = -H;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> bits(size_t(W) * H);
    ScreenDC dc;
    if (!Mask || !::GetDIBits(dc, Mask, 0, UINT(H), bits.data(), &bi, DIB_RGB_COLORS))
        return {};
    std::vector<uint8_t> hidden(bits.size());
    for (size_t i = 0; i < bits.size(); ++i)
        hidden[i] = (bits[i] & 0xFFFFFF) != 0;
    return hidden;
}

// Alpha for a 32-bit picture of an icon that has none: opaque where the
// icon's mask shows it, transparent where the mask hides it and on the key
// colour (a mask that cannot be read hides nothing).
void AlphaFromMask(TBitmap* Bmp, HBITMAP Mask)
{
    const TBitmapRows rows = Bmp->Rows();
    const std::vector<uint8_t> hidden = MaskedPixels(Mask, rows.Width, rows.Height);
    for (int y = 0; y < rows.Height; ++y) {
        uint8_t* p = rows.Row(y);
        for (int x = 0; x < rows.Width; ++x, p += 4) {
            const bool key = p[0] == 0xFF && p[1] == 0 && p[2] == 0xFF;
            p[3] = key || (!hidden.empty() && hidden[size_t(y) * rows.Width + x]) ? 0 : 255;
        }
    }
}

// A fully transparent icon: keeps the system list in step with the items
// where an item cannot be read.
HICON BlankIcon(int W, int H)
{
    TOwned<TBitmap> color(CreateBmp32(W, H));
    std::vector<uint8_t> bits(size_t((W + 15) / 16 * 2) * H, 0xFF);
    GdiObject<HBITMAP> mask(::CreateBitmap(W, H, 1, 1, bits.data()));
    color->FreeContext();
    ICONINFO ii{TRUE, 0, 0, mask.Get(), color->Handle()};
    return ::CreateIconIndirect(&ii);
}

TPNGGraphic* LoadPNG(TStream* Stream)
{
    TOwned<TPNGGraphic> png(New<TPNGGraphic>());
    Stream->SetPosition(0);
    png->LoadFromStream(Stream);
    return png.release();
}

HINSTANCE ProgramInstance()
{
    return ::GetModuleHandleW(nullptr);
}

// Appends Icon (released here) to List's system list; its index or -1.
int AppendIcon(HIMAGELIST List, HICON Icon)
{
    IconHandle owned(Icon);
    return owned ? ImageList_ReplaceIcon(List, -1, owned.Get()) : -1;
}

// Restores a list's background colour after a copy.
class BkColorSaved {
    HIMAGELIST FList;
    COLORREF FOld;

public:
    BkColorSaved(HIMAGELIST List, COLORREF Value) : FList(List), FOld(ImageList_SetBkColor(List, Value)) {}
    ~BkColorSaved() { ImageList_SetBkColor(FList, FOld); }
    BkColorSaved(const BkColorSaved&) = delete;
    BkColorSaved& operator=(const BkColorSaved&) = delete;
};

} // namespace

// ---------------------------------------------------------------------------
TsImgListItem::TsImgListItem(TCollection* Collection) : TCollectionItem(Collection), ImgData(New<TMemoryStream>()) {}

TsImgListItem::~TsImgListItem()
{
    FreeAndNil(ImgData);
}

void TsImgListItem::Assign(TPersistent* Source)
{
    auto* src = dynamic_cast<TsImgListItem*>(Source);
    if (!src) {
        TCollectionItem::Assign(Source);
        return;
    }
    if (src == this)
        return;
    FImageFormat = src->FImageFormat;
    FPixelFormat = src->FPixelFormat;
    ImgData->Clear();
    if (src->ImgData->Size() > 0)
        ImgData->CopyFrom(src->ImgData, 0);
    ImgData->SetPosition(0);
}

void TsImgListItem::AssignTo(TPersistent* Dest)
{
    if (auto* dst = dynamic_cast<TsImgListItem*>(Dest))
        dst->Assign(this);
    else
        TCollectionItem::AssignTo(Dest);
}

void TsImgListItem::DefineProperties(TFiler* Filer)
{
    Filer->DefineBinaryProperty(L"ImgData", TStreamProc(this, &TsImgListItem::ReadData),
                                TStreamProc(this, &TsImgListItem::WriteData), ImgData->Size() > 0);
}

void TsImgListItem::ReadData(TStream* Stream)
{
    ImgData->Clear();
    if (Stream->Size() > 0)
        ImgData->CopyFrom(Stream, 0);
    ImgData->SetPosition(0);
}

void TsImgListItem::WriteData(TStream* Stream)
{
    if (ImgData->Size() > 0)
        Stream->CopyFrom(ImgData, 0);
}

TsImgListItems::TsImgListItems(TsAlphaImageList* AOwner)
    : TCollection(TCollectionItemClass::Of<TsImgListItem>()), FOwner(AOwner) {}

TPersistent* TsImgListItems::GetOwner()
{
    return FOwner;
}

// ---------------------------------------------------------------------------
TsAlphaImageList::TsAlphaImageList(TComponent* AOwner) : TImageList(AOwner), FItems(New<TsImgListItems>(this)) {}

TsAlphaImageList::~TsAlphaImageList()
{
    KvChanging = true;  // nothing is rebuilt while the list goes
    FreeAndNil(FItems);
}

void TsAlphaImageList::AfterConstruction()
{
    TImageList::AfterConstruction();
    if (ComponentState().Contains(csLoading))
        return;
    Handle();
    if (!StdListIsGenerated)
        GenerateStdList();
}

void TsAlphaImageList::Loaded()
{
    TImageList::Loaded();
    Handle();
    GenerateStdList();
    StdListIsGenerated = true;
}

bool TsAlphaImageList::IsDuplicated() const
{
    return DoubleData || ComponentState().Contains(csDesigning);
}

void TsAlphaImageList::KvEndUpdate(bool DoChange)
{
    KvChanging = false;
    if (DoChange)
        Change();
}

void TsAlphaImageList::ItemsClear()
{
    for (int i = 0; i < FItems->Count(); ++i)
        FItems->GetItem(i)->ImgData->Clear();
}

void TsAlphaImageList::SetNewDimensions(HIMAGELIST Value)
{
    int w = 0, h = 0;
    if (Value && ImageList_GetIconSize(Value, &w, &h) && w > 0 && h > 0) {
        SetWidth(w);
        SetHeight(h);
    }
}

// ---------------------------------------------------------------------------
// The system list.

HICON TsAlphaImageList::ItemIcon(TsImgListItem* Item)
{
    if (Item->ImgData->Size() == 0)
        return nullptr;
    try {
        if (Item->FImageFormat == ifICO) {
            TOwned<TIcon> icon(New<TIcon>());
            Item->ImgData->SetPosition(0);
            icon->LoadFromStream(Item->ImgData);
            return icon->ReleaseHandle();
        }
        TOwned<TPNGGraphic> png(LoadPNG(Item->ImgData));
        if (!IsNTFamily())
            return MakeIcon32(png.get());
        const COLORREF bk = ImageList_GetBkColor(Handle());
        return MakeCompIcon(png.get(), bk == CLR_NONE ? clWhite : TColor(bk & 0xFFFFFF));
    } catch (const Exception&) {
        return nullptr;  // a damaged item shows as an empty image
    }
}

void TsAlphaImageList::GenerateStdList()
{
    if (!HandleAllocated())
        return;
    const bool wasChanging = std::exchange(KvChanging, true);
    HIMAGELIST h = Handle();
    ImageList_Remove(h, -1);
    for (int i = 0; i < FItems->Count(); ++i) {
        HICON icon = ItemIcon(FItems->GetItem(i));
        AppendIcon(h, icon ? icon : BlankIcon(Width(), Height()));
    }
    if (FItems->Count() > 0) {
        StdListIsGenerated = true;
        if (!IsDuplicated())
            FItems->Clear();
    }
    KvChanging = wasChanging;
}

void TsAlphaImageList::Change()
{
    if (KvChanging)
        return;
    TImageList::Change();
    if (!HandleAllocated() || !StdListIsGenerated || ComponentState().Contains(csLoading) ||
        ComponentState().Contains(csDesigning))
        return;
    if (IsDuplicated() && FItems->Count() >= Count()) {
        if (FItems->Count() > Count()) {
            KvChanging = true;
            GenerateStdList();
            KvChanging = false;
        }
        return;
    }
    GiveAlphaToSystemImages();
}

// Images added to the system list by other means: one without any alpha
// is made opaque except for its key-colour pixels and the pixels its mask
// hides (the alpha would otherwise outweigh the mask, and a wholly
// transparent image would turn into a black square).
void TsAlphaImageList::GiveAlphaToSystemImages()
{
    HIMAGELIST h = Handle();
    for (int i = 0; i < Count(); ++i) {
        IconHandle icon(ImageList_GetIcon(h, i, ILD_NORMAL));
        GdiObject<HBITMAP> mask;
        TOwned<TBitmap> bmp(IconColorBitmap(icon.Get(), &mask));
        if (!bmp || HasAlpha(bmp.get()))
            continue;
        AlphaFromMask(bmp.get(), mask.Get());
        bmp->FreeContext();
        ICONINFO ii{TRUE, 0, 0, mask.Get(), bmp->Handle()};
        IconHandle made(::CreateIconIndirect(&ii));
        if (made)
            ImageList_ReplaceIcon(h, i, made.Get());
    }
}

// ---------------------------------------------------------------------------
// Images as 32-bit bitmaps.

bool TsAlphaImageList::GetBitmap32(int Index, TBitmap* Image)
{
    if (!HandleAllocated() || !Image || Index < 0 || Index >= Count())
        return false;
    if (Image->Empty()) {
        Image->SetPixelFormat(pf32bit);
        Image->SetHandleType(bmDIB);
        Image->SetSize(Width(), Height());
    }
    if (!BitmapFromItem(Index, Image))
        BitmapFromSystemList(Index, Image);
    return true;
}

bool TsAlphaImageList::BitmapFromItem(int Index, TBitmap* Image)
{
    if (!IsDuplicated() || Index >= FItems->Count())
        return false;
    TsImgListItem* item = FItems->GetItem(Index);
    if (item->FImageFormat != ifPNG || item->ImgData->Size() == 0)
        return false;
    TOwned<TPNGGraphic> png;
    try {
        png.reset(LoadPNG(item->ImgData));
    } catch (const Exception&) {
        return false;  // the system list still has what could be read
    }
    if (png->Width() == Width() && png->Height() == Height()) {
        Image->Assign(png.get());
    } else {
        png->SetPixelFormat(pf32bit);
        Image->SetPixelFormat(pf32bit);
        if (png->Width() < 2 || png->Height() < 2)
            NearestStretch(png.get(), Image);
        else
            Stretch(png.get(), Image, Image->Width(), Image->Height(), ftMitchell, 0);
    }
    // A picture without alpha is converted opaque: no key colour is cut out
    // of a picture that never asked for transparency.
    if (Image->PixelFormat() != pf32bit) {
        Image->SetPixelFormat(pf32bit);
        MakeUpAlpha(Image);
    }
    return true;
}

// An image of the system list keeps the alpha it has; one without any (a
// 24-bit icon) is given alpha from its mask and the key colour (left
// without, it would be drawn wholly transparent).
void TsAlphaImageList::BitmapFromSystemList(int Index, TBitmap* Image)
{
    IconHandle icon(ImageList_GetIcon(Handle(), Index, ILD_NORMAL));
    GdiObject<HBITMAP> mask;
    TOwned<TBitmap> bmp(IconColorBitmap(icon.Get(), &mask));
    if (!bmp)
        return;
    if (!HasAlpha(bmp.get()))
        AlphaFromMask(bmp.get(), mask.Get());
    Image->Assign(bmp.get());
}

void TsAlphaImageList::Clear()
{
    // The kept items would otherwise rebuild the images at once.
    FItems->Clear();
    TImageList::Clear();
}

// ---------------------------------------------------------------------------
// Adding and copying.

bool TsAlphaImageList::TryLoadFromFile(const UnicodeString& FileName)
{
    TsImageFormat format;
    if (!HandleAllocated() || !GetImageFormat(FileName, format))
        return false;
    const bool added = AddFileImage(FileName, format);
    Change();
    return added;
}

namespace {

HICON IconFromFile(const UnicodeString& FileName)
{
    HICON icon = ::ExtractIconW(ProgramInstance(), FileName.c_str(), 0);
    return reinterpret_cast<uintptr_t>(icon) > 1 ? icon : nullptr;  // 1: not an icon file
}

bool IconHasAlpha(HICON Icon)
{
    TOwned<TBitmap> bmp(IconColorBitmap(Icon));
    return bmp && HasAlpha(bmp.get());
}

} // namespace

bool TsAlphaImageList::AddFileImage(const UnicodeString& FileName, TsImageFormat Format)
{
    TsImgListItem* item = nullptr;
    HICON icon = nullptr;
    try {
        TOwned<TMemoryStream> bytes(New<TMemoryStream>());
        bytes->LoadFromFile(FileName);
        if (Format == ifICO) {
            // The bytes are what the list is rebuilt from: a damaged file
            // that the system still makes something of is refused here.
            TOwned<TIcon> check(New<TIcon>());
            bytes->SetPosition(0);
            check->LoadFromStream(bytes.get());
            icon = IconFromFile(FileName);
        } else {
            TOwned<TPNGGraphic> png(LoadPNG(bytes.get()));
            icon = MakeIcon32(png.get());
        }
        if (icon && IsDuplicated()) {
            item = static_cast<TsImgListItem*>(FItems->Add());
            item->FImageFormat = Format;
            item->FPixelFormat = Format == ifPNG || IconHasAlpha(icon) ? pf32bit : pf24bit;
            item->ImgData->CopyFrom(bytes.get(), 0);
            item->ImgData->SetPosition(0);
        }
    } catch (const Exception&) {
        if (icon)
            ::DestroyIcon(icon);
        icon = nullptr;
    }
    // The item is only kept when its image reached the system list.
    const bool added = AppendIcon(Handle(), icon) >= 0;
    if (!added && item)
        FreeAndNil(item);
    return added;
}

void TsAlphaImageList::LoadFromFile(const UnicodeString& FileName)
{
    if (!TryLoadFromFile(FileName))
        ShowError(L"Cannot load " + FileName + L"\r\n" + L"Invalid or unexpected image format.");
}

void TsAlphaImageList::CopySystemImages(TCustomImageList* Source)
{
    if (!Source->HandleAllocated())
        return;
    HIMAGELIST src = Source->Handle();
    BkColorSaved bk(src, CLR_NONE);
    for (int i = 0; i < Source->Count(); ++i)
        AppendIcon(Handle(), ImageList_GetIcon(src, i, ILD_TRANSPARENT));
}

void TsAlphaImageList::CopyImages(TsAlphaImageList* ImgList)
{
    if (!HandleAllocated() || !ImgList || ImgList == this)
        return;
    // The items are copied only when they describe every image of the source.
    if (IsDuplicated() && ImgList->FItems->Count() >= ImgList->Count()) {
        FItems->Assign(ImgList->FItems);
        GenerateStdList();
        return;
    }
    ImageList_Remove(Handle(), -1);
    CopySystemImages(ImgList);
}

void TsAlphaImageList::Assign(TPersistent* Source)
{
    if (!Source) {
        SetHandle(nullptr);
        return;
    }
    auto* list = dynamic_cast<TCustomImageList*>(Source);
    if (!list) {
        TImageList::Assign(Source);
        return;
    }
    if (list == this)
        return;
    KvBeginUpdate();
    try {
        FItems->Clear();
        SetMasked(list->Masked());
        if (list->HandleAllocated())
            SetNewDimensions(list->Handle());
        else {
            SetWidth(list->Width());
            SetHeight(list->Height());
        }
        Handle();
        ImageList_Remove(Handle(), -1);
        SetBkColor(list->BkColor());
        if (auto* alpha = dynamic_cast<TsAlphaImageList*>(list))
            CopyImages(alpha);
        else
            CopySystemImages(list);
    } catch (...) {
        KvEndUpdate(false);
        throw;
    }
    KvEndUpdate(false);
}

void TsAlphaImageList::AssignTo(TPersistent* Dest)
{
    // Another alpha list takes the items too, not only the system images.
    if (auto* alpha = dynamic_cast<TsAlphaImageList*>(Dest)) {
        alpha->Assign(this);
        return;
    }
    auto* list = dynamic_cast<TCustomImageList*>(Dest);
    if (!list) {
        TImageList::AssignTo(Dest);
        return;
    }
    list->SetMasked(Masked());
    list->SetWidth(Width());
    list->SetHeight(Height());
    list->Clear();
    list->SetBkColor(BkColor());
    if (!HandleAllocated())
        return;
    BkColorSaved bk(Handle(), CLR_NONE);
    for (int i = 0; i < Count(); ++i) {
        TOwned<TIcon> icon(New<TIcon>());
        icon->SetHandle(ImageList_GetIcon(Handle(), i, ILD_TRANSPARENT));
        list->AddIcon(icon.get());
    }
}

// ---------------------------------------------------------------------------
void TsAlphaImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled)
{
    if (!HandleAllocated())
        return;
    const int w = Width(), h = Height();
    if (IsDuplicated() && Index < FItems->Count() && FItems->GetItem(Index)->FImageFormat == ifICO) {
        ImageList_SetBkColor(Handle(), CLR_NONE);
        IconHandle icon(ImageList_GetIcon(Handle(), Index, ILD_TRANSPARENT));
        ::DrawIconEx(Canvas->Handle(), X, Y, icon.Get(), w, h, 0, nullptr, DI_NORMAL);
        return;
    }
    TOwned<TBitmap> image(CreateBmp32(w, h));
    if (!GetBitmap32(Index, image.get()))
        return;
    TOwned<TBitmap> back(CreateBmp24(w, h));
    HDC dc = Canvas->Handle();
    ::BitBlt(back->Canvas()->Handle(), 0, 0, w, h, dc, X, Y, SRCCOPY);
    CopyBmp32(TRect(0, 0, w, h), TRect(0, 0, w, h), back.get(), image.get(), MakeCacheInfo(back.get()), false, clNone,
              0, false);
    ::BitBlt(dc, X, Y, w, h, back->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------
TSize DrawAlphaImgList(TCustomImageList* ImgList, TBitmap* DestBmp, int Left, int Top, int ImageIndex, int Blend,
                       TColor GrayColor, int State, int NumGlyphs, bool Reflected)
{
    if (!ImgList || !DestBmp || DestBmp->Width() == 0 || !ImgList->HandleAllocated())
        return TSize{0, 0};
    NumGlyphs = std::max(NumGlyphs, 1);
    const int lw = ImgList->Width(), h = ImgList->Height();
    const int w = lw / NumGlyphs;
    const TRect dst(Left, Top, Left + w, Top + h);
    TRect src(0, 0, w, h);
    OffsetRect(&src, w * std::clamp(State, 0, NumGlyphs - 1), 0);
    if (auto* alpha = dynamic_cast<TsAlphaImageList*>(ImgList)) {
        TOwned<TBitmap> image(CreateBmp32(lw, h));
        if (alpha->GetBitmap32(ImageIndex, image.get()))
            CopyBmp32(dst, src, DestBmp, image.get(), EmptyCI, false, GrayColor, Blend, Reflected);
    } else {
        // The list draws over a copy of what lies under the frame.
        TOwned<TBitmap> work(CreateBmp24(lw, h));
        HDC workDC = work->Canvas()->Handle();
        HDC destDC = DestBmp->Canvas()->Handle();
        ::BitBlt(workDC, src.left, 0, w, h, destDC, Left, Top, SRCCOPY);
        ImgList->Draw(work->Canvas(), 0, 0, ImageIndex, true);
        ::BitBlt(destDC, Left, Top, w, h, workDC, src.left, 0, SRCCOPY);
    }
    return TSize{w, h};
}

void DrawAlphaImgListDC(TCustomImageList* ImgList, HDC DC, int Left, int Top, int ImageIndex, int Blend,
                        TColor GrayColor, int State, int NumGlyphs, bool Reflected)
{
    if (!ImgList || !DC || !ImgList->HandleAllocated())
        return;
    const int w = ImgList->Width(), h = ImgList->Height() + (Reflected ? ImgList->Height() / 2 : 0);
    TOwned<TBitmap> work(CreateBmp24(w, h));
    HDC workDC = work->Canvas()->Handle();
    ::BitBlt(workDC, 0, 0, w, h, DC, Left, Top, SRCCOPY);
    DrawAlphaImgList(ImgList, work.get(), 0, 0, ImageIndex, Blend, GrayColor, State, NumGlyphs, Reflected);
    ::BitBlt(DC, Left, Top, w, h, workDC, 0, 0, SRCCOPY);
}

bool HaveMagic(const UnicodeString& FileName, const void* Magic, int Size)
{
    const int n = std::clamp(Size, 0, 8);
    try {
        TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
        if (f.Size() <= n)
            return false;
        uint8_t head[8] = {};
        f.ReadBuffer(head, n);
        return std::memcmp(head, Magic, size_t(n)) == 0;
    } catch (const Exception&) {
        return false;
    }
}

bool GetImageFormat(const UnicodeString& FileName, TsImageFormat& ImageFormat)
{
    if (HaveMagic(FileName, PNGSignature, sizeof(PNGSignature))) {
        ImageFormat = ifPNG;
        return true;
    }
    if (HaveMagic(FileName, ICOStart, sizeof(ICOStart)) && LowerCase(ExtractFileExt(FileName)) == L".ico") {
        ImageFormat = ifICO;
        return true;
    }
    return false;
}

bool AddImageFromRes(HINSTANCE aInstance, TsAlphaImageList* ImageList, const UnicodeString& ResName,
                     TsImageFormat ImageFormat)
{
    if (!ImageList)
        return false;
    HICON icon = nullptr;
    if (ImageFormat == ifICO) {
        icon = static_cast<HICON>(::LoadImageW(aInstance, ResName.c_str(), IMAGE_ICON, ImageList->Width(),
                                               ImageList->Height(), LR_DEFAULTCOLOR));
    } else {
        try {
            TResourceStream res(ProgramInstance(), ResName);
            TOwned<TPNGGraphic> png(LoadPNG(&res));
            icon = MakeIcon32(png.get());
        } catch (const Exception&) {
            return false;
        }
    }
    return AppendIcon(ImageList->Handle(), icon) != -1;
}

int ScreenColorDepth()
{
    ScreenDC dc;
    return ::GetDeviceCaps(dc, BITSPIXEL);
}

// ---------------------------------------------------------------------------
KV_BEGIN_PUBLISHED(TsImgListItem, TCollectionItem)
    B.Enum(L"ImageFormat", &C::FImageFormat, &C::FImageFormat, ifPNG, {L"ifPNG", L"ifICO"}, L"TsImageFormat");
    B.Enum(L"PixelFormat", &C::FPixelFormat, &C::FPixelFormat, pf32bit,
           {L"pfDevice", L"pf1bit", L"pf4bit", L"pf8bit", L"pf15bit", L"pf16bit", L"pf24bit", L"pf32bit",
            L"pfCustom"},
           L"TPixelFormat");
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TsAlphaImageList, TImageList)
    B.Object(L"Items", &C::Items, &C::SetItems);
KV_END_PUBLISHED

void RegisterAlphaImageListClasses()
{
    RegisterClasses<TsAlphaImageList>();
}

namespace {
[[maybe_unused]] const bool kRegistered = (RegisterAlphaImageListClasses(), true);
} // namespace
