// MDI: the frame's client window, children made inside it, the system's
// MDI procedures behind both, tiling, cascading and the window menu.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "classlib/controls/ExtCtrls.h"
#include "classlib/controls/Forms.h"
#include "classlib/controls/Menus.h"

namespace {

UnicodeString WindowClassOf(HWND wnd)
{
    wchar_t name[64] = {};
    GetClassNameW(wnd, name, 64);
    return name;
}

struct TActivations : TObject {
    std::vector<UnicodeString> Log;
    void FreeOnClose(TObject*, TCloseAction& Action) { Action = caFree; }
    void Activate(TObject* Sender) { Log.push_back(L"+" + static_cast<TComponent*>(Sender)->Name()); }
    void Deactivate(TObject* Sender) { Log.push_back(L"-" + static_cast<TComponent*>(Sender)->Name()); }
};

// An MDI frame as the application's main form (children are made in the
// main form's client), with a tool panel on top and a status panel below.
class MDI : public ::testing::Test {
protected:
    TForm* Frame = nullptr;
    TPanel* Top = nullptr;
    TPanel* Bottom = nullptr;
    TActivations Events;

    void SetUp() override
    {
        ASSERT_EQ(Application->MainForm(), nullptr);
        Application->CreateForm(Frame);
        Frame->SetFormStyle(fsMDIForm);
        Frame->SetBounds(0, 0, 600, 450);
        Top = New<TPanel>(Frame);
        Top->SetParent(Frame);
        Top->SetHeight(30);
        Top->SetAlign(alTop);
        Bottom = New<TPanel>(Frame);
        Bottom->SetParent(Frame);
        Bottom->SetHeight(20);
        Bottom->SetAlign(alBottom);
        Frame->Show();
    }

    void TearDown() override
    {
        TObject* obj = Frame;
        FreeAndNil(obj);
    }

    TForm* NewChild(const wchar_t* Name, int Left, int Top)
    {
        // Owned by the frame, which frees whatever a test leaves.
        TForm* child = TForm::CreateNew(Frame);
        child->SetName(Name);
        child->SetFormStyle(fsMDIChild);
        child->SetBounds(Left, Top, 200, 150);
        child->OnActivate = Bind(&Events, &TActivations::Activate);
        child->OnDeactivate = Bind(&Events, &TActivations::Deactivate);
        child->Show();
        return child;
    }

    TRect ClientBounds()
    {
        RECT r;
        GetWindowRect(Frame->ClientHandle(), &r);
        MapWindowPoints(HWND_DESKTOP, Frame->Handle(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
};

void Free(TObject* o) { FreeAndNil(o); }

} // namespace

TEST_F(MDI, TheClientFillsWhatTheAlignedControlsLeaveAndHoldsTheChildren)
{
    HWND client = Frame->ClientHandle();
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(WindowClassOf(client), L"MDIClient");
    EXPECT_EQ(GetParent(client), Frame->Handle());
    TRect area = Frame->ClientRect();
    EXPECT_EQ(ClientBounds(), TRect(0, 30, area.right, area.bottom - 20));
    Frame->SetBounds(0, 0, 500, 400);
    area = Frame->ClientRect();
    EXPECT_EQ(ClientBounds(), TRect(0, 30, area.right, area.bottom - 20));
    // No child reaches past the client: no scroll bars.
    EXPECT_FALSE(GetWindowLongW(client, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
    EXPECT_EQ(Frame->MDIChildCount(), 0);
    EXPECT_EQ(Frame->ActiveMDIChild(), nullptr);

    TForm* a = NewChild(L"A", 10, 10);
    TForm* b = NewChild(L"B", 40, 30);
    EXPECT_EQ(GetParent(a->Handle()), client);
    EXPECT_TRUE(GetWindowLongW(a->Handle(), GWL_EXSTYLE) & WS_EX_MDICHILD);
    EXPECT_TRUE(a->FormState().Contains(fsCreatedMDIChild));
    // Bounds are the client's coordinates.
    EXPECT_EQ(b->BoundsRect(), TRect(40, 30, 240, 180));
    // The newest child is the active one and comes first.
    EXPECT_EQ(Frame->MDIChildCount(), 2);
    EXPECT_EQ(Frame->ActiveMDIChild(), b);
    EXPECT_EQ(Frame->MDIChildren(0), b);
    EXPECT_EQ(Frame->MDIChildren(1), a);
    EXPECT_EQ(Frame->MDIChildren(2), nullptr);
    EXPECT_EQ(Events.Log, (std::vector<UnicodeString>{L"+A", L"-A", L"+B"}));

    // Freed, a child leaves through the client, which activates the other.
    Events.Log.clear();
    Free(b);
    EXPECT_EQ(Frame->MDIChildCount(), 1);
    EXPECT_EQ(Frame->ActiveMDIChild(), a);
    EXPECT_EQ(Events.Log, (std::vector<UnicodeString>{L"-B", L"+A"}));
}

TEST_F(MDI, TheSystemsMDIProceduresTakeWhatTheFormsLeave)
{
    TForm* a = NewChild(L"A", 10, 10);
    TForm* b = NewChild(L"B", 40, 30);
    // Activating through the client reaches both forms.
    Events.Log.clear();
    SendMessageW(Frame->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a->Handle()), 0);
    EXPECT_EQ(Frame->ActiveMDIChild(), a);
    EXPECT_EQ(Events.Log, (std::vector<UnicodeString>{L"-B", L"+A"}));

    // DefMDIChildProc: the next-window command and maximising.
    SendMessageW(a->Handle(), WM_SYSCOMMAND, SC_NEXTWINDOW, 0);
    EXPECT_EQ(Frame->ActiveMDIChild(), b);
    b->SetWindowState(wsMaximized);
    EXPECT_TRUE(IsZoomed(b->Handle()));
    EXPECT_EQ(b->WindowState(), wsMaximized);
    RECT inner;
    GetClientRect(Frame->ClientHandle(), &inner);
    EXPECT_EQ(b->ClientRect(), TRect(inner));
    // DefFrameProc: a command of the window menu activates its child.
    SendMessageW(Frame->Handle(), WM_COMMAND, MAKEWPARAM(0xFF00, 0), 0);
    EXPECT_EQ(Frame->ActiveMDIChild(), a);

    // Closing a child minimises it: a child cannot hide.
    a->Close();
    EXPECT_TRUE(IsIconic(a->Handle()));
    EXPECT_TRUE(a->Visible());
    // One whose OnClose frees it goes once the queue is handled.
    b->OnClose = Bind(&Events, &TActivations::FreeOnClose);
    b->Close();
    Application->ProcessMessages();
    EXPECT_EQ(Frame->MDIChildCount(), 1);
    EXPECT_EQ(Frame->MDIChildren(0), a);
}

TEST_F(MDI, TileAndCascadeArrangeTheChildren)
{
    TForm* a = NewChild(L"A", 10, 10);
    TForm* b = NewChild(L"B", 20, 20);
    RECT inner;
    GetClientRect(Frame->ClientHandle(), &inner);

    // Side by side, each as high as the client.
    Frame->SetTileMode(tbVertical);
    Frame->Tile();
    TRect ra = a->BoundsRect(), rb = b->BoundsRect();
    EXPECT_EQ(ra.Height(), inner.bottom);
    EXPECT_EQ(rb.Height(), inner.bottom);
    EXPECT_EQ(std::min(ra.left, rb.left), 0);
    EXPECT_EQ(std::max(ra.right, rb.right), inner.right);
    EXPECT_EQ(std::max(ra.left, rb.left), std::min(ra.right, rb.right));

    // One above the other.
    Frame->SetTileMode(tbHorizontal);
    Frame->Tile();
    ra = a->BoundsRect();
    rb = b->BoundsRect();
    EXPECT_EQ(ra.Width(), inner.right);
    EXPECT_EQ(std::max(ra.top, rb.top), std::min(ra.bottom, rb.bottom));

    // Stepped down and right, the active child in front.
    Frame->Cascade();
    ra = a->BoundsRect();
    rb = b->BoundsRect();
    EXPECT_NE(ra.TopLeft(), rb.TopLeft());
    EXPECT_EQ(ra.left - rb.left, ra.top - rb.top);
    EXPECT_EQ(Frame->MDIChildren(0), Frame->ActiveMDIChild());
}

TEST_F(MDI, TheWindowMenuListsTheChildren)
{
    auto* menu = New<TMainMenu>(Frame);
    auto* file = New<TMenuItem>(menu);
    file->SetCaption(L"File");
    file->Add(New<TMenuItem>(menu));
    file->Items(0)->SetCaption(L"Open");
    auto* windows = New<TMenuItem>(menu);
    windows->SetCaption(L"Window");
    windows->Add(New<TMenuItem>(menu));
    windows->Items(0)->SetCaption(L"Tile");
    menu->Items()->Add(file);
    menu->Items()->Add(windows);
    Frame->SetMenu(menu);
    Frame->SetWindowMenu(windows);
    EXPECT_EQ(GetMenu(Frame->Handle()), menu->Handle());

    NewChild(L"First", 10, 10);
    NewChild(L"Second", 20, 20);
    // "Tile", a separator, then one entry per child.
    HMENU list = windows->Handle();
    ASSERT_EQ(GetMenuItemCount(list), 4);
    EXPECT_EQ(GetMenuItemID(list, 2), 0xFF00u);
    wchar_t text[64] = {};
    GetMenuStringW(list, 3, text, 64, MF_BYPOSITION);
    EXPECT_NE(std::wstring(text).find(L"Second"), std::wstring::npos);

    // A rebuilt window menu gets its entries back.
    windows->Items(0)->SetCaption(L"Tile all");
    EXPECT_EQ(GetMenuItemCount(windows->Handle()), 4);

    // Freeing the window menu's item leaves the frame without one.
    TObject* obj = windows;
    FreeAndNil(obj);
    EXPECT_EQ(Frame->WindowMenu(), nullptr);
}

TEST(MDIChild, WithoutAnMDIMainFormAChildCannotBeMade)
{
    ASSERT_EQ(Application->MainForm(), nullptr);
    TOwned<TForm> child(TForm::CreateNew(nullptr));
    child->SetFormStyle(fsMDIChild);
    EXPECT_THROW(child->HandleNeeded(), EInvalidOperation);
    EXPECT_FALSE(child->HandleAllocated());
}
