#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "classlib/controls/Dialogs.h"
#include "classlib/controls/Forms.h"
#include "classlib/ole/FlashCommandQueue.h"
#include "classlib/ole/FlashCopyData.h"
#include "classlib/ole/ShockwaveFlashObjects.h"

namespace {

struct TCommandLog : TObject {
    std::vector<std::pair<UnicodeString, UnicodeString>> Calls;
    TObject* LastSender = nullptr;
    // Runs inside the handler, after the call is logged.
    std::function<void(const UnicodeString& command)> During;
    void FSCommand(TObject* Sender, const UnicodeString& command, const UnicodeString& args)
    {
        LastSender = Sender;
        Calls.emplace_back(command, args);
        if (During)
            During(command);
    }
};

// A stand-in control on a form of its own.
class TFlashFixture {
public:
    TFlashFixture() : Form(TForm::CreateNew<TForm>(nullptr))
    {
        Flash = New<TShockwaveFlash>(Form.get());
        Flash->SetParent(Form.get());
        Flash->OnFSCommand = Bind(&Log, &TCommandLog::FSCommand);
    }
    LRESULT Send(ULONG_PTR kind, const void* data, DWORD bytes, HWND from = nullptr)
    {
        COPYDATASTRUCT cds{kind, bytes, const_cast<void*>(data)};
        return SendMessageW(Flash->Handle(), WM_COPYDATA, WPARAM(from), LPARAM(&cds));
    }
    // A driver's command: 1 when it ran, 2 when it waits.
    LRESULT Command(const UnicodeString& command, const UnicodeString& args = UnicodeString())
    {
        return SendFlashCopyData(Flash->Handle(), nullptr, FlashCopyDataCommand, {command, args});
    }
    // The commands the handler saw, in order.
    std::vector<UnicodeString> Seen() const
    {
        std::vector<UnicodeString> seen;
        for (const auto& call : Log.Calls)
            seen.push_back(call.first);
        return seen;
    }
    TOwned<TForm> Form;
    TShockwaveFlash* Flash = nullptr;
    TCommandLog Log;
};

TEST(FlashStandIn, CopyDataRaisesFSCommandForWellFormedPayloadsOnly)
{
    struct {
        const char* Name;
        ULONG_PTR Kind;
        std::vector<wchar_t> Data;
        DWORD ExtraBytes;   // added to the size: an odd size cuts a character
        bool Raised;
        UnicodeString Command, Args;
    } cases[] = {
        {"command and args", FlashCopyDataCommand, PackFlashTexts({L"exec", L"function_copyfile@@@a/b.pdf"}), 0, true,
         L"exec", L"function_copyfile@@@a/b.pdf"},
        {"both empty", FlashCopyDataCommand, PackFlashTexts({L"", L""}), 0, true, L"", L""},
        {"Korean text", FlashCopyDataCommand, PackFlashTexts({L"exec", L"메모@@@a.txt"}), 0, true, L"exec",
         L"메모@@@a.txt"},
        {"args missing", FlashCopyDataCommand, PackFlashTexts({L"exec"}), 0, false, L"", L""},
        {"three texts", FlashCopyDataCommand, PackFlashTexts({L"a", L"b", L"c"}), 0, false, L"", L""},
        {"no final terminator", FlashCopyDataCommand, {L'a', 0, L'b'}, 0, false, L"", L""},
        {"odd size", FlashCopyDataCommand, PackFlashTexts({L"a", L"b"}), DWORD(-1), false, L"", L""},
        {"another kind", 0x1234, PackFlashTexts({L"a", L"b"}), 0, false, L"", L""},
        {"empty payload", FlashCopyDataCommand, {}, 0, false, L"", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TFlashFixture f;
        DWORD bytes = DWORD(c.Data.size() * sizeof(wchar_t)) + c.ExtraBytes;
        LRESULT r = f.Send(c.Kind, c.Data.empty() ? nullptr : c.Data.data(), bytes);
        EXPECT_EQ(r, c.Raised ? 1 : 0);
        ASSERT_EQ(f.Log.Calls.size(), c.Raised ? 1u : 0u);
        if (c.Raised) {
            EXPECT_EQ(f.Log.Calls[0].first, c.Command);
            EXPECT_EQ(f.Log.Calls[0].second, c.Args);
            EXPECT_EQ(f.Log.LastSender, f.Flash);
        }
    }
}

TEST(FlashStandIn, CopyDataPayloadAtAnOddAddressIsRead)
{
    // An in-process sender hands its own buffer over as it is, unaligned or not.
    std::vector<wchar_t> texts = PackFlashTexts({L"exec", L"메모"});
    std::vector<unsigned char> buffer(texts.size() * sizeof(wchar_t) + 1);
    std::memcpy(buffer.data() + 1, texts.data(), texts.size() * sizeof(wchar_t));
    TFlashFixture f;
    EXPECT_EQ(f.Send(FlashCopyDataCommand, buffer.data() + 1, DWORD(buffer.size() - 1)), 1);
    ASSERT_EQ(f.Log.Calls.size(), 1u);
    EXPECT_EQ(f.Log.Calls[0], (std::pair<UnicodeString, UnicodeString>{L"exec", L"메모"}));
}

// Collects the control's replies to variable requests.
std::vector<std::vector<UnicodeString>> Replies;

LRESULT CALLBACK ReplyProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_COPYDATA) {
        std::vector<UnicodeString> texts;
        auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        if (data->dwData == FlashCopyDataVariable && UnpackFlashTexts(data, 2, texts))
            Replies.push_back(texts);
        return 1;
    }
    return DefWindowProcW(w, msg, wp, lp);
}

TEST(FlashStandIn, VariablesAnswerWhatWasSetLocallyAndThroughTheChannel)
{
    TFlashFixture f;
    EXPECT_EQ(f.Flash->GetVariable(L"saveSuccess"), L"");
    f.Flash->SetVariable(L"saveSuccess", L"fail");
    f.Flash->SetVariable(L"saveSuccess", L"success");
    f.Flash->SetVariable(L"변수명", L"값");
    EXPECT_EQ(f.Flash->GetVariable(L"saveSuccess"), L"success");
    EXPECT_EQ(f.Flash->GetVariable(L"SAVESUCCESS"), L"");   // names are exact

    WNDCLASSW wc{};
    wc.lpfnWndProc = ReplyProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KvFlashReplyTest";
    RegisterClassW(&wc);
    HWND reply = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(reply, nullptr);

    Replies.clear();
    for (UnicodeString name : {L"변수명", L"never"}) {
        std::vector<wchar_t> data = PackFlashTexts({name});
        EXPECT_EQ(f.Send(FlashCopyDataGetVariable, data.data(), DWORD(data.size() * sizeof(wchar_t)), reply), 1);
    }
    ASSERT_EQ(Replies.size(), 2u);
    EXPECT_EQ(Replies[0], (std::vector<UnicodeString>{L"변수명", L"값"}));
    EXPECT_EQ(Replies[1], (std::vector<UnicodeString>{L"never", L""}));

    // No window to answer to: refused.
    std::vector<wchar_t> data = PackFlashTexts({L"saveSuccess"});
    EXPECT_EQ(f.Send(FlashCopyDataGetVariable, data.data(), DWORD(data.size() * sizeof(wchar_t)), nullptr), 0);
    DestroyWindow(reply);
}

TEST(FlashStandIn, KeepsMovieAndScaleAndIsTheStandIn)
{
    TFlashFixture f;
    f.Flash->SetMovie(L"about:blank");
    f.Flash->SetScale(L"");
    f.Flash->Handle();
    EXPECT_FALSE(f.Flash->Hosted());
    EXPECT_EQ(f.Flash->Movie(), L"about:blank");
    EXPECT_EQ(f.Flash->Scale(), L"");
    wchar_t cls[64] = {};
    GetClassNameW(f.Flash->Handle(), cls, 64);
    EXPECT_STREQ(cls, L"TShockwaveFlash");
}

// Commands that come while a handler runs (the movie goes on playing in a
// dialog's message loop) wait, whichever control they are for, answer 2,
// and run in arrival order from the message loop once the handler is done.
TEST(FlashCommandOrder, CommandsWaitForTheRunningHandlerOfAnyControl)
{
    TFlashFixture main, popUp;
    std::vector<UnicodeString> order;
    std::vector<LRESULT> answersDuring;
    size_t seenDuring = 99;
    main.Log.During = [&](const UnicodeString& command) {
        order.push_back(command);
        if (command != L"dialog")
            return;
        answersDuring.push_back(popUp.Command(L"p1"));
        answersDuring.push_back(main.Command(L"m2"));
        answersDuring.push_back(popUp.Command(L"p3"));
        seenDuring = order.size();
    };
    popUp.Log.During = [&](const UnicodeString& command) { order.push_back(command); };

    EXPECT_EQ(main.Command(L"dialog"), FlashCommandRan);
    EXPECT_EQ(answersDuring, (std::vector<LRESULT>{FlashCommandWaits, FlashCommandWaits, FlashCommandWaits}));
    EXPECT_EQ(seenDuring, 1u);
    EXPECT_EQ(TFlashCommandQueue::Instance().Waiting(), 3u);
    EXPECT_EQ(TFlashCommandQueue::Instance().Waiting(popUp.Flash), 2u);

    // One that comes before the waiting ones had their turn waits behind them.
    EXPECT_EQ(popUp.Command(L"p4"), FlashCommandWaits);
    Application->ProcessMessages();
    EXPECT_EQ(order, (std::vector<UnicodeString>{L"dialog", L"p1", L"m2", L"p3", L"p4"}));
    EXPECT_EQ(popUp.Log.LastSender, popUp.Flash);
    EXPECT_EQ(TFlashCommandQueue::Instance().Waiting(), 0u);
    EXPECT_EQ(popUp.Command(L"p5"), FlashCommandRan);
}

// A modal window that no command opened holds commands back too, until the
// last one closes.
TEST(FlashCommandOrder, CommandsWaitBehindEveryModalWindow)
{
    TFlashFixture f;
    int previousCalls = 0;
    struct TModalEndLog : TObject {
        int* Calls;
        void Ended(TObject*) { ++*Calls; }
    } previous;
    previous.Calls = &previousCalls;
    Application->OnModalEnd = Bind(&previous, &TModalEndLog::Ended);

    Application->ModalStarted();
    Application->ModalStarted();   // a message box over a dialog
    EXPECT_EQ(f.Command(L"held"), FlashCommandWaits);
    Application->ProcessMessages();
    Application->ModalFinished();
    Application->ProcessMessages();
    EXPECT_TRUE(f.Log.Calls.empty());
    Application->ModalFinished();
    EXPECT_TRUE(f.Log.Calls.empty());   // raised from the message loop, not from inside the closing window
    Application->ProcessMessages();
    EXPECT_EQ(f.Seen(), std::vector<UnicodeString>{L"held"});
    // The application's own handler was told each time and is back in place.
    EXPECT_EQ(previousCalls, 2);
    EXPECT_TRUE(Application->OnModalEnd == Bind(&previous, &TModalEndLog::Ended));
    Application->OnModalEnd = nullptr;
}

// A handler the application chains after the queue's keeps the whole
// chain: the one before the queue's is still called once no command waits,
// and holding commands back again makes no loop.
TEST(FlashCommandOrder, AHandlerChainedAfterTheQueuesKeepsTheChain)
{
    TFlashFixture f;
    struct TModalEndLog : TObject {
        int Calls = 0;
        TNotifyEvent Previous;
        void Ended(TObject* Sender)
        {
            ++Calls;
            if (Previous)
                Previous(Sender);
        }
    } first, later;
    Application->OnModalEnd = Bind(&first, &TModalEndLog::Ended);
    Application->ModalStarted();
    EXPECT_EQ(f.Command(L"held"), FlashCommandWaits);
    later.Previous = Application->OnModalEnd;  // the queue's, now the head
    Application->OnModalEnd = Bind(&later, &TModalEndLog::Ended);
    Application->ModalFinished();
    Application->ProcessMessages();
    EXPECT_EQ(f.Seen(), std::vector<UnicodeString>{L"held"});
    EXPECT_EQ(first.Calls, 1);

    for (int round = 2; round <= 3; ++round) {
        Application->ModalStarted();
        if (round == 3) {
            EXPECT_EQ(f.Command(L"again"), FlashCommandWaits);
        }
        Application->ModalFinished();
        Application->ProcessMessages();
        EXPECT_EQ(later.Calls, round);
        EXPECT_EQ(first.Calls, round) << "the first handler is still reached";
    }
    EXPECT_EQ(f.Seen().back(), L"again");
    // The later handler unchains itself: the queue's leaves too once nothing waits.
    Application->OnModalEnd = later.Previous;
    TFlashCommandQueue::Instance().Drop(f.Flash);
    EXPECT_TRUE(Application->OnModalEnd == Bind(&first, &TModalEndLog::Ended));
    Application->OnModalEnd = nullptr;
}

TEST(FlashCommandOrder, ACommandSentDuringARealModalFormWaits)
{
    TFlashFixture f;
    TOwned<TForm> modal(TForm::CreateNew<TForm>(nullptr));
    HWND modalWnd = modal->Handle();
    HWND flash = f.Flash->Handle();
    LRESULT answer = 0;
    std::thread driver([&] {
        for (int i = 0; i < 1000 && !IsWindowVisible(modalWnd); ++i)
            Sleep(10);
        answer = SendFlashCopyData(flash, nullptr, FlashCopyDataCommand, {L"during", L""});
        PostMessageW(modalWnd, WM_CLOSE, 0, 0);
    });
    modal->ShowModal();
    driver.join();
    EXPECT_EQ(answer, FlashCommandWaits);
    EXPECT_TRUE(f.Log.Calls.empty());
    Application->ProcessMessages();
    EXPECT_EQ(f.Seen(), std::vector<UnicodeString>{L"during"});
}

TEST(FlashCommandOrder, AControlThatGoesTakesItsWaitingCommandsWithIt)
{
    TFlashFixture a;
    auto b = std::make_unique<TFlashFixture>();
    a.Log.During = [&](const UnicodeString& c) {
        if (c == L"first") {
            b->Command(L"b1");
            a.Command(L"a2");
        }
    };
    a.Command(L"first");
    b.reset();
    EXPECT_EQ(TFlashCommandQueue::Instance().Waiting(), 1u);
    Application->ProcessMessages();
    EXPECT_EQ(a.Seen(), (std::vector<UnicodeString>{L"first", L"a2"}));

    // The last waiting command gone: nothing is left behind in the application.
    a.Log.During = [&](const UnicodeString& c) {
        if (c == L"again")
            a.Command(L"dropped");
    };
    a.Command(L"again");
    EXPECT_EQ(TFlashCommandQueue::Instance().Waiting(a.Flash), 1u);
    TFlashCommandQueue::Instance().Drop(a.Flash);
    EXPECT_TRUE(Application->OnModalEnd == nullptr);
    Application->ProcessMessages();
    EXPECT_EQ(a.Seen().back(), L"again");
}

// A handler that fails is shown as an error; the commands behind it still run.
TEST(FlashCommandOrder, AFailingHandlerDoesNotStrandTheOthers)
{
    TFlashFixture f;
    f.Log.During = [&](const UnicodeString& c) {
        if (c == L"fails") {
            f.Command(L"next");
            throw Exception(L"broken");
        }
    };
    TDialogSeamScope seam;
    EXPECT_EQ(f.Command(L"fails"), FlashCommandRan);
    ASSERT_EQ(seam.Count(), 1u);
    EXPECT_NE(seam.Last().Text.find(L"broken"), UnicodeString::npos);
    EXPECT_FALSE(TFlashCommandQueue::Instance().Handling());
    Application->ProcessMessages();
    EXPECT_EQ(f.Seen(), (std::vector<UnicodeString>{L"fails", L"next"}));
}

} // namespace
