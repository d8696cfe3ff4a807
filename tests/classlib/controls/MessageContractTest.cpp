// The notification contract skinners rely on (classlib/controls/MESSAGES.md):
// a recording WindowProc checks order, nesting and parameters.
#include <gtest/gtest.h>

#include "classlib/controls/ExtCtrls.h"
#include "classlib/controls/Forms.h"

namespace {

struct TEntry {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    int Depth;          // how many recorded messages were being passed on
    bool Showing;       // the control's Showing when the message arrived
    TWinControl* Parent;  // of the control in WParam, for list changes
    bool operator==(const TEntry&) const = default;
};

// Sits in front of a control's WindowProc and notes the contract's messages.
class TContractRecorder {
public:
    explicit TContractRecorder(TWinControl* Control) : FControl(Control), FOld(Control->WindowProc)
    {
        Control->WindowProc = TWndMethod(this, &TContractRecorder::Proc);
    }
    ~TContractRecorder() { FControl->WindowProc = FOld; }
    std::vector<TEntry> Seen;

private:
    void Proc(TMessage& Message)
    {
        switch (Message.Msg) {
        case CM_VISIBLECHANGED: case CM_SHOWINGCHANGED: case CM_CONTROLLISTCHANGE: case CM_CONTROLCHANGE: {
            auto* child = reinterpret_cast<TControl*>(Message.WParam);
            const bool list = Message.Msg == CM_CONTROLLISTCHANGE || Message.Msg == CM_CONTROLCHANGE;
            Seen.push_back({Message.Msg, Message.WParam, Message.LParam, FDepth,
                            FControl->Showing(), list ? child->Parent() : nullptr});
            ++FDepth;
            FOld(Message);
            --FDepth;
            return;
        }
        default:
            FOld(Message);
        }
    }
    TWinControl* FControl;
    TWndMethod FOld;
    int FDepth = 0;
};

} // namespace

TEST(MessageContract, ShowAndHideSendVisibleThenShowingInsideIt)
{
    TOwned<TForm> form(TForm::CreateNew(nullptr));
    auto* panel = New<TPanel>(form.get());
    panel->SetParent(form.get());
    TContractRecorder recForm(form.get()), recPanel(panel);

    form->Show();
    EXPECT_EQ(recForm.Seen, (std::vector<TEntry>{{CM_VISIBLECHANGED, 1, 0, 0, false, nullptr},
                                                 {CM_SHOWINGCHANGED, 0, 0, 1, true, nullptr}}));
    EXPECT_EQ(recPanel.Seen, (std::vector<TEntry>{{CM_SHOWINGCHANGED, 0, 0, 0, true, nullptr}}))
        << "a child whose Visible did not change hears of its Showing only";
    EXPECT_TRUE(::IsWindowVisible(form->Handle()));

    recForm.Seen.clear();
    recPanel.Seen.clear();
    form->Hide();
    EXPECT_EQ(recForm.Seen, (std::vector<TEntry>{{CM_VISIBLECHANGED, 0, 0, 0, true, nullptr},
                                                 {CM_SHOWINGCHANGED, 0, 0, 1, false, nullptr}}));
    EXPECT_EQ(recPanel.Seen, (std::vector<TEntry>{{CM_SHOWINGCHANGED, 0, 0, 0, false, nullptr}}));
    EXPECT_FALSE(::IsWindowVisible(form->Handle()));
}

TEST(MessageContract, InsertingAndRemovingAControlAreToldApartByLParam)
{
    TOwned<TForm> form(TForm::CreateNew(nullptr));
    auto* panel = New<TPanel>(form.get());
    TContractRecorder rec(form.get());
    const WPARAM w = reinterpret_cast<WPARAM>(static_cast<TControl*>(panel));

    panel->SetParent(form.get());
    EXPECT_EQ(rec.Seen, (std::vector<TEntry>{{CM_CONTROLLISTCHANGE, w, 1, 0, false, nullptr},
                                             {CM_CONTROLCHANGE, w, 1, 0, false, form.get()}}))
        << "told before the control joins, then once it has";

    rec.Seen.clear();
    panel->SetParent(nullptr);
    EXPECT_EQ(rec.Seen, (std::vector<TEntry>{{CM_CONTROLCHANGE, w, 0, 0, false, form.get()},
                                             {CM_CONTROLLISTCHANGE, w, 0, 0, false, nullptr}}))
        << "told while the control is still a child, then after it has left";
    TObject* o = panel;
    FreeAndNil(o);
}
