// Owned components of controls and forms are freed while their owner is
// whole: a component that swapped its owner's WindowProc puts it back into a
// living object, and the owner's own Notification hears of each removal.
#include <gtest/gtest.h>

#include <vector>

#include "classlib/controls/Controls.h"
#include "classlib/controls/Forms.h"

namespace {

std::vector<UnicodeString>& Log()
{
    static std::vector<UnicodeString> log;
    return log;
}

// Takes its owner's WindowProc when made and gives it back when freed, after
// asking the owner something through Perform: what a form skinner does.
class TSwapper : public TComponent {
    KV_CLASS(TSwapper)
    TWinControl* FTarget;
    TWndMethod FOld;

    void Hook(TMessage& Message)
    {
        if (Message.Msg == WM_APP + 7)
            Log().push_back(L"swapper saw the question");
        FOld(Message);
    }

public:
    explicit TSwapper(TWinControl* AOwner) : TComponent(AOwner), FTarget(AOwner)
    {
        FOld = FTarget->WindowProc;
        FTarget->WindowProc = Bind(this, &TSwapper::Hook);
    }
    ~TSwapper() override
    {
        Log().push_back(L"swapper freed");
        FTarget->Perform(WM_APP + 7, 0, 0);
        FTarget->WindowProc = FOld;
    }
};

class TOwnerForm : public TForm {
    KV_CLASS(TOwnerForm)
public:
    explicit TOwnerForm(TComponent* AOwner) : TForm(AOwner, 0) {}
    TSwapper* Swapper = nullptr;
    bool WindowProcWasRestored = false;

    ~TOwnerForm() override
    {
        Log().push_back(L"form freed");
        WindowProcWasRestored = WindowProc == Bind(static_cast<TControl*>(this), &TControl::WndProc);
        Log().push_back(WindowProcWasRestored ? L"own WindowProc" : L"foreign WindowProc");
    }

protected:
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == WM_APP + 7)
            Log().push_back(L"form answered");
        TForm::WndProc(Message);
    }
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TForm::Notification(AComponent, Operation);
        if (Operation == opRemove && AComponent == Swapper) {
            Log().push_back(L"form told of the removal");
            Swapper = nullptr;
        }
    }
};

} // namespace

TEST(Ownership, AComponentRestoresItsOwnersWindowProcWhileTheOwnerIsWhole)
{
    Log().clear();
    auto* form = New<TOwnerForm>(nullptr);
    form->HandleNeeded();
    form->Swapper = new TSwapper(form);
    FreeAndNil(form);
    EXPECT_EQ(Log(), (std::vector<UnicodeString>{L"form told of the removal", L"swapper freed",
                                                 L"swapper saw the question", L"form answered", L"form freed",
                                                 L"own WindowProc"}));
}

TEST(Ownership, OwnedControlsOfAPanelGoBeforeThePanelsDestructor)
{
    // The same order for a plain windowed control owning components.
    Log().clear();
    struct TPanelOwner : TWinControl {
        explicit TPanelOwner(TComponent* AOwner) : TWinControl(AOwner) {}
        ~TPanelOwner() override { Log().push_back(L"panel freed"); }
    };
    auto* panel = New<TPanelOwner>(nullptr);
    new TSwapper(panel);
    FreeAndNil(panel);
    ASSERT_EQ(Log().size(), 3u);
    EXPECT_EQ(Log().front(), L"swapper freed");
    EXPECT_EQ(Log().back(), L"panel freed");
}
