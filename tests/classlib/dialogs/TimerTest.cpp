#include <gtest/gtest.h>

#include "classlib/controls/Dialogs.h"
#include "classlib/controls/ExtCtrls.h"

namespace {

struct TTickCounter : TObject {
    int Ticks = 0;
    TTimer* FreeOnTick = nullptr;
    void Tick(TObject*)
    {
        ++Ticks;
        if (FreeOnTick)
            FreeAndNil(FreeOnTick);
    }
};

struct TFailingHandler : TObject {
    int Ticks = 0;
    void Tick(TObject*)
    {
        ++Ticks;
        throw Exception(L"타이머 오류");
    }
};

// A timer that overrides Timer(), like the fade timers.
class TCountingTimer : public TTimer {
public:
    using TTimer::TTimer;
    int Ticks = 0;
    void DoNothing(TObject*) {}

protected:
    void Timer() override { ++Ticks; }
};

// Dispatches this thread's messages for about ms milliseconds.
void Pump(DWORD ms)
{
    DWORD end = GetTickCount() + ms;
    while (int(end - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(1);
    }
}

} // namespace

TEST(Timer, DefaultsAndHiddenUtilityWindow)
{
    TTimer* t = New<TTimer>(nullptr);
    EXPECT_TRUE(t->Enabled());
    EXPECT_EQ(t->Interval(), 1000u);
    wchar_t cls[64] = {};
    GetClassNameW(t->WindowHandle(), cls, 64);
    EXPECT_STREQ(cls, L"TPUtilWindow");
    EXPECT_FALSE(IsWindowVisible(t->WindowHandle()));
    FreeAndNil(t);
}

TEST(Timer, RunsOnlyWhileEnabledWithIntervalAndOnTimer)
{
    TCountingTimer* t = New<TCountingTimer>(nullptr);
    t->SetInterval(10);
    Pump(80);
    EXPECT_EQ(t->Ticks, 0) << "no OnTimer: the timer stays idle";

    t->SetOnTimer(Bind(t, &TCountingTimer::DoNothing));
    Pump(120);
    EXPECT_GT(t->Ticks, 0) << "an empty handler is enough to run the overridden Timer";

    t->SetEnabled(false);
    Pump(20);
    int stopped = t->Ticks;
    Pump(80);
    EXPECT_EQ(t->Ticks, stopped);

    t->SetEnabled(true);
    t->SetInterval(0);
    Pump(80);
    EXPECT_EQ(t->Ticks, stopped);
    FreeAndNil(t);
}

TEST(Timer, TickPendingForAFreedTimerDoesNotFire)
{
    TTickCounter counter;
    TTimer* t = New<TTimer>(nullptr);
    t->SetInterval(1);
    t->SetOnTimer(Bind(&counter, &TTickCounter::Tick));
    Sleep(50); // a tick is now due
    FreeAndNil(t);
    Pump(50);
    EXPECT_EQ(counter.Ticks, 0);
}

TEST(Timer, TimerFreedByItsOwnHandler)
{
    TTickCounter counter;
    TTimer* t = New<TTimer>(nullptr);
    counter.FreeOnTick = t;
    t->SetInterval(5);
    t->SetOnTimer(Bind(&counter, &TTickCounter::Tick));
    Pump(100);
    EXPECT_EQ(counter.Ticks, 1);
    EXPECT_EQ(counter.FreeOnTick, nullptr);
}

TEST(Timer, OwnerFreesItsTimer)
{
    TTickCounter counter;
    TComponent* owner = New<TComponent>(nullptr);
    TTimer* t = New<TTimer>(owner);
    t->SetInterval(1);
    t->SetOnTimer(Bind(&counter, &TTickCounter::Tick));
    HWND wnd = t->WindowHandle();
    Sleep(20);
    FreeAndNil(owner);
    EXPECT_FALSE(IsWindow(wnd));
    Pump(30);
    EXPECT_EQ(counter.Ticks, 0);
}

TEST(Timer, ExceptionFromOnTimerGoesToTheApplicationAndTheTimerRunsOn)
{
    TDialogSeamScope seam;   // the application's exception display
    TFailingHandler handler;
    TTimer* t = New<TTimer>(nullptr);
    t->SetInterval(5);
    t->SetOnTimer(Bind(&handler, &TFailingHandler::Tick));
    Pump(100);
    FreeAndNil(t);
    EXPECT_GT(handler.Ticks, 1);
    ASSERT_EQ(seam.Count(), size_t(handler.Ticks));
    EXPECT_EQ(seam.Last().Kind, TDialogKind::MessageBox);
    EXPECT_EQ(seam.Last().Text, L"타이머 오류.");
}
