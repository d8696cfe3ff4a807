// Modal forms: disabling the other windows and the modal loop.
#include "classlib/controls/Forms.h"

namespace {
// The visible, enabled top-level windows of this thread but Keep, disabled
// while a modal form runs.
std::vector<HWND> DisableThreadWindows(HWND Keep)
{
    struct TEnum {
        HWND Keep;
        std::vector<HWND> List;
        static BOOL CALLBACK Proc(HWND Wnd, LPARAM Self)
        {
            auto* e = reinterpret_cast<TEnum*>(Self);
            if (Wnd != e->Keep && ::IsWindowVisible(Wnd) && ::IsWindowEnabled(Wnd)) {
                e->List.push_back(Wnd);
                ::EnableWindow(Wnd, FALSE);
            }
            return TRUE;
        }
    } e{Keep, {}};
    ::EnumThreadWindows(::GetCurrentThreadId(), TEnum::Proc, reinterpret_cast<LPARAM>(&e));
    return e.List;
}
} // namespace

TModalResult TCustomForm::ShowModal()
{
    if (FVisible || !FEnabled || FFormState.Contains(fsModal) || FFormStyle == fsMDIChild)
        throw EInvalidOperation(L"Cannot make a visible window modal");
    if (HWND capture = ::GetCapture()) {
        ::SendMessageW(capture, WM_CANCELMODE, 0, 0);
        ::ReleaseCapture();
    }
    HWND activeWindow = ::GetActiveWindow();
    // Made before anything changes, so that a window that cannot be made
    // leaves no modal state behind.
    HandleNeeded();
    Application->ModalStarted();
    FFormState += fsModal;
    std::vector<HWND> disabled = DisableThreadWindows(FHandle);
    auto restore = [&] {
        for (HWND w : disabled)
            if (::IsWindow(w))
                ::EnableWindow(w, TRUE);
        if (activeWindow && ::IsWindow(activeWindow))
            ::SetActiveWindow(activeWindow);
        FFormState -= fsModal;
        Application->ModalFinished();
    };
    TModalResult result = mrNone;
    try {
        result = ModalLoop();
    } catch (...) {
        try {
            Hide();
        } catch (...) {
        }
        restore();
        throw;
    }
    restore();
    if (FReleaseAfterModal) {
        FReleaseAfterModal = false;
        Release();
    }
    return result;
}

TModalResult TCustomForm::ModalLoop()
{
    FModalResult = mrNone;
    Show();
    ::SendMessageW(FHandle, CM_ACTIVATE, 0, 0);
    do {
        Application->HandleMessage();
        // A window destroyed from outside ends the loop as a cancel would.
        if (Application->Terminated() || !FHandle)
            FModalResult = mrCancel;
        else if (FModalResult != mrNone)
            CloseModal();
    } while (FModalResult == mrNone);
    TModalResult result = FModalResult;
    if (FHandle)
        ::SendMessageW(FHandle, CM_DEACTIVATE, 0, 0);
    Hide();
    return result;
}

void TCustomForm::CloseModal()
{
    // The modal form may refuse to close (OnCloseQuery, caNone).
    TCloseAction action = caNone;
    if (CloseQuery()) {
        action = caHide;
        DoClose(action);
    }
    if (action == caNone)
        FModalResult = mrNone;
    else if (action == caFree)
        FReleaseAfterModal = true;
}
