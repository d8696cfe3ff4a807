// Controls and forms that answer the skin library's command message the way
// skinned ones do, and write every sub-command they receive into one shared
// log, so that a test can see who was told what, and in which order.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "classlib/controls/Controls.h"
#include "classlib/controls/Forms.h"
#include "skin/core/sMessages.h"

namespace recording {

struct TEntry {
    std::wstring Who;
    int Cmd;
    LPARAM LParam;
    bool operator==(const TEntry&) const = default;
};

inline std::vector<TEntry>& Log()
{
    static std::vector<TEntry> log;
    return log;
}

// The sub-commands Who received, in order.
inline std::vector<int> CommandsOf(const std::wstring& Who)
{
    std::vector<int> cmds;
    for (const TEntry& e : Log())
        if (e.Who == Who)
            cmds.push_back(e.Cmd);
    return cmds;
}

// The receivers of sub-command Cmd, in order.
inline std::vector<std::wstring> ReceiversOf(int Cmd)
{
    std::vector<std::wstring> who;
    for (const TEntry& e : Log())
        if (e.Cmd == Cmd)
            who.push_back(e.Who);
    return who;
}

// Records a command message; answers SMC_IS_SKINNED when Skinned, and runs
// OnCommand (which may set the answer) for every sub-command.
struct TCommandRecorder {
    bool Skinned = false;
    std::function<void(TControl* Self, int Cmd, TMessage& Message)> OnCommand;

    bool Handle(TControl* Self, TMessage& Message)
    {
        if (Message.Msg != SM_KORVEXCMD)
            return false;
        const int cmd = Message.WParamHi;
        // Questions of the machinery itself are not part of what is told.
        if (cmd != SMC_IS_SKINNED && cmd != SMC_GET_PROVIDER)
            Log().push_back({Self->Name(), cmd, Message.LParam});
        Message.Result = cmd == SMC_IS_SKINNED && Skinned ? 1 : 0;
        if (OnCommand)
            OnCommand(Self, cmd, Message);
        return true;
    }
};

class TRecPanel : public TCustomControl {
    KV_CLASS(TRecPanel)
public:
    explicit TRecPanel(TComponent* AOwner) : TCustomControl(AOwner)
    {
        FControlStyle += csAcceptsControls;
        SetBounds(0, 0, 60, 40);
    }
    TCommandRecorder Rec;
    TColor PaintColor = clGreen;
    void WndProc(TMessage& Message) override
    {
        if (!Rec.Handle(this, Message))
            TCustomControl::WndProc(Message);
    }

protected:
    void Paint() override
    {
        Canvas()->Brush()->SetColor(PaintColor);
        Canvas()->FillRect(ClientRect());
    }
};

class TRecGraphic : public TGraphicControl {
    KV_CLASS(TRecGraphic)
public:
    explicit TRecGraphic(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 10, 10); }
    TCommandRecorder Rec;
    TColor PaintColor = clBlue;
    void WndProc(TMessage& Message) override
    {
        if (!Rec.Handle(this, Message))
            TGraphicControl::WndProc(Message);
    }

protected:
    void Paint() override
    {
        Canvas()->Brush()->SetColor(PaintColor);
        Canvas()->FillRect(ClientRect());
    }
};

class TRecForm : public TForm {
    KV_CLASS(TRecForm)
public:
    explicit TRecForm(TComponent* AOwner) : TForm(AOwner, 0) {}
    TCommandRecorder Rec;
    void WndProc(TMessage& Message) override
    {
        if (!Rec.Handle(this, Message))
            TForm::WndProc(Message);
    }
};

inline TRecForm* NewForm(const wchar_t* Name)
{
    auto* f = New<TRecForm>(Application);
    f->SetName(Name);
    f->SetBounds(0, 0, 200, 150);
    return f;
}

template <class T>
T* NewChild(TWinControl* Parent, const wchar_t* Name, bool Skinned = false)
{
    TComponent* owner = GetParentForm(Parent);
    auto* c = New<T>(owner ? owner : static_cast<TComponent*>(Parent));
    c->SetName(Name);
    c->SetParent(Parent);
    c->Rec.Skinned = Skinned;
    return c;
}

} // namespace recording
