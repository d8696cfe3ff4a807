#include "classlib/ole/FlashCopyData.h"

#include <cstring>

std::vector<wchar_t> PackFlashTexts(std::initializer_list<UnicodeString> Texts)
{
    std::vector<wchar_t> data;
    for (const UnicodeString& t : Texts) {
        data.insert(data.end(), t.begin(), t.end());
        data.push_back(L'\0');
    }
    return data;
}

bool UnpackFlashTexts(const COPYDATASTRUCT* Data, size_t Count, std::vector<UnicodeString>& Texts)
{
    Texts.clear();
    if (!Data || (Data->cbData % sizeof(wchar_t)) != 0 || (Data->cbData > 0 && !Data->lpData))
        return false;
    // The sender chooses the address: copy the characters out rather than
    // read them in place, since it need not be aligned for wchar_t.
    size_t n = Data->cbData / sizeof(wchar_t);
    std::vector<wchar_t> chars(n);
    if (n > 0)
        std::memcpy(chars.data(), Data->lpData, Data->cbData);
    const wchar_t* p = chars.data();
    size_t start = 0;
    for (size_t i = 0; i < n; ++i) {
        if (p[i] == L'\0') {
            Texts.emplace_back(p + start, p + i);
            start = i + 1;
        }
    }
    if (start != n || Texts.size() != Count) {
        Texts.clear();
        return false;
    }
    return true;
}

LRESULT SendFlashCopyData(HWND Target, HWND From, ULONG_PTR Kind, std::initializer_list<UnicodeString> Texts,
                          UINT TimeoutMs)
{
    std::vector<wchar_t> data = PackFlashTexts(Texts);
    COPYDATASTRUCT cds;
    cds.dwData = Kind;
    cds.cbData = DWORD(data.size() * sizeof(wchar_t));
    cds.lpData = data.data();
    if (TimeoutMs == 0)
        return SendMessageW(Target, WM_COPYDATA, WPARAM(From), LPARAM(&cds));
    // A receiver busy for a while (a long paint on a loaded machine) is not
    // a hung one: the timeout alone bounds the wait.
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(Target, WM_COPYDATA, WPARAM(From), LPARAM(&cds), SMTO_NORMAL, TimeoutMs, &result))
        return 0;
    return LRESULT(result);
}
