// Image lists: a component over a common-controls image list.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "classlib/graphics/Graphics.h"
#include "classlib/rtl/Classes.h"
#include "classlib/rtl/TypInfo.h"

// TCustomImageList keeps images of one size in a HIMAGELIST.  The handle is
// made on first use with the current Width, Height and Masked; an adopted
// handle (SetHandle) brings its own size.  With ShareImages the handle
// belongs to someone else (the system's file-icon lists) and is never
// destroyed by the list.
class TCustomImageList : public TComponent {
    KV_CLASS(TCustomImageList)
    KV_PUBLISHED
public:
    explicit TCustomImageList(TComponent* AOwner);
    ~TCustomImageList() override;

    // The list's handle, made now when there is none.
    HIMAGELIST Handle();
    // Adopts Value (nullptr lets the current one go).  The old handle is
    // destroyed unless it is shared.
    void SetHandle(HIMAGELIST Value);
    bool HandleAllocated() const { return FHandle != nullptr; }

    bool ShareImages() const { return FShareImages; }
    void SetShareImages(bool Value) { FShareImages = Value; }

    // The image size: the handle's when there is one.  A new size (or a
    // change of Masked) starts a new, empty list; a shared list is let go
    // rather than altered.
    int Width() const;
    void SetWidth(int Value);
    int Height() const;
    void SetHeight(int Value);
    bool Masked() const { return FMasked; }
    void SetMasked(bool Value);
    // How many image slots the list grows by.
    int AllocBy() const { return FAllocBy; }
    void SetAllocBy(int Value) { FAllocBy = Value > 0 ? Value : 1; }
    // Colour behind the images when drawn; clNone draws them transparent.
    TColor BkColor() const;
    void SetBkColor(TColor Value);

    int Count() const;
    virtual void Clear();
    // Appends Image (with Mask, or none) and answers its index, -1 on failure.
    int Add(TBitmap* Image, TBitmap* Mask);
    int AddIcon(TIcon* Image);
    // Draws image Index at (X, Y); a disabled image is drawn as a
    // shadowed silhouette.  An index outside the list draws nothing.
    void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);

    const TNotifyEvent& OnChange() const { return FOnChange; }
    void SetOnChange(const TNotifyEvent& Value) { FOnChange = Value; }

protected:
    virtual void Change();
    virtual void DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled);

private:
    HIMAGELIST FHandle = nullptr;
    bool FShareImages = false;
    int FWidth = 16;
    int FHeight = 16;
    bool FMasked = true;
    int FAllocBy = 4;
    TColor FBkColor = clNone;
    TNotifyEvent FOnChange;

    void FreeHandle();
    void CreateHandle();
    void Recreate();
    void DrawDisabled(int Index, HDC DC, int X, int Y);
};

class TImageList : public TCustomImageList {
    KV_CLASS(TImageList)
    KV_PUBLISHED
public:
    explicit TImageList(TComponent* AOwner) : TCustomImageList(AOwner) {}
};

void RegisterImgListClasses();
