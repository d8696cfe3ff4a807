#include "skin/editors/kvShellMask.h"

#ifdef _WIN32
#include <windows.h>
static wchar_t PlatformFoldChar(wchar_t Ch)
{
    return wchar_t(reinterpret_cast<uintptr_t>(::CharUpperW(reinterpret_cast<LPWSTR>(uintptr_t(Ch)))));
}
wchar_t (*KvFoldChar)(wchar_t) = PlatformFoldChar;
#else
wchar_t (*KvFoldChar)(wchar_t) = AsciiFoldChar;
#endif

wchar_t AsciiFoldChar(wchar_t Ch) { return Ch >= L'a' && Ch <= L'z' ? wchar_t(Ch - 32) : Ch; }

namespace {

bool CharMatch(wchar_t V, wchar_t M, wchar_t AnyChar)
{
    return V == M || M == AnyChar || KvFoldChar(V) == KvFoldChar(M);
}

// Mask part P matches Value at Pos, one character each.
bool PartAt(std::wstring_view Value, size_t Pos, std::wstring_view P, wchar_t AnyChar)
{
    if (Pos + P.size() > Value.size())
        return false;
    for (size_t i = 0; i < P.size(); ++i)
        if (!CharMatch(Value[Pos + i], P[i], AnyChar))
            return false;
    return true;
}

}  // namespace

bool G_ValidateWildText(std::wstring_view Value, std::wstring_view Mask, wchar_t AnyChar, wchar_t Wildcard)
{
    if (Mask.empty())
        return false;
    size_t first = Mask.find(Wildcard);
    if (first == std::wstring_view::npos)
        return Value.size() == Mask.size() && PartAt(Value, 0, Mask, AnyChar);
    std::wstring_view head = Mask.substr(0, first);
    size_t last = Mask.rfind(Wildcard);
    std::wstring_view tail = Mask.substr(last + 1);
    if (head.size() + tail.size() > Value.size() || !PartAt(Value, 0, head, AnyChar) ||
        !PartAt(Value, Value.size() - tail.size(), tail, AnyChar))
        return false;
    // The parts between wildcards, each at its leftmost place after the last,
    // all before the tail.
    size_t pos = head.size();
    size_t limit = Value.size() - tail.size();
    size_t i = first;
    while (i < last) {
        while (i < last && Mask[i] == Wildcard)
            ++i;
        size_t next = Mask.find(Wildcard, i);
        std::wstring_view part = Mask.substr(i, next - i);
        i = next;
        if (part.empty())
            continue;
        bool found = false;
        for (; pos + part.size() <= limit; ++pos)
            if (PartAt(Value, pos, part, AnyChar)) {
                found = true;
                break;
            }
        if (!found)
            return false;
        pos += part.size();
    }
    return true;
}

bool G_ValidateMask(std::wstring_view Value, std::wstring_view Mask, wchar_t MaskChar)
{
    if (Value.empty() || Value.size() != Mask.size())
        return false;
    for (size_t i = 0; i < Mask.size(); ++i)
        if (Mask[i] != MaskChar && Mask[i] != Value[i])
            return false;
    return true;
}

int G_CharPos(wchar_t Ch, std::wstring_view S, int StartPos)
{
    if (StartPos < 1)
        StartPos = 1;
    for (size_t i = size_t(StartPos - 1); i < S.size(); ++i)
        if (S[i] == Ch)
            return int(i + 1);
    return 0;
}

bool MatchesMaskList(std::wstring_view Value, std::wstring_view Masks)
{
    bool anyWord = false;
    while (!Masks.empty()) {
        size_t semi = Masks.find(L';');
        std::wstring_view word = Masks.substr(0, semi);
        Masks = semi == std::wstring_view::npos ? std::wstring_view() : Masks.substr(semi + 1);
        while (!word.empty() && word.front() == L' ')
            word.remove_prefix(1);
        while (!word.empty() && word.back() == L' ')
            word.remove_suffix(1);
        if (word.empty())
            continue;
        anyWord = true;
        if (G_ValidateWildText(Value, word))
            return true;
    }
    return !anyWord;
}
