// The built viewer on a book of its own, driven through its Flash stand-in
// the way the movie would: pop-up windows, window words and a note saved on
// a removable drive.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "CommandsTestUtils.h"
#include "classlib/ole/FlashCopyData.h"

namespace {

class TViewerProcess {
public:
    bool Start(const UnicodeString& exe, const UnicodeString& dir)
    {
        UnicodeString line = L"\"" + exe + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        return CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si,
                              &FInfo);
    }
    ~TViewerProcess()
    {
        if (!FInfo.hProcess)
            return;
        if (WaitForSingleObject(FInfo.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(FInfo.hProcess, 1);
            WaitForSingleObject(FInfo.hProcess, 5000);
        }
        CloseHandle(FInfo.hThread);
        CloseHandle(FInfo.hProcess);
    }
    DWORD Id() const { return FInfo.dwProcessId; }

private:
    PROCESS_INFORMATION FInfo{};
};

UnicodeString ClassOf(HWND wnd)
{
    wchar_t buf[256] = {};
    GetClassNameW(wnd, buf, 256);
    return buf;
}

struct TWindowSearch {
    DWORD Pid;
    UnicodeString Class;
    std::vector<HWND> Found;
};

BOOL CALLBACK CollectWindow(HWND w, LPARAM p)
{
    auto* s = reinterpret_cast<TWindowSearch*>(p);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == s->Pid && IsWindowVisible(w) && ClassOf(w) == s->Class)
        s->Found.push_back(w);
    return TRUE;
}

// The visible top-level windows of class Class in process Pid.
std::vector<HWND> TopWindows(DWORD Pid, const UnicodeString& Class)
{
    TWindowSearch search{Pid, Class, {}};
    EnumWindows(CollectWindow, LPARAM(&search));
    return search.Found;
}

bool WaitFor(DWORD TimeoutMs, const std::function<bool()>& Test)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < TimeoutMs) {
        if (Test())
            return true;
        Sleep(50);
    }
    return Test();
}

// Plays the movie's part: commands to a stand-in control, and its variables.
class TMovieDriver {
public:
    TMovieDriver()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KvMovieDriver";
        RegisterClassW(&wc);
        FWnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }
    ~TMovieDriver() { DestroyWindow(FWnd); }

    bool Command(HWND flash, const UnicodeString& command, const UnicodeString& args)
    {
        return SendFlashCopyData(flash, FWnd, FlashCopyDataCommand, {command, args}, 10000) == 1;
    }
    UnicodeString Variable(HWND flash, const UnicodeString& name)
    {
        Replies().erase(name);
        if (SendFlashCopyData(flash, FWnd, FlashCopyDataGetVariable, {name}, 10000) != 1)
            return L"(no answer)";
        auto it = Replies().find(name);
        return it == Replies().end() ? L"(no reply)" : it->second;
    }

private:
    static std::map<UnicodeString, UnicodeString>& Replies()
    {
        static std::map<UnicodeString, UnicodeString> replies;
        return replies;
    }
    static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
    {
        if (msg == WM_COPYDATA) {
            std::vector<UnicodeString> texts;
            auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
            if (data->dwData == FlashCopyDataVariable && UnpackFlashTexts(data, 2, texts)) {
                Replies()[texts[0]] = texts[1];
                return 1;
            }
            return 0;
        }
        return DefWindowProcW(w, msg, wp, lp);
    }
    HWND FWnd = nullptr;
};

// The stand-in control of a player window (the pop-up's sits on its panel).
HWND FlashOf(HWND window)
{
    if (HWND flash = FindWindowExW(window, nullptr, L"TShockwaveFlash", nullptr))
        return flash;
    HWND panel = FindWindowExW(window, nullptr, L"TPanel", nullptr);
    return panel ? FindWindowExW(panel, nullptr, L"TShockwaveFlash", nullptr) : nullptr;
}

TEST(CommandsEndToEnd, PopUpsWindowWordsAndNotes)
{
    std::string image = ReadFileBytes(ProgramFolder() + L"\\..\\app\\viewer.exe");
    ASSERT_FALSE(image.empty()) << "viewer.exe not built";

    TRemovableDrive drive;
    ASSERT_TRUE(drive.Mapped());
    TTestFolder dir;
    WriteFileBytes(dir / L"Cmds.exe", image + std::string(4, '\0'));   // no installer
    WriteFileBytes(dir / L"Cmds_Page_Img\\Page_var.txt", "&title=Commands&&width=640&&height=480&");
    WriteFileBytes(dir / L"Cmds.swf", "FWS");
    WriteFileBytes(dir / L"pop\\intro.swf", "FWS");

    TViewerProcess viewer;
    ASSERT_TRUE(viewer.Start(dir / L"Cmds.exe", dir.Path()));
    HWND player = nullptr;
    ASSERT_TRUE(WaitFor(30000, [&] {
        std::vector<HWND> found = TopWindows(viewer.Id(), L"TPlayerForm");
        player = found.empty() ? nullptr : found[0];
        return player != nullptr;
    }));
    HWND flash = FlashOf(player);
    ASSERT_NE(flash, nullptr);
    TMovieDriver movie;

    // A pop-up window with the movie's page.
    ASSERT_TRUE(movie.Command(flash, L"function", L"PopUpForm@@@pop/intro.swf@@@5"));
    std::vector<HWND> popUps;
    ASSERT_TRUE(WaitFor(10000, [&] { return !(popUps = TopWindows(viewer.Id(), L"TChildForm")).empty(); }));
    HWND popUpFlash = FlashOf(popUps[0]);
    ASSERT_NE(popUpFlash, nullptr);
    EXPECT_EQ(movie.Variable(popUpFlash, L"_root.BOOKLOAD_FIRSTPAGE"), L"5");
    EXPECT_TRUE(IsZoomed(popUps[0]));

    // The pop-up's movie closes its window from inside its own event.
    ASSERT_TRUE(movie.Command(popUpFlash, L"exec", L"function_close"));
    EXPECT_TRUE(WaitFor(10000, [&] { return TopWindows(viewer.Id(), L"TChildForm").empty(); }));

    // Window words to the main window.
    ASSERT_FALSE(IsZoomed(player));
    ASSERT_TRUE(movie.Command(flash, L"formcontrol", L"resize"));
    EXPECT_TRUE(IsZoomed(player));
    ASSERT_TRUE(movie.Command(flash, L"formcontrol", L"resize"));
    EXPECT_FALSE(IsZoomed(player));
    ASSERT_TRUE(movie.Command(flash, L"formcontrol", L"wsMinimized"));
    EXPECT_TRUE(IsIconic(player));
    ASSERT_TRUE(movie.Command(flash, L"formcontrol", L"wsMaximized"));
    EXPECT_TRUE(IsZoomed(player));

    // A note on the removable drive.
    ASSERT_TRUE(movie.Command(flash, L"exec", L"function_saveTextFile@@@한글 note\n@@@e2e.txt"));
    EXPECT_EQ(movie.Variable(flash, L"saveSuccess"), L"success");
    EXPECT_EQ(ReadFileBytes(drive.Folder() / L"TxtData\\e2e.txt"), "\xC7\xD1\xB1\xDB note\r\n");
    ASSERT_TRUE(movie.Command(flash, L"exec", L"function_loadTextFile"));
    EXPECT_EQ(movie.Variable(flash, L"loadTxt"), UnicodeString(1, drive.Letter()) + L":\\TxtData\\");
    EXPECT_EQ(movie.Variable(flash, L"loadSuccess"), L"success");
}

} // namespace
