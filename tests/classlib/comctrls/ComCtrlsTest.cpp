// Page and tab controls, tool bars and status bars over their common-control
// windows.
#include <gtest/gtest.h>

#include <vector>

#include "classlib/controls/ComCtrls.h"
#include "classlib/controls/Forms.h"
#include "classlib/controls/Menus.h"
#include "classlib/streaming/FormReader.h"

namespace {

TOwned<TForm> NewForm()
{
    TOwned<TForm> f(TForm::CreateNew(nullptr));
    f->SetBounds(0, 0, 400, 300);
    return f;
}

UnicodeString WindowClassOf(HWND wnd)
{
    wchar_t name[64] = {};
    GetClassNameW(wnd, name, 64);
    return name;
}

void ClickAt(HWND Wnd, int X, int Y)
{
    SendMessageW(Wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X, Y));
    SendMessageW(Wnd, WM_LBUTTONUP, 0, MAKELPARAM(X, Y));
}

struct TEvents : TObject {
    std::vector<UnicodeString> Log;
    bool Allow = true;
    void Change(TObject*) { Log.push_back(L"change"); }
    void Changing(TObject*, bool& AllowChange)
    {
        Log.push_back(L"changing");
        AllowChange = Allow;
    }
    void Click(TObject* Sender) { Log.push_back(L"click " + static_cast<TComponent*>(Sender)->Name()); }
    void DrawButton(TToolBar*, TToolButton* Button, TCustomDrawState State, TCustomDrawStage Stage,
                    TTBCustomDrawFlags& Flags, bool& DefaultDraw)
    {
        Log.push_back(L"draw " + Button->Name());
        Flags += tbNoEdges;
    }
    void DrawPanel(TStatusBar*, TStatusPanel* Panel, const TRect&) { Log.push_back(L"panel " + Panel->Text()); }
};

} // namespace

TEST(PageControl, ATabClickShowsItsPageThroughTcnSelChange)
{
    TOwned<TForm> form = NewForm();
    form->Show();
    TEvents events;
    auto* pages = New<TPageControl>(form.get());
    pages->SetParent(form.get());
    pages->SetBounds(10, 10, 300, 200);
    pages->OnChange = Bind(&events, &TEvents::Change);
    pages->OnChanging = Bind(&events, &TEvents::Changing);
    std::vector<TTabSheet*> sheets;
    for (const wchar_t* caption : {L"One", L"Two", L"Three"}) {
        auto* sheet = New<TTabSheet>(form.get());
        sheet->SetCaption(caption);
        sheet->SetPageControl(pages);
        sheets.push_back(sheet);
    }
    pages->SetActivePage(sheets[0]);
    HWND wnd = pages->Handle();
    EXPECT_EQ(WindowClassOf(wnd), L"TPageControl");
    EXPECT_EQ(SendMessageW(wnd, TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_TRUE(sheets[0]->Showing());
    EXPECT_FALSE(sheets[1]->Showing());
    // The page fills the page area.
    EXPECT_EQ(sheets[0]->BoundsRect(), pages->DisplayRect());

    TRect tab = pages->TabRect(1);
    ClickAt(wnd, (tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    EXPECT_EQ(pages->ActivePage(), sheets[1]);
    EXPECT_EQ(SendMessageW(wnd, TCM_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(sheets[1]->Showing());
    EXPECT_FALSE(sheets[0]->Showing());
    EXPECT_EQ(events.Log, (std::vector<UnicodeString>{L"changing", L"change"}));

    // OnChanging may refuse.
    events.Log.clear();
    events.Allow = false;
    tab = pages->TabRect(2);
    ClickAt(wnd, (tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    EXPECT_EQ(pages->ActivePage(), sheets[1]);
    EXPECT_EQ(SendMessageW(wnd, TCM_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(events.Log, std::vector<UnicodeString>{L"changing"});
}

TEST(PageControl, TabsFollowTheSheets)
{
    TOwned<TForm> form = NewForm();
    auto* pages = New<TPageControl>(form.get());
    pages->SetParent(form.get());
    auto* a = New<TTabSheet>(form.get());
    auto* b = New<TTabSheet>(form.get());
    auto* c = New<TTabSheet>(form.get());
    for (TTabSheet* s : {a, b, c})
        s->SetPageControl(pages);
    a->SetCaption(L"A");
    b->SetCaption(L"B");
    c->SetCaption(L"C");
    pages->SetActivePage(c);
    b->SetTabVisible(false);
    EXPECT_EQ(pages->Tabs()->Text(), L"A\r\nC\r\n");
    EXPECT_EQ(c->TabIndex(), 1);
    EXPECT_EQ(b->TabIndex(), -1);
    EXPECT_EQ(SendMessageW(pages->Handle(), TCM_GETCURSEL, 0, 0), 1);
    c->SetPageIndex(0);
    EXPECT_EQ(pages->Tabs()->Text(), L"C\r\nA\r\n");
    EXPECT_EQ(pages->Pages(0), c);
    // Freeing the active page shows the next one.
    TObject* o = c;
    FreeAndNil(o);
    EXPECT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(pages->ActivePage(), a);
    EXPECT_EQ(pages->Tabs()->Text(), L"A\r\n");
}

TEST(TabControl, TabsIndexAndStyles)
{
    TOwned<TForm> form = NewForm();
    auto* tabs = New<TTabControl>(form.get());
    tabs->SetParent(form.get());
    tabs->Tabs()->Add(L"first");
    tabs->Tabs()->Add(L"second");
    tabs->SetTabIndex(1);
    tabs->SetTabPosition(tpBottom);
    tabs->SetStyle(tsButtons);
    HWND wnd = tabs->Handle();
    LONG style = GetWindowLongW(wnd, GWL_STYLE);
    EXPECT_TRUE(style & TCS_BOTTOM);
    EXPECT_TRUE(style & TCS_BUTTONS);
    EXPECT_EQ(SendMessageW(wnd, TCM_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(tabs->Tabs()->Strings(1), L"second");
    TRect first = tabs->TabRect(0);
    EXPECT_GT(first.Width(), 0);
    // A new style remakes the window; tabs and index stay.
    tabs->SetStyle(tsTabs);
    EXPECT_EQ(tabs->Tabs()->Count(), 2);
    EXPECT_EQ(tabs->TabIndex(), 1);
}

TEST(ToolBar, ButtonsLiveInTheBarsWindowAndClickThroughIt)
{
    TOwned<TForm> form = NewForm();
    form->Show();
    TEvents events;
    auto* bar = New<TToolBar>(form.get());
    bar->SetParent(form.get());
    auto add = [&](const wchar_t* name, TToolButtonStyle style) {
        auto* b = New<TToolButton>(form.get());
        b->SetName(name);
        b->SetStyle(style);
        b->SetParent(bar);
        b->OnClick = Bind(&events, &TEvents::Click);
        return b;
    };
    TToolButton* plain = add(L"Plain", tbsButton);
    TToolButton* sep = add(L"Sep", tbsSeparator);
    TToolButton* check = add(L"Check", tbsCheck);
    HWND wnd = bar->Handle();
    EXPECT_EQ(WindowClassOf(wnd), L"TToolBar");
    EXPECT_EQ(bar->Align(), alTop);
    EXPECT_EQ(SendMessageW(wnd, TB_BUTTONCOUNT, 0, 0), 3);
    TBBUTTON tb{};
    SendMessageW(wnd, TB_GETBUTTON, 1, reinterpret_cast<LPARAM>(&tb));
    EXPECT_EQ(tb.fsStyle & BTNS_SEP, BTNS_SEP);
    EXPECT_EQ(tb.idCommand, sep->CommandId());
    EXPECT_EQ(bar->Buttons(2), check);
    // The buttons take the bounds the bar gives them.
    TRect r;
    SendMessageW(wnd, TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(check->BoundsRect(), r);

    ClickAt(wnd, plain->Left() + 5, plain->Top() + 5);
    ClickAt(wnd, check->Left() + 5, check->Top() + 5);
    EXPECT_EQ(events.Log, (std::vector<UnicodeString>{L"click Plain", L"click Check"}));
    EXPECT_TRUE(check->Down());
    EXPECT_FALSE(plain->Down());
    check->SetDown(false);
    EXPECT_EQ(SendMessageW(wnd, TB_ISBUTTONCHECKED, check->CommandId(), 0), 0);

    // Freeing a button takes it off the bar.
    TObject* o = sep;
    FreeAndNil(o);
    EXPECT_EQ(SendMessageW(wnd, TB_BUTTONCOUNT, 0, 0), 2);
    EXPECT_EQ(bar->ButtonCount(), 2);
}

TEST(ToolBar, ADropDownButtonsMenuShowsAndItsClosingIsPostedToTheBar)
{
    TOwned<TForm> form = NewForm();
    form->Show();
    auto* bar = New<TToolBar>(form.get());
    bar->SetParent(form.get());
    auto* menu = New<TPopupMenu>(form.get());
    auto* item = New<TMenuItem>(menu);
    item->SetCaption(L"Item");
    menu->Items()->Add(item);
    auto* b = New<TToolButton>(form.get());
    b->SetStyle(tbsDropDown);
    b->SetDropdownMenu(menu);
    b->SetParent(bar);
    struct TWatch {
        TWndMethod Old;
        std::vector<UINT> Seen;
        void Proc(TMessage& m)
        {
            if (m.Msg == CN_DROPDOWNCLOSED)
                Seen.push_back(m.Msg);
            Old(m);
        }
    } watch;
    watch.Old = bar->WindowProc;
    bar->WindowProc = Bind(&watch, &TWatch::Proc);

    // The menu closes as soon as it shows.
    PostMessageW(PopupList->Window(), WM_CANCELMODE, 0, 0);
    NMTOOLBARW nt{};
    nt.hdr.hwndFrom = bar->Handle();
    nt.hdr.idFrom = UINT_PTR(GetDlgCtrlID(bar->Handle()));
    nt.hdr.code = TBN_DROPDOWN;
    nt.iItem = b->CommandId();
    SendMessageW(form->Handle(), WM_NOTIFY, nt.hdr.idFrom, reinterpret_cast<LPARAM>(&nt));
    EXPECT_EQ(menu->PopupComponent(), b);
    EXPECT_TRUE(watch.Seen.empty()) << "posted, not sent while the notification runs";
    Application->ProcessMessages();
    EXPECT_EQ(watch.Seen, std::vector<UINT>{CN_DROPDOWNCLOSED});
    bar->WindowProc = watch.Old;
}

TEST(ToolBar, CustomDrawingReachesTheButtonEvent)
{
    TOwned<TForm> form = NewForm();
    form->Show();
    TEvents events;
    auto* bar = New<TToolBar>(form.get());
    bar->SetParent(form.get());
    bar->OnAdvancedCustomDrawButton = Bind(&events, &TEvents::DrawButton);
    auto* b = New<TToolButton>(form.get());
    b->SetName(L"Btn");
    b->SetParent(bar);
    RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_FALSE(events.Log.empty());
    EXPECT_EQ(events.Log.front(), L"draw Btn");
}

TEST(ToolBar, EdgeBordersTakeRoomOutsideTheClientArea)
{
    TOwned<TForm> form = NewForm();
    auto* bar = New<TToolBar>(form.get());
    bar->SetParent(form.get());
    bar->SetEdgeBorders({ebLeft, ebTop});
    RECT window, client;
    GetWindowRect(bar->Handle(), &window);
    GetClientRect(bar->Handle(), &client);
    EXPECT_EQ(client.right, window.right - window.left - 2);
    EXPECT_EQ(client.bottom, window.bottom - window.top - 2);
}

TEST(StatusBar, PanelsBecomeTheWindowsParts)
{
    TOwned<TForm> form = NewForm();
    form->Show();
    TEvents events;
    auto* bar = New<TStatusBar>(form.get());
    bar->SetParent(form.get());
    bar->OnDrawPanel = Bind(&events, &TEvents::DrawPanel);
    TStatusPanel* p0 = bar->Panels()->Add();
    p0->SetText(L"Ready");
    p0->SetWidth(100);
    TStatusPanel* p1 = bar->Panels()->Add();
    p1->SetText(L"Ln 1");
    p1->SetAlignment(taCenter);
    p1->SetWidth(60);
    TStatusPanel* p2 = bar->Panels()->Add();
    p2->SetText(L"drawn");
    p2->SetStyle(psOwnerDraw);

    HWND wnd = bar->Handle();
    EXPECT_EQ(WindowClassOf(wnd), L"TStatusBar");
    EXPECT_EQ(bar->Align(), alBottom);
    int edges[4] = {};
    EXPECT_EQ(SendMessageW(wnd, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 3);
    EXPECT_EQ(edges[0], 100);
    EXPECT_EQ(edges[1], 160);
    EXPECT_EQ(edges[2], -1);
    wchar_t text[64] = {};
    SendMessageW(wnd, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"Ready");
    SendMessageW(wnd, SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"\tLn 1");

    events.Log.clear();
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_FALSE(events.Log.empty());
    EXPECT_EQ(events.Log.back(), L"panel drawn");

    p0->SetWidth(120);
    SendMessageW(wnd, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges));
    EXPECT_EQ(edges[1], 180);

    bar->SetSimpleText(L"Busy");
    bar->SetSimplePanel(true);
    EXPECT_NE(SendMessageW(wnd, SB_ISSIMPLE, 0, 0), 0);
    // In simple mode the first part shows the simple text.
    text[0] = 0;
    SendMessageW(wnd, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"Busy");
}

TEST(ComCtrlsResource, APageControlAndItsSheetsFromAFormResource)
{
    TOwned<TForm> form(TForm::CreateNew(nullptr));
    ReadComponentFromText(LR"(object Form1: TForm
  object Pages: TPageControl
    Width = 300
    Height = 200
    ActivePage = Second
    object First: TTabSheet
      Caption = 'First'
    end
    object Second: TTabSheet
      Caption = 'Second'
    end
  end
  object Status: TStatusBar
    SimplePanel = True
    SimpleText = 'ok'
    Panels = <
      item
        Text = 'a'
        Width = 70
      end>
  end
end)",
                          form.get());
    auto* pages = static_cast<TPageControl*>(form->FindComponent(L"Pages"));
    auto* status = static_cast<TStatusBar*>(form->FindComponent(L"Status"));
    ASSERT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(pages->ActivePage()->Name(), L"Second");
    EXPECT_EQ(pages->Tabs()->Text(), L"First\r\nSecond\r\n");
    EXPECT_EQ(SendMessageW(pages->Handle(), TCM_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(status->Panels()->Count(), 1);
    EXPECT_EQ(status->Panels()->Items(0)->Width(), 70);
    EXPECT_NE(SendMessageW(status->Handle(), SB_ISSIMPLE, 0, 0), 0);
}
