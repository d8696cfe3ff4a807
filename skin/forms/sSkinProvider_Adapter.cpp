// The control adapter: finding a form's listed controls, wrapping them,
// recolouring its labels, and giving all of it back.
#include "skin/forms/sSkinProvider_Adapter.h"

#include <algorithm>
#include <utility>

#include "classlib/controls/Buttons.h"
#include "classlib/controls/Forms.h"
#include "classlib/controls/StdCtrls.h"
#include "classlib/rtl/Lists.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinProps.h"
#include "skin/core/sStyleSimply.h"
#include "skin/forms/sFrameAdapter.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/wrappers/kvSBUtils_Buttons.h"
#include "skin/wrappers/kvSBUtils_Combo.h"
#include "skin/wrappers/kvSBUtils_Edits.h"
#include "skin/wrappers/kvSBUtils_ListView.h"
#include "skin/wrappers/kvSBUtils_Panels.h"
#include "skin/wrappers/kvSBUtils_SpeedButton.h"
#include "skin/wrappers/kvSBUtils_StatusBar.h"
#include "skin/wrappers/kvSBUtils_Tabs.h"
#include "skin/wrappers/kvSBUtils_ToolBar.h"
#include "skin/wrappers/kvSBUtils_VirtualTree.h"

bool bFlag = false;

namespace {

// The tags that keep a control from the adapter: the library's own windows,
// and labels the application wants left as they are.
constexpr intptr_t TagLibraryOwn = -98;
constexpr intptr_t TagKeepLabel = 98;

bool AnswersSkinned(TControl* Control)
{
    return LOBYTE(Control->Perform(SM_KORVEXCMD, MakeKorvexWParam(SMC_IS_SKINNED), 0)) != 0;
}

// Hears of the controls the adapter keeps something of being freed.
class TkvAdapterWatch : public TComponent {
public:
    explicit TkvAdapterWatch(TkvCtrlAdapter* Adapter) : TComponent(nullptr), FAdapter(Adapter) {}

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        // Only the pointer is used: the control is half gone by now.
        if (Operation == opRemove)
            FAdapter->ControlFreed(AComponent);
    }

private:
    TkvCtrlAdapter* FAdapter;
};

template <class T>
void EraseAndFree(std::vector<T*>& Items, T* Item)
{
    std::erase(Items, Item);
    FreeAndNil(Item);
}

} // namespace

const TkvWndClass& AdapterWrapperClass(int Kind)
{
    // In the order of TkvThirdPartyTypes; empty: no wrapper of that kind.
    static const TkvWndClass classes[kvThirdPartyCount] = {
        TkvWndClass::Of<TkvEditWnd>(),       // tpEdit
        TkvWndClass::Of<TkvBtnWnd>(),        // tpButton
        TkvWndClass::Of<TkvBitBtnWnd>(),     // tpBitBtn
        TkvWndClass::Of<TkvCheckBoxWnd>(),   // tpCheckBox
        TkvWndClass::Of<TkvComboBoxWnd>(),   // tpComboBox
        TkvWndClass::Of<TkvGridWnd>(),       // tpGrid
        TkvWndClass::Of<TkvGroupBoxWnd>(),   // tpGroupBox
        TkvWndClass::Of<TkvListViewWnd>(),   // tpListView
        TkvWndClass::Of<TkvPanelWnd>(),      // tpPanel
        TkvWndClass::Of<TkvTreeViewWnd>(),   // tpTreeView
        TkvWndClass::Of<TkvWWComboBoxWnd>(), // tpwwEdit
        TkvWndClass::Of<TkvGridEhWnd>(),     // tpGridEh
        TkvWndClass::Of<TkvVirtualTreeViewWnd>(), // tpVirtualTree
        TkvWndClass::Of<TkvPageControlWnd>(), // tpPageControl
        TkvWndClass::Of<TkvTabControlWnd>(),  // tpTabControl
        TkvWndClass::Of<TkvToolBarVCLWnd>(),  // tpToolBar
        TkvWndClass::Of<TkvStatusBarWnd>(),   // tpStatusBar
        TkvWndClass(),                       // tpSpeedButton: graph items
    };
    static const TkvWndClass none;
    return Kind >= 0 && Kind < kvThirdPartyCount ? classes[Kind] : none;
}

int ThirdListOf(TsSkinManager* Manager, const UnicodeString& ClassName)
{
    if (!Manager)
        return -1;
    const int lists = std::min<int>(int(Manager->ThirdLists.size()), kvThirdPartyCount);
    for (int k = 0; k < lists; ++k)
        if (TStringList* names = Manager->ThirdLists[size_t(k)])
            for (int j = 0; j < names->Count(); ++j)
                if (names->Strings(j) == ClassName)
                    return k;
    return -1;
}

// ---------------------------------------------------------------------------
// Items

TkvAdapterItem::TkvAdapterItem(TkvCtrlAdapter* AAdapter) : Adapter(AAdapter)
{
    SkinData = new TsCommonData(nullptr, true);
    SkinData->COC = COC_TkvAdapterItem;
    if (TsSkinManager* sm = AAdapter->Manager())
        SkinData->SetSkinManager(sm);
}

TkvAdapterItem::~TkvAdapterItem()
{
    // The wrapper first: giving the control back reads the skin data.
    FreeWrapper();
    FreeAndNil(SkinData);
}

void TkvAdapterItem::FreeWrapper()
{
    FreeAndNil(ScrollWnd);
}

void TkvAdapterItem::DoHook(TWinControl* Control)
{
    if (Control->Tag() == TagLibraryOwn || !Control->HandleAllocated() || !Control->Parent() ||
        AnswersSkinned(Control))
        return;
    WinCtrl = Control;
    SkinData->FOwnerControl = Control;
    SkinData->FOwnerObject = Control;
    TsSkinManager* sm = SkinData->GetSkinManager();
    const TkvWndClass& cls = AdapterWrapperClass(ThirdListOf(sm, Control->ClassName()));
    if (cls.Assigned())
        ScrollWnd = cls.Create(Control->Handle(), SkinData, sm, SkinData->SkinSection(), true);
}

TkvGraphItem::TkvGraphItem(TkvCtrlAdapter* AAdapter) : Adapter(AAdapter)
{
    SkinData = new TsCommonData(nullptr, true);
    SkinData->COC = COC_TkvAdapterItem;
    if (TsSkinManager* sm = AAdapter->Manager())
        SkinData->SetSkinManager(sm);
}

TkvGraphItem::~TkvGraphItem()
{
    FreeAndNil(Handler);
    FreeAndNil(SkinData);
}

bool TkvGraphItem::HandlerGone() const
{
    return !Handler;
}

void TkvGraphItem::DoHook(TControl* Control)
{
    if (Control->Tag() == TagLibraryOwn)
        return;
    Ctrl = Control;
    SkinData->FOwnerControl = Control;
    SkinData->FOwnerObject = Control;
    Handler = new TkvSpeedButtonHandler(Control, SkinData, SkinData->GetSkinManager(), SkinData->SkinSection(), true);
}

// ---------------------------------------------------------------------------
// The adapter

TkvCtrlAdapter::TkvCtrlAdapter(TsSkinProvider* AProvider) : Provider(AProvider)
{
    FWatch = new TkvAdapterWatch(this);
}

TkvCtrlAdapter::~TkvCtrlAdapter()
{
    CleanItems();
    {
        // Every item goes, also when another adapter is freeing its own.
        TFlagScope removing(bRemoving, true);
        while (!Items.empty()) {
            TkvAdapterItem* item = Items.back();
            Items.pop_back();
            FreeAndNil(item);
        }
        while (!GraphItems.empty()) {
            TkvGraphItem* item = GraphItems.back();
            GraphItems.pop_back();
            FreeAndNil(item);
        }
    }
    RestoreLabels();
    FreeAndNil(FWatch);
}

TsSkinManager* TkvCtrlAdapter::Manager() const
{
    return Provider && Provider->SkinData() ? Provider->SkinData()->GetSkinManager() : nullptr;
}

bool TkvCtrlAdapter::AskProvider(TControl* Ctrl, UnicodeString& SkinSection)
{
    bool canBeAdded = true;
    if (Provider && Provider->OnSkinItem)
        Provider->OnSkinItem(Ctrl, canBeAdded, SkinSection);
    return canBeAdded;
}

bool TkvCtrlAdapter::IsControlSupported(TComponent* Control)
{
    auto* c = dynamic_cast<TControl*>(Control);
    if (!c || c->Tag() == TagLibraryOwn)
        return false;
    auto* w = dynamic_cast<TWinControl*>(c);
    if (w && (!CtrlIsReadyForHook(w) || AnswersSkinned(w)))
        return false;
    UnicodeString section;
    if (dynamic_cast<TCustomLabel*>(c) || dynamic_cast<TCustomFrame*>(c))
        return AskProvider(c, section);
    if (dynamic_cast<TSpeedButton*>(c))
        return ThirdListOf(Manager(), c->ClassName()) >= 0 && AskProvider(c, section);
    // Other windowed controls are asked about in AddNewItem.
    return w && ThirdListOf(Manager(), c->ClassName()) >= 0;
}

TkvAdapterItem* TkvCtrlAdapter::GetItem(int Index)
{
    return Index >= 0 && Index < Count() ? Items[size_t(Index)] : nullptr;
}

int TkvCtrlAdapter::IndexOf(TControl* Ctrl) const
{
    for (size_t i = 0; i < Items.size(); ++i)
        if (Items[i]->WinCtrl == Ctrl)
            return int(i);
    return -1;
}

void TkvCtrlAdapter::Watch(TComponent* Control)
{
    Control->FreeNotification(FWatch);
}

void TkvCtrlAdapter::AddAllItems(TWinControl* OwnerCtrl)
{
    TsSkinManager* sm = Manager();
    if (bFlag || !sm || !sm->SkinningRules().Contains(srThirdParty))
        return;
    // One guard for the whole walk: wrappers made on the way send messages
    // that ask for another walk.
    TFlagScope guard(bFlag, true);
    if (!OwnerCtrl)
        OwnerCtrl = Provider ? Provider->Form : nullptr;
    CleanItems();
    if (!OwnerCtrl)
        return;
    std::vector<TWinControl*> visited;
    AddChildren(OwnerCtrl, visited);
}

void TkvCtrlAdapter::AddChildren(TWinControl* Owner, std::vector<TWinControl*>& Visited)
{
    // A control is reached both as owned component and as child: its own
    // controls are walked once.
    if (std::find(Visited.begin(), Visited.end(), Owner) != Visited.end())
        return;
    Visited.push_back(Owner);
    auto descend = [&](TComponent* C) {
        auto* w = dynamic_cast<TWinControl*>(C);
        if (w && w->HandleAllocated() && w->Parent())
            AddChildren(w, Visited);
    };
    // Wrapping sends messages; the lists are read afresh at every step.
    for (int i = 0; i < Owner->ComponentCount(); ++i) {
        TComponent* c = Owner->Components(i);
        TakeControl(c);
        descend(c);
    }
    for (int i = 0; i < Owner->ControlCount(); ++i) {
        TControl* c = Owner->Controls(i);
        TakeControl(c);
        descend(c);
    }
}

void TkvCtrlAdapter::TakeControl(TComponent* Component)
{
    if (!IsControlSupported(Component))
        return;
    if (auto* w = dynamic_cast<TWinControl*>(Component))
        AddNewItem(w, UnicodeString());
    else if (auto* label = dynamic_cast<TCustomLabel*>(Component))
        SkinLabel(label);
    else if (auto* button = dynamic_cast<TSpeedButton*>(Component))
        AddNewItem(button);
}

void TkvCtrlAdapter::AddNewItem(TWinControl* Ctrl, UnicodeString SkinSection)
{
    if (!Ctrl || Ctrl->Tag() == TagLibraryOwn || !Ctrl->Parent() || AnswersSkinned(Ctrl))
        return;
    if (!AskProvider(Ctrl, SkinSection))
        return;
    if (auto* frame = dynamic_cast<TCustomFrame*>(Ctrl)) {
        AdaptFrame(frame);
        return;
    }
    TkvAdapterItem* item = GetItem(IndexOf(Ctrl));
    if (!item) {
        item = new TkvAdapterItem(this);
        item->WinCtrl = Ctrl;
        Items.push_back(item);
        Watch(Ctrl);
    } else if (!item->WrapperGone()) {
        return;
    }
    // An empty section leaves the wrapper's own.
    if (!SkinSection.empty())
        item->SkinData->SetSkinSection(SkinSection);
    item->FreeWrapper();
    item->DoHook(Ctrl);
    // A control that could not be wrapped is not kept.
    if (item->WrapperGone())
        EraseAndFree(Items, item);
}

void TkvCtrlAdapter::AddNewItem(TSpeedButton* Ctrl)
{
    if (!Ctrl || Ctrl->Tag() == TagLibraryOwn || !Ctrl->Parent() ||
        Ctrl->Perform(SM_KORVEXCMD, MakeKorvexWParam(SMC_IS_SKINNED), 0) == 1)
        return;
    UnicodeString section = L"SPEEDBUTTON";
    if (!AskProvider(Ctrl, section))
        return;
    TkvGraphItem* item = nullptr;
    for (TkvGraphItem* g : GraphItems)
        if (g->Ctrl == Ctrl)
            item = g;
    if (!item) {
        item = new TkvGraphItem(this);
        item->Ctrl = Ctrl;
        GraphItems.push_back(item);
        Watch(Ctrl);
    } else if (!item->HandlerGone()) {
        return;
    }
    // The section follows the button's look, whatever the event answered.
    item->SkinData->SetSkinSection(Ctrl->Flat() ? L"SPEEDBUTTON_SMALL" : L"SPEEDBUTTON");
    FreeAndNil(item->Handler);
    item->DoHook(Ctrl);
    if (item->HandlerGone())
        EraseAndFree(GraphItems, item);
}

void TkvCtrlAdapter::AdaptFrame(TCustomFrame* Frame)
{
    // The frame gets a frame adapter of its own (it owns it, and it stays
    // through skin changes); a frame that answers as skinned has one, so
    // none is made twice.  The controls on the frame are wrapped as the walk
    // goes into it.
    auto* frame = dynamic_cast<TFrame*>(Frame);
    if (!frame)
        return;
    auto* adapter = New<TsFrameAdapter>(frame);
    adapter->SkinData()->SetSkinSection(s_GroupBox);
    adapter->SkinData()->UpdateIndexes();
    if (frame->HandleAllocated())
        ::RedrawWindow(frame->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TkvCtrlAdapter::RemoveItem(int Index)
{
    if (Index < 0 || Index >= Count())
        return;
    TkvAdapterItem* item = Items[size_t(Index)];
    Items[size_t(Index)] = Items.back();
    Items.pop_back();
    FreeAndNil(item);
}

void TkvCtrlAdapter::CleanItems()
{
    // Taken out first, freed after: freeing a wrapper may send messages.
    TkvAdapterItems dead;
    std::erase_if(Items, [&](TkvAdapterItem* i) { return i->WrapperGone() && (dead.push_back(i), true); });
    TkvGraphItems deadGraph;
    std::erase_if(GraphItems, [&](TkvGraphItem* g) { return g->HandlerGone() && (deadGraph.push_back(g), true); });
    for (TkvAdapterItem* i : dead)
        FreeAndNil(i);
    for (TkvGraphItem* g : deadGraph)
        FreeAndNil(g);
}

void TkvCtrlAdapter::RemoveAllItems()
{
    if (bRemoving)
        return;
    TFlagScope removing(bRemoving, true);
    while (!Items.empty()) {
        TkvAdapterItem* item = Items.back();
        Items.pop_back();
        FreeAndNil(item);
    }
    while (!GraphItems.empty()) {
        TkvGraphItem* item = GraphItems.back();
        GraphItems.pop_back();
        FreeAndNil(item);
    }
}

void TkvCtrlAdapter::WndProc(TMessage& Message)
{
    // The windows first: a control hearing the message may change the items.
    std::vector<HWND> targets;
    for (TkvAdapterItem* item : Items)
        if (!item->WrapperGone() && item->WinCtrl && item->WinCtrl->Parent())
            targets.push_back(item->ScrollWnd->CtrlHandle);
    for (HWND h : targets)
        if (::IsWindow(h))
            ::SendMessageW(h, Message.Msg, Message.WParam, Message.LParam);
}

void TkvCtrlAdapter::ControlFreed(TComponent* Control)
{
    for (size_t i = Items.size(); i-- > 0;)
        if (i < Items.size() && Items[i]->WinCtrl == Control)
            RemoveItem(int(i));
    for (size_t i = GraphItems.size(); i-- > 0;)
        if (i < GraphItems.size() && GraphItems[i]->Ctrl == Control)
            EraseAndFree(GraphItems, GraphItems[i]);
    std::erase_if(FLabels, [&](const TLabelLook& l) { return static_cast<TComponent*>(l.Label) == Control; });
}

// ---------------------------------------------------------------------------
// Labels

void TkvCtrlAdapter::SkinLabel(TCustomLabel* Label)
{
    // Labels of the library paint from the skin themselves.
    if (Label->Tag() == TagKeepLabel || InheritsFromClass(Label, L"TsCustomLabel"))
        return;
    TsSkinManager* sm = Manager();
    if (!sm)
        return;
    const TColor skinColor = sm->GetGlobalFontColor();
    auto it = std::find_if(FLabels.begin(), FLabels.end(), [&](const TLabelLook& l) { return l.Label == Label; });
    if (it == FLabels.end()) {
        FLabels.push_back({Label, Label->Font()->Color(), Label->Transparent(), skinColor});
        Watch(Label);
    } else {
        // What the application set since is its own now.
        if (Label->Font()->Color() != it->SkinColor)
            it->OwnColor = Label->Font()->Color();
        if (!Label->Transparent())
            it->OwnTransparent = false;
        it->SkinColor = skinColor;
    }
    Label->SetTransparent(true);
    Label->Font()->SetColor(skinColor);
}

void TkvCtrlAdapter::RestoreLabels()
{
    const std::vector<TLabelLook> labels = std::exchange(FLabels, {});
    for (const TLabelLook& l : labels) {
        if (l.Label->ComponentState().Contains(csDestroying))
            continue;
        // A colour the application gave meanwhile stays.
        if (l.Label->Font()->Color() == l.SkinColor)
            l.Label->Font()->SetColor(l.OwnColor);
        if (l.Label->Transparent() && !l.OwnTransparent)
            l.Label->SetTransparent(false);
    }
}
