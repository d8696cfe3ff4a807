#include "classlib/controls/ActnList.h"

#include <algorithm>

#include "classlib/controls/ImgList.h"
#include "classlib/rtl/TypInfo.h"

// ---------------------------------------------------------------------------
// TBasicAction

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

TBasicAction::~TBasicAction()
{
    // The links outlive the action: they are told it is gone.
    while (!FClients.empty())
        FClients.back()->SetAction(nullptr);
}

bool TBasicAction::Execute()
{
    if (!OnExecute)
        return false;
    OnExecute(this);
    return true;
}

void TBasicAction::Change()
{
    // A client may unlink itself while it hears the change: walk a copy and
    // skip the links that left meanwhile.
    std::vector<TBasicActionLink*> clients = FClients;
    for (TBasicActionLink* link : clients)
        if (std::find(FClients.begin(), FClients.end(), link) != FClients.end())
            link->Change();
}

// ---------------------------------------------------------------------------
// TBasicActionLink

TBasicActionLink::~TBasicActionLink() { SetAction(nullptr); }

void TBasicActionLink::SetAction(TBasicAction* Value)
{
    if (Value == FAction)
        return;
    if (FAction)
        std::erase(FAction->FClients, this);
    FAction = Value;
    if (FAction)
        FAction->FClients.push_back(this);
}

void TBasicActionLink::Change()
{
    if (OnChange)
        OnChange(FAction);
}

// ---------------------------------------------------------------------------
// TCustomAction

TCustomAction::TCustomAction(TComponent* AOwner) : TBasicAction(AOwner) {}

TCustomAction::~TCustomAction() { SetActionList(nullptr); }

void TCustomAction::SetActionList(TCustomActionList* Value)
{
    if (Value == FActionList)
        return;
    if (FActionList)
        std::erase(FActionList->FActions, this);
    FActionList = Value;
    if (FActionList)
        FActionList->FActions.push_back(this);
}

void TCustomAction::SetCaption(const UnicodeString& Value)
{
    if (Value != FCaption) {
        FCaption = Value;
        Change();
    }
}

void TCustomAction::SetEnabled(bool Value)
{
    if (Value != FEnabled) {
        FEnabled = Value;
        Change();
    }
}

void TCustomAction::SetHint(const UnicodeString& Value)
{
    if (Value != FHint) {
        FHint = Value;
        Change();
    }
}

void TCustomAction::SetImageIndex(int Value)
{
    if (Value != FImageIndex) {
        FImageIndex = Value;
        Change();
    }
}

void TCustomAction::SetVisible(bool Value)
{
    if (Value != FVisible) {
        FVisible = Value;
        Change();
    }
}

KV_BEGIN_PUBLISHED(TCustomAction, TBasicAction)
    B.Str(L"Caption", &C::Caption, &C::SetCaption);
    B.Bool(L"Enabled", &C::Enabled, &C::SetEnabled, true);
    B.Str(L"Hint", &C::Hint, &C::SetHint);
    B.Int(L"ImageIndex", &C::ImageIndex, &C::SetImageIndex, -1);
    B.Bool(L"Visible", &C::Visible, &C::SetVisible, true);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TAction, TCustomAction)
    static_assert(sizeof(C) > 0); // all inherited
KV_END_PUBLISHED

// ---------------------------------------------------------------------------
// TCustomActionList

TCustomActionList::TCustomActionList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomActionList::~TCustomActionList()
{
    while (!FActions.empty())
        FActions.back()->SetActionList(nullptr);
}

void TCustomActionList::SetImages(TCustomImageList* Value)
{
    if (Value == FImages)
        return;
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages)
        FImages->FreeNotification(this);
}

void TCustomActionList::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        FImages = nullptr;
}

KV_BEGIN_PUBLISHED(TCustomActionList, TComponent)
    B.Ref(L"Images", &C::Images, &C::SetImages);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TActionList, TCustomActionList)
    static_assert(sizeof(C) > 0); // all inherited
KV_END_PUBLISHED

void RegisterActnListClasses() { RegisterClasses<TAction, TActionList>(); }

namespace {
// Form resources may name these classes as soon as this unit is linked in.
[[maybe_unused]] const bool kRegistered = (RegisterActnListClasses(), true);
} // namespace
