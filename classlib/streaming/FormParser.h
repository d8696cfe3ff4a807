// Parser of form-resource text (see FORMAT.md): turns the text into a tree
// of objects, properties and values, with line numbers for error messages.
// It knows nothing of classes; the reader gives the tree its meaning.
#pragma once

#include <cstdint>
#include <vector>

#include "classlib/rtl/System.h"

class TStream;

enum class TFormValueKind { Integer, Float, String, Ident, Set, List, Collection, Binary };

struct TFormProperty;

struct TFormItem {
    std::vector<TFormProperty> Props;
    int Line = 0;
};

struct TFormValue {
    TFormValueKind Kind = TFormValueKind::Integer;
    int Line = 0;
    int64_t Int = 0;
    double Float = 0;
    UnicodeString Str;               // String, Ident
    std::vector<UnicodeString> Set;  // Set elements
    std::vector<TFormValue> List;    // ( ... )
    std::vector<TFormItem> Items;    // < item ... end >
    std::vector<uint8_t> Bytes;      // { ... }
};

struct TFormProperty {
    UnicodeString Name; // possibly dotted: Font.Name
    TFormValue Value;
    int Line = 0;
};

struct TFormObject {
    enum TKind { okObject, okInherited, okInline };
    TKind Kind = okObject;
    UnicodeString Name;
    UnicodeString ClassName;
    std::vector<TFormProperty> Props;
    std::vector<TFormObject> Children;
    int Line = 0;
};

// Raises EReadError "... (line N)" for malformed text.
TFormObject ParseFormText(const UnicodeString& Text);
// The text as UTF-8 bytes (a leading byte-order mark is skipped).
TFormObject ParseFormUtf8(const std::string& Bytes);
// Reads the whole rest of Stream as UTF-8 text.
TFormObject ParseFormStream(TStream* Stream);
