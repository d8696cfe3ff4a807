// The control adapter of a form provider: it finds the form's controls whose
// class names the skin manager lists in its foreign-class lists (ThirdLists)
// and puts a window wrapper on each windowed one (a speed-button handler on
// a listed speed button); plain labels of the class library become
// transparent and take the skin's font colour; a frame gets a frame adapter.
//
// What the adapter changes it gives back: freeing an item gives its control
// its own WindowProc and (with the skin removed, or a provider that goes
// while its form stays) its colours; a label gets back the colour and
// transparency it had, unless the application changed them meanwhile.  A
// label whose Tag is 98 keeps its own look, a control whose Tag is -98 (the
// library's own windows) is never touched.
//
// The provider makes the adapter when it starts or a skin is set, feeds it
// controls that come later (sSkinProvider_Wrappers.cpp) and frees it when
// the skin goes or the provider goes.  GUI thread only.
#pragma once

#include <vector>

#include "classlib/controls/Controls.h"
#include "classlib/rtl/Classes.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sDefaults.h"
#include "skin/wrappers/kvSBUtils.h"

class TsSkinManager;
class TsSkinProvider;
class TkvCtrlAdapter;
class TCustomFrame;
class TCustomLabel;
class TSpeedButton;

// Class-of-control code of an adapter item's skin data.
constexpr int COC_TkvAdapterItem = 227;

// Keeps AddAllItems from running inside itself (wrappers made while it walks
// the controls send messages that ask for it again).
extern bool bFlag;

// The wrapper class the adapter puts on a control of the foreign-class list
// Kind (a TkvThirdPartyTypes value); an empty reference for speed buttons
// (served by TkvGraphItem) and for kinds whose wrapper is not linked in.
const TkvWndClass& AdapterWrapperClass(int Kind);
// The first foreign-class list of the manager that names ClassName exactly
// (case counts); -1 when none does.
int ThirdListOf(TsSkinManager* Manager, const UnicodeString& ClassName);

// One wrapped windowed control.
class TkvAdapterItem : public TPersistent {
    KV_CLASS(TkvAdapterItem)
public:
    explicit TkvAdapterItem(TkvCtrlAdapter* AAdapter);
    // Frees the wrapper (which gives the control back) and then the skin data.
    ~TkvAdapterItem() override;
    // Puts the wrapper of the control's list on it; ScrollWnd stays nil when
    // the control cannot be wrapped.
    virtual void DoHook(TWinControl* Control);
    // The wrapper is missing or has let go of its window.
    bool WrapperGone() const { return !ScrollWnd || ScrollWnd->Destroyed; }
    void FreeWrapper();

    TWinControl* WinCtrl = nullptr;
    TsCommonData* SkinData = nullptr; // owned; section empty until set or wrapped
    TkvCtrlAdapter* Adapter = nullptr;
    TkvMainWnd* ScrollWnd = nullptr;  // owned
};

// One handled speed button.  The handler comes with the speed-button
// wrapper; until it is linked in no speed button is taken.
class TkvGraphItem : public TPersistent {
    KV_CLASS(TkvGraphItem)
public:
    explicit TkvGraphItem(TkvCtrlAdapter* AAdapter);
    ~TkvGraphItem() override;
    virtual void DoHook(TControl* Control);
    bool HandlerGone() const;

    TControl* Ctrl = nullptr;
    TsCommonData* SkinData = nullptr; // owned
    TkvCtrlAdapter* Adapter = nullptr;
    TObject* Handler = nullptr;       // owned
};

using TkvAdapterItems = std::vector<TkvAdapterItem*>;
using TkvGraphItems = std::vector<TkvGraphItem*>;

class TkvCtrlAdapter : public TPersistent {
    KV_CLASS(TkvCtrlAdapter)
public:
    explicit TkvCtrlAdapter(TsSkinProvider* AProvider);
    // Frees every item (their controls get their WindowProc back) and gives
    // the labels their own colours back.
    ~TkvCtrlAdapter() override;

    // The control is one the adapter takes: not the library's own (Tag -98),
    // a windowed control with a window that nobody skins yet, and a label or
    // frame the provider's OnSkinItem accepts, a listed speed button the
    // event accepts, or a windowed control of a listed class.
    virtual bool IsControlSupported(TComponent* Control);
    // nullptr outside 0..Count-1.
    virtual TkvAdapterItem* GetItem(int Index);
    // Hands a listed speed button to a speed-button handler, unless the
    // provider's OnSkinItem vetoes it; its section follows its Flat.
    virtual void AddNewItem(TSpeedButton* Ctrl);
    // The section given to controls added without one.
    void AddNewItem(TWinControl* Ctrl) { AddNewItem(Ctrl, DefaultSection); }
    // Wraps Ctrl (SkinSection empty: the wrapper's own section), unless the
    // provider's OnSkinItem vetoes it; a control wrapped before whose wrapper
    // died with its window is wrapped again.
    virtual void AddNewItem(TWinControl* Ctrl, UnicodeString SkinSection);
    // Frees the item; the last item takes its slot.
    virtual void RemoveItem(int Index);
    // Sends Message to the window of every control that is wrapped now.
    virtual void WndProc(TMessage& Message);

    // Every supported control that OwnerCtrl (the form when nil) owns or
    // holds, at any depth, and the labels among them.
    void AddAllItems(TWinControl* OwnerCtrl = nullptr);
    int IndexOf(TControl* Ctrl) const;
    int Count() const { return int(Items.size()); }
    // Drops the items whose wrapper (or handler) died with its window.
    void CleanItems();
    void RemoveAllItems();

    UnicodeString DefaultSection;
    TkvAdapterItems Items;
    TkvGraphItems GraphItems;
    TsSkinProvider* Provider = nullptr;

    // A control the adapter keeps something of was freed.
    void ControlFreed(TComponent* Control);
    TsSkinManager* Manager() const;
    // The labels the adapter changed, as they were.
    struct TLabelLook {
        TCustomLabel* Label;
        TColor OwnColor;
        bool OwnTransparent;
        TColor SkinColor; // the colour given; one found otherwise is the application's
    };
    const std::vector<TLabelLook>& Labels() const { return FLabels; }

private:
    void AddChildren(TWinControl* Owner, std::vector<TWinControl*>& Visited);
    void TakeControl(TComponent* Component);
    void SkinLabel(TCustomLabel* Label);
    void RestoreLabels();
    bool AskProvider(TControl* Ctrl, UnicodeString& SkinSection);
    void AdaptFrame(TCustomFrame* Frame);
    void Watch(TComponent* Control);

    std::vector<TLabelLook> FLabels;
    TComponent* FWatch = nullptr; // hears of freed controls (owned)
};
