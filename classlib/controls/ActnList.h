// Actions: one command (caption, enabled state, image, what it does) that
// several controls show.  A control linked to an action takes the action's
// properties when linked and again at each change of the action, and its
// click executes the action unless the control has an OnClick of its own.
#pragma once

#include <vector>

#include "classlib/rtl/Classes.h"
#include "classlib/rtl/TypInfo.h"

class TBasicActionLink;
class TCustomActionList;
class TCustomImageList;

// ---------------------------------------------------------------------------
class TBasicAction : public TComponent {
    KV_CLASS(TBasicAction)
public:
    explicit TBasicAction(TComponent* AOwner);
    ~TBasicAction() override;

    // Calls OnExecute; true when there was one to call.
    virtual bool Execute();
    TNotifyEvent OnExecute;

protected:
    // Tells every linked client that the action changed.
    void Change();

private:
    friend class TBasicActionLink;
    std::vector<TBasicActionLink*> FClients;
};

// ---------------------------------------------------------------------------
// The tie between one client and one action; OnChange hears the action's
// changes with the action as Sender.
class TBasicActionLink : public TObject {
public:
    TBasicActionLink() = default;
    ~TBasicActionLink() override;
    TBasicActionLink(const TBasicActionLink&) = delete;
    TBasicActionLink& operator=(const TBasicActionLink&) = delete;

    TBasicAction* Action() const { return FAction; }
    void SetAction(TBasicAction* Value);
    virtual bool Execute() { return FAction && FAction->Execute(); }
    TNotifyEvent OnChange;

private:
    friend class TBasicAction;
    void Change();
    TBasicAction* FAction = nullptr;
};

// ---------------------------------------------------------------------------
// An action of an action list, with the properties controls show.
class TCustomAction : public TBasicAction {
    KV_CLASS(TCustomAction)
    KV_PUBLISHED
public:
    explicit TCustomAction(TComponent* AOwner);
    ~TCustomAction() override;

    TCustomActionList* ActionList() const { return FActionList; }
    void SetActionList(TCustomActionList* Value);
    const UnicodeString& Caption() const { return FCaption; }
    void SetCaption(const UnicodeString& Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    const UnicodeString& Hint() const { return FHint; }
    void SetHint(const UnicodeString& Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

private:
    TCustomActionList* FActionList = nullptr;
    UnicodeString FCaption;
    bool FEnabled = true;
    UnicodeString FHint;
    int FImageIndex = -1;
    bool FVisible = true;
};

class TAction : public TCustomAction {
    KV_CLASS(TAction)
    KV_PUBLISHED
public:
    explicit TAction(TComponent* AOwner) : TCustomAction(AOwner) {}
};

// ---------------------------------------------------------------------------
// Holds actions (not their owner: the form owns them) and the images their
// ImageIndex points into.
class TCustomActionList : public TComponent {
    KV_CLASS(TCustomActionList)
    KV_PUBLISHED
public:
    explicit TCustomActionList(TComponent* AOwner);
    ~TCustomActionList() override;

    int ActionCount() const { return int(FActions.size()); }
    TCustomAction* Actions(int Index) const { return FActions.at(size_t(Index)); }
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);

    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TCustomAction;
    std::vector<TCustomAction*> FActions;
    TCustomImageList* FImages = nullptr;
};

class TActionList : public TCustomActionList {
    KV_CLASS(TActionList)
    KV_PUBLISHED
public:
    explicit TActionList(TComponent* AOwner) : TCustomActionList(AOwner) {}
};

// Registers the classes of this unit for form resources.
void RegisterActnListClasses();
