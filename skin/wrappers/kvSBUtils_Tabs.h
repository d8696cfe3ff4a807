// Tab strips painted from the skin: the geometry of a tab control's tabs,
// page area and strip (TkvTabLayout), the painting both tab painters share
// (TkvTabPainter), and the wrappers of standard tab controls
// (TkvTabControlWnd), page controls (TkvPageControlWnd) and their pages
// (TkvPageWnd).  The skinned tab control (sTabControl) paints through the
// same painter.
//
// Part of unit kvSBUtils.  GUI thread only.
#pragma once

#include <windows.h>

#include <vector>

#include "classlib/controls/ComCtrls.h"
#include "skin/wrappers/kvSBUtils.h"

class TkvSpinWnd;

// Where a tab control's parts lie, in window coordinates: computed once
// from what the control reports, asked by every painter and hit test.
struct TkvTabLayout {
    TSize Size{};                 // the window's width and height
    std::vector<TRect> Tabs;      // each tab's rectangle
    int Active = -1;              // the selected tab, -1 none
    int Rows = 1;                 // rows of tabs
    TTabPosition Position = tpTop;
    TTabStyle Style = tsTabs;
    TRect Client;                 // the display area (TCM_ADJUSTRECT), its top 2 lower
    bool EmptyWithoutActive = false; // no skin rectangles while no tab is active

    int Count() const { return int(Tabs.size()); }
    TRect PageRect() const;
    TRect TabsRect() const;
    // Row 1 is the row farthest from the page.
    int TabRow(int Index) const;
    // Where a tab is painted: the active one larger and over the page's
    // edge, the others shorter; empty for an index outside the tabs.
    TRect SkinTabRect(int Index, bool Active) const;
    // The first tab whose (inactive) skin rectangle holds P; -1 none.
    int TabAt(const TPoint& P) const;
};

// TabPosition and Style of a window's tab-control style bits.
TTabPosition TabPositionOfStyle(DWORD Style);
TTabStyle TabStyleOfStyle(DWORD Style);

// The skin section a tab is painted with and its border image.
struct TkvTabSkin {
    int Index = -1;
    int Mask = -1;
    UnicodeString Section;
    bool Valid() const { return Index >= 0 && Mask >= 0; }
};

// The painting of a tab control from the skin, shared by the wrapper and
// the skinned tab control.  The owner tells where its data comes from.
class TkvTabPainter {
public:
    virtual ~TkvTabPainter();

    // The wrapper of the arrow buttons; nil while the control shows none.
    TkvSpinWnd* BtnSW = nullptr;

    virtual HWND TabWnd() const = 0;
    virtual TsCommonData* TabData() const = 0;
    // The control's top-left corner in its parent's client area.
    virtual TPoint PosInParent() = 0;
    // What lies behind the control.
    virtual TCacheInfo ParentCI() = 0;
    // The section of the page area when the control has no tabs.
    virtual UnicodeString NoTabsSection(TTabPosition Position) const;
    // The text font of the tabs into Canvas.
    virtual void AssignTabFont(TCanvas* Canvas) = 0;
    // The image list's icon size; (0, 0) without one.
    virtual TSize IconSize() = 0;
    // Draws image Image at (X, Y) of Canvas; false without an image list.
    virtual bool DrawTabImage(TCanvas* Canvas, int X, int Y, int Image, bool Transparent) = 0;
    // An owner-drawn tab: true when the owner drew it (nothing else is drawn).
    virtual bool OwnerDrawTab(TBitmap* Bmp, int Index, const TRect& R)
    {
        (void)Bmp;
        (void)Index;
        (void)R;
        return false;
    }
    // After the picture was copied to DC.
    virtual void AfterPaint(HDC DC) { (void)DC; }
    // Copies the cache to DC (the whole window).
    virtual void CopyCache(HDC DC);

    // The layout as the window reports it now.
    virtual TkvTabLayout Layout();
    // The section a tab is painted with (none while the skin lacks its tabs).
    TkvTabSkin TabSkin(const TkvTabLayout& L) const;
    // The page area's section for L.
    UnicodeString PageSection(const TkvTabLayout& L) const;

    // The whole control into Given (the window's context when 0).
    void PaintControl(HDC Given);
    // The strip behind the tabs and every tab but the active one into the cache.
    void DrawSkinTabs(const TkvTabLayout& L, const TCacheInfo& CI);
    // Tab Index in State (0 normal, 1 hot, 2 active) into Bmp, everything
    // drawn moved by Offset.
    void DrawSkinTab(const TkvTabLayout& L, int Index, int State, TBitmap* Bmp, const TPoint& Offset);
    // The same straight onto DC at its place.
    void DrawSkinTab(const TkvTabLayout& L, int Index, int State, HDC DC);
    // The arrow buttons get a wrapper of their own while the control shows them.
    void CheckUpDown();
    void FreeUpDown();

private:
    void DrawTabBackground(const TkvTabLayout& L, const TkvTabSkin& Skin, int Index, int State, bool Active,
                           const TRect& R, TBitmap* Bmp, const TPoint& Offset);
    void DrawTabCaption(const TkvTabLayout& L, int TextIndex, int State, bool Active, TRect R, TBitmap* Bmp,
                        int Index);
};

// The text and image of a tab as the window keeps them (a text cut to 4095
// characters).
void TabTextAndImage(HWND Wnd, int Index, UnicodeString& Text, int& Image);

// A canvas font rotated by Escapement tenths of a degree for the scope,
// in the section's font colour; its weight and style are the font's own.
class TkvRotatedFont {
public:
    TkvRotatedFont(TCanvas* Canvas, int Escapement, TColor Color);
    ~TkvRotatedFont();
    TkvRotatedFont(const TkvRotatedFont&) = delete;
    TkvRotatedFont& operator=(const TkvRotatedFont&) = delete;

private:
    TCanvas* FCanvas;
    TFont* FSaved;
};

// ---------------------------------------------------------------------------
// The wrappers.

class TkvTabControlWnd : public TkvMainWnd, public TkvTabPainter {
    KV_CLASS(TkvTabControlWnd)
public:
    ~TkvTabControlWnd() override;
    // The section is "PAGECONTROL" unless the creator names one.
    void Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const UnicodeString& SkinSection,
                bool Repaint) override;
    void kvWndProc(TMessage& Message) override;

    int TabCount() const;
    int ActiveTabIndex() const;
    TTabPosition TabPosition() const;
    TTabStyle Style() const;
    virtual TRect ClientRect();
    virtual TRect PageRect();
    void KV_WMPaint(HDC DC);

    // TkvTabPainter
    TkvTabLayout Layout() override;
    HWND TabWnd() const override { return CtrlHandle; }
    TsCommonData* TabData() const override { return SkinData; }
    TPoint PosInParent() override;
    TCacheInfo ParentCI() override;
    UnicodeString NoTabsSection(TTabPosition Position) const override;
    void AssignTabFont(TCanvas* Canvas) override;
    TSize IconSize() override;
    bool DrawTabImage(TCanvas* Canvas, int X, int Y, int Image, bool Transparent) override;
    void AfterPaint(HDC DC) override;

protected:
    bool Painting() const;

private:
    void Command(TMessage& Message);
    bool SkinnedMessage(TMessage& Message);
    void AfterRoot(const TMessage& Message, const TSize& OldSize);
    TCustomTabControl* OwnerTabs() const;
};

class TkvPageControlWnd : public TkvTabControlWnd {
    KV_CLASS(TkvPageControlWnd)
public:
    void Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const UnicodeString& SkinSection,
                bool Repaint) override;
    void kvWndProc(TMessage& Message) override;
    // Wraps each page window of the control (Skinned) that has no wrapper yet.
    void InitPages(bool Skinned);
};

class TkvPageWnd : public TkvMainWnd {
    KV_CLASS(TkvPageWnd)
public:
    void Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const UnicodeString& SkinSection,
                bool Repaint) override;
    void kvWndProc(TMessage& Message) override;
    TTabPosition TabPosition() const;
    void PrepareCache() {}
    void KV_WMEraseBKGnd(HDC DC);

private:
    void Command(TMessage& Message);
    bool Own(const TMessage& Message) const;
};

// The page wrappers InitPages made.  A wrapper whose page window is gone is
// freed at the next InitPages; the rest go when the program ends.
std::vector<TkvPageWnd*>& PageWrappers();
// Frees the wrappers whose windows are gone.
void SweepPageWrappers();
