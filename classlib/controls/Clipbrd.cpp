#include "classlib/controls/Clipbrd.h"

#include <cstring>

namespace {

// Opens the clipboard for the lifetime of the scope.  Another process may
// hold it for a moment, so opening is tried a few times.
class TClipboardScope {
    bool FOpen = false;

public:
    TClipboardScope()
    {
        for (int i = 0; i < 10 && !FOpen; ++i) {
            FOpen = OpenClipboard(nullptr) != 0;
            if (!FOpen)
                Sleep(10);
        }
        if (!FOpen)
            throw EClipboardException(L"Cannot open clipboard");
    }
    ~TClipboardScope() { CloseClipboard(); }
    TClipboardScope(const TClipboardScope&) = delete;
    TClipboardScope& operator=(const TClipboardScope&) = delete;
};

} // namespace

UnicodeString TClipboard::AsText()
{
    TClipboardScope scope;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (!data)
        return UnicodeString();
    auto* text = static_cast<const wchar_t*>(GlobalLock(data));
    if (!text)
        return UnicodeString();
    // The text ends at its terminator or at the end of the block, whichever
    // comes first: a block from another program may lack the terminator.
    size_t max = GlobalSize(data) / sizeof(wchar_t);
    size_t len = 0;
    while (len < max && text[len])
        ++len;
    UnicodeString result(text, len);
    GlobalUnlock(data);
    return result;
}

void TClipboard::SetAsText(const UnicodeString& Value)
{
    TClipboardScope scope;
    EmptyClipboard();
    size_t bytes = (Value.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!block)
        throw EClipboardException(L"Not enough memory for the clipboard");
    void* p = GlobalLock(block);
    if (!p) {
        GlobalFree(block);
        throw EClipboardException(L"Not enough memory for the clipboard");
    }
    std::memcpy(p, Value.c_str(), bytes);
    GlobalUnlock(block);
    // The clipboard owns the block once it is taken.
    if (!SetClipboardData(CF_UNICODETEXT, block))
        GlobalFree(block);
}

void TClipboard::Clear()
{
    TClipboardScope scope;
    EmptyClipboard();
}

TClipboard* Clipboard()
{
    static TClipboard clipboard;
    return &clipboard;
}
