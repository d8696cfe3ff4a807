// kvAlphaImageList: an image list that keeps the PNG or ICO file bytes of
// every image (so 32-bit images with real alpha survive streaming into form
// resources) next to the system image list built from them, and the
// routines with which skinned buttons draw an image of any image list with
// blending, greying and reflection.
#pragma once

#include <windows.h>

#include "classlib/controls/ImgList.h"
#include "classlib/graphics/Graphics.h"
#include "classlib/rtl/Classes.h"
#include "classlib/rtl/Streams.h"
#include "classlib/rtl/TypInfo.h"

class TsAlphaImageList;

enum TsImageFormat { ifPNG, ifICO };

// One stored image: the file's bytes exactly as read.
class TsImgListItem : public TCollectionItem {
    KV_CLASS(TsImgListItem)
    KV_PUBLISHED
public:
    explicit TsImgListItem(TCollection* Collection);
    ~TsImgListItem() override;
    void Assign(TPersistent* Source) override;

    TsImageFormat ImageFormat() const { return FImageFormat; }
    void SetImageFormat(TsImageFormat Value) { FImageFormat = Value; }
    // pf32bit, or pf24bit for an icon whose colour bitmap carries no alpha.
    TPixelFormat PixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat Value) { FPixelFormat = Value; }

    TsImageFormat FImageFormat = ifPNG;
    TPixelFormat FPixelFormat = pf32bit;
    TMemoryStream* ImgData;  // owned

protected:
    void AssignTo(TPersistent* Dest) override;
    // The bytes travel as the binary property "ImgData".
    void DefineProperties(TFiler* Filer) override;

private:
    void ReadData(TStream* Stream);
    void WriteData(TStream* Stream);
};

class TsImgListItems : public TCollection {
    KV_CLASS(TsImgListItems)
public:
    explicit TsImgListItems(TsAlphaImageList* AOwner);
    TsImgListItem* GetItem(int Index) const { return static_cast<TsImgListItem*>(Items(Index)); }
    void SetItem(int Index, TsImgListItem* Value) { GetItem(Index)->Assign(Value); }
    // The list, so that the collection streams as one of its properties.
    TPersistent* GetOwner() override;

    TsAlphaImageList* FOwner;
};

// The items are authoritative while DoubleData is set (what is streamed);
// the system list is what draws, and is built from the items after
// construction, loading, Assign and CopyImages, and whenever there are more
// items than system images.
class TsAlphaImageList : public TImageList {
    KV_CLASS(TsAlphaImageList)
    KV_PUBLISHED
public:
    explicit TsAlphaImageList(TComponent* AOwner);
    ~TsAlphaImageList() override;
    void AfterConstruction() override;
    void Loaded() override;
    void Assign(TPersistent* Source) override;

    TsImgListItems* Items() const { return FItems; }
    void SetItems(TsImgListItems* Value) { FItems->Assign(Value); }

    // Image Index as a 32-bit bitmap with alpha (an empty Image takes the
    // list's size, another keeps its own); False without a handle, for a
    // nil Image or a bad index.
    bool GetBitmap32(int Index, TBitmap* Image);
    void GenerateStdList();
    // Adds an image file, or shows an error box.
    void LoadFromFile(const UnicodeString& FileName);
    bool TryLoadFromFile(const UnicodeString& FileName);
    void CopyImages(TsAlphaImageList* ImgList);
    // Width and Height from that list's icon size.
    void SetNewDimensions(HIMAGELIST Value);
    void KvBeginUpdate() { KvChanging = true; }
    void KvEndUpdate(bool DoChange);
    // Empties every item's bytes.
    void ItemsClear();
    // Removes every image, the kept items with them.
    void Clear() override;

    TsImgListItems* FItems;  // owned
    bool StdListIsGenerated = false;
    bool KvChanging = false;
    bool DoubleData = true;

protected:
    void AssignTo(TPersistent* Dest) override;
    void Change() override;
    void DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled) override;

private:
    // The items are kept after the system list is built.
    bool IsDuplicated() const;
    HICON ItemIcon(TsImgListItem* Item);
    bool BitmapFromItem(int Index, TBitmap* Image);
    void BitmapFromSystemList(int Index, TBitmap* Image);
    void GiveAlphaToSystemImages();
    void CopySystemImages(TCustomImageList* Source);
    bool AddFileImage(const UnicodeString& FileName, TsImageFormat Format);
};

// One frame (of NumGlyphs side by side) of image ImageIndex drawn into
// DestBmp at (Left, Top): the frame of State (the last for higher states),
// its alpha lowered by Blend percent, greyed unless GrayColor is clNone,
// with a fading mirror below when Reflected (32-bit images of a
// TsAlphaImageList).  Answers the frame size; (0, 0) when nothing is drawn.
TSize DrawAlphaImgList(TCustomImageList* ImgList, TBitmap* DestBmp, int Left, int Top, int ImageIndex, int Blend,
                       TColor GrayColor, int State, int NumGlyphs, bool Reflected);
// The same onto a device context.
void DrawAlphaImgListDC(TCustomImageList* ImgList, HDC DC, int Left, int Top, int ImageIndex, int Blend,
                        TColor GrayColor, int State, int NumGlyphs, bool Reflected);
// ifPNG for a file starting with the PNG signature, ifICO for one starting
// with 00 00 whose extension is ".ico"; False for anything else.
bool GetImageFormat(const UnicodeString& FileName, TsImageFormat& ImageFormat);
// The file starts with the Size bytes of Magic (at most 8 are compared) and
// has more bytes than that.
bool HaveMagic(const UnicodeString& FileName, const void* Magic, int Size);
// Appends the icon resource ResName of aInstance (ifICO) or the PNG RCDATA
// resource ResName of the program (ifPNG); True when it was added.
bool AddImageFromRes(HINSTANCE aInstance, TsAlphaImageList* ImageList, const UnicodeString& ResName,
                     TsImageFormat ImageFormat);
// Bits per pixel of the screen.
int ScreenColorDepth();

void RegisterAlphaImageListClasses();
