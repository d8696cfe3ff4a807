#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "classlib/controls/Forms.h"
#include "classlib/ole/FlashCopyData.h"
#include "classlib/ole/ShockwaveFlashObjects.h"

namespace {

struct TCommandLog : TObject {
    std::vector<std::pair<UnicodeString, UnicodeString>> Calls;
    TObject* LastSender = nullptr;
    void FSCommand(TObject* Sender, const UnicodeString& command, const UnicodeString& args)
    {
        LastSender = Sender;
        Calls.emplace_back(command, args);
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

} // namespace
