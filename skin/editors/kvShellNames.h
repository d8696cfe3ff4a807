// Display names of shell items: the text of a STRRET answer and the
// extension rules of the views.  Windows-free: the ANSI conversion and the
// release of the shell's wide string are handed in by the caller (the shell
// folder unit passes the system's code page and the task allocator).
#pragma once

#include <cstdint>

#include "classlib/rtl/System.h"
#include "skin/editors/kvShellTypes.h"

// STRRET kinds.
constexpr unsigned STRRET_KIND_WSTR = 0;
constexpr unsigned STRRET_KIND_OFFSET = 1;
constexpr unsigned STRRET_KIND_CSTR = 2;

// The parts of a STRRET answer, laid out by the caller.
struct TkvStrRet {
    unsigned Kind = STRRET_KIND_WSTR;
    const char16_t* WStr = nullptr;  // STRRET_WSTR: owned by the shell's allocator
    unsigned Offset = 0;             // STRRET_OFFSET: bytes into the item
    const char* CStr = nullptr;      // STRRET_CSTR: zero-terminated, at most 260 bytes
};

// ANSI text to UTF-16 (the system's code page under Windows).
using TkvAnsiDecoder = UnicodeString (*)(const char* Text, size_t Length);
UnicodeString Latin1Decoder(const char* Text, size_t Length);

// The text of a STRRET answer for item ID.  The wide string is released
// through FreeWStr (when given) whether or not it was empty: every answer is
// freed once.  An offset outside ItemSize bytes gives an empty text.
UnicodeString StrRetText(const uint8_t* ID, size_t ItemSize, const TkvStrRet& Ret, TkvAnsiDecoder Decode,
                         void (*FreeWStr)(const char16_t*));

// Names such as "?1abc?" (a question mark, then a digit) lose every '?'.
UnicodeString StripQuestionMarks(const UnicodeString& Name);

// ".txt" of "a.b.txt", "" without a dot in the last path part.
UnicodeString NameExtension(const UnicodeString& Name);

// The display name after the view's extension rule: seShow appends the
// parsing name's extension when the display name's differs from it; seHide
// cuts the display name's extension.  Only for an existing file (FileExists);
// seSystem and other items keep DisplayName.
UnicodeString ApplyShowExtension(const UnicodeString& DisplayName, const UnicodeString& ParsingName,
                                 bool FileExists, TkvShowExtension Mode);
