// Menus over real HMENUs: entries and their states, rebuilding in place,
// the form's menu bar, command, owner-draw and context-menu routing,
// shortcuts, form resources, and handles freed with their owners.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "classlib/controls/ExtCtrls.h"
#include "classlib/controls/Forms.h"
#include "classlib/controls/Menus.h"
#include "classlib/controls/StdCtrls.h"
#include "classlib/streaming/FormReader.h"

namespace {

TMenuItem* AddItem(TMenuItem* Parent, const UnicodeString& Caption, TComponent* Owner = nullptr)
{
    TMenuItem* item = New<TMenuItem>(Owner);
    item->SetCaption(Caption);
    Parent->Add(item);
    return item;
}

MENUITEMINFOW EntryInfo(HMENU Menu, UINT Pos)
{
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
    EXPECT_TRUE(GetMenuItemInfoW(Menu, Pos, TRUE, &mii));
    return mii;
}

UnicodeString EntryText(HMENU Menu, UINT Pos)
{
    wchar_t buf[256] = {};
    GetMenuStringW(Menu, Pos, buf, 256, MF_BYPOSITION);
    return buf;
}

// Records what the item events receive.
struct TRecorder : TObject {
    std::vector<TObject*> Clicks;
    int Measured = 0;
    int Popups = 0;
    TComponent* PopupComponent = nullptr;
    HDC DrawDC = nullptr;
    TRect DrawRect{};
    TOwnerDrawState DrawState;
    UnicodeString MeasureFont;
    bool CloseOnPopup = true;

    void Click(TObject* Sender) { Clicks.push_back(Sender); }
    void Measure(TObject*, TCanvas* Canvas, int& Width, int& Height)
    {
        ++Measured;
        MeasureFont = Canvas->Font()->Name();
        Width = 123;
        Height = 45;
    }
    void Draw(TObject*, TCanvas* Canvas, TRect Rect, TOwnerDrawState State)
    {
        DrawDC = Canvas->Handle();
        DrawRect = Rect;
        DrawState = State;
        Canvas->Brush()->SetColor(clRed);
        Canvas->FillRect(Rect);
    }
    void Popup(TObject* Sender)
    {
        ++Popups;
        PopupComponent = static_cast<TPopupMenu*>(Sender)->PopupComponent();
        // The menu loop handles this once the menu shows, and closes it.
        if (CloseOnPopup)
            PostMessageW(PopupList->Window(), WM_CANCELMODE, 0, 0);
    }
};

// Records the messages that reach a control's WindowProc.
struct TMessageLog : TObject {
    TWndMethod Old;
    std::vector<UINT> Msgs;
    void Proc(TMessage& M)
    {
        Msgs.push_back(M.Msg);
        Old(M);
    }
    int Count(UINT Msg) const { return int(std::count(Msgs.begin(), Msgs.end(), Msg)); }
};

// Ends a menu loop that failed to close, so that a failing test cannot hang.
void CALLBACK EndStuckMenu(HWND, UINT, UINT_PTR Id, DWORD)
{
    KillTimer(nullptr, Id);
    EndMenu();
}

struct TSafetyTimer {
    UINT_PTR Id = SetTimer(nullptr, 0, 5000, EndStuckMenu);
    ~TSafetyTimer() { KillTimer(nullptr, Id); }
};

// A bitmap for owner drawing: its canvas's DC stands for the item's DC.
TOwned<TBitmap> WhiteBitmap(int W, int H)
{
    TOwned<TBitmap> bmp(New<TBitmap>());
    bmp->SetPixelFormat(pf24bit);
    bmp->SetSize(W, H);
    bmp->Canvas()->Brush()->SetColor(clWhite);
    bmp->Canvas()->FillRect(Rect(0, 0, W, H));
    return bmp;
}

} // namespace

// ---------------------------------------------------------------------------
TEST(MenuItems, BecomeEntriesWithTheirStatesAndTexts)
{
    TOwned<TPopupMenu> popup(New<TPopupMenu>(nullptr));
    TMenuItem* root = popup->Items();
    TMenuItem* open = AddItem(root, L"&Open");
    open->SetShortCut(ShortCut('O', {ssCtrl}));
    open->SetChecked(true);
    open->SetDefault(true);
    AddItem(root, L"-");
    TMenuItem* off = AddItem(root, L"Off");
    off->SetEnabled(false);
    AddItem(root, L"Hidden")->SetVisible(false);
    TMenuItem* radio = AddItem(root, L"Radio");
    radio->SetRadioItem(true);
    radio->SetBreak(mbBreak);
    TMenuItem* sub = AddItem(root, L"Sub");
    AddItem(sub, L"Inner")->SetBreak(mbBarBreak);

    HMENU h = popup->Handle();
    ASSERT_TRUE(IsMenu(h));
    ASSERT_EQ(GetMenuItemCount(h), 5); // the hidden item has no entry

    struct Case {
        UINT Pos;
        const wchar_t* Text;
        UINT Type;
        UINT State;
    } cases[] = {
        {0, L"&Open\tCtrl+O", MFT_STRING, MFS_CHECKED | MFS_DEFAULT},
        {1, L"", MFT_SEPARATOR, 0},
        {2, L"Off", MFT_STRING, MFS_GRAYED},
        {3, L"Radio", MFT_RADIOCHECK | MFT_MENUBREAK, 0},
        {4, L"Sub", MFT_STRING, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Pos);
        MENUITEMINFOW mii = EntryInfo(h, c.Pos);
        EXPECT_EQ(mii.fType & (MFT_SEPARATOR | MFT_RADIOCHECK | MFT_MENUBREAK | MFT_MENUBARBREAK), c.Type);
        EXPECT_EQ(mii.fState & (MFS_CHECKED | MFS_GRAYED | MFS_DEFAULT), c.State);
        if (c.Type != MFT_SEPARATOR) {
            EXPECT_EQ(EntryText(h, c.Pos), c.Text);
        }
    }
    EXPECT_EQ(EntryInfo(h, 0).wID, open->Command());
    EXPECT_EQ(EntryInfo(h, 0).dwItemData, reinterpret_cast<ULONG_PTR>(open));
    // The sub-menu is the item's own handle, with its entry.
    EXPECT_EQ(EntryInfo(h, 4).hSubMenu, sub->Handle());
    EXPECT_EQ(GetSubMenu(h, 4), sub->Handle());
    EXPECT_EQ(EntryText(sub->Handle(), 0), L"Inner");
    EXPECT_EQ(EntryInfo(sub->Handle(), 0).fType & MFT_MENUBARBREAK, UINT(MFT_MENUBARBREAK));
    EXPECT_EQ(EntryInfo(h, 0).hSubMenu, nullptr);
}

TEST(MenuItems, ChangesRebuildTheSameHandle)
{
    TOwned<TPopupMenu> popup(New<TPopupMenu>(nullptr));
    TMenuItem* a = AddItem(popup->Items(), L"A");
    TMenuItem* b = AddItem(popup->Items(), L"B");
    HMENU h = popup->Handle();

    a->SetCaption(L"Alpha");
    EXPECT_EQ(EntryText(h, 0), L"Alpha");
    a->SetVisible(false);
    EXPECT_EQ(GetMenuItemCount(h), 1);
    EXPECT_EQ(EntryText(h, 0), L"B");
    a->SetVisible(true);
    b->SetMenuIndex(0);
    EXPECT_EQ(EntryText(h, 0), L"B");
    EXPECT_EQ(EntryText(h, 1), L"Alpha");

    // A leaf that gains a child opens a sub-menu; losing it closes it again.
    TMenuItem* child = AddItem(b, L"Child");
    ASSERT_NE(GetSubMenu(h, 0), nullptr);
    EXPECT_EQ(GetSubMenu(h, 0), b->Handle());
    b->Remove(child);
    EXPECT_EQ(GetSubMenu(h, 0), nullptr);
    FreeAndNil(child);
    EXPECT_EQ(popup->Handle(), h);
}

TEST(MenuItems, TreeRulesAndRadioGroups)
{
    TOwned<TPopupMenu> popup(New<TPopupMenu>(nullptr));
    TMenuItem* root = popup->Items();
    TMenuItem* r1 = AddItem(root, L"R1");
    TMenuItem* r2 = AddItem(root, L"R2");
    TMenuItem* other = AddItem(root, L"Other group");
    for (TMenuItem* r : {r1, r2, other})
        r->SetRadioItem(true);
    other->SetGroupIndex(1);
    r1->SetChecked(true);
    other->SetChecked(true);
    r2->SetChecked(true);
    EXPECT_FALSE(r1->Checked());
    EXPECT_TRUE(r2->Checked());
    EXPECT_TRUE(other->Checked());
    EXPECT_EQ(GetMenuState(popup->Handle(), 0, MF_BYPOSITION) & MF_CHECKED, 0u);

    EXPECT_EQ(r1->Parent(), root);
    EXPECT_EQ(r1->GetParentMenu(), popup.get());
    EXPECT_EQ(root->Find(L"r&2"), r2);
    EXPECT_THROW(root->Add(r1), EMenuError);      // already in a menu
    TMenuItem* loose = New<TMenuItem>(nullptr);
    EXPECT_THROW(root->Insert(9, loose), EMenuError);
    loose->Add(New<TMenuItem>(nullptr));
    EXPECT_THROW(loose->Items(0)->Add(loose), EMenuError); // a loop
    EXPECT_EQ(loose->GetParentMenu(), nullptr);
    FreeAndNil(loose);
}

TEST(MenuItems, FoundByCommandHandleAndShortCutHiddenIncluded)
{
    TOwned<TPopupMenu> popup(New<TPopupMenu>(nullptr));
    TMenuItem* sub = AddItem(popup->Items(), L"Sub");
    TMenuItem* deep = AddItem(sub, L"Deep");
    deep->SetShortCut(VK_RETURN);
    deep->SetVisible(false);
    EXPECT_EQ(popup->FindItem(deep->Command(), fkCommand), deep);
    EXPECT_EQ(popup->FindItem(reinterpret_cast<UINT_PTR>(sub->Handle()), fkHandle), sub);
    EXPECT_EQ(popup->FindItem(VK_RETURN, fkShortCut), deep);
    EXPECT_EQ(popup->FindItem(VK_ESCAPE, fkShortCut), nullptr);
    EXPECT_EQ(popup->FindItem(0, fkHandle), nullptr);
    EXPECT_NE(sub->Command(), deep->Command());
}

// A pointer posted in a message is checked before use: freed items, their
// children freed with them, and anything else are not items.
TEST(MenuItems, ExistOnlyUntilFreed)
{
    TOwned<TPopupMenu> popup(New<TPopupMenu>(nullptr));
    TMenuItem* item = AddItem(popup->Items(), L"Item");
    TMenuItem* child = AddItem(item, L"Child");
    EXPECT_TRUE(TMenuItem::Exists(item));
    EXPECT_TRUE(TMenuItem::Exists(child));
    const TMenuItem* gone = item;
    const TMenuItem* goneChild = child;
    FreeAndNil(item);
    EXPECT_FALSE(TMenuItem::Exists(gone));
    EXPECT_FALSE(TMenuItem::Exists(goneChild));
    EXPECT_FALSE(TMenuItem::Exists(nullptr));
    EXPECT_FALSE(TMenuItem::Exists(reinterpret_cast<const TMenuItem*>(popup.get())));
}

TEST(ShortCuts, TextsBothWays)
{
    struct Case {
        TShortCut ShortCut;
        const wchar_t* Text;
    } cases[] = {
        {16429, L"Ctrl+Ins"},   {scShift | VK_INSERT, L"Shift+Ins"}, {VK_RETURN, L"Enter"},
        {VK_ESCAPE, L"Esc"},    {scCtrl | 'O', L"Ctrl+O"},           {scAlt | VK_F4, L"Alt+F4"},
        {scShift | scCtrl | VK_DELETE, L"Shift+Ctrl+Del"},           {VK_F12, L"F12"},
        {'7', L"7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(ShortCutToText(c.ShortCut), c.Text);
        EXPECT_EQ(TextToShortCut(c.Text), c.ShortCut);
    }
    EXPECT_EQ(TextToShortCut(L"ctrl+o"), TShortCut(scCtrl | 'O'));
    EXPECT_EQ(TextToShortCut(L"Ctrl+"), 0);
    EXPECT_EQ(TextToShortCut(L"Ctrl+Nothing"), 0);
    EXPECT_EQ(ShortCutToText(0), L"");
    WORD key;
    TShiftState shift;
    ShortCutToKey(16429, key, shift);
    EXPECT_EQ(key, VK_INSERT);
    EXPECT_TRUE(shift == TShiftState{ssCtrl});
}

// ---------------------------------------------------------------------------
TEST(MainMenu, SetOnTheFormAndCleared)
{
    TOwned<TForm> form(TForm::CreateNew(nullptr));
    TMainMenu* menu = New<TMainMenu>(form.get());
    AddItem(menu->Items(), L"&File", form.get());
    form->SetMenu(menu);
    HWND wnd = form->Handle();
    EXPECT_EQ(GetMenu(wnd), menu->Handle());
    EXPECT_EQ(menu->WindowHandle(), wnd);

    // A new window gets the same menu; the old one did not destroy it.
    HMENU h = menu->Handle();
    form->RecreateWnd();
    EXPECT_TRUE(IsMenu(h));
    EXPECT_EQ(GetMenu(form->Handle()), h);

    form->SetMenu(nullptr);
    EXPECT_EQ(GetMenu(form->Handle()), nullptr);
    EXPECT_EQ(menu->WindowHandle(), nullptr);
    EXPECT_TRUE(IsMenu(h));

    // A menu freed while shown leaves the window without a menu.
    form->SetMenu(menu);
    FreeAndNil(menu);
    EXPECT_EQ(form->Menu(), nullptr);
    EXPECT_EQ(GetMenu(form->Handle()), nullptr);
    EXPECT_FALSE(IsMenu(h));
}

TEST(MainMenu, ChangesReachTheFormAsMenuChanged)
{
    TOwned<TForm> form(TForm::CreateNew(nullptr));
    TMainMenu* menu = New<TMainMenu>(form.get());
    TMenuItem* file = AddItem(menu->Items(), L"File", form.get());
    form->SetMenu(menu);
    form->HandleNeeded();
    TMessageLog log;
    log.Old = form->WindowProc;
    form->WindowProc = Bind(&log, &TMessageLog::Proc);
    file->SetCaption(L"&File");
    AddItem(file, L"Open", form.get());
    form->WindowProc = log.Old;
    EXPECT_GE(log.Count(CM_MENUCHANGED), 2);
    EXPECT_EQ(EntryText(GetMenu(form->Handle()), 0), L"&File");
    EXPECT_NE(GetSubMenu(GetMenu(form->Handle()), 0), nullptr);
}

TEST(MenuCommands, ReachOnClickThroughTheFormAndThePopupList)
{
    TRecorder rec;
    TOwned<TForm> form(TForm::CreateNew(nullptr));
    TMainMenu* menu = New<TMainMenu>(form.get());
    TMenuItem* file = AddItem(menu->Items(), L"File", form.get());
    TMenuItem* open = AddItem(file, L"Open", form.get());
    TMenuItem* off = AddItem(file, L"Off", form.get());
    open->OnClick = Bind(&rec, &TRecorder::Click);
    off->OnClick = Bind(&rec, &TRecorder::Click);
    off->SetEnabled(false);
    form->SetMenu(menu);

    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(open->Command(), 0), 0);
    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(off->Command(), 0), 0);
    ASSERT_EQ(rec.Clicks.size(), 1u);
    EXPECT_EQ(rec.Clicks[0], open);

    TOwned<TPopupMenu> popup(New<TPopupMenu>(nullptr));
    TMenuItem* copy = AddItem(popup->Items(), L"Copy");
    copy->OnClick = Bind(&rec, &TRecorder::Click);
    ASSERT_NE(PopupList->Window(), nullptr);
    SendMessageW(PopupList->Window(), WM_COMMAND, MAKEWPARAM(copy->Command(), 0), 0);
    ASSERT_EQ(rec.Clicks.size(), 2u);
    EXPECT_EQ(rec.Clicks[1], copy);
    // The form does not take the popup's command, nor a control's.
    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(copy->Command(), 0), 0);
    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(open->Command(), BN_CLICKED),
                 reinterpret_cast<LPARAM>(form->Handle()));
    EXPECT_EQ(rec.Clicks.size(), 2u);
}

// ---------------------------------------------------------------------------
TEST(OwnerDraw, MessagesReachTheItemEventsWithACanvasOnTheItemDC)
{
    TRecorder rec;
    TOwned<TForm> form(TForm::CreateNew(nullptr));
    TMainMenu* menu = New<TMainMenu>(form.get());
    TMenuItem* file = AddItem(menu->Items(), L"File", form.get());
    TMenuItem* open = AddItem(file, L"Open", form.get());
    form->SetMenu(menu);
    form->HandleNeeded();
    // Switched on with the handles made: every sub-menu follows.
    menu->SetOwnerDraw(true);
    open->OnMeasureItem = Bind(&rec, &TRecorder::Measure);
    open->OnAdvancedDrawItem = Bind(&rec, &TRecorder::Draw);
    EXPECT_EQ(EntryInfo(file->Handle(), 0).fType & MFT_OWNERDRAW, UINT(MFT_OWNERDRAW));
    EXPECT_EQ(EntryInfo(menu->Handle(), 0).fType & MFT_OWNERDRAW, UINT(MFT_OWNERDRAW));

    MEASUREITEMSTRUCT mis{ODT_MENU, 0, open->Command(), 10, 10, 0};
    EXPECT_TRUE(SendMessageW(form->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis)));
    EXPECT_EQ(rec.Measured, 1);
    EXPECT_EQ(mis.itemWidth, 123u);
    EXPECT_EQ(mis.itemHeight, 45u);
    EXPECT_EQ(rec.MeasureFont, Screen->MenuFont()->Name());

    TOwned<TBitmap> bmp = WhiteBitmap(60, 20);
    HDC dc = bmp->Canvas()->Handle();
    DRAWITEMSTRUCT dis{ODT_MENU, 0, open->Command(), ODA_DRAWENTIRE, ODS_SELECTED | ODS_CHECKED,
                       reinterpret_cast<HWND>(file->Handle()), dc, {10, 2, 50, 18}, 0};
    EXPECT_TRUE(SendMessageW(form->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis)));
    EXPECT_EQ(rec.DrawDC, dc);
    EXPECT_TRUE(rec.DrawRect == Rect(10, 2, 50, 18));
    EXPECT_TRUE(rec.DrawState == (TOwnerDrawState{odSelected, odChecked}));
    EXPECT_EQ(bmp->Canvas()->Pixels(20, 10), clRed);
    EXPECT_EQ(bmp->Canvas()->Pixels(5, 10), clWhite);

    // An unknown id is left to the system.
    MEASUREITEMSTRUCT other{ODT_MENU, 0, 0xEFFF, 1, 1, 0};
    SendMessageW(form->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&other));
    EXPECT_EQ(rec.Measured, 1);
}

TEST(OwnerDraw, PopupItemsGoThroughThePopupListWithTheDefaultLookWithoutEvents)
{
    TOwned<TPopupMenu> popup(New<TPopupMenu>(nullptr));
    popup->SetOwnerDraw(true);
    TMenuItem* item = AddItem(popup->Items(), L"&Paste");
    item->SetShortCut(scShift | VK_INSERT);
    TMenuItem* line = AddItem(popup->Items(), L"-");
    EXPECT_EQ(EntryInfo(popup->Handle(), 1).fType & MFT_OWNERDRAW, UINT(MFT_OWNERDRAW));

    MEASUREITEMSTRUCT mis{ODT_MENU, 0, item->Command(), 0, 0, 0};
    EXPECT_TRUE(SendMessageW(PopupList->Window(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis)));
    EXPECT_GT(mis.itemWidth, 40u);
    EXPECT_GE(mis.itemHeight, 16u);
    MEASUREITEMSTRUCT sep{ODT_MENU, 0, line->Command(), 0, 0, 0};
    SendMessageW(PopupList->Window(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&sep));
    EXPECT_EQ(int(sep.itemHeight), GetSystemMetrics(SM_CYMENU) / 2);

    TOwned<TBitmap> bmp = WhiteBitmap(int(mis.itemWidth), int(mis.itemHeight));
    DRAWITEMSTRUCT dis{ODT_MENU, 0, item->Command(), ODA_DRAWENTIRE, ODS_SELECTED,
                       reinterpret_cast<HWND>(popup->Handle()), bmp->Canvas()->Handle(),
                       {0, 0, LONG(mis.itemWidth), LONG(mis.itemHeight)}, 0};
    EXPECT_TRUE(SendMessageW(PopupList->Window(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis)));
    EXPECT_EQ(bmp->Canvas()->Pixels(1, 1), ColorToRGB(clHighlight));
}

TEST(PopupMenu, PopupBlocksWhileTheMenuShows)
{
    TRecorder rec;
    TOwned<TPopupMenu> popup(New<TPopupMenu>(nullptr));
    popup->SetOwnerDraw(true);
    for (const wchar_t* caption : {L"One", L"Two"})
        AddItem(popup->Items(), caption)->OnMeasureItem = Bind(&rec, &TRecorder::Measure);
    popup->OnPopup = Bind(&rec, &TRecorder::Popup);
    rec.CloseOnPopup = false;
    // Posted before the call: the menu loop closes the menu once it shows.
    PostMessageW(PopupList->Window(), WM_CANCELMODE, 0, 0);
    TSafetyTimer safety;
    DWORD start = GetTickCount();
    popup->Popup(120, 80);
    EXPECT_LT(GetTickCount() - start, 4000u) << "closed by the safety timer, not by WM_CANCELMODE";
    EXPECT_EQ(rec.Popups, 1);
    // The items were measured while the menu was up, through the popup list.
    EXPECT_GE(rec.Measured, 2);
    EXPECT_TRUE(popup->PopupPoint() == Point(120, 80));
}

TEST(PopupMenu, ContextMenuWalksUpToTheFirstPopupMenu)
{
    TRecorder formRec, labelRec;
    TOwned<TForm> form(TForm::CreateNew(nullptr));
    form->SetBounds(100, 100, 320, 240);
    TPopupMenu* formMenu = New<TPopupMenu>(form.get());
    AddItem(formMenu->Items(), L"Form item", form.get());
    formMenu->OnPopup = Bind(&formRec, &TRecorder::Popup);
    TPopupMenu* labelMenu = New<TPopupMenu>(form.get());
    AddItem(labelMenu->Items(), L"Label item", form.get());
    labelMenu->OnPopup = Bind(&labelRec, &TRecorder::Popup);
    form->SetPopupMenu(formMenu);

    TPanel* panel = New<TPanel>(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(0, 0, 200, 150);
    TButton* button = New<TButton>(form.get());
    button->SetParent(panel);
    button->SetBounds(10, 10, 80, 25);
    TLabel* label = New<TLabel>(form.get());
    label->SetParent(panel);
    label->SetAutoSize(false);
    label->SetBounds(10, 60, 80, 20);
    label->SetPopupMenu(labelMenu);
    form->Show();
    TSafetyTimer safety;

    // A windowed child without a menu hands the message up to the form's.
    TPoint onButton = button->ClientToScreen(TPoint(5, 5));
    SendMessageW(button->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(button->Handle()),
                 MAKELPARAM(onButton.x, onButton.y));
    EXPECT_EQ(formRec.Popups, 1);
    EXPECT_EQ(formRec.PopupComponent, form.get());
    EXPECT_TRUE(formMenu->PopupPoint() == onButton);

    // A graphic child with its own menu takes the click over its parent's.
    TPoint onLabel = label->ClientToScreen(TPoint(5, 5));
    SendMessageW(panel->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(panel->Handle()),
                 MAKELPARAM(onLabel.x, onLabel.y));
    EXPECT_EQ(labelRec.Popups, 1);
    EXPECT_EQ(labelRec.PopupComponent, label);
    EXPECT_EQ(formRec.Popups, 1);

    // From the keyboard: at the control's client origin.
    SendMessageW(form->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form->Handle()), LPARAM(-1));
    EXPECT_EQ(formRec.Popups, 2);
    EXPECT_TRUE(formMenu->PopupPoint() == form->ClientToScreen(TPoint(0, 0)));

    // OnContextPopup may take the click; a menu without AutoPopup stays shut.
    struct THandler : TObject {
        void Take(TObject*, TPoint, bool& Handled) { Handled = true; }
    } handler;
    panel->OnContextPopup = Bind(&handler, &THandler::Take);
    TPoint onPanel = panel->ClientToScreen(TPoint(150, 100));
    EXPECT_EQ(SendMessageW(panel->Handle(), WM_CONTEXTMENU, 0, MAKELPARAM(onPanel.x, onPanel.y)), 1);
    panel->OnContextPopup = nullptr;
    formMenu->SetAutoPopup(false);
    SendMessageW(panel->Handle(), WM_CONTEXTMENU, 0, MAKELPARAM(onPanel.x, onPanel.y));
    EXPECT_EQ(formRec.Popups, 2);
}

TEST(PopupMenu, ShortCutsOfPopupAndMainMenusTakeKeysOnTheWayUp)
{
    TRecorder rec;
    TOwned<TForm> form(TForm::CreateNew(nullptr));
    TMainMenu* menu = New<TMainMenu>(form.get());
    TMenuItem* file = AddItem(menu->Items(), L"File", form.get());
    TMenuItem* refresh = AddItem(file, L"Refresh", form.get());
    refresh->SetShortCut(VK_F5);
    refresh->OnClick = Bind(&rec, &TRecorder::Click);
    form->SetMenu(menu);
    TPopupMenu* popup = New<TPopupMenu>(form.get());
    // Hidden items still answer their keys.
    TMenuItem* ok = AddItem(popup->Items(), L"OK", form.get());
    ok->SetShortCut(VK_RETURN);
    ok->SetVisible(false);
    ok->OnClick = Bind(&rec, &TRecorder::Click);
    TMenuItem* cancel = AddItem(popup->Items(), L"Cancel", form.get());
    cancel->SetShortCut(VK_ESCAPE);
    cancel->SetEnabled(false);
    cancel->OnClick = Bind(&rec, &TRecorder::Click);

    TPanel* panel = New<TPanel>(form.get());
    panel->SetParent(form.get());
    panel->SetPopupMenu(popup);
    TEdit* edit = New<TEdit>(form.get());
    edit->SetParent(panel);
    form->HandleNeeded();

    EXPECT_EQ(edit->Perform(CN_KEYDOWN, VK_RETURN, 0), 1);
    EXPECT_EQ(edit->Perform(CN_KEYDOWN, VK_F5, 0), 1);
    ASSERT_EQ(rec.Clicks.size(), 2u);
    EXPECT_EQ(rec.Clicks[0], ok);
    EXPECT_EQ(rec.Clicks[1], refresh);
    // A disabled item lets its key go on.
    edit->Perform(CN_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(rec.Clicks.size(), 2u);
    // Alt comes with the key data.
    refresh->SetShortCut(scAlt | 'R');
    EXPECT_EQ(edit->Perform(CN_SYSKEYDOWN, 'R', 0x20000000), 1);
    EXPECT_EQ(rec.Clicks.size(), 3u);
}

// ---------------------------------------------------------------------------
TEST(MenuHandles, FreedWithTheirOwners)
{
    TMenuItem* sub = nullptr;
    HMENU root, subHandle;
    {
        TOwned<TPopupMenu> popup(New<TPopupMenu>(nullptr));
        sub = AddItem(popup->Items(), L"Sub");
        AddItem(sub, L"Inner");
        root = popup->Handle();
        subHandle = sub->Handle();
        ASSERT_TRUE(IsMenu(root));
        ASSERT_TRUE(IsMenu(subHandle));
    }
    EXPECT_FALSE(IsMenu(root));
    EXPECT_FALSE(IsMenu(subHandle));
    EXPECT_EQ(PopupList->Count(), 0);
    EXPECT_EQ(PopupList->Window(), nullptr);

    // A form frees its main menu's handles with its window and components.
    TForm* form = TForm::CreateNew(nullptr);
    TMainMenu* menu = New<TMainMenu>(form);
    TMenuItem* file = AddItem(menu->Items(), L"File", form);
    AddItem(file, L"Open", form);
    form->SetMenu(menu);
    form->Show();
    root = menu->Handle();
    subHandle = file->Handle();
    FreeAndNil(form);
    EXPECT_FALSE(IsMenu(root));
    EXPECT_FALSE(IsMenu(subHandle));

    // A freed item takes its entry (and sub-menu) out of its parent.
    TOwned<TPopupMenu> popup(New<TPopupMenu>(nullptr));
    sub = AddItem(popup->Items(), L"Sub");
    AddItem(sub, L"Inner");
    AddItem(popup->Items(), L"After");
    subHandle = sub->Handle();
    FreeAndNil(sub);
    EXPECT_FALSE(IsMenu(subHandle));
    ASSERT_EQ(GetMenuItemCount(popup->Handle()), 1);
    EXPECT_EQ(EntryText(popup->Handle(), 0), L"After");
}

TEST(MenuReferences, ClearedWhenTheMenuGoes)
{
    TOwned<TForm> form(TForm::CreateNew(nullptr));
    TPopupMenu* popup = New<TPopupMenu>(nullptr); // not a sibling: free notification
    form->SetPopupMenu(popup);
    popup->SetPopupComponent(form.get());
    FreeAndNil(popup);
    EXPECT_EQ(form->PopupMenu(), nullptr);

    TPopupMenu* owned = New<TPopupMenu>(form.get()); // a sibling: the owner's broadcast
    TPanel* panel = New<TPanel>(form.get());
    panel->SetPopupMenu(owned);
    owned->SetPopupComponent(panel);
    FreeAndNil(panel);
    EXPECT_EQ(owned->PopupComponent(), nullptr);
    FreeAndNil(owned);
}

TEST(MenuResources, ItemsAndLinksAreRead)
{
    TOwned<TForm> form(TForm::CreateNew(nullptr));
    ReadComponentFromText(LR"(object MenuForm: TForm
  Menu = MainMenu1
  PopupMenu = PopupMenu1
  object MainMenu1: TMainMenu
    object File1: TMenuItem
      Caption = '파일(&F)'
      object Open1: TMenuItem
        Caption = '&Open'
        ShortCut = 16463
        Checked = True
      end
      object N1: TMenuItem
        Caption = '-'
      end
    end
  end
  object PopupMenu1: TPopupMenu
    AutoPopup = False
    MenuAnimation = [maNone]
    object Copy1: TMenuItem
      Caption = '&Copy'
      ShortCut = 16429
    end
    object OK1: TMenuItem
      Caption = 'OK'
      ShortCut = 13
      Visible = False
    end
  end
end)",
                          form.get());
    auto* menu = dynamic_cast<TMainMenu*>(form->FindComponent(L"MainMenu1"));
    auto* popup = dynamic_cast<TPopupMenu*>(form->FindComponent(L"PopupMenu1"));
    ASSERT_NE(menu, nullptr);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(form->Menu(), menu);
    EXPECT_EQ(form->PopupMenu(), popup);
    ASSERT_EQ(menu->Items()->Count(), 1);
    TMenuItem* file = menu->Items()->Items(0);
    ASSERT_EQ(file->Count(), 2);
    EXPECT_EQ(file->Items(0)->Name(), L"Open1");
    EXPECT_TRUE(file->Items(0)->Checked());
    EXPECT_EQ(file->Items(0)->GetParentComponent(), file);
    EXPECT_EQ(file->GetParentComponent(), menu);
    EXPECT_FALSE(popup->AutoPopup());
    EXPECT_TRUE(popup->MenuAnimation().Contains(maNone));
    ASSERT_EQ(popup->Items()->Count(), 2);
    EXPECT_EQ(ShortCutToText(popup->Items()->Items(0)->ShortCut()), L"Ctrl+Ins");

    HWND wnd = form->Handle();
    HMENU bar = GetMenu(wnd);
    ASSERT_EQ(bar, menu->Handle());
    EXPECT_EQ(EntryText(bar, 0), L"파일(&F)");
    EXPECT_EQ(EntryText(GetSubMenu(bar, 0), 0), L"&Open\tCtrl+O");
    EXPECT_EQ(GetMenuItemCount(popup->Handle()), 1);
}

TEST(OwnerDraw, MenuCharChoosesTheItemByItsAccelerator)
{
    TOwned<TPopupMenu> popup(New<TPopupMenu>(nullptr));
    popup->SetOwnerDraw(true);
    TMenuItem* root = popup->Items();
    AddItem(root, L"&Copy");
    AddItem(root, L"Hidden &Paste")->SetVisible(false);
    AddItem(root, L"&Paste");
    AddItem(root, L"Save && &Run");
    AddItem(root, L"&Run all");
    struct Case {
        wchar_t Key;
        LRESULT Result;
    } cases[] = {
        {L'c', MAKELRESULT(0, MNC_EXECUTE)},
        {L'P', MAKELRESULT(1, MNC_EXECUTE)}, // the hidden item has no position
        {L'p', MAKELRESULT(1, MNC_EXECUTE)},
        {L'R', MAKELRESULT(2, MNC_SELECT)},  // two items share it; "&&" marks nothing
        {L'x', 0},
        {L'&', 0},
        {L's', 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.Key));
        LRESULT r = SendMessageW(PopupList->Window(), WM_MENUCHAR, MAKEWPARAM(c.Key, MF_POPUP),
                                 reinterpret_cast<LPARAM>(popup->Handle()));
        EXPECT_EQ(r, c.Result);
    }
}
