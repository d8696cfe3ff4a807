// Menus: menu items over real HMENUs, the form's main menu and popup menus.
//
// A TMenu holds a root TMenuItem (Items) whose children are the menu's
// items; an item with children has a sub-menu.  The HMENUs are made when
// first asked for and rebuilt in place when an item changes, so a handle
// once given out stays valid for the life of its item.  Every item has a
// process-wide command id: WM_COMMAND, WM_MEASUREITEM and WM_DRAWITEM find
// their item by it.  A main menu's messages arrive at its form; a popup
// menu's at PopupList->Window(), the window every popup is tracked with.
#pragma once

#include <windows.h>

#include <vector>

#include "classlib/controls/Controls.h"
#include "classlib/controls/ImgList.h"
#include "classlib/graphics/Graphics.h"
#include "classlib/rtl/Classes.h"
#include "classlib/rtl/TypInfo.h"

class TMenu;
class TMenuItem;
class TPopupMenu;

KV_EXCEPTION(EMenuError, Exception)

// ---------------------------------------------------------------------------
// Shortcuts: a virtual-key code in the low byte and the modifier flags.
using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;

TShortCut ShortCut(WORD Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift);
// "Ctrl+Ins", "Shift+F10", "Enter"; empty text for 0 or an unnamed key.
UnicodeString ShortCutToText(TShortCut ShortCut);
// The reverse, ignoring case ("ctrl+o"); 0 when the text names no shortcut.
TShortCut TextToShortCut(UnicodeString Text);

// ---------------------------------------------------------------------------
enum TMenuBreak { mbNone, mbBreak, mbBarBreak };
enum TFindItemKind { fkCommand, fkHandle, fkShortCut };

using TMenuDrawItemEvent = TMethod<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;
using TAdvancedMenuDrawItemEvent =
    TMethod<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State)>;
using TMenuMeasureItemEvent = TMethod<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
using TMenuChangeEvent = TMethod<void(TObject* Sender, TMenuItem* Source, bool Rebuild)>;

class TMenuItem : public TComponent {
    KV_CLASS(TMenuItem)
    KV_PUBLISHED
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    // Tree.  A top item's Parent is its menu's Items.
    TMenuItem* Parent() const { return FParent; }
    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int Index) const;
    TMenuItem* operator[](int Index) const { return Items(Index); }
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    // Takes the item out (not freed); Clear frees every child.
    void Delete(int Index);
    void Remove(TMenuItem* Item);
    void Clear();
    int IndexOf(const TMenuItem* Item) const;
    // The child whose caption, without '&', equals ACaption ignoring case.
    TMenuItem* Find(UnicodeString ACaption) const;
    int MenuIndex() const;
    void SetMenuIndex(int Value);
    // The menu this item belongs to, through its parents; nullptr when loose.
    TMenu* GetParentMenu() const;
    // Whether Item points to a menu item that has not been freed: a pointer
    // that travelled in a posted message may outlive its item.
    static bool Exists(const TMenuItem* Item);

    // The sub-menu of this item's children, made on demand.
    HMENU Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    // The id WM_COMMAND and the owner-draw messages carry.
    WORD Command() const { return FCommand; }

    UnicodeString Caption() const { return FCaption; }
    void SetCaption(const UnicodeString& Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    bool Checked() const { return FChecked; }
    // Checking a radio item unchecks the radio items of its group.
    void SetChecked(bool Value);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    TMenuBreak Break() const { return FBreak; }
    void SetBreak(TMenuBreak Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    // The glyph, made (empty) when first asked for.
    TBitmap* Bitmap();
    void SetBitmap(TBitmap* Value);
    bool HasBitmap() const { return FBitmap && !FBitmap->Empty(); }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TCustomImageList* SubMenuImages() const { return FSubMenuImages; }
    void SetSubMenuImages(TCustomImageList* Value);
    const UnicodeString& Hint() const { return FHint; }
    void SetHint(const UnicodeString& Value) { FHint = Value; }
    // A separator: the caption "-".
    bool IsLine() const { return FCaption == L"-"; }

    TNotifyEvent OnClick;
    TMenuDrawItemEvent OnDrawItem;
    TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;
    TMenuMeasureItemEvent OnMeasureItem;

    virtual void Click();
    // The item changed: its entry is rebuilt (when Rebuild) and its menu told.
    virtual void MenuChanged(bool Rebuild);
    // Owner drawing, as the messages of an owner-drawn menu ask for it:
    // the events when assigned, else the default look.
    virtual void MeasureItem(TCanvas* ACanvas, int& Width, int& Height);
    virtual void AdvancedDrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State, bool TopLevel);

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;
    void GetChildren(TGetChildProc Proc, TComponent* Root) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    // The entry of Child in this item's HMENU.
    void AppendEntry(TMenuItem* Child);
    // Empties this item's HMENU and enters the visible children again.
    void RebuildHandle();
    bool IsOwnerDraw() const;
    // A top item of a main menu (drawn on the menu bar).
    bool IsTopLevel() const;
    TCustomImageList* ImageList() const;

private:
    friend class TMenu;
    void SubItemChanged(TMenuItem* Source, bool Rebuild);
    // Rebuilds every handle made below this item (a menu-wide change).
    void RebuildTree();
    void TurnSiblingsOff();
    void BitmapChanged(TObject* Sender);
    void DefaultMeasure(TCanvas* ACanvas, int& Width, int& Height);
    void DefaultDraw(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State, bool TopLevel);

    TMenu* FMenu = nullptr; // set on a menu's root item only
    TMenuItem* FParent = nullptr;
    std::vector<TMenuItem*> FItems;
    HMENU FHandle = nullptr;
    WORD FCommand = 0;
    UnicodeString FCaption;
    TShortCut FShortCut = 0;
    bool FChecked = false;
    bool FRadioItem = false;
    bool FEnabled = true;
    bool FVisible = true;
    bool FDefault = false;
    TMenuBreak FBreak = mbNone;
    int FGroupIndex = 0;
    TBitmap* FBitmap = nullptr;
    int FImageIndex = -1;
    TCustomImageList* FSubMenuImages = nullptr;
    UnicodeString FHint;
};

// ---------------------------------------------------------------------------
class TMenu : public TComponent {
    KV_CLASS(TMenu)
    KV_PUBLISHED
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;

    TMenuItem* Items() const { return FItems; }
    HMENU Handle() { return FItems->Handle(); }
    // The window the menu belongs to (a main menu's form).
    HWND WindowHandle() const { return FWindowHandle; }
    void SetWindowHandle(HWND Value) { FWindowHandle = Value; }
    // Items are drawn by their owner-draw events (or the default look).
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);

    // The item with that command id, sub-menu handle or shortcut, hidden
    // items included; nullptr when none.
    TMenuItem* FindItem(UINT_PTR Value, TFindItemKind Kind) const;
    // WM_COMMAND: clicks the item with that command id; false when none.
    bool DispatchCommand(WORD ACommand);
    // WM_INITMENUPOPUP: clicks the item whose sub-menu opens; false when none.
    bool DispatchPopup(HMENU AHandle);
    // WM_MENUCHAR of an owner-drawn sub-menu of this menu: the entry whose
    // caption has the typed character after '&' is chosen (MNC_EXECUTE;
    // MNC_SELECT when several share it).  False when the sub-menu is not ours
    // or no caption matches.
    bool ProcessMenuChar(TMessage& Message);
    // A key down message (CN_KEYDOWN): clicks the enabled item with that
    // shortcut; true when one was clicked.
    bool IsShortCut(TMessage& Message);

    // Called with the changed item (nullptr: the whole menu).
    virtual void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild);
    TMenuChangeEvent OnChange;

    void GetChildren(TGetChildProc Proc, TComponent* Root) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    friend class TMenuItem;
    // The root handle: a menu bar for a main menu, a popup menu otherwise.
    virtual HMENU CreateMenuHandle() { return ::CreatePopupMenu(); }

    TMenuItem* FItems = nullptr;
    HWND FWindowHandle = nullptr;
    bool FOwnerDraw = false;
    TCustomImageList* FImages = nullptr;
};

class TMainMenu : public TMenu {
    KV_CLASS(TMainMenu)
    KV_PUBLISHED
public:
    explicit TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}
    // Also tells the form (CM_MENUCHANGED), which redraws its menu bar.
    void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) override;

protected:
    HMENU CreateMenuHandle() override { return ::CreateMenu(); }
};

enum TPopupAlignment { paLeft, paRight, paCenter };
enum TTrackButton { tbRightButton, tbLeftButton };
enum TMenuAnimations { maLeftToRight, maRightToLeft, maTopToBottom, maBottomToTop, maNone };
using TMenuAnimation = TSet<TMenuAnimations>;

class TPopupMenu : public TMenu {
    KV_CLASS(TPopupMenu)
    KV_PUBLISHED
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;

    // Shows the menu at the screen point (X, Y) and returns when it has
    // closed; the chosen item's OnClick runs when the posted WM_COMMAND is
    // handled, after the return.
    virtual void Popup(int X, int Y);
    TPoint PopupPoint() const { return FPopupPoint; }
    // The control that popped the menu up.
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* Value);

    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool Value) { FAutoPopup = Value; }
    TPopupAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
    TTrackButton TrackButton() const { return FTrackButton; }
    void SetTrackButton(TTrackButton Value) { FTrackButton = Value; }
    TMenuAnimation MenuAnimation() const { return FMenuAnimation; }
    void SetMenuAnimation(TMenuAnimation Value) { FMenuAnimation = Value; }

    TNotifyEvent OnPopup;

    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    virtual void DoPopup(TObject* Sender);
    UINT TrackFlags() const;

private:
    TPoint FPopupPoint{};
    TComponent* FPopupComponent = nullptr;
    bool FAutoPopup = true;
    TPopupAlignment FAlignment = paLeft;
    TTrackButton FTrackButton = tbRightButton;
    TMenuAnimation FMenuAnimation;
};

// ---------------------------------------------------------------------------
// Every popup menu of the program, and the hidden window they are tracked
// with: it receives their WM_COMMAND, WM_INITMENUPOPUP, WM_MEASUREITEM and
// WM_DRAWITEM.  The window lives while at least one popup menu exists.
class TPopupList {
public:
    TPopupList() = default;
    TPopupList(const TPopupList&) = delete;
    TPopupList& operator=(const TPopupList&) = delete;
    virtual ~TPopupList();

    HWND Window() const { return FWindow; }
    int Count() const { return static_cast<int>(FMenus.size()); }
    TPopupMenu* Items(int Index) const { return FMenus.at(static_cast<size_t>(Index)); }
    void Add(TPopupMenu* Menu);
    void Remove(TPopupMenu* Menu);

protected:
    virtual void WndProc(TMessage& Message);

private:
    bool DispatchToMenus(TMessage& Message);
    HWND FWindow = nullptr;
    std::vector<TPopupMenu*> FMenus;
};

extern TPopupList* PopupList;

// Owner-draw messages of menus (CtlType ODT_MENU): the item of Menu with
// the message's command id measures or draws itself on a canvas over the
// message's device context.  False when Menu has no such item.
bool MenuMeasureItem(TMenu* Menu, MEASUREITEMSTRUCT* Item);
bool MenuDrawItem(TMenu* Menu, DRAWITEMSTRUCT* Item);

// Registers the classes of this unit for form resources.
void RegisterMenusClasses();
