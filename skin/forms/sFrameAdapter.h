// The frame adapter: skins a frame (TFrame), a container that gets no skin
// provider of its own.  It takes over the frame's WindowProc, paints the
// frame's background and border from the skin (section "GROUPBOX" unless
// the skin data names another), answers the library's command message for
// the frame's children and keeps skinned scroll bars on it while skinned.
// Placed on a frame by the developer or at run time; owned by the frame.
// GUI thread only.
#pragma once

#include "classlib/controls/Forms.h"
#include "classlib/rtl/Classes.h"
#include "skin/core/sCommonData.h"

class TkvScrollWnd;

// Class-of-control code of a frame adapter's skin data.
constexpr int COC_TsFrameAdapter = 226;

class TsFrameAdapter : public TComponent {
    KV_CLASS(TsFrameAdapter)
    KV_PUBLISHED
public:
    // Raises Exception (kvs_FrameAdapterError1) when AOwner is not a frame.
    explicit TsFrameAdapter(TComponent* AOwner);
    // Gives the frame its WindowProc back.
    ~TsFrameAdapter() override;
    void AfterConstruction() override;
    void Loaded() override;

    void NewWndProc(TMessage& Message);
    void KV_WMPaint(HDC DC);
    void OurPaintHandler(HDC DC);
    void PrepareCache();

    TsCommonData* SkinData() const { return FCommonData; }

    TsCommonData* FCommonData = nullptr;
    TFrame* Frame = nullptr;
    TWndMethod OldWndProc;
    TkvScrollWnd* ListSW = nullptr;

private:
    bool Hooked() const { return Frame && OldWndProc.Assigned(); }
    bool ManagerOf(LPARAM LParam) const;
    void Broadcast(TMessage& Message);
    void HookPopups();
    bool Command(TMessage& Message);
    bool SkinnedCommand(TMessage& Message);
    // Whether scrolling holds the frame's redrawing back (sub-commands 51, 52).
    bool ScrollRedrawHeld();
    void SkinnedMessage(TMessage& Message);
    void AnswerBGColor(TMessage& Message);
    void EraseBkgnd(TMessage& Message);
    void Print(TMessage& Message);
    void PaintUncached(HDC DC);
    void MouseEnter(TMessage& Message);
    bool ParentNotify(TMessage& Message);
    bool Skinned() const;
};

// Blends one colour byte of a see-through section over its parent's:
// Transparency percent of the parent's, the rest the section's.
int BlendColorByte(int Transparency, int ParentByte, int SectionByte);

// Makes TsFrameAdapter known to the resource reader (frames that carry one).
void RegisterFrameAdapterClass();
