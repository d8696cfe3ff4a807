// Common controls: tab and page controls, the tool bar with its buttons, the
// status bar with its panels, the up-down control, the extended combo box,
// list views and tree views.  Each is a superclass of the system's
// common-control window under its own class name.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "classlib/controls/Controls.h"
#include "classlib/controls/ImgList.h"
#include "classlib/rtl/Lists.h"

class TPopupMenu;
class TCustomTabControl;
class TToolBar;
class TToolButton;
class TStatusBar;
class TStatusPanel;
class TTreeNode;

// ---------------------------------------------------------------------------
// Tab controls.  Tabs live in the window once it exists, in a string list
// before that; each tab may carry an object (a page control's sheet).
enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
enum TTabStyle { tsTabs, tsButtons, tsFlatButtons };
using TTabChangingEvent = TMethod<void(TObject* Sender, bool& AllowChange)>;
using TDrawTabEvent = TMethod<void(TCustomTabControl* Control, int TabIndex, const TRect& Rect, bool Active)>;

class TCustomTabControl : public TWinControl {
    KV_CLASS(TCustomTabControl)
    KV_PUBLISHED
public:
    explicit TCustomTabControl(TComponent* AOwner);
    ~TCustomTabControl() override;

    TStrings* Tabs() const { return FTabs; }
    void SetTabs(TStrings* Value) { FTabs->Assign(Value); }
    // The selected tab, -1 for none.  Setting it sends no notification.
    int TabIndex();
    void SetTabIndex(int Value);
    // A tab's rectangle in client coordinates (empty without a window).
    TRect TabRect(int Index);
    int IndexOfTabAt(int X, int Y);
    TTabPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(TTabPosition Value);
    TTabStyle Style() const { return FStyle; }
    void SetStyle(TTabStyle Value);
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value);
    // Tabs drawn by DrawTab / OnDrawTab.
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    // The page area: the client area without the tabs.
    TRect DisplayRect();
    TCanvas* Canvas() const { return FCanvas; }

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;
    TDrawTabEvent OnDrawTab;

    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void AdjustClientRect(TRect& Rect) override;
    // TCN_SELCHANGING asks CanChange (OnChanging); TCN_SELCHANGE calls Change.
    virtual bool CanChange();
    virtual void Change();
    virtual void DrawTab(int TabIndex, const TRect& Rect, bool Active);
    // The image a tab shows (its index, by default).
    virtual int GetImageIndex(int TabIndex) { return TabIndex; }
    virtual void CNNotify(TMessage& Message);
    virtual void CNDrawItem(TMessage& Message);
    // The tabs changed: the page area may have moved.
    void TabsChanged();

private:
    friend class TTabStrings;
    TStrings* FTabs;
    TControlCanvas* FCanvas;
    TCustomImageList* FImages = nullptr;
    TTabPosition FTabPosition = tpTop;
    TTabStyle FStyle = tsTabs;
    bool FMultiLine = false;
    bool FHotTrack = false;
    bool FOwnerDraw = false;
    int FSavedTabIndex = -1;
};

class TTabControl : public TCustomTabControl {
    KV_CLASS(TTabControl)
    KV_PUBLISHED
public:
    explicit TTabControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}
};

class TPageControl;

// One page of a page control; it fills the page area while it is active.
class TTabSheet : public TWinControl {
    KV_CLASS(TTabSheet)
    KV_PUBLISHED
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;

    TPageControl* PageControl() const { return FPageControl; }
    void SetPageControl(TPageControl* Value);
    // Position among the page control's pages.
    int PageIndex() const;
    void SetPageIndex(int Value);
    // Position among the shown tabs, -1 without a tab.
    int TabIndex() const;
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    void SetParentComponent(TComponent* Value) override;

protected:
    void CMTextChanged(TMessage& Message) override;

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
    int FImageIndex = -1;
};

class TPageControl : public TCustomTabControl {
    KV_CLASS(TPageControl)
    KV_PUBLISHED
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;

    int PageCount() const { return int(FPages.size()); }
    TTabSheet* Pages(int Index) const { return FPages.at(Index); }
    TTabSheet* ActivePage() const { return FActivePage; }
    void SetActivePage(TTabSheet* Page);
    int ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }
    void SetActivePageIndex(int Value);
    TTabSheet* FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible);
    void SelectNextPage(bool GoForward, bool CheckTabVisible = true);

protected:
    void Change() override;
    // Shows the page of the selected tab.
    virtual void UpdateActivePage();
    int GetImageIndex(int TabIndex) override;
    void Loaded() override;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* Page);
    void RemovePage(TTabSheet* Page);
    void MovePage(TTabSheet* Page, int NewIndex);
    // Rebuilds the tabs from the pages that show one.
    void UpdateTabs();
    void ChangeActivePage(TTabSheet* Page);
    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
};

// ---------------------------------------------------------------------------
// Tool bars.  The bar's window draws and clicks the buttons; each
// TToolButton is a graphic child that mirrors one of them and takes the
// bounds the bar gives it.
enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider, tbsTextButton };
enum TEdgeBorder { ebLeft, ebTop, ebRight, ebBottom };
using TEdgeBorders = TSet<TEdgeBorder>;
enum TEdgeStyle { esNone, esRaised, esLowered };
enum TCustomDrawStage { cdPrePaint, cdPostPaint, cdPreErase, cdPostErase };
// Element i is bit i of the system's item state (CDIS_SELECTED is bit 0...).
enum TCustomDrawStateItem {
    cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused, cdsDefault, cdsHot, cdsMarked, cdsIndeterminate
};
using TCustomDrawState = TSet<TCustomDrawStateItem>;
enum TTBCustomDrawFlag { tbNoEdges, tbHiliteHotTrack, tbNoOffset, tbNoMark, tbNoEtchedEffect };
using TTBCustomDrawFlags = TSet<TTBCustomDrawFlag>;
// Posted to a tool bar once the drop-down menu of one of its buttons closed.
constexpr UINT CN_DROPDOWNCLOSED = WM_USER + 0x1000;
using TTBAdvancedCustomDrawEvent =
    TMethod<void(TToolBar* Sender, TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw)>;
using TTBAdvancedCustomDrawBtnEvent =
    TMethod<void(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, TCustomDrawStage Stage,
                 TTBCustomDrawFlags& Flags, bool& DefaultDraw)>;

class TToolButton : public TGraphicControl {
    KV_CLASS(TToolButton)
    KV_PUBLISHED
public:
    explicit TToolButton(TComponent* AOwner);
    ~TToolButton() override;

    TToolBar* ToolBar() const { return FToolBar; }
    TToolButtonStyle Style() const { return FStyle; }
    void SetStyle(TToolButtonStyle Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // Pressed (a button) or checked (a check button).
    bool Down() const;
    void SetDown(bool Value);
    bool Marked() const { return FMarked; }
    void SetMarked(bool Value);
    bool Indeterminate() const { return FIndeterminate; }
    void SetIndeterminate(bool Value);
    // Check buttons of a group: one of them down.
    bool Grouped() const { return FGrouped; }
    void SetGrouped(bool Value);
    bool Wrap() const { return FWrap; }
    void SetWrap(bool Value);
    TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
    void SetDropdownMenu(TPopupMenu* Value);
    // Position on the bar.
    int Index() const;
    // The command the bar's window knows the button by.
    int CommandId() const { return FCommand; }

    void SetParent(TWinControl* AParent) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
    void CMHitTest(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMVisibleChanged(TMessage& Message) override;

private:
    friend class TToolBar;
    // The bar's idea of the button (TBBUTTON fields).
    BYTE StateFlags() const;
    BYTE StyleFlags() const;
    void Changed();
    void SetBoundsFromBar(const TRect& R);
    TToolBar* FToolBar = nullptr;
    TToolButtonStyle FStyle = tbsButton;
    int FImageIndex = -1;
    bool FDown = false;
    bool FMarked = false;
    bool FIndeterminate = false;
    bool FGrouped = false;
    bool FWrap = false;
    TPopupMenu* FDropdownMenu = nullptr;
    int FCommand;
};

class TToolBar : public TWinControl {
    KV_CLASS(TToolBar)
    KV_PUBLISHED
public:
    explicit TToolBar(TComponent* AOwner);
    ~TToolBar() override;

    int ButtonCount() const { return int(FButtons.size()); }
    TToolButton* Buttons(int Index) const { return FButtons.at(Index); }
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TCustomImageList* HotImages() const { return FHotImages; }
    void SetHotImages(TCustomImageList* Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    // Captions right of the images instead of below them.
    bool List() const { return FList; }
    void SetList(bool Value);
    bool ShowCaptions() const { return FShowCaptions; }
    void SetShowCaptions(bool Value);
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value);
    int ButtonHeight() const { return FButtonHeight; }
    void SetButtonHeight(int Value);
    // The etched edges round the bar, drawn in its non-client area.
    TEdgeBorders EdgeBorders() const { return FEdgeBorders; }
    void SetEdgeBorders(TEdgeBorders Value);
    TEdgeStyle EdgeInner() const { return FEdgeInner; }
    void SetEdgeInner(TEdgeStyle Value);
    TEdgeStyle EdgeOuter() const { return FEdgeOuter; }
    void SetEdgeOuter(TEdgeStyle Value);
    TCanvas* Canvas() const { return FCanvas; }

    TTBAdvancedCustomDrawEvent OnAdvancedCustomDraw;
    TTBAdvancedCustomDrawBtnEvent OnAdvancedCustomDrawButton;

    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    virtual void CNNotify(TMessage& Message);
    virtual void CNCommand(TMessage& Message);
    void WMSize(TMessage& Message) override;

private:
    friend class TToolButton;
    void InsertButton(TToolButton* Button);
    void RemoveButton(TToolButton* Button);
    // Gives the window the buttons again and the buttons their bounds.
    void RebuildButtons();
    void UpdateButtonBounds();
    TToolButton* ButtonByCommand(int Command) const;
    LRESULT CustomDraw(NMTBCUSTOMDRAW& Draw);
    void NCCalcSize(TMessage& Message);
    void NCPaint(TMessage& Message);
    int EdgeWidth() const;
    std::vector<TToolButton*> FButtons;
    TControlCanvas* FCanvas;
    TCustomImageList* FImages = nullptr;
    TCustomImageList* FHotImages = nullptr;
    bool FFlat = false;
    bool FList = false;
    bool FShowCaptions = false;
    int FButtonWidth = 23;
    int FButtonHeight = 22;
    TEdgeBorders FEdgeBorders = {ebTop};
    TEdgeStyle FEdgeInner = esRaised;
    TEdgeStyle FEdgeOuter = esLowered;
    int FUpdating = 0;
};

// ---------------------------------------------------------------------------
// Status bars.  The panels are a collection; in simple mode (or without
// panels) the bar shows SimpleText across its width.
enum TStatusPanelStyle { psText, psOwnerDraw };
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };
using TDrawPanelEvent = TMethod<void(TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect)>;

class TStatusPanel : public TCollectionItem {
    KV_CLASS(TStatusPanel)
    KV_PUBLISHED
public:
    explicit TStatusPanel(TCollection* Collection);

    const UnicodeString& Text() const { return FText; }
    void SetText(const UnicodeString& Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TStatusPanelStyle Style() const { return FStyle; }
    void SetStyle(TStatusPanelStyle Value);
    TStatusPanelBevel Bevel() const { return FBevel; }
    void SetBevel(TStatusPanelBevel Value);
    void Assign(TPersistent* Source) override;

private:
    UnicodeString FText;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
    TStatusPanelStyle FStyle = psText;
    TStatusPanelBevel FBevel = pbLowered;
};

class TStatusPanels : public TCollection {
    KV_CLASS(TStatusPanels)
public:
    explicit TStatusPanels(TStatusBar* StatusBar);
    TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
    TStatusPanel* Items(int Index) const { return static_cast<TStatusPanel*>(TCollection::Items(Index)); }
    TStatusPanel* operator[](int Index) const { return Items(Index); }
    TPersistent* GetOwner() override;

protected:
    void Update(TCollectionItem* Item) override;
    // A panel joins the collection from its base constructor, before its
    // own fields exist: the bar hears of it once it is whole.
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override;
    void Added(TCollectionItem* Item) override;

private:
    TStatusBar* FStatusBar;
    bool FJoining = false;
};

class TStatusBar : public TWinControl {
    KV_CLASS(TStatusBar)
    KV_PUBLISHED
public:
    explicit TStatusBar(TComponent* AOwner);
    ~TStatusBar() override;

    TStatusPanels* Panels() const { return FPanels; }
    void SetPanels(TStatusPanels* Value) { FPanels->Assign(Value); }
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool Value);
    const UnicodeString& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const UnicodeString& Value);
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value);
    TCanvas* Canvas() const { return FCanvas; }

    TDrawPanelEvent OnDrawPanel;
    void WndProc(TMessage& Message) override;

    // Gives the window the panels' widths, texts and styles.
    void UpdatePanels();

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WMSize(TMessage& Message) override;
    // Draws an owner-draw panel (OnDrawPanel by default).
    virtual void DrawPanel(TStatusPanel* Panel, const TRect& Rect);
    virtual void CNDrawItem(TMessage& Message);

private:
    TStatusPanels* FPanels;
    TControlCanvas* FCanvas;
    bool FSimplePanel = false;
    UnicodeString FSimpleText;
    bool FSizeGrip = true;
};

// ---------------------------------------------------------------------------
// Up-down controls: a pair of arrow buttons that step Position between Min
// and Max by Increment.  With an Associate the arrows stand at its side and
// the position shows as its text.  Range and position live in the window
// once it exists.
enum TUDAlignButton { udLeft, udRight };
enum TUDOrientation { udHorizontal, udVertical };
enum TUDBtnType { btNext, btPrev };
using TUDClickEvent = TMethod<void(TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = TMethod<void(TObject* Sender, bool& AllowChange)>;

class TCustomUpDown : public TWinControl {
    KV_CLASS(TCustomUpDown)
    KV_PUBLISHED
public:
    explicit TCustomUpDown(TComponent* AOwner);

    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value);
    int Position();
    void SetPosition(int Value);
    TUDOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TUDOrientation Value);
    TUDAlignButton AlignButton() const { return FAlignButton; }
    void SetAlignButton(TUDAlignButton Value);
    // Arrow keys step the position while the associate has the focus.
    bool ArrowKeys() const { return FArrowKeys; }
    void SetArrowKeys(bool Value);
    // Thousands separators in the associate's text.
    bool Thousands() const { return FThousands; }
    void SetThousands(bool Value);
    // Stepping past one end goes on from the other.
    bool Wrap() const { return FWrap; }
    void SetWrap(bool Value);
    TWinControl* Associate() const { return FAssociate; }
    void SetAssociate(TWinControl* Value);

    TUDClickEvent OnClick;
    TUDChangingEvent OnChanging;

    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    // UDN_DELTAPOS asks CanChange (OnChanging); the arrows' scroll
    // notification then calls Click with the direction of the step.
    virtual bool CanChange();
    virtual void Click(TUDBtnType Button);
    virtual void CNNotify(TMessage& Message);
    virtual void CNScroll(TMessage& Message);

private:
    void ApplyBuddy();
    int FMin = 0;
    int FMax = 100;
    int FIncrement = 1;
    int FPosition = 0;
    TUDOrientation FOrientation = udVertical;
    TUDAlignButton FAlignButton = udRight;
    bool FArrowKeys = true;
    bool FThousands = true;
    bool FWrap = false;
    TWinControl* FAssociate = nullptr;
    // The step UDN_DELTAPOS allowed, until the scroll notification reports it.
    int FPendingDelta = 0;
};

class TUpDown : public TCustomUpDown {
    KV_CLASS(TUpDown)
    KV_PUBLISHED
public:
    explicit TUpDown(TComponent* AOwner) : TCustomUpDown(AOwner) {}
};

// ---------------------------------------------------------------------------
// The extended combo box ("ComboBoxEx32"): a combo box whose items the
// window keeps as its own records (CBEM_* messages); its edit and list are
// the children of an inner "ComboBox" window.
enum TComboBoxExStyle { csExDropDown, csExSimple, csExDropDownList };

class TCustomComboBoxEx : public TWinControl {
    KV_CLASS(TCustomComboBoxEx)
    KV_PUBLISHED
public:
    explicit TCustomComboBoxEx(TComponent* AOwner);
    ~TCustomComboBoxEx() override;

    TStrings* Items() const { return FItems; }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    int ItemIndex();
    void SetItemIndex(int Value);
    TComboBoxExStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxExStyle Value);
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value) { FDropDownCount = Value; }
    // The inner combo box window, which holds the edit and the list.
    HWND ComboHandle();

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void Change();
    virtual void Select();
    virtual void CNCommand(TMessage& Message);

private:
    TStrings* FItems;
    TComboBoxExStyle FStyle = csExDropDown;
    int FDropDownCount = 8;
    int FSavedIndex = -1;
};

class TComboBoxEx : public TCustomComboBoxEx {
    KV_CLASS(TComboBoxEx)
    KV_PUBLISHED
public:
    explicit TComboBoxEx(TComponent* AOwner) : TCustomComboBoxEx(AOwner) {}
};

// ---------------------------------------------------------------------------
// List views ("SysListView32").  Columns and items are objects of their own;
// the window shows them and keeps them while it exists (an item's lParam is
// its TListItem), and they are handed to a new window when it is made.
class TCustomListView;
class TListItems;

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
enum TDisplayCode { drBounds, drIcon, drLabel, drSelectBounds };
using TLVAdvancedCustomDrawEvent =
    TMethod<void(TCustomListView* Sender, const TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw)>;

class TListColumn : public TCollectionItem {
    KV_CLASS(TListColumn)
    KV_PUBLISHED
public:
    explicit TListColumn(TCollection* Collection);

    const UnicodeString& Caption() const { return FCaption; }
    void SetCaption(const UnicodeString& Value);
    // The width the window shows (the user may drag it).
    int Width();
    void SetWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // The image of the list's SmallImages shown in the column's header.
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    void Assign(TPersistent* Source) override;

private:
    friend class TCustomListView;
    TCustomListView* ListView() const;
    UnicodeString FCaption;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
    int FImageIndex = -1;
};

class TListColumns : public TCollection {
    KV_CLASS(TListColumns)
public:
    explicit TListColumns(TCustomListView* ListView);
    TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
    TListColumn* Items(int Index) const { return static_cast<TListColumn*>(TCollection::Items(Index)); }
    TListColumn* operator[](int Index) const { return Items(Index); }
    TCustomListView* ListView() const { return FListView; }
    TPersistent* GetOwner() override;

protected:
    void Update(TCollectionItem* Item) override;
    // A column joins from its base constructor, before its own fields
    // exist: the window hears of it once it is whole.
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override;
    void Added(TCollectionItem* Item) override;

private:
    TCustomListView* FListView;
    bool FJoining = false;
};

class TListItem : public TPersistent {
    KV_CLASS(TListItem)
public:
    explicit TListItem(TListItems* Owner);
    ~TListItem() override;

    TListItems* Owner() const { return FOwner; }
    TCustomListView* ListView() const;
    int Index() const;
    const UnicodeString& Caption() const { return FCaption; }
    void SetCaption(const UnicodeString& Value);
    // The texts of the columns after the first.
    TStrings* SubItems() const { return FSubItems; }
    void SetSubItems(TStrings* Value) { FSubItems->Assign(Value); }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    void* Data() const { return FData; }
    void SetData(void* Value) { FData = Value; }
    bool Selected() const;
    void SetSelected(bool Value);
    bool Focused() const;
    void SetFocused(bool Value);
    // The item's rectangle in the window's client area (empty without one).
    TRect DisplayRect(TDisplayCode Code) const;
    void MakeVisible(bool PartialOK);
    // Frees the item and takes it out of the list.
    void Delete();
    void Assign(TPersistent* Source) override;

private:
    friend class TListItems;
    friend class TCustomListView;
    void SubItemsChanged(TObject* Sender);
    // The item's state bits, from the window or kept while there is none.
    UINT State(UINT Mask) const;
    void SetState(UINT Bits, bool On);
    TListItems* FOwner;
    UnicodeString FCaption;
    TStringList* FSubItems;
    int FImageIndex = -1;
    void* FData = nullptr;
    UINT FSavedState = 0;
};

class TListItems : public TPersistent {
    KV_CLASS(TListItems)
public:
    explicit TListItems(TCustomListView* Owner);
    ~TListItems() override;

    TCustomListView* Owner() const { return FOwner; }
    int Count() const { return int(FItems.size()); }
    TListItem* Item(int Index) const;
    TListItem* operator[](int Index) const { return Item(Index); }
    TListItem* Add();
    TListItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    int IndexOf(const TListItem* Value) const;
    void BeginUpdate();
    void EndUpdate();
    void Assign(TPersistent* Source) override;

private:
    friend class TListItem;
    friend class TCustomListView;
    TCustomListView* FOwner;
    std::vector<TListItem*> FItems;
    int FUpdateCount = 0;
};

class TCustomListView : public TWinControl {
    KV_CLASS(TCustomListView)
    KV_PUBLISHED
public:
    explicit TCustomListView(TComponent* AOwner);
    ~TCustomListView() override;

    TViewStyle ViewStyle() const { return FViewStyle; }
    void SetViewStyle(TViewStyle Value);
    TListColumns* Columns() const { return FColumns; }
    void SetColumns(TListColumns* Value) { FColumns->Assign(Value); }
    TListItems* Items() const { return FItems; }
    void SetItems(TListItems* Value) { FItems->Assign(Value); }
    TCustomImageList* SmallImages() const { return FSmallImages; }
    void SetSmallImages(TCustomImageList* Value);
    TCustomImageList* LargeImages() const { return FLargeImages; }
    void SetLargeImages(TCustomImageList* Value);
    // The first selected item; setting it selects that item alone.
    TListItem* Selected();
    void SetSelected(TListItem* Value);
    int ItemIndex();
    void SetItemIndex(int Value);
    int SelCount();
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool Value);
    bool ShowColumnHeaders() const { return FShowColumnHeaders; }
    void SetShowColumnHeaders(bool Value);
    // An item's caption is being edited in place.
    bool IsEditing();
    TListItem* GetItemAt(int X, int Y);
    TCanvas* Canvas() const { return FCanvas; }

    TLVAdvancedCustomDrawEvent OnAdvancedCustomDraw;

    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void CMColorChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    virtual void CNNotify(TMessage& Message);
    // A drawing stage of the whole control (NM_CUSTOMDRAW), on Canvas:
    // OnAdvancedCustomDraw; false when the window is to draw nothing itself.
    virtual bool CustomDraw(const TRect& ARect, TCustomDrawStage Stage);

private:
    friend class TListColumns;
    friend class TListColumn;
    friend class TListItems;
    friend class TListItem;
    // The window's columns and items, made again from the objects.
    void UpdateColumns();
    void InsertItemWindow(TListItem* Item, int Index);
    void UpdateItemWindow(TListItem* Item);
    void UpdateColours();
    void UpdateImageLists();
    DWORD ExtendedStyle() const;
    LRESULT CustomDrawNotify(NMLVCUSTOMDRAW& Draw);
    TListColumns* FColumns;
    TListItems* FItems;
    TControlCanvas* FCanvas;
    TCustomImageList* FSmallImages = nullptr;
    TCustomImageList* FLargeImages = nullptr;
    TViewStyle FViewStyle = vsIcon;
    bool FMultiSelect = false;
    bool FReadOnly = false;
    bool FRowSelect = false;
    bool FShowColumnHeaders = true;
};

class TListView : public TCustomListView {
    KV_CLASS(TListView)
    KV_PUBLISHED
public:
    explicit TListView(TComponent* AOwner) : TCustomListView(AOwner) {}
};

// ---------------------------------------------------------------------------
// Tree views ("SysTreeView32").  The nodes are objects of their own in a
// tree the control keeps; the window shows them while it exists (a node's
// lParam is its TTreeNode) and they are handed to a new window when it is
// made, expanded and selected as they were.
class TCustomTreeView;
class TTreeNodes;

using TTVAdvancedCustomDrawEvent =
    TMethod<void(TCustomTreeView* Sender, const TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw)>;
using TTVExpandingEvent = TMethod<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVCollapsingEvent = TMethod<void(TObject* Sender, TTreeNode* Node, bool& AllowCollapse)>;
using TTVChangingEvent = TMethod<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVChangedEvent = TMethod<void(TObject* Sender, TTreeNode* Node)>;

class TTreeNode : public TPersistent {
    KV_CLASS(TTreeNode)
public:
    TTreeNode(TTreeNodes* Owner, TTreeNode* Parent);
    ~TTreeNode() override;

    TTreeNodes* Owner() const { return FOwner; }
    TCustomTreeView* TreeView() const;
    TTreeNode* Parent() const { return FParent; }
    int Count() const { return int(FChildren.size()); }
    TTreeNode* Item(int Index) const;
    TTreeNode* operator[](int Index) const { return Item(Index); }
    // Position among its siblings; position in the whole tree, top down.
    int Index() const;
    int AbsoluteIndex() const;
    int Level() const;
    TTreeNode* getFirstChild() const { return FChildren.empty() ? nullptr : FChildren.front(); }
    TTreeNode* GetLastChild() const { return FChildren.empty() ? nullptr : FChildren.back(); }
    TTreeNode* getNextSibling() const;
    TTreeNode* getPrevSibling() const;
    // The next node top down: first child, else next sibling, else a
    // parent's next sibling.
    TTreeNode* GetNext() const;

    const UnicodeString& Text() const { return FText; }
    void SetText(const UnicodeString& Value);
    void* Data() const { return FData; }
    void SetData(void* Value) { FData = Value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int SelectedIndex() const { return FSelectedIndex; }
    void SetSelectedIndex(int Value);
    // Children, or the button shown as if there were some.
    bool HasChildren() const { return FHasChildren || !FChildren.empty(); }
    void SetHasChildren(bool Value);
    bool Expanded() const;
    void SetExpanded(bool Value);
    void Expand(bool Recurse);
    void Collapse(bool Recurse);
    bool Selected() const;
    void SetSelected(bool Value);
    // The node's rectangle in the window's client area (empty when hidden).
    TRect DisplayRect(bool TextOnly) const;
    void MakeVisible();
    // The caption's in-place editing.
    bool EditText();
    void EndEdit(bool Cancel);
    // Frees the node (and its children) and takes it out of the tree.
    void Delete();
    void DeleteChildren();
    // The window's item while there is a window, else nullptr.
    HTREEITEM ItemId() const { return FItemId; }
    void Assign(TPersistent* Source) override;

private:
    friend class TTreeNodes;
    friend class TCustomTreeView;
    void UpdateItem(UINT Mask);
    void ExpandItem(bool Expand);
    TTreeNodes* FOwner;
    TTreeNode* FParent;
    std::vector<TTreeNode*> FChildren;
    HTREEITEM FItemId = nullptr;
    UnicodeString FText;
    void* FData = nullptr;
    int FImageIndex = -1;
    int FSelectedIndex = -1;
    bool FHasChildren = false;
    // Kept while there is no window.
    bool FExpanded = false;
};

class TTreeNodes : public TPersistent {
    KV_CLASS(TTreeNodes)
public:
    explicit TTreeNodes(TCustomTreeView* Owner);
    ~TTreeNodes() override;

    TCustomTreeView* Owner() const { return FOwner; }
    // Every node of the tree.
    int Count() const;
    // The node at an absolute index, top down.
    TTreeNode* Item(int Index) const;
    TTreeNode* operator[](int Index) const { return Item(Index); }
    TTreeNode* GetFirstNode() const { return FRoots.empty() ? nullptr : FRoots.front(); }
    // A node after the last sibling of Sibling (a root with no sibling).
    TTreeNode* Add(TTreeNode* Sibling, const UnicodeString& S);
    TTreeNode* AddObject(TTreeNode* Sibling, const UnicodeString& S, void* Data);
    TTreeNode* AddFirst(TTreeNode* Sibling, const UnicodeString& S);
    // The last (first) child of Parent (a root with no parent).
    TTreeNode* AddChild(TTreeNode* Parent, const UnicodeString& S);
    TTreeNode* AddChildObject(TTreeNode* Parent, const UnicodeString& S, void* Data);
    TTreeNode* AddChildFirst(TTreeNode* Parent, const UnicodeString& S);
    // A node just before Sibling (the last root with no sibling).
    TTreeNode* Insert(TTreeNode* Sibling, const UnicodeString& S);
    void Delete(TTreeNode* Node);
    void Clear();
    void BeginUpdate();
    void EndUpdate();
    void Assign(TPersistent* Source) override;

private:
    friend class TTreeNode;
    friend class TCustomTreeView;
    std::vector<TTreeNode*>& SiblingsOf(TTreeNode* Parent) { return Parent ? Parent->FChildren : FRoots; }
    TTreeNode* InsertAt(TTreeNode* Parent, int Index, const UnicodeString& S, void* Data);
    TCustomTreeView* FOwner;
    std::vector<TTreeNode*> FRoots;
    int FUpdateCount = 0;
};

class TCustomTreeView : public TWinControl {
    KV_CLASS(TCustomTreeView)
    KV_PUBLISHED
public:
    explicit TCustomTreeView(TComponent* AOwner);
    ~TCustomTreeView() override;

    TTreeNodes* Items() const { return FNodes; }
    void SetItems(TTreeNodes* Value) { FNodes->Assign(Value); }
    TTreeNode* Selected();
    void SetSelected(TTreeNode* Value);
    // The first node shown at the top of the window.
    TTreeNode* TopItem();
    void SetTopItem(TTreeNode* Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    bool ShowLines() const { return FShowLines; }
    void SetShowLines(bool Value);
    bool ShowRoot() const { return FShowRoot; }
    void SetShowRoot(bool Value);
    bool ShowButtons() const { return FShowButtons; }
    void SetShowButtons(bool Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    // A node's caption is being edited in place.
    bool IsEditing();
    TTreeNode* GetNodeAt(int X, int Y);
    void FullExpand();
    void FullCollapse();
    TCanvas* Canvas() const { return FCanvas; }

    TTVAdvancedCustomDrawEvent OnAdvancedCustomDraw;
    TTVExpandingEvent OnExpanding;
    TTVCollapsingEvent OnCollapsing;
    TTVChangingEvent OnChanging;
    TTVChangedEvent OnChange;

    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void CMColorChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    virtual void CNNotify(TMessage& Message);
    // Asked before a node opens or closes and before the selection moves;
    // false keeps things as they are.
    virtual bool CanExpand(TTreeNode* Node);
    virtual bool CanCollapse(TTreeNode* Node);
    virtual bool CanChange(TTreeNode* Node);
    virtual void Change(TTreeNode* Node);
    // A drawing stage of the whole control (NM_CUSTOMDRAW), on Canvas:
    // OnAdvancedCustomDraw; false when the window is to draw nothing itself.
    virtual bool CustomDraw(const TRect& ARect, TCustomDrawStage Stage);

private:
    friend class TTreeNodes;
    friend class TTreeNode;
    void InsertNodeWindow(TTreeNode* Node, HTREEITEM After);
    void UpdateColours();
    LRESULT CustomDrawNotify(NMTVCUSTOMDRAW& Draw);
    static TTreeNode* NodeOf(const TVITEMW& Item) { return reinterpret_cast<TTreeNode*>(Item.lParam); }
    TTreeNodes* FNodes;
    TControlCanvas* FCanvas;
    TCustomImageList* FImages = nullptr;
    // The selection while there is no window.
    TTreeNode* FSavedSelected = nullptr;
    bool FShowLines = true;
    bool FShowRoot = true;
    bool FShowButtons = true;
    bool FReadOnly = false;
    bool FHideSelection = true;
    // The control fills or empties the window itself, or expands a node
    // after asking: the window's notifications of it raise no events.
    bool FQuiet = false;
};

class TTreeView : public TCustomTreeView {
    KV_CLASS(TTreeView)
    KV_PUBLISHED
public:
    explicit TTreeView(TComponent* AOwner) : TCustomTreeView(AOwner) {}
};

// Registers the classes of this unit for form resources.
void RegisterComCtrlsClasses();
