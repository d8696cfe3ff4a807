// Subclassing a window by handle and owning a thread's hooks: stacked
// subclassers on a stock button, giving the window back in any order, the
// window's destruction, refusals, and exceptions at the boundary.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/controls/Forms.h"
#include "classlib/controls/SubclassWindow.h"
#include "classlib/controls/WindowsHook.h"

namespace {

constexpr UINT WM_PROBE = WM_APP + 11;

std::vector<std::wstring>& Log()
{
    static std::vector<std::wstring> log;
    return log;
}

// A subclasser that logs what it sees and passes it on (or keeps the
// messages it is told to keep).
struct TLogger {
    std::wstring Name;
    UINT Keep = 0;
    TSubclassedWindow Sub{Bind(this, &TLogger::Proc)};
    explicit TLogger(std::wstring AName) : Name(std::move(AName)) {}

    void Proc(TMessage& m)
    {
        if (m.Msg == WM_PROBE || m.Msg == WM_NCDESTROY || m.Msg == WM_GETTEXT)
            Log().push_back(Name + L":" + std::to_wstring(m.Msg));
        if (m.Msg == Keep)
            return;
        Sub.CallPrevious(m);
    }
};

struct TButtonWindow {
    HWND Wnd = ::CreateWindowExW(0, L"BUTTON", L"Press", WS_POPUP | BS_PUSHBUTTON, 0, 0, 80, 24, nullptr, nullptr,
                                 nullptr, nullptr);
    WNDPROC Original = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(Wnd, GWLP_WNDPROC));
    ~TButtonWindow()
    {
        if (::IsWindow(Wnd))
            ::DestroyWindow(Wnd);
    }
    WNDPROC Proc() const { return reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(Wnd, GWLP_WNDPROC)); }
    std::wstring Text() const
    {
        wchar_t buf[32] = {};
        ::SendMessageW(Wnd, WM_GETTEXT, 32, reinterpret_cast<LPARAM>(buf));
        return buf;
    }
};

int SubclassProps(HWND Wnd)
{
    int n = 0;
    for (int i = 0; i < TSubclassedWindow::MaxLayers; ++i)
        n += ::GetPropW(Wnd, (L"KvSubclass" + std::to_wstring(i)).c_str()) != nullptr;
    return n;
}

const std::wstring GetText = std::to_wstring(WM_GETTEXT);
const std::wstring NcDestroy = std::to_wstring(WM_NCDESTROY);

// The class a creation hook sees, or empty (an atom, or another window the
// system makes on the way, such as an input-method window).
bool CreatesAButton(int Code, LPARAM LParam)
{
    if (Code != HCBT_CREATEWND)
        return false;
    auto* cbt = reinterpret_cast<CBT_CREATEWNDW*>(LParam);
    return !IS_INTRESOURCE(cbt->lpcs->lpszClass) && ::lstrcmpiW(cbt->lpcs->lpszClass, L"BUTTON") == 0;
}

struct TExceptionLog {
    std::vector<UnicodeString> Messages;
    void OnException(TObject*, Exception* E) { Messages.push_back(E->Message()); }
};

} // namespace

TEST(SubclassedWindow, TwoStackedSubclassersGiveTheButtonBackInEitherOrder)
{
    for (bool lowerFirst : {true, false}) {
        SCOPED_TRACE(lowerFirst ? "lower released first" : "upper released first");
        TButtonWindow button;
        ASSERT_TRUE(button.Wnd);
        TLogger lower(L"lower"), upper(L"upper");
        ASSERT_TRUE(lower.Sub.Subclass(button.Wnd, L"lower"));
        ASSERT_TRUE(upper.Sub.Subclass(button.Wnd, L"upper"));
        EXPECT_EQ(TSubclassedWindow::Find(button.Wnd, L"lower"), &lower.Sub);

        Log().clear();
        EXPECT_EQ(button.Text(), L"Press") << "the button's own answer comes back through both";
        EXPECT_EQ(Log(), (std::vector<std::wstring>{L"upper:" + GetText, L"lower:" + GetText}));

        TLogger& first = lowerFirst ? lower : upper;
        TLogger& second = lowerFirst ? upper : lower;
        first.Sub.Release();
        EXPECT_FALSE(first.Sub.Active());
        EXPECT_EQ(TSubclassedWindow::Find(button.Wnd, first.Name), nullptr);
        Log().clear();
        EXPECT_EQ(button.Text(), L"Press");
        EXPECT_EQ(Log(), (std::vector<std::wstring>{second.Name + L":" + GetText}));

        second.Sub.Release();
        EXPECT_EQ(button.Proc(), button.Original) << "exactly the procedure it had";
        EXPECT_EQ(SubclassProps(button.Wnd), 0);
        Log().clear();
        EXPECT_EQ(button.Text(), L"Press");
        EXPECT_TRUE(Log().empty());
    }
}

TEST(SubclassedWindow, UnderAForeignSubclasserItPassesOnUntilItCanLeave)
{
    TButtonWindow button;
    TLogger ours(L"ours");
    ASSERT_TRUE(ours.Sub.Subclass(button.Wnd, L"ours"));
    // Someone else's raw subclassing on top, then ours is released.
    static WNDPROC below = nullptr;
    struct Foreign {
        static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp)
        {
            return ::CallWindowProcW(below, w, m, wp, lp);
        }
    };
    below = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(button.Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Foreign::Proc)));
    ours.Sub.Release();
    EXPECT_EQ(button.Proc(), &Foreign::Proc) << "the foreign procedure is left alone";
    Log().clear();
    EXPECT_EQ(button.Text(), L"Press");
    EXPECT_TRUE(Log().empty()) << "a released subclasser's method is never called again";

    // The foreign one leaves; ours goes with the next message it passes on.
    ::SetWindowLongPtrW(button.Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(below));
    EXPECT_EQ(button.Text(), L"Press");
    EXPECT_EQ(button.Proc(), button.Original);
    EXPECT_EQ(SubclassProps(button.Wnd), 0);
}

TEST(SubclassedWindow, DestroyingTheWindowEndsEverySubclassAndTheLowestStillSeesNcDestroy)
{
    TButtonWindow button;
    TLogger lower(L"lower"), upper(L"upper");
    upper.Keep = WM_NCDESTROY; // does not pass it on
    ASSERT_TRUE(lower.Sub.Subclass(button.Wnd, L"lower"));
    ASSERT_TRUE(upper.Sub.Subclass(button.Wnd, L"upper"));
    Log().clear();
    ::DestroyWindow(button.Wnd);
    EXPECT_EQ(Log(), (std::vector<std::wstring>{L"upper:" + NcDestroy, L"lower:" + NcDestroy}));
    EXPECT_FALSE(lower.Sub.Active());
    EXPECT_FALSE(upper.Sub.Active());
    EXPECT_EQ(lower.Sub.Handle(), nullptr);
    EXPECT_EQ(upper.Sub.CallPrevious(WM_PROBE, 0, 0), 0);
    // Both can take a new window.
    TButtonWindow next;
    EXPECT_TRUE(lower.Sub.Subclass(next.Wnd, L"lower"));
}

TEST(SubclassedWindow, RefusesASecondSubclassOfTheSameKindAndWhatItCannotTake)
{
    TButtonWindow button;
    TLogger a(L"a"), b(L"b");
    ASSERT_TRUE(a.Sub.Subclass(button.Wnd, L"wrapper"));
    EXPECT_FALSE(b.Sub.Subclass(button.Wnd, L"wrapper")) << "never subclass a window twice";
    TButtonWindow other;
    EXPECT_FALSE(a.Sub.Subclass(other.Wnd, L"wrapper")) << "one window per subclasser";
    EXPECT_FALSE(b.Sub.Subclass(nullptr, L"x"));
    HWND dead = ::CreateWindowExW(0, L"BUTTON", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ::DestroyWindow(dead);
    EXPECT_FALSE(b.Sub.Subclass(dead, L"x"));
    EXPECT_FALSE(b.Sub.Subclass(::GetDesktopWindow(), L"x")) << "a window of another thread";
    a.Sub.Release();
    EXPECT_TRUE(b.Sub.Subclass(button.Wnd, L"wrapper")) << "free again once released";
    b.Sub.Release();

    // The layers of one window are limited; the last refused leaves nothing.
    std::vector<std::unique_ptr<TLogger>> many;
    for (int i = 0; i < TSubclassedWindow::MaxLayers; ++i) {
        many.push_back(std::make_unique<TLogger>(L"m" + std::to_wstring(i)));
        ASSERT_TRUE(many.back()->Sub.Subclass(other.Wnd, many.back()->Name));
    }
    TLogger extra(L"extra");
    EXPECT_FALSE(extra.Sub.Subclass(other.Wnd, L"extra"));
    EXPECT_EQ(other.Text(), L"Press");
    while (!many.empty())
        many.pop_back(); // freed from the top: each gives the window back
    EXPECT_EQ(other.Proc(), other.Original);
    EXPECT_EQ(SubclassProps(other.Wnd), 0);
}

TEST(SubclassedWindow, ASubclasserFreedByItsOwnMethodLeavesWhenTheMessageReturns)
{
    TButtonWindow button;
    struct TSelfFreeing {
        TSubclassedWindow* Sub = nullptr;
        int Calls = 0;
        void Proc(TMessage& m)
        {
            ++Calls;
            if (m.Msg == WM_PROBE) {
                delete std::exchange(Sub, nullptr);
                m.Result = 42;
                return;
            }
            Sub->CallPrevious(m);
        }
    } self;
    self.Sub = new TSubclassedWindow(Bind(&self, &TSelfFreeing::Proc));
    ASSERT_TRUE(self.Sub->Subclass(button.Wnd, L"self"));
    EXPECT_EQ(::SendMessageW(button.Wnd, WM_PROBE, 0, 0), 42);
    EXPECT_EQ(button.Proc(), button.Original);
    int calls = self.Calls;
    EXPECT_EQ(button.Text(), L"Press");
    EXPECT_EQ(self.Calls, calls);
}

TEST(SubclassedWindow, AnExceptionInTheMethodIsHandledAndTheWindowGoesOn)
{
    TExceptionLog log;
    Application->OnException = Bind(&log, &TExceptionLog::OnException);
    TButtonWindow button;
    struct TThrower {
        TSubclassedWindow Sub{Bind(this, &TThrower::Proc)};
        void Proc(TMessage& m)
        {
            if (m.Msg == WM_PROBE)
                throw Exception(L"boom");
            Sub.CallPrevious(m);
        }
    } thrower;
    ASSERT_TRUE(thrower.Sub.Subclass(button.Wnd, L"thrower"));
    ::SendMessageW(button.Wnd, WM_PROBE, 0, 0);
    EXPECT_EQ(log.Messages, (std::vector<UnicodeString>{L"boom"}));
    EXPECT_EQ(button.Text(), L"Press");
    Application->OnException = nullptr;
}

TEST(SubclassedWindow, AnObjectInstanceIsMadeBeforeItsWindowAndFreedWithIt)
{
    TButtonWindow button;
    struct THeader {
        TObjectInstance Instance = nullptr;
        int Probes = 0;
        void Proc(TMessage& m)
        {
            Probes += m.Msg == WM_PROBE;
            Instance->CallPrevious(m);
        }
    } header;
    header.Instance = MakeObjectInstance(Bind(&header, &THeader::Proc));
    EXPECT_FALSE(header.Instance->Active());
    ASSERT_TRUE(header.Instance->Subclass(button.Wnd, L"header"));
    ::SendMessageW(button.Wnd, WM_PROBE, 0, 0);
    EXPECT_EQ(header.Probes, 1);
    EXPECT_EQ(button.Text(), L"Press");
    FreeObjectInstance(header.Instance);
    EXPECT_EQ(header.Instance, nullptr);
    EXPECT_EQ(button.Proc(), button.Original);
}

// ---------------------------------------------------------------------------
TEST(WindowsHook, OneCreationHookPerThreadSeesWindowsMadeOnIt)
{
    int buttons = 0;
    TWindowsHook hook;
    ASSERT_TRUE(hook.Install(WH_CBT, [&](int Code, WPARAM WParam, LPARAM LParam) {
        buttons += CreatesAButton(Code, LParam);
        return hook.CallNext(Code, WParam, LParam);
    }));
    EXPECT_EQ(TWindowsHook::Current(WH_CBT), &hook);
    TWindowsHook second;
    EXPECT_FALSE(second.Install(WH_CBT, [](int, WPARAM, LPARAM) -> LRESULT { return 0; }))
        << "one hook of a kind per thread";
    EXPECT_FALSE(hook.Install(WH_GETMESSAGE, [](int, WPARAM, LPARAM) -> LRESULT { return 0; }))
        << "one hook per owner";
    { TButtonWindow button; }
    EXPECT_EQ(buttons, 1);

    hook.Remove();
    EXPECT_FALSE(hook.Installed());
    EXPECT_EQ(TWindowsHook::Current(WH_CBT), nullptr);
    { TButtonWindow button; }
    EXPECT_EQ(buttons, 1);
    EXPECT_TRUE(second.Install(WH_CBT, [](int, WPARAM, LPARAM) -> LRESULT { return 0; }));
}

TEST(WindowsHook, AHandlerThatThrowsOrRemovesItsHookLetsTheWindowBeMade)
{
    TExceptionLog log;
    Application->OnException = Bind(&log, &TExceptionLog::OnException);
    TWindowsHook hook;
    int calls = 0;
    ASSERT_TRUE(hook.Install(WH_CBT, [&](int Code, WPARAM WParam, LPARAM LParam) -> LRESULT {
        if (!CreatesAButton(Code, LParam))
            return hook.CallNext(Code, WParam, LParam);
        if (++calls == 1)
            throw Exception(L"hook failed");
        hook.Remove(); // the running handler stays alive until it returns
        return hook.CallNext(Code, WParam, LParam);
    }));
    {
        TButtonWindow first;
        EXPECT_TRUE(first.Wnd);
    }
    {
        TButtonWindow second;
        EXPECT_TRUE(second.Wnd);
    }
    { TButtonWindow third; }
    EXPECT_EQ(calls, 2);
    EXPECT_FALSE(hook.Installed());
    EXPECT_EQ(log.Messages, (std::vector<UnicodeString>{L"hook failed"}));
    Application->OnException = nullptr;
}
