// Wildcard masks of the shell list ("*.txt;*.doc").  Characters compare as
// whole UTF-16 units, folded through KvFoldChar when they differ, so names
// outside ASCII (Hangul, accented Latin) match only themselves or their own
// case partner.  Positions are 1-based.  Windows-free.
#pragma once

#include <string_view>

#include "classlib/rtl/System.h"

// The case folding of the wildcard routines: the platform's upper case of
// one character under Windows, ASCII letters alone in the native build.
extern wchar_t (*KvFoldChar)(wchar_t Ch);
wchar_t AsciiFoldChar(wchar_t Ch);

bool G_ValidateWildText(std::wstring_view Value, std::wstring_view Mask, wchar_t AnyChar = L'?',
                        wchar_t Wildcard = L'*');
bool G_ValidateMask(std::wstring_view Value, std::wstring_view Mask, wchar_t MaskChar);
int G_CharPos(wchar_t Ch, std::wstring_view S, int StartPos);
// Value matches one of the ';'-separated words of Masks; blank words are
// skipped, and Masks without a word takes everything.
bool MatchesMaskList(std::wstring_view Value, std::wstring_view Masks);
