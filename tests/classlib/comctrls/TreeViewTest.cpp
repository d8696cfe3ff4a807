// The tree view over its "SysTreeView32" window: the node tree, expansion
// and selection with their events, colours and custom drawing.
#include <gtest/gtest.h>

#include <vector>

#include "classlib/controls/ComCtrls.h"
#include "classlib/controls/Forms.h"

namespace {

TOwned<TForm> NewForm()
{
    TOwned<TForm> f(TForm::CreateNew(nullptr));
    f->SetBounds(0, 0, 400, 300);
    return f;
}

// The window's tree as text: "a(b c(d)) e", children in brackets.
UnicodeString WindowTree(HWND Wnd, HTREEITEM First)
{
    UnicodeString s;
    for (HTREEITEM item = First; item;
         item = reinterpret_cast<HTREEITEM>(SendMessageW(Wnd, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        wchar_t buffer[64] = {};
        TVITEMW tv{};
        tv.mask = TVIF_TEXT | TVIF_HANDLE;
        tv.hItem = item;
        tv.pszText = buffer;
        tv.cchTextMax = 64;
        SendMessageW(Wnd, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
        if (!s.empty())
            s += L" ";
        s += buffer;
        auto child = reinterpret_cast<HTREEITEM>(SendMessageW(Wnd, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
        if (child)
            s += L"(" + WindowTree(Wnd, child) + L")";
    }
    return s;
}

UnicodeString WindowTree(HWND Wnd)
{
    return WindowTree(Wnd, reinterpret_cast<HTREEITEM>(SendMessageW(Wnd, TVM_GETNEXTITEM, TVGN_ROOT, 0)));
}

struct TTreeEvents : TObject {
    std::vector<UnicodeString> Log;
    bool Allow = true;
    void Expanding(TObject*, TTreeNode* Node, bool& AllowExpansion)
    {
        Log.push_back(L"expanding " + Node->Text());
        AllowExpansion = Allow;
    }
    void Changing(TObject*, TTreeNode* Node, bool& AllowChange)
    {
        Log.push_back(L"changing " + Node->Text());
        AllowChange = Allow;
    }
    void Change(TObject*, TTreeNode* Node) { Log.push_back(L"change " + Node->Text()); }
    void Draw(TCustomTreeView* Sender, const TRect& R, TCustomDrawStage Stage, bool& DefaultDraw)
    {
        if (Stage != cdPrePaint)
            return;
        Sender->Canvas()->Brush()->SetColor(clBlue);
        Sender->Canvas()->FillRect(R);
        DefaultDraw = false;
    }
};

} // namespace

TEST(TreeView, NodesBuiltBeforeAndAfterTheWindowAreTheWindowsItems)
{
    TOwned<TForm> form = NewForm();
    auto* tv = New<TTreeView>(form.get());
    tv->SetParent(form.get());
    TTreeNodes* nodes = tv->Items();
    // Before the window.
    TTreeNode* a = nodes->Add(nullptr, L"a");
    TTreeNode* c = nodes->AddChild(a, L"c");
    nodes->AddChildFirst(a, L"b");
    TTreeNode* e = nodes->Add(a, L"e");
    HWND wnd = tv->Handle();
    EXPECT_EQ(WindowTree(wnd), L"a(b c) e");
    // After it.
    nodes->AddChild(c, L"d");
    nodes->Insert(e, L"x");
    EXPECT_EQ(WindowTree(wnd), L"a(b c(d)) x e");
    EXPECT_EQ(nodes->Count(), 6);
    EXPECT_EQ(nodes->Item(3)->Text(), L"d");
    EXPECT_EQ(c->AbsoluteIndex(), 2);
    EXPECT_EQ(c->Level(), 1);
    EXPECT_TRUE(c->HasChildren());

    // A deleted subtree leaves the window; the parent keeps no button.
    c->Delete();
    EXPECT_EQ(WindowTree(wnd), L"a(b) x e");
    EXPECT_EQ(nodes->Count(), 4);
    a->getFirstChild()->Delete();
    EXPECT_FALSE(a->HasChildren());
    EXPECT_THROW(nodes->Item(9), EListError);
    nodes->Clear();
    EXPECT_EQ(WindowTree(wnd), L"");
    EXPECT_EQ(nodes->GetFirstNode(), nullptr);
}

TEST(TreeView, ExpansionAndSelectionSurviveANewWindow)
{
    TOwned<TForm> form = NewForm();
    auto* tv = New<TTreeView>(form.get());
    tv->SetParent(form.get());
    TTreeNode* a = tv->Items()->Add(nullptr, L"a");
    TTreeNode* b = tv->Items()->AddChild(a, L"b");
    tv->Items()->AddChild(b, L"c");
    HWND wnd = tv->Handle();
    a->Expand(false);
    tv->SetSelected(b);
    EXPECT_TRUE(a->Expanded());
    EXPECT_FALSE(b->Expanded());

    tv->SetShowLines(false);
    HWND again = tv->Handle();
    EXPECT_NE(again, wnd);
    EXPECT_EQ(WindowTree(again), L"a(b(c))");
    EXPECT_TRUE(a->Expanded());
    EXPECT_FALSE(b->Expanded());
    EXPECT_EQ(tv->Selected(), b);
    EXPECT_NE(b->DisplayRect(true), TRect());
}

TEST(TreeView, ExpandingAndSelectingAskTheControlFirst)
{
    TOwned<TForm> form = NewForm();
    form->Show();
    TTreeEvents events;
    auto* tv = New<TTreeView>(form.get());
    tv->SetParent(form.get());
    tv->SetBounds(10, 10, 200, 200);
    tv->OnExpanding = Bind(&events, &TTreeEvents::Expanding);
    tv->OnChanging = Bind(&events, &TTreeEvents::Changing);
    tv->OnChange = Bind(&events, &TTreeEvents::Change);
    TTreeNode* a = tv->Items()->Add(nullptr, L"a");
    tv->Items()->AddChild(a, L"b");
    TTreeNode* c = tv->Items()->Add(nullptr, L"c");

    // Refused, nothing changes.
    events.Allow = false;
    a->Expand(false);
    tv->SetSelected(c);
    EXPECT_FALSE(a->Expanded());
    EXPECT_NE(tv->Selected(), c);
    EXPECT_EQ(events.Log, (std::vector<UnicodeString>{L"expanding a", L"changing c"}));

    events.Log.clear();
    events.Allow = true;
    tv->SetSelected(a);
    // The user opens the selected node from the keyboard.
    SendMessageW(tv->Handle(), WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_TRUE(a->Expanded());
    EXPECT_EQ(events.Log, (std::vector<UnicodeString>{L"changing a", L"change a", L"expanding a"}));
}

TEST(TreeView, ColoursReachTheWindowAndCustomDrawCanPaintTheWhole)
{
    TOwned<TForm> form = NewForm();
    auto* tv = New<TTreeView>(form.get());
    tv->SetParent(form.get());
    tv->SetBounds(0, 0, 120, 100);
    tv->Items()->Add(nullptr, L"node");
    tv->SetColor(TColor(0x102030));
    tv->Font()->SetColor(TColor(0x405060));
    HWND wnd = tv->Handle();
    EXPECT_EQ(SendMessageW(wnd, TVM_GETBKCOLOR, 0, 0), 0x102030);
    EXPECT_EQ(SendMessageW(wnd, TVM_GETTEXTCOLOR, 0, 0), 0x405060);

    TTreeEvents events;
    tv->OnAdvancedCustomDraw = Bind(&events, &TTreeEvents::Draw);
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(120, 100);
    HDC dc = bmp.Canvas()->Handle();
    SendMessageW(wnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    EXPECT_EQ(GetPixel(dc, 60, 80), RGB(0, 0, 255));
}
