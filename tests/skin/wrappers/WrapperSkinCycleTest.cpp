// Wrappers that live while their skin goes and comes back: each edit-like
// kind takes the skin's values again every time a skin is set and gives the
// control exactly its own back at every removal; the owner control's
// opaqueness is the wrapper's only while it holds the control.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <vector>

#include "StdWrapFixture.h"
#include "classlib/controls/ComCtrls.h"
#include "classlib/controls/ExtCtrls.h"
#include "classlib/controls/StdCtrls.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sSkinManager.h"
#include "skin/wrappers/kvSBUtils_Buttons.h"
#include "skin/wrappers/kvSBUtils_Edits.h"
#include "skin/wrappers/kvSBUtils_ListView.h"
#include "skin/wrappers/kvSBUtils_Panels.h"
#include "skin/wrappers/kvSBUtils_VirtualTree.h"
#include "support/ResourceCount.h"

using namespace stdwraptest;

namespace {

// A grid of another component family, as far as the grid wrapper sees it.
class TCycleGrid : public TCustomControl {
    KV_CLASS(TCycleGrid)
    KV_PUBLISHED
public:
    explicit TCycleGrid(TComponent* AOwner) : TCustomControl(AOwner) {}
    int FixedColor = 0x123456;
};

enum TCycleHeaderOption { choOwnerDraw, choVisible };

class TCycleHeader : public TPersistent {
    KV_CLASS(TCycleHeader)
    KV_PUBLISHED
public:
    TSet<TCycleHeaderOption> Options{choVisible};
};

// A virtual tree: the header the wrapper draws through the control's events.
class TCycleTree : public TCustomControl {
    KV_CLASS(TCycleTree)
    KV_PUBLISHED
public:
    explicit TCycleTree(TComponent* AOwner) : TCustomControl(AOwner) {}
    TCycleHeader* Header() const { return const_cast<TCycleHeader*>(&FHeader); }
    TAdvancedHeaderPaintEvent OnAdvancedHeaderDraw;
    THeaderPaintQueryElementsEvent OnHeaderDrawQueryElements;

private:
    TCycleHeader FHeader;
};

} // namespace

KV_BEGIN_PUBLISHED(TCycleGrid, TCustomControl)
    B.Int(L"FixedColor", &C::FixedColor, &C::FixedColor, 0, L"TColor");
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TCycleHeader, TPersistent)
    B.Set(L"Options", &C::Options, &C::Options, 0, {L"hoOwnerDraw", L"hoVisible"});
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TCycleTree, TCustomControl)
    B.Object(L"Header", &C::Header);
    B.Event(L"OnAdvancedHeaderDraw", &C::OnAdvancedHeaderDraw);
    B.Event(L"OnHeaderDrawQueryElements", &C::OnHeaderDrawQueryElements);
KV_END_PUBLISHED

namespace {

using TValues = std::vector<long long>;

// One kind of edit-like wrapper: its control, and the values the skin
// changes in it.
struct TEditKind {
    const char* Name;
    std::function<TWinControl*(TComponent* Owner)> Make;
    TkvWndClass Class;
    std::function<TValues(TWinControl*)> Values;
};

TValues ColoursOf(TWinControl* C)
{
    return {C->Color(), C->Font()->Color()};
}

TValues With(TValues V, std::initializer_list<long long> More)
{
    V.insert(V.end(), More);
    return V;
}

long long Send(TWinControl* C, UINT Msg)
{
    return ::SendMessageW(C->Handle(), Msg, 0, 0);
}

const TEditKind EditKinds[] = {
    {"edit", [](TComponent* O) -> TWinControl* { return New<TEdit>(O); }, TkvWndClass::Of<TkvEditWnd>(), ColoursOf},
    {"list box", [](TComponent* O) -> TWinControl* { return New<TListBox>(O); }, TkvWndClass::Of<TkvEditWnd>(),
     ColoursOf},
    {"list view",
     [](TComponent* O) -> TWinControl* {
         auto* l = New<TListView>(O);
         l->SetViewStyle(vsReport);
         return l;
     },
     TkvWndClass::Of<TkvListViewWnd>(),
     [](TWinControl* C) {
         return With(ColoursOf(C), {Send(C, LVM_GETBKCOLOR), Send(C, LVM_GETTEXTBKCOLOR), Send(C, LVM_GETTEXTCOLOR)});
     }},
    {"tree view", [](TComponent* O) -> TWinControl* { return New<TTreeView>(O); }, TkvWndClass::Of<TkvTreeViewWnd>(),
     [](TWinControl* C) { return TValues{C->Font()->Color(), Send(C, TVM_GETBKCOLOR)}; }},
    {"grid", [](TComponent* O) -> TWinControl* { return New<TCycleGrid>(O); }, TkvWndClass::Of<TkvGridWnd>(),
     [](TWinControl* C) { return With(ColoursOf(C), {static_cast<TCycleGrid*>(C)->FixedColor}); }},
    {"virtual tree", [](TComponent* O) -> TWinControl* { return New<TCycleTree>(O); },
     TkvWndClass::Of<TkvVirtualTreeViewWnd>(),
     [](TWinControl* C) {
         auto* t = static_cast<TCycleTree*>(C);
         return With(ColoursOf(C), {t->OnAdvancedHeaderDraw.Assigned(), t->OnHeaderDrawQueryElements.Assigned(),
                                    t->Header()->Options.Contains(choOwnerDraw)});
     }},
};

TWinControl* Place(TWinControl* C, TWinControl* Parent)
{
    C->SetParent(Parent);
    C->SetBounds(10, 10, 160, 80);
    C->SetColor(0x0A0B0C);
    C->Font()->SetColor(0x0C0B0A);
    C->HandleNeeded();
    return C;
}

bool Opaque(TControl* C)
{
    return C->ControlStyle().Contains(csOpaque);
}

// The manager's removal as the window hears it: the command, then the skin
// cleared (the window's section no longer found until a skin is set).
void RemoveSkin(HWND Wnd, TsCommonData& Data, TsSkinManager* Manager)
{
    Command(Wnd, SMC_SKIN_REMOVE, LPARAM(Manager));
    Data.SkinIndex = -1;
}

} // namespace

TEST_F(WrapperTest, EditLikeWrappersTakeTheSkinAgainAfterEachRemoval)
{
    for (const TEditKind& k : EditKinds) {
        SCOPED_TRACE(k.Name);
        TWinControl* c = Place(k.Make(Form.get()), Form.get());
        const HWND h = c->Handle();
        TsCommonData data(c, true);
        const TValues own = k.Values(c);
        TkvMainWnd* w = k.Class.Create(h, &data, Manager, L"COMBOBOX", false);
        Printed(h); // the first paint gives the skin's values
        const TValues skin = k.Values(c);
        for (size_t i = 0; i < own.size(); ++i)
            EXPECT_NE(skin[i], own[i]) << "value " << i << " not skinned";
        for (int round = 0; round < 2; ++round) {
            SCOPED_TRACE(round);
            RemoveSkin(h, data, Manager);
            Printed(h);
            EXPECT_EQ(k.Values(c), own);
            Command(h, SMC_SKIN_SET, LPARAM(Manager));
            Printed(h);
            EXPECT_EQ(k.Values(c), skin);
        }
        // A new skin's refresh, then the wrapper let go of: its own values again.
        Command(h, SMC_SKIN_REFRESH, LPARAM(Manager));
        EXPECT_EQ(k.Values(c), skin);
        UninitializeKVWnd(h, true, false, w);
        EXPECT_EQ(k.Values(c), own);
        delete c;
    }
}

TEST_F(WrapperTest, SkinGoingAndComingBackLeaksNothing)
{
    std::vector<TWinControl*> controls;
    std::vector<TOwned<TsCommonData>> data;
    std::vector<TkvMainWnd*> wrappers;
    for (const TEditKind& k : EditKinds) {
        controls.push_back(Place(k.Make(Form.get()), Form.get()));
        data.emplace_back(new TsCommonData(controls.back(), true));
        wrappers.push_back(k.Class.Create(controls.back()->Handle(), data.back().get(), Manager, L"COMBOBOX", false));
    }
    auto cycle = [&] {
        for (size_t i = 0; i < controls.size(); ++i) {
            const HWND c = controls[i]->Handle();
            Printed(c);
            RemoveSkin(c, *data[i], Manager);
            Printed(c);
            Command(c, SMC_SKIN_SET, LPARAM(Manager));
        }
    };
    cycle(); // warm-up: the skin's caches made once
    const TResourceCount before = CountResources();
    for (int n = 0; n < 20; ++n)
        cycle();
    for (size_t i = 0; i < controls.size(); ++i)
        Printed(controls[i]->Handle());
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
    for (size_t i = 0; i < controls.size(); ++i)
        UninitializeKVWnd(controls[i]->Handle(), true, false, wrappers[i]);
}

TEST_F(WrapperTest, OwnerKeepsItsOwnOpaquenessOnceLetGo)
{
    const struct {
        const char* Name;
        std::function<TWinControl*(TComponent* Owner)> Make;
        TkvWndClass Class;
        const wchar_t* Section;
    } cases[] = {
        {"edit (not opaque)", [](TComponent* O) -> TWinControl* { return New<TEdit>(O); },
         TkvWndClass::Of<TkvEditWnd>(), L"COMBOBOX"},
        {"list box (opaque)", [](TComponent* O) -> TWinControl* { return New<TListBox>(O); },
         TkvWndClass::Of<TkvEditWnd>(), L"COMBOBOX"},
        {"list view (left alone)", [](TComponent* O) -> TWinControl* { return New<TListView>(O); },
         TkvWndClass::Of<TkvListViewWnd>(), L"COMBOBOX"},
        {"button (not opaque)", [](TComponent* O) -> TWinControl* { return New<TButton>(O); },
         TkvWndClass::Of<TkvBtnWnd>(), L""},
        {"group box (not opaque)", [](TComponent* O) -> TWinControl* { return New<TGroupBox>(O); },
         TkvWndClass::Of<TkvGroupBoxWnd>(), L"BUTTON"},
        {"panel (opaque)", [](TComponent* O) -> TWinControl* { return New<TPanel>(O); },
         TkvWndClass::Of<TkvPanelWnd>(), L""},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.Name);
        TWinControl* c = Place(k.Make(Form.get()), Form.get());
        const bool own = Opaque(c);
        TsCommonData data(c, true);
        TkvMainWnd* w = k.Class.Create(c->Handle(), &data, Manager, k.Section, false);
        const bool listView = dynamic_cast<TCustomListView*>(c) != nullptr;
        EXPECT_EQ(Opaque(c), own || !listView);
        Printed(c->Handle());
        // A removal may give the bit back early, never the control's own;
        // a skin set again takes it again.
        RemoveSkin(c->Handle(), data, Manager);
        if (own) {
            EXPECT_TRUE(Opaque(c));
        }
        Command(c->Handle(), SMC_SKIN_SET, LPARAM(Manager));
        EXPECT_EQ(Opaque(c), own || !listView);
        UninitializeKVWnd(c->Handle(), true, false, w);
        EXPECT_EQ(Opaque(c), own);
        delete c;
    }
}
