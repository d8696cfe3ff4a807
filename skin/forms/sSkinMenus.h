// The application's menus drawn from the skin.  The skin manager owns one
// TsSkinableMenus, which makes menu items owner-drawn by putting its own
// measure and draw handlers into their events, keeps the background picture
// of each open popup in a process-wide cache and gives the popup windows
// their skinned shape; TkvMenuSupport holds the settings of the icon column
// and the extra line.
#pragma once

#include <windows.h>

#include <vector>

#include "classlib/controls/Menus.h"
#include "classlib/graphics/Graphics.h"
#include "skin/core/sFormsSeam.h"

class TsSkinManager;
class TsSkinProvider;

enum TsMenuItemType { smCaption, smDivider, smNormal, smTopLine };

using TsMenuManagerDrawItemEvent = TMethod<void(TObject* Sender, TCanvas* ACanvas, TRect ARect,
                                                TOwnerDrawState State, TsMenuItemType ItemType)>;

// One open popup: its first item (the key), its background picture (owned by
// the cache), its window (0 when not known) and whether it shows the extra line.
struct TkvMenuInfo {
    TMenuItem* FirstItem = nullptr;
    TBitmap* Bmp = nullptr;
    HWND Wnd = nullptr;
    bool HaveExtraLine = false;
};

// The manager's published MenuSupport.
class TkvMenuSupport : public TsMenuSupportSeam {
    KV_CLASS(TkvMenuSupport)
    KV_PUBLISHED
public:
    TkvMenuSupport();
    ~TkvMenuSupport() override;

    UnicodeString IcoLineSkin() const override { return FIcoLineSkin; }
    void SetIcoLineSkin(const UnicodeString& Value) override { FIcoLineSkin = Value; }
    bool UseExtraLine() const { return FUseExtraLine; }
    void SetUseExtraLine(bool Value) { FUseExtraLine = Value; }
    int ExtraLineWidth() const { return FExtraLineWidth; }
    void SetExtraLineWidth(int Value) { FExtraLineWidth = Value; }
    TFont* ExtraLineFont() const { return FExtraLineFont; }
    void SetExtraLineFont(TFont* Value);

private:
    UnicodeString FIcoLineSkin;
    bool FUseExtraLine = false;
    int FExtraLineWidth = 32;
    TFont* FExtraLineFont;
};

class TsSkinableMenus : public TPersistent, public TsMenusSeam {
    KV_CLASS(TsSkinableMenus)
public:
    explicit TsSkinableMenus(TComponent* AOwner);
    ~TsSkinableMenus() override;

    // Properties.
    int Margin() const { return FMargin; }
    void SetMargin(int Value) { FMargin = Value; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value) { FAlignment = Value; }
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value) { FBevelWidth = Value; }
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value) { FBorderWidth = Value; }
    TFont* CaptionFont() const { return FCaptionFont; }
    void SetCaptionFont(TFont* Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value) { FSpacing = Value; }
    // The width of the frame the skin's "MAINMENU" border mask paints,
    // measured on first use after each new skin.
    int GetSkinBorderWidth();
    void SetSkinBorderWidth(int Value) override { FSkinBorderWidth = Value; }
    TsMenuManagerDrawItemEvent OnDrawItem;

    // Menus are hooked (they follow the manager's skin).
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    void UpdateMenus() override;
    // Hooks (A) or unhooks every menu owned by the application's components.
    void InitItems(bool A);
    void HookItem(TMenuItem* MenuItem, bool FActive);
    void HookPopupMenu(TPopupMenu* Menu, bool Active);
    void InitMenuLine(TMainMenu* Menu, bool A);
    void InitItem(TMenuItem* Item, bool A);
    // Takes this object's handlers off every item of the application's
    // components, and the owner drawing off their menus: done when it is
    // freed, so that no item calls into a freed skinner.
    void UnhookOwnItems();

    // The owner-draw handlers.
    void sMeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);
    virtual void sAdvancedDrawItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State);
    void sMeasureLineItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);
    virtual void sAdvancedDrawLineItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State);

    // The background cache: the entry of Item's popup (or, Item nil, of the
    // popup window aWnd), built when missing and aWidth is not 0.  FirstItem
    // and Bmp are nil when there is none.
    TkvMenuInfo GetMenuInfo(TMenuItem* Item, int aWidth, int aHeight, HWND aWnd);
    void PrepareMenuBG(TMenuItem* Item, int Width, int Height, HWND Wnd);
    TBitmap* PopupPicture(TMenuItem* Item, HWND Wnd) override { return GetMenuInfo(Item, 0, 0, Wnd).Bmp; }
    void DrawWndBorder(HWND Wnd, TBitmap* MenuBmp) override;

    // Geometry of items and popups.
    int ExtraWidth(const TkvMenuInfo& mi) const;
    int GetItemHeight(TCanvas* Canvas, TMenuItem* Item);
    int ParentHeight(TCanvas* Canvas, TMenuItem* Item);
    int ParentWidth(TCanvas* Canvas, TMenuItem* Item);
    int GetItemWidth(TCanvas* Canvas, TMenuItem* Item, const TkvMenuInfo& mi);
    bool IsDivText(TMenuItem* Item) const;
    bool IsTopLine(TMenuItem* Item) const;
    bool IsPopupItem(TMenuItem* Item) const;
    bool LastItem(TMenuItem*) const { return false; }
    int CursorMarginH() const { return FBorderWidth; }
    int CursorMarginV() const { return 0; }
    TRect ItemRect(TMenuItem* Item, TRect R) const;

    // The transparent corners of the popup background built last.
    std::vector<TRect> ArOR;
    bool Pressed = false;
    bool BorderDrawing = false;  // DrawWndBorder pumps messages

private:
    TsSkinManager* Manager() const;
    bool Designing() const;
    // Asks the application about the extra line of the popup whose first item is FirstItem.
    bool QueryExtraLine(TMenuItem* FirstItem);
    void UseMenuFont(TCanvas* Canvas, TMenuItem* Item) const;
    UnicodeString MeasuredText(TMenuItem* Item) const;
    void PaintPopupBackground(TBitmap* Bg, int Section, const TkvMenuInfo& mi);
    void PaintExtraLine(TBitmap* Bg, TkvMenuSupport* Support, int Sbw, int Inner);
    void PaintFrameStrips(HWND Wnd, TBitmap* Bmp, TMenuItem* Item, const TRect& ARect, int Extra);
    void AskForPopupWindow(TMenuItem* Item);
    void FillColumns(TCanvas* ACanvas, const TRect& ARect, TMenuItem* Item, TBitmap* Bmp);
    void PaintCheckMark(TBitmap* B, TMenuItem* Item, bool Hot);
    void PaintItemBackground(TBitmap* B, TBitmap* Bmp, const TRect& ARect, int Extra, bool Selected);
    // Answers the width of the glyph column.
    int PaintGlyph(TBitmap* B, TMenuItem* Item, const TRect& ARect, bool Hot, bool Checked);
    void PaintPressedFrame(TBitmap* B, TRect Glyph);
    void PaintItemText(TBitmap* B, TMenuItem* Item, TOwnerDrawState State, int GlyphWidth, bool Hot);
    void DrawSystemLineItem(TMenuItem* Item, TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State);
    void PaintDivider(TCanvas* Canvas, const TRect& ARect, TBitmap* Bmp, const TkvMenuInfo& mi);
    void PaintCaption(TCanvas* Canvas, const TRect& ARect, TMenuItem* Item, TBitmap* Bmp, const TkvMenuInfo& mi);

    int FMargin = 2;
    TAlignment FAlignment = taLeftJustify;
    int FBevelWidth = 0;
    int FBorderWidth = 3;
    TFont* FCaptionFont;
    int FSkinBorderWidth = -1;
    int FSpacing = 6;
    bool FActive = false;
    TComponent* FOwner;
};

// Posted to the application window by item drawing when the popup window is
// not known yet (LParam = the item); 0xBCB4 carries a popup window.
constexpr UINT WM_KV_MENUITEM_DRAWN = 0xBCB3;
constexpr UINT WM_KV_MENUWINDOW = 0xBCB4;

// Process-wide state of the menu skinning (GUI thread only).
extern std::vector<TkvMenuInfo> MenuInfoArray;
extern bool kvCanHookMenu;           // popup menus are being skinned
extern TFont* CustomMenuFont;        // used for items instead of Screen's menu font
extern TsSkinProvider* MDISkinProvider;
extern TsMenuItemType CurrentItemType;
extern int GlyphColumnWidth;         // the left edge of dividers
extern UnicodeString ExtraLineSection, ExtraLineCaption;
extern TBitmap* ExtraLineGlyph;      // owned
extern bool InExtraLineQuery;

TMenuItem* GetFirstItem(TMenuItem* Item);
// The item or one before it in its parent starts a new column.
bool Breaked(TMenuItem* Item);
// The glyph size of an item; with Flag, (0, 0) for an empty bitmap.
TSize GlyphSize(TMenuItem* Item, bool Flag);
// Frees every cached popup picture and empties the cache.
void DeleteUnusedBmps();
// A maximised MDI child's icon heads the MDI main form's menu bar: the main
// form has a provider (MDISkinProvider), its active child is maximised,
// has a system menu and an icon.
bool ChildIconPresent();
void ClearCache();
