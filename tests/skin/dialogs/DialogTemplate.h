// Parentless standard dialogs built from an in-memory template, the way
// code outside the class library makes them, and a dialog procedure that
// records what reaches the dialog (and keeps the system's modal loops,
// moving, sizing and closing, from starting in a test).
#pragma once

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace dlgtest {

// Predefined control classes of a dialog template.
constexpr WORD kButton = 0x80, kEdit = 0x81, kStatic = 0x82, kListBox = 0x83, kScrollBar = 0x84, kComboBox = 0x85;

struct TItem {
    WORD Class;
    DWORD Style;
    short X, Y, W, H;
    WORD Id;
    const wchar_t* Text = L"";
    // A class by name ("SysListView32"), in place of Class.
    const wchar_t* ClassName = nullptr;
};

class TDialogTemplate {
public:
    TDialogTemplate(DWORD Style, const wchar_t* Caption, short X, short Y, short W, short H, DWORD ExStyle = 0)
    {
        Align();
        Put(Style);
        Put(ExStyle);
        FCountAt = FData.size();
        Word(0);
        Word(WORD(X));
        Word(WORD(Y));
        Word(WORD(W));
        Word(WORD(H));
        Word(0); // no menu
        Word(0); // the dialog class
        Text(Caption);
    }
    TDialogTemplate& Add(const TItem& I)
    {
        Align();
        Put(I.Style | WS_CHILD);
        Put(0);
        Word(WORD(I.X));
        Word(WORD(I.Y));
        Word(WORD(I.W));
        Word(WORD(I.H));
        Word(I.Id);
        if (I.ClassName) {
            Text(I.ClassName);
        } else {
            Word(0xFFFF);
            Word(I.Class);
        }
        Text(I.Text);
        Word(0); // no creation data
        ++FData[FCountAt];
        return *this;
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(FData.data()); }

private:
    std::vector<WORD> FData;
    std::size_t FCountAt = 0;
    void Word(WORD W) { FData.push_back(W); }
    void Put(DWORD D)
    {
        Word(LOWORD(D));
        Word(HIWORD(D));
    }
    void Text(const wchar_t* S)
    {
        for (; *S; ++S)
            Word(WORD(*S));
        Word(0);
    }
    void Align()
    {
        if (FData.size() % 2)
            Word(0);
    }
};

// What the dialog procedure saw; it answers the system commands and the
// non-client presses itself so that no modal loop starts.
struct TDialogLog {
    std::vector<WPARAM> SysCommands;
    std::vector<WPARAM> NCPresses;
    // The system commands go on to the system, and closing destroys the
    // dialog (a modeless dialog's own way to close).
    bool LetClose = false;
};

inline TDialogLog* CurrentLog = nullptr;

inline INT_PTR CALLBACK RecordingProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM)
{
    const bool letClose = CurrentLog && CurrentLog->LetClose;
    switch (Msg) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_SYSCOMMAND:
        if (CurrentLog)
            CurrentLog->SysCommands.push_back(WParam & 0xFFF0);
        return letClose ? FALSE : TRUE;
    case WM_CLOSE:
        if (!letClose)
            return FALSE;
        ::DestroyWindow(Wnd);
        return TRUE;
    case WM_NCLBUTTONDOWN:
        if (CurrentLog)
            CurrentLog->NCPresses.push_back(WParam);
        return TRUE;
    }
    return FALSE;
}

// A modeless dialog without parent or owner.
inline HWND CreateParentless(const TDialogTemplate& T)
{
    return ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), T.Get(), nullptr, &RecordingProc, 0);
}

// Popup, caption, system menu and a modal frame: what message boxes have.
constexpr DWORD kBoxStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

} // namespace dlgtest
