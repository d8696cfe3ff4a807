// The hand-over of a skinned form's controls and scroll bars to window
// wrappers: the control adapter (the form's plain child controls of the
// classes the skin manager lists, sSkinProvider_Adapter) and the skinned
// scroll bars of an auto-scrolling form.
#include "skin/forms/sSkinProvider.h"

#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinProvider_Adapter.h"
#include "skin/wrappers/kvSBUtils_Scroll.h"

namespace {

bool Designing(const TComponent* C)
{
    return C->ComponentState().Contains(csDesigning);
}

} // namespace

void TsSkinProvider::AdapterCreate()
{
    if (Designing(this) || !FCommonData || !FCommonData->Skinned(false))
        return;
    if (!Adapter)
        Adapter = new TkvCtrlAdapter(this);
    Adapter->AddAllItems(nullptr);
}

void TsSkinProvider::AddAllItems(TWinControl* Parent)
{
    if (Adapter)
        Adapter->AddAllItems(Parent);
}

void TsSkinProvider::AddNewItem(TWinControl* Control)
{
    if (Adapter && Adapter->IsControlSupported(Control))
        Adapter->AddNewItem(Control);
}

void TsSkinProvider::SendToAdapter(TMessage& Message)
{
    if (Designing(this) || !Adapter)
        return;
    TMessage copy = Message;
    Adapter->WndProc(copy);
}

void TsSkinProvider::FreeScrollWrapper(bool Repaint)
{
    if (!ListSW)
        return;
    const HWND wnd = Form && Form->HandleAllocated() ? Form->Handle() : nullptr;
    UninitializeKVScroll(wnd, true, Repaint, ListSW);
    // Only a form that had skinned bars gets its flat bars back.
    if (wnd && Kv_InitializeFlatSB)
        Kv_InitializeFlatSB(wnd);
}

void TsSkinProvider::ReleaseWrappers()
{
    AdapterRemove();
    FreeScrollWrapper(false);
}

void UpdateScrollWrapper(TsSkinProvider* Provider, TkvScrollWnd*& ListSW)
{
    TForm* form = Provider->Form;
    if (Provider->ComponentState().Contains(csDestroying) || !form || !form->HandleAllocated() ||
        !form->AutoScroll())
        return;
    const HWND wnd = form->Handle();
    TsCommonData* sd = Provider->SkinData();
    // The skinned bars live in the frame the provider draws.
    if (!sd || !sd->Skinned(true) || !Provider->DrawNonClientArea()) {
        if (ListSW) {
            UninitializeKVScroll(wnd, true, true, ListSW);
            if (Kv_InitializeFlatSB)
                Kv_InitializeFlatSB(wnd);
        }
        return;
    }
    if (Kv_UninitializeFlatSB)
        Kv_UninitializeFlatSB(wnd);
    if (ListSW && ListSW->Destroyed)
        FreeAndNil(ListSW);
    if (!ListSW && !Kv_GetScrollWndFromHwnd(wnd))
        ListSW = CreateWnd<TkvScrollWnd>(wnd, sd, sd->GetSkinManager(), UnicodeString(), false);
}

// The skinned scroll bars of an auto-scrolling form sit in its non-client
// area: they take room from the client area and, when both show, make a
// square between them that sizes the form like a grip.
void TsSkinProvider::ReadScrollFacts(TsFrameFacts& F)
{
    if (!ListSW || ListSW->Destroyed || !Form || !Form->HandleAllocated())
        return;
    auto thickness = [](TkvScrollBar* Bar) {
        return Bar && Bar->fScrollVisible ? GetScrollMetric(Bar, 1, false) : 0;
    };
    F.HScrollHeight = thickness(ListSW->sBarHorz);
    F.VScrollWidth = thickness(ListSW->sBarVert);
    const HWND wnd = Form->Handle();
    TRect corner = KV_GetCornerRect(ListSW, wnd);
    if (corner.IsEmpty())
        return;
    RECT w;
    ::GetWindowRect(wnd, &w);
    ::OffsetRect(&corner, -int(w.left), -int(w.top));
    F.ScrollCorner = corner;
}
