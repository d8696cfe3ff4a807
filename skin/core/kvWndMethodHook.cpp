#include "skin/core/kvWndMethodHook.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Hooks that were released while another method stood in front of them.
// Each stays until it has left the chain or lost its control, and is freed
// by a later release; the ones left at the end go with the program.
std::vector<TkvWndMethodHook*>& PassThroughs()
{
    static auto* list = new std::vector<TkvWndMethodHook*>;
    return *list;
}

} // namespace

TkvWndMethodHook::TkvWndMethodHook(TControl* Control, TWndMethod Target)
    : TComponent(nullptr), FControl(Control), FTarget(Target), FOld(Control->WindowProc)
{
    Control->FreeNotification(this);
    Control->WindowProc = Method();
}

TkvWndMethodHook::~TkvWndMethodHook() = default;

bool TkvWndMethodHook::OnTop() const
{
    return FControl && FControl->WindowProc == const_cast<TkvWndMethodHook*>(this)->Method();
}

void TkvWndMethodHook::Release(TkvWndMethodHook*& Hook)
{
    TkvWndMethodHook* h = std::exchange(Hook, nullptr);
    if (!h)
        return;
    h->FTarget = nullptr;
    // Pass-throughs that are out of every chain go now (one still passing a
    // message on touches nothing of itself after handing it over).
    auto& list = PassThroughs();
    for (size_t i = list.size(); i > 0; --i)
        if (list[i - 1]->FDone) {
            TkvWndMethodHook* done = list[i - 1];
            list.erase(list.begin() + static_cast<ptrdiff_t>(i - 1));
            delete done;
        }
    TControl* c = h->FControl;
    if (!c) {
        delete h;
        return;
    }
    // A control being freed may still send messages through the hook; it
    // passes them on until the control's notification says it is gone.
    if (h->OnTop() && !c->ComponentState().Contains(csDestroying)) {
        c->WindowProc = h->FOld;
        delete h;
        return;
    }
    list.push_back(h);
}

void TkvWndMethodHook::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FControl) {
        FControl = nullptr;
        FDone = !FTarget.Assigned();
    }
}

void TkvWndMethodHook::Proc(TMessage& Message)
{
    // Nothing of this hook is touched after the call: the call may free it.
    if (FTarget) {
        const TWndMethod target = FTarget;
        target(Message);
        return;
    }
    const TWndMethod old = FOld;
    if (!FDone && OnTop()) {
        FControl->WindowProc = old;
        FDone = true;
    }
    old(Message);
}
