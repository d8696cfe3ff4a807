// The ActiveX container against a real COM object: the test control,
// registered under the Flash class id in this test's own Wine prefix.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "classlib/controls/Dialogs.h"
#include "classlib/controls/Forms.h"
#include "classlib/ole/FlashCopyData.h"
#include "classlib/ole/ShockwaveFlashObjects.h"
#include "servers/TestFlash/TestFlashRegistration.h"

namespace {

TEST_FLASH_REGISTERED_FOR_THE_RUN();

// The entries of the control's log that start with one of Prefixes, in order.
std::vector<std::wstring> LogOf(std::initializer_list<std::wstring> Prefixes)
{
    std::vector<std::wstring> entries;
    std::wstring log = Server().Log();
    size_t start = 0;
    while (start <= log.size() && !log.empty()) {
        size_t end = log.find(TestFlashLogSeparator, start);
        std::wstring entry = log.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        for (const std::wstring& p : Prefixes)
            if (entry.compare(0, p.size(), p) == 0) {
                entries.push_back(entry);
                break;
            }
        if (end == std::wstring::npos)
            break;
        start = end + 1;
    }
    return entries;
}

struct TCommandLog : TObject {
    struct TCall {
        UnicodeString Command, Args;
        DWORD Thread;
    };
    std::vector<TCall> Calls;
    std::function<void(const UnicodeString& Command)> During;
    void FSCommand(TObject*, const UnicodeString& Command, const UnicodeString& Args)
    {
        Calls.push_back({Command, Args, GetCurrentThreadId()});
        if (During)
            During(Command);
    }
};

RECT ClientOf(HWND Wnd)
{
    RECT rc = {};
    GetClientRect(Wnd, &rc);
    return rc;
}

// A Flash control on a form of its own, its stored settings as the main
// window's; the control starts when its window is made.
class OleControl : public testing::Test {
protected:
    void SetUp() override { Server().Reset(Faults); }
    void TearDown() override
    {
        Flash = nullptr;
        Form.reset();
        // Every control went, and with it every reference it held on ours.
        EXPECT_EQ(Server().LiveObjects(), 0);
        EXPECT_EQ(Server().HeldReferences(), 0);
    }
    void Make()
    {
        Form.reset(TForm::CreateNew<TForm>(nullptr));
        Form->SetBounds(0, 0, 400, 300);
        Flash = New<TShockwaveFlash>(Form.get());
        Flash->SetParent(Form.get());
        Flash->SetAlign(alClient);
        Flash->SetScale(L"NoScale");
        Flash->SetMovie(L"C:\\books\\Book.swf");
        Flash->OnFSCommand = Bind(&Commands, &TCommandLog::FSCommand);
    }
    void Start()
    {
        Make();
        Flash->Handle();
    }
    // A command raised through the control's own window, as a movie would.
    LRESULT MovieCommand(const UnicodeString& Command, const UnicodeString& Args)
    {
        return SendFlashCopyData(Server().Window(), nullptr, FlashCopyDataCommand, {Command, Args});
    }

    TTestFlashFaults Faults = {};
    TOwned<TForm> Form;
    TShockwaveFlash* Flash = nullptr;
    TCommandLog Commands;
};

TEST_F(OleControl, HostsTheRegisteredControlInPlaceWithItsStoredSettings)
{
    Make();
    Flash->SetVariable(L"before", L"window");
    EXPECT_FALSE(Flash->Hosted());   // nothing is made before the window
    EXPECT_EQ(Server().LiveObjects(), 0);

    Flash->Handle();
    ASSERT_TRUE(Flash->Hosted());
    EXPECT_EQ(Server().LiveObjects(), 1);
    // Sited first (the control asks for it), initialised, connected, given
    // its settings and the movie, then activated.
    EXPECT_EQ(LogOf({L"SetClientSite", L"InitNew", L"Advise", L"WMode", L"Quality2", L"Scale", L"Movie", L"SetVariable",
                     L"DoVerb"}),
              (std::vector<std::wstring>{L"SetClientSite", L"InitNew", L"Advise", L"WMode=Window", L"Quality2=High",
                                         L"Scale=NoScale", L"Movie=C:\\books\\Book.swf", L"SetVariable=before,window",
                                         L"DoVerb=-5"}));

    // Its window fills ours.
    HWND movie = Server().Window();
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(Flash->ControlWindow(), movie);
    EXPECT_EQ(GetParent(movie), Flash->Handle());
    RECT host = ClientOf(Flash->Handle()), inner;
    GetWindowRect(movie, &inner);
    MapWindowPoints(nullptr, Flash->Handle(), reinterpret_cast<POINT*>(&inner), 2);
    EXPECT_TRUE(EqualRect(&host, &inner));
    wchar_t cls[64] = {};
    GetClassNameW(Flash->Handle(), cls, 64);
    EXPECT_STREQ(cls, L"TShockwaveFlash");
}

TEST_F(OleControl, PropertiesAndVariablesGoThroughTheControl)
{
    Start();
    ASSERT_TRUE(Flash->Hosted());
    Flash->SetMovie(L"about:blank");
    Flash->SetScale(L"ShowAll");
    Flash->SetQuality(L"Low");
    EXPECT_EQ(Server().Get(TEST_FLASH_PROPERTY_PREFIX L"Movie"), L"about:blank");
    EXPECT_EQ(Server().Get(TEST_FLASH_PROPERTY_PREFIX L"Scale"), L"ShowAll");
    EXPECT_EQ(Server().Get(TEST_FLASH_PROPERTY_PREFIX L"Quality2"), L"Low");
    EXPECT_EQ(Flash->GetProperty(DISPID_FlashScale).AsString(), L"ShowAll");
    EXPECT_EQ(Flash->GetProperty(L"movie").AsString(), L"about:blank");

    Flash->SetVariable(L"_root.BOOKLOAD_FIRSTPAGE", L"7");
    Flash->SetVariable(L"변수명", L"값");
    EXPECT_EQ(Server().Get(L"_root.BOOKLOAD_FIRSTPAGE"), L"7");
    EXPECT_EQ(Flash->GetVariable(L"변수명"), L"값");
    EXPECT_EQ(Flash->GetVariable(L"never.set"), L"");

    // A name the control does not know.
    EXPECT_THROW(Flash->SetProperty(L"NoSuchProperty", TOleVariant(1)), EOleException);
    // The stand-in's channel is closed: the movie speaks for itself.
    EXPECT_EQ(SendFlashCopyData(Flash->Handle(), nullptr, FlashCopyDataCommand, {L"exec", L""}), 0);
    EXPECT_TRUE(Commands.Calls.empty());
}

TEST_F(OleControl, FollowsTheWindowsSizeAndTakesTheFocus)
{
    Start();
    Form->Show();
    Form->SetBounds(10, 10, 520, 410);
    RECT host = ClientOf(Flash->Handle()), movie = ClientOf(Server().Window());
    EXPECT_EQ(movie.right, host.right);
    EXPECT_EQ(movie.bottom, host.bottom);
    std::wstring sized = L"SetObjectRects=" + std::to_wstring(host.right) + L"x" + std::to_wstring(host.bottom);
    EXPECT_EQ(LogOf({L"SetObjectRects"}).back(), sized);

    Flash->SetFocus();
    EXPECT_EQ(LogOf({L"DoVerb"}).back(), L"DoVerb=-4");
    EXPECT_EQ(GetFocus(), Server().Window());
}

TEST_F(OleControl, FSCommandReachesTheHandlerOnTheGuiThread)
{
    Start();
    ASSERT_EQ(Server().Fire(L"formcontrol", L"wsMinimized"), S_OK);
    ASSERT_EQ(Commands.Calls.size(), 1u);
    EXPECT_EQ(Commands.Calls[0].Command, L"formcontrol");
    EXPECT_EQ(Commands.Calls[0].Args, L"wsMinimized");

    // Through the control's window, as the movie raises it.
    EXPECT_EQ(MovieCommand(L"exec", L"메모@@@a.txt"), FlashCommandRan);
    ASSERT_EQ(Commands.Calls.size(), 2u);
    EXPECT_EQ(Commands.Calls[1].Args, L"메모@@@a.txt");

    // Raised on another thread: delivered by the message loop, on ours.
    ASSERT_EQ(Server().Fire(L"fromThread", L"x", true), S_OK);
    EXPECT_EQ(Commands.Calls.size(), 2u);
    Application->ProcessMessages();
    ASSERT_EQ(Commands.Calls.size(), 3u);
    EXPECT_EQ(Commands.Calls[2].Command, L"fromThread");
    for (const auto& call : Commands.Calls)
        EXPECT_EQ(call.Thread, GetCurrentThreadId());
}

TEST_F(OleControl, EventsArriveAlsoWhenTheControlDoesNotNameItsEventInterface)
{
    Faults.NoClassInfo = TRUE;
    Server().Reset(Faults);
    Start();
    ASSERT_TRUE(Flash->Hosted());
    Server().Fire(L"formcontrol", L"Close");
    ASSERT_EQ(Commands.Calls.size(), 1u);
    EXPECT_EQ(Commands.Calls[0].Args, L"Close");
}

TEST_F(OleControl, TeardownDeactivatesAndReleasesEverything)
{
    Start();
    Form.reset();
    Flash = nullptr;
    EXPECT_EQ(Server().LiveObjects(), 0);
    EXPECT_EQ(LogOf({L"InPlaceDeactivate", L"Unadvise", L"Close", L"SetClientSite=null", L"Destroyed"}),
              (std::vector<std::wstring>{L"InPlaceDeactivate", L"Unadvise", L"Close", L"SetClientSite=null",
                                         L"Destroyed"}));
}

TEST_F(OleControl, ANewWindowReactivatesTheSameControl)
{
    Start();
    HWND oldHost = Flash->Handle();
    Flash->RecreateWnd();
    ASSERT_TRUE(Flash->Hosted());
    EXPECT_NE(Flash->Handle(), oldHost);
    EXPECT_EQ(Server().LiveObjects(), 1);
    EXPECT_EQ(GetParent(Server().Window()), Flash->Handle());
    EXPECT_EQ(LogOf({L"Created", L"InPlaceDeactivate", L"DoVerb"}),
              (std::vector<std::wstring>{L"Created", L"DoVerb=-5", L"InPlaceDeactivate", L"DoVerb=-5"}));
    EXPECT_EQ(Server().Get(TEST_FLASH_PROPERTY_PREFIX L"Movie"), L"C:\\books\\Book.swf");
}

// A pop-up window frees its control while handling the control's own
// command (its movie asked it to close).
TEST_F(OleControl, AHandlerMayFreeTheControlThatRaisedTheEvent)
{
    Start();
    Commands.During = [this](const UnicodeString&) { FreeAndNil(Flash); };
    Server().Fire(L"formcontrol", L"Close");
    EXPECT_EQ(Flash, nullptr);
    EXPECT_EQ(Server().LiveObjects(), 0);
    EXPECT_EQ(Server().HeldReferences(), 0);
}

// OLE stays initialised for the GUI thread when its last control goes,
// also from inside that control's own event: ending it there would let
// the control's server be unloaded under the control's running code.
TEST_F(OleControl, OleOutlivesTheLastControlFreedInItsOwnEvent)
{
    Start();
    HRESULT during = E_FAIL;
    Commands.During = [this, &during](const UnicodeString&) {
        FreeAndNil(Flash);
        during = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (SUCCEEDED(during))
            ::CoUninitialize();
    };
    Server().Fire(L"formcontrol", L"Close");
    EXPECT_EQ(Flash, nullptr);
    EXPECT_EQ(during, S_FALSE) << "OLE is still initialised on this thread";
    const HRESULT after = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(after))
        ::CoUninitialize();
    EXPECT_EQ(after, S_FALSE);
}

// A setting the control refuses is reported once, and every other setting,
// the movie among them, still reaches the control.
TEST_F(OleControl, ARefusedSettingKeepsNoOtherFromTheControl)
{
    Faults.RefuseWMode = TRUE;
    Server().Reset(Faults);
    TDialogSeamScope seam;
    Make();
    Flash->SetVariable(L"before", L"window");
    Flash->Handle();
    ASSERT_TRUE(Flash->Hosted());
    EXPECT_EQ(LogOf({L"refused", L"Quality2", L"Scale", L"Movie", L"SetVariable"}),
              (std::vector<std::wstring>{L"refused=WMode", L"Quality2=High", L"Scale=NoScale",
                                         L"Movie=C:\\books\\Book.swf", L"SetVariable=before,window"}));
    ASSERT_EQ(seam.Count(), 1u);
    EXPECT_NE(seam.Last().Text.find(L"The test control refuses WMode"), UnicodeString::npos);
}

// A control that cannot be made or activated leaves nothing behind and
// the stand-in takes its place.
TEST_F(OleControl, AControlThatFailsToStartGivesWayToTheStandIn)
{
    struct {
        const char* Name;
        TTestFlashFaults Faults;
        const wchar_t* LastStep;
    } cases[] = {
        {"creation refused", {TRUE, FALSE, FALSE, FALSE}, L"CreateRefused"},
        {"activation fails", {FALSE, TRUE, FALSE, FALSE}, L"Destroyed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Server().Reset(c.Faults);
        Commands.Calls.clear();
        Start();
        EXPECT_FALSE(Flash->Hosted());
        EXPECT_EQ(Server().LiveObjects(), 0);
        EXPECT_EQ(Server().HeldReferences(), 0);
        std::wstring log = Server().Log();
        EXPECT_EQ(log.substr(log.size() - wcslen(c.LastStep)), c.LastStep);

        // The stand-in keeps the settings and variables and takes commands.
        Flash->SetVariable(L"saveSuccess", L"success");
        EXPECT_EQ(Flash->GetVariable(L"saveSuccess"), L"success");
        EXPECT_EQ(Flash->Movie(), L"C:\\books\\Book.swf");
        EXPECT_EQ(SendFlashCopyData(Flash->Handle(), nullptr, FlashCopyDataCommand, {L"exec", L"x"}),
                  FlashCommandRan);
        EXPECT_EQ(Commands.Calls.size(), 1u);
        // It is not tried again with the next window.
        Flash->RecreateWnd();
        EXPECT_FALSE(Flash->Hosted());
        EXPECT_EQ(Server().LiveObjects(), 0);
    }
}

// A control that raises during calls keeps running; each failure reaches
// the application's exception handler and never the control's caller.
TEST_F(OleControl, ACallTheControlRaisesIsReportedNotFatal)
{
    Faults.FailCalls = TRUE;
    Server().Reset(Faults);
    TDialogSeamScope seam;
    Start();
    ASSERT_TRUE(Flash->Hosted());
    // The stored settings were refused: one report.
    ASSERT_EQ(seam.Count(), 1u);
    EXPECT_NE(seam.Last().Text.find(L"The test control refuses WMode"), UnicodeString::npos);

    try {
        Flash->SetVariable(L"saveSuccess", L"fail");
        ADD_FAILURE() << "no exception";
    } catch (const EOleException& e) {
        EXPECT_EQ(e.Message(), L"The test control refuses SetVariable");
        EXPECT_EQ(e.Source(), L"TestFlash");
        EXPECT_EQ(e.ErrorCode(), E_FAIL);
    }

    // A handler that calls the control back: the failure is shown, the
    // control's own call returns.
    Commands.During = [this](const UnicodeString&) { Flash->SetVariable(L"saveSuccess", L"success"); };
    EXPECT_EQ(Server().Fire(L"exec", L"function_copyfile@@@a.pdf"), S_OK);
    EXPECT_EQ(Commands.Calls.size(), 1u);
    ASSERT_EQ(seam.Count(), 2u);
    EXPECT_NE(seam.Last().Text.find(L"The test control refuses SetVariable"), UnicodeString::npos);
}

} // namespace
