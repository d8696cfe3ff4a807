// What the wrapper tests share: the built-in skin on a manager of its own, a
// hidden form to host standard windows, a window class that records what it
// receives and answers what it is told, and a wrapper that records its
// virtual calls.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <map>
#include <vector>

#include "classlib/controls/Forms.h"
#include "skin/core/sMessages.h"
#include "skin/manager/ManagerFixture.h"
#include "skin/wrappers/kvSBUtils.h"

namespace wraptest {

// Messages a recording window received: (message, sub-command of the
// command message or 0).
struct TReceived {
    UINT Msg;
    int Cmd;
    WPARAM WParam;
    LPARAM LParam;
};

// A window of class "KvWrapTarget": records every message and answers the
// command message's sub-commands listed in Answers (others with 0).
struct TTarget {
    HWND Handle = nullptr;
    std::vector<TReceived> Got;
    std::map<int, LRESULT> Answers;

    TTarget(HWND Parent, DWORD Style = WS_CHILD | WS_VISIBLE, int Width = 120, int Height = 90);
    ~TTarget();
    TTarget(const TTarget&) = delete;
    TTarget& operator=(const TTarget&) = delete;
    int Count(UINT Msg, int Cmd = 0) const;
    // The messages Msg received, in order.
    std::vector<TReceived> All(UINT Msg) const;
    // The scroll codes (low word of WParam) of the WM_HSCROLL or WM_VSCROLL received.
    std::vector<int> ScrollCodes(UINT Msg) const;
    void Clear() { Got.clear(); }
};

// The built-in skin on a manager, a hidden form, its window.
class WrapperTest : public ::testing::Test {
protected:
    TsSkinManager* Manager = nullptr;
    TOwned<TForm> Form{TForm::CreateNew(nullptr)};

    void SetUp() override
    {
        Manager = managertest::NewManager();
        Form->SetBounds(0, 0, 400, 300);
        Form->HandleNeeded();
    }
    void TearDown() override
    {
        Form.reset();
        FreeAndNil(Manager);
    }
    HWND Host() { return Form->Handle(); }
    // A standard window of the system class ClassName on the hidden form.
    HWND Child(const wchar_t* ClassName, DWORD Style = 0, int Width = 120, int Height = 90,
               const wchar_t* Text = L"")
    {
        return ::CreateWindowExW(0, ClassName, Text, WS_CHILD | WS_VISIBLE | Style, 10, 10, Width, Height, Host(),
                                 nullptr, nullptr, nullptr);
    }
};

// Sends the command message with a sub-command.
inline LRESULT Command(HWND Handle, int Cmd, LPARAM LParam = 0, int Arg = 0)
{
    return ::SendMessageW(Handle, SM_KORVEXCMD, MakeKorvexWParam(Cmd, Arg), LParam);
}

inline WNDPROC ProcOf(HWND Handle)
{
    return reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(Handle, GWLP_WNDPROC));
}

// A wrapper that notes the calls of its virtual operations and counts the
// messages reaching its window procedure, also after it is gone.
class TRecordingWnd : public TkvMainWnd {
    KV_CLASS(TRecordingWnd)
public:
    static inline int Alive = 0;
    static inline int Restores = 0;
    std::vector<const char*> Calls;
    int Messages = 0;
    bool* Gone = nullptr;

    TRecordingWnd() { ++Alive; }
    ~TRecordingWnd() override
    {
        --Alive;
        if (Gone)
            *Gone = true;
    }
    void Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const UnicodeString& SkinSection,
                bool Repaint) override
    {
        Calls.push_back("Create");
        TkvMainWnd::Create(AHandle, ASkinData, ASkinManager, SkinSection, Repaint);
    }
    void SaveStdParams() override { Calls.push_back("SaveStdParams"); }
    void RestoreStdParams() override
    {
        ++Restores;
        Calls.push_back("RestoreStdParams");
    }
    void kvWndProc(TMessage& Message) override
    {
        ++Messages;
        TkvMainWnd::kvWndProc(Message);
    }
    int CallsOf(const char* Name) const
    {
        int n = 0;
        for (const char* c : Calls)
            n += std::string_view(c) == Name;
        return n;
    }
};

} // namespace wraptest
